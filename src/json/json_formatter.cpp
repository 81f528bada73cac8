#include "json/json_formatter.h"

#include <cstdint>

#include "support/streams.h"

namespace vx {

TJSONFormatter::TJSONFormatter(std::string lineBreak, int level)
    : LineBreak(std::move(lineBreak)), Level(level < 0 ? 0 : level) {}

std::unique_ptr<TJSONFormatter> TJSONFormatter::Create(const std::string& lineBreak, int level) {
  return std::make_unique<TJSONFormatter>(lineBreak, level);
}

const char* TJSONFormatter::IndentText(int level) { return IndentView(level).data(); }

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
