#include "json/json_formatter.h"

#include <cstdint>

#include "support/streams.h"

namespace vx {

TJSONFormatter::TJSONFormatter(std::string lineBreak, int level)
    : LineBreak(std::move(lineBreak)), Level(level < 0 ? 0 : level) {}

std::unique_ptr<TJSONFormatter> TJSONFormatter::Create(const std::string& lineBreak, int level) {
  return std::make_unique<TJSONFormatter>(lineBreak, level);
}

const char* TJSONFormatter::IndentText(int level) {
  // Levels 5 and 6 are one blank wider than their number, and deeper levels
  // are not indented at all: saved order files have always looked so.
  static const char* const kIndents[] = {"", " ", "  ", "   ", "    ", "      ", "       "};
  if (level < 0 || level > 6) return "";
  return kIndents[level];
}

void TJSONFormatter::AppendFormat(std::string& text, TJSONFormatterAction action, TJSONFormatter* formatter) {
  if (!formatter) return;
  switch (action) {
    case fmIndentIn:
      ++formatter->Level;
      break;
    case fmLineBreak:
      text += formatter->LineBreak;
      break;
    case fmLineBreakIndent:
      text += formatter->LineBreak;
      if (formatter->Level != 0) text += IndentText(formatter->Level);
      break;
    case fmLineBreakOut:
      text += formatter->LineBreak;
      if (formatter->Level > 0) --formatter->Level;
      break;
    case fmIndent:
      if (formatter->Level != 0) text += IndentText(formatter->Level);
      break;
  }
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
