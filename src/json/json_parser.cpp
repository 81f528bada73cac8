#include "json/json_parser.h"

#include <string>

namespace vx {

namespace {

// The position of the closer that matches the opener (a quote, "[" or "{")
// at text[open], or text.size() when the text ends first. Inside brackets,
// strings and brackets of either kind nest, and a closer of the other kind
// is an ordinary byte. The nesting is kept in a list, not on the stack.
size_t FindClosing(std::string_view text, size_t open) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  if (text[open] == '"') {
    const char* quote = FindJsonStringEnd(begin + open + 1, end);
    return quote ? static_cast<size_t>(quote - begin) : text.size();
  }
  std::string closers(1, text[open] == '[' ? ']' : '}');
  for (const char* p = begin + open + 1; p < end; ++p) {
    const char c = *p;
    if (c == closers.back()) {
      closers.pop_back();
      if (closers.empty()) return static_cast<size_t>(p - begin);
    } else if (c == '"') {
      p = FindJsonStringEnd(p + 1, end);
      if (p == nullptr) break;
    } else if (c == '[') {
      closers += ']';
    } else if (c == '{') {
      closers += '}';
    }
  }
  return text.size();
}

}  // namespace

bool TJsonPieceSplitter::Next(std::string_view& piece) {
  if (FDone) return false;
  size_t i = FPosition;
  while (i < FText.size()) {
    const char c = FText[i];
    if (c == FSeparator) {
      piece = JsonTrim(FText.substr(FStart, i - FStart));
      FStart = FPosition = i + 1;
      return true;
    }
    if (c == '"' || c == '[' || c == '{') i = FindClosing(FText, i);
    ++i;
  }
  FDone = true;
  piece = JsonTrim(FText.substr(FStart < FText.size() ? FStart : FText.size()));
  return !piece.empty();
}

TJsonTextType DetectJsonTextType(std::string_view text) {
  if (text.size() >= 2) {
    if (JsonTextEncloses(text, '{', '}')) return TJsonTextType::Object;
    if (JsonTextEncloses(text, '[', ']')) return TJsonTextType::Array;
    if (JsonTextEncloses(text, '"', '"')) return TJsonTextType::String;
    if (TextEquals(text, "null")) return TJsonTextType::Null;
    if (TextEquals(text, "true") || TextEquals(text, "false")) return TJsonTextType::Boolean;
  }
  double number;
  return TryJsonTextToFloat(text, number) ? TJsonTextType::Number : TJsonTextType::None;
}

}  // namespace vx
