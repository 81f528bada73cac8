#include "json/json_formatter.h"

#include <cstdint>

#include "support/streams.h"

namespace vx {

TJSONFormatter::TJSONFormatter(std::string lineBreak, int level)
    : LineBreak(std::move(lineBreak)), Level(level < 0 ? 0 : level) {}

std::unique_ptr<TJSONFormatter> TJSONFormatter::Create(const std::string& lineBreak, int level) {
  return std::make_unique<TJSONFormatter>(lineBreak, level);
}

namespace {

// Levels 5 and 6 are one blank wider than their number, and deeper levels
// are not indented at all: saved order files have always looked so.
constexpr std::string_view kIndents[] = {"", " ", "  ", "   ", "    ", "      ", "       "};

std::string_view IndentView(int level) { return level < 0 || level > 6 ? std::string_view() : kIndents[level]; }

}  // namespace

const char* TJSONFormatter::IndentText(int level) { return level < 0 || level > 6 ? "" : kIndents[level].data(); }

TJSONFormatterText TJSONFormatter::Apply(TJSONFormatterAction action, TJSONFormatter* formatter) {
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

void TJSONFormatter::AppendFormat(std::string& text, TJSONFormatterAction action, TJSONFormatter* formatter) {
  const TJSONFormatterText bytes = Apply(action, formatter);
  text.append(bytes.LineBreak);
  text.append(bytes.Indent);
}

void TJSONFormatter::WriteFormat(TStream* stream, TJSONFormatterAction action, TJSONFormatter* formatter) {
  std::string text;
  AppendFormat(text, action, formatter);
  if (stream && !text.empty()) stream->WriteText(text);
}

std::string TJSONFormatter::FormatText(TJSONFormatterAction action, TJSONFormatter* formatter) {
  std::string text;
  AppendFormat(text, action, formatter);
  return text;
}

}  // namespace vx
