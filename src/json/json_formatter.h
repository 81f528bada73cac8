// The layout of formatted JSON: line breaks and indentation that the
// writers of the JSON model insert at fixed points. Only arrays raise the
// indentation; the indentation table is fixed and stops at level 6.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class TStream;

enum TJSONFormatterAction : uint8_t {
  fmIndentIn,         // Level + 1; writes nothing
  fmLineBreak,        // LineBreak
  fmLineBreakIndent,  // LineBreak, then the indentation of Level
  fmLineBreakOut,     // LineBreak, then Level - 1 (not below 0)
  fmIndent,           // the indentation of Level
};

// The bytes of one action: a line break, then an indentation; either may
// be empty.
struct TJSONFormatterText {
  std::string_view LineBreak;
  std::string_view Indent;
};

class TJSONFormatter {
 public:
  TJSONFormatter(std::string lineBreak, int level);
  virtual ~TJSONFormatter() = default;

  // The formatter class that SaveToFile is given.
  static std::unique_ptr<TJSONFormatter> Create(const std::string& lineBreak, int level);

  // The blanks of a level: 0-4 blanks for levels 0-4, 6 and 7 blanks for
  // levels 5 and 6, none from level 7 on.
  static const char* IndentText(int level);

  // Apply an action. With no formatter they do nothing at all; with no
  // stream WriteFormat writes nothing but still changes the level.
  static void WriteFormat(TStream* stream, TJSONFormatterAction action, TJSONFormatter* formatter);
  static void AppendFormat(std::string& text, TJSONFormatterAction action, TJSONFormatter* formatter);
  static std::string FormatText(TJSONFormatterAction action, TJSONFormatter* formatter);
  // Applies the action (the level change too) and gives its bytes, which
  // stay valid as long as the formatter and its LineBreak. The one place
  // that knows what each action does.
  // Inline: the writer applies one for nearly every item it writes.
  static TJSONFormatterText Apply(TJSONFormatterAction action, TJSONFormatter* formatter);

  std::string LineBreak;
  // Never below 0.
  int Level;

 private:
  // The blanks of a level.
  static std::string_view IndentView(int level);
};

inline std::string_view TJSONFormatter::IndentView(int level) {
  // Levels 5 and 6 are one blank wider than their number, and deeper
  // levels are not indented at all: saved order files have always looked
  // so.
  constexpr std::string_view kIndents[] = {"", " ", "  ", "   ", "    ", "      ", "       "};
  return level < 0 || level > 6 ? std::string_view("") : kIndents[level];
}

inline TJSONFormatterText TJSONFormatter::Apply(TJSONFormatterAction action, TJSONFormatter* formatter) {
  if (!formatter) return {};
  switch (action) {
    case fmIndentIn:
      ++formatter->Level;
      return {};
    case fmLineBreak:
      return {formatter->LineBreak, {}};
    case fmLineBreakIndent:
      return {formatter->LineBreak, IndentView(formatter->Level)};
    case fmLineBreakOut:
      if (formatter->Level > 0) --formatter->Level;
      return {formatter->LineBreak, {}};
    case fmIndent:
      break;
  }
  return {{}, IndentView(formatter->Level)};
}

}  // namespace vx
