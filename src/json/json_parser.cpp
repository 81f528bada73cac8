#include "json/json_parser.h"

#include <array>
#include <iterator>
#include <memory>
#include <vector>
#include <string>

#include "json/json_text_internal.h"
#include "support/text_utils.h"

namespace vx {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool Encloses(std::string_view text, char first, char last) {
  return text.size() >= 2 && text.front() == first && text.back() == last;
}

// Bytes that end a literal or number in the single pass.
constexpr std::array<bool, 256> MakeTokenEndTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c <= 0x20; ++c) table[c] = true;
  for (char c : {',', ':', '"', '[', ']', '{', '}'}) table[static_cast<unsigned char>(c)] = true;
  return table;
}
constexpr std::array<bool, 256> kTokenEnd = MakeTokenEndTable();

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

// Yields the trimmed pieces of a text cut at top-level separators. A
// separator always closes a piece, even an empty one; the rest after the
// last separator is a piece only when it is not empty, so a trailing
// separator is tolerated.
class TPieceSplitter {
 public:
  TPieceSplitter(std::string_view text, char separator) : FText(text), FSeparator(separator) {}

  bool Next(std::string_view& piece) {
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

 private:
  std::string_view FText;
  char FSeparator;
  size_t FStart = 0;
  size_t FPosition = 0;
  bool FDone = false;
};

TJsonValueType DetectValueType(std::string_view text) {
  if (text.size() >= 2) {
    if (Encloses(text, '{', '}')) return jvObject;
    if (Encloses(text, '[', ']')) return jvArray;
    if (Encloses(text, '"', '"')) return jvString;
    if (TextEquals(text, "null")) return jvNull;
    if (TextEquals(text, "true") || TextEquals(text, "false")) return jvBoolean;
  }
  double number;
  return TryJsonTextToFloat(text, number) ? jvNumber : jvNone;
}

}  // namespace

struct TJsonParser::TCursor {
  TCursor(const char* begin, const char* end) : p(begin), end(end) {}

  const char* p;
  const char* end;
  // The children of the open arrays and objects, collected here and moved
  // into their node at its end, so that each node's list is allocated once
  // at its final size.
  std::vector<std::unique_ptr<TJsonValue>> values;
  std::vector<std::unique_ptr<TJsonPair>> pairs;

  void SkipBlanks() {
    while (p < end && IsBlank(*p)) ++p;
  }

  // Reads the string whose opening quote is at p into out and moves behind
  // its closing quote; false when it is unterminated or has a bad escape.
  bool ReadString(std::string& out) {
    const char* const start = p + 1;
    // Most strings are short and plain: one look at each byte finds the end
    // and shows that there is nothing to decode.
    const char* q = start;
    const char* const shortEnd = end - q > 64 ? q + 64 : end;
    while (q < shortEnd && *q != '"' && *q != '\\') ++q;
    if (q < shortEnd && *q == '"') {
      out.assign(start, static_cast<size_t>(q - start));
      p = q + 1;
      return true;
    }
    const char* quote = FindJsonStringEnd(q, end);
    if (quote == nullptr) return false;
    if (!DecodeJsonTextTo(out, std::string_view(start, static_cast<size_t>(quote - start)))) return false;
    p = quote + 1;
    return true;
  }
};

// The single pass. Every function returns false as soon as the text is not
// plain JSON (with the tolerated trailing commas and literal case); the
// caller then throws the partial tree away.

bool TJsonParser::FastValue(TCursor& cursor, TJsonValue& value, int level) {
  const char c = *cursor.p;
  if (c == '"') {
    value.FValueType = jvString;
    return cursor.ReadString(value.FStringValue);
  }
  if (c == '{' || c == '[') {
    if (level + 1 > kJsonMaxDepth) return false;
    if (c == '{') {
      value.FValueType = jvObject;
      value.FObjectValue = std::make_unique<TJsonObject>(&value);
      return FastObject(cursor, *value.FObjectValue, level + 1);
    }
    value.FValueType = jvArray;
    value.FArrayValue = std::make_unique<TJsonArray>(&value);
    return FastArray(cursor, *value.FArrayValue, level + 1);
  }
  const char* start = cursor.p;
  while (cursor.p < cursor.end && !kTokenEnd[static_cast<unsigned char>(*cursor.p)]) ++cursor.p;
  const std::string_view token(start, static_cast<size_t>(cursor.p - start));
  if (token.size() == 4 && TextEquals(token, "null")) {
    value.FValueType = jvNull;
  } else if (token.size() == 4 && TextEquals(token, "true")) {
    value.FValueType = jvBoolean;
    value.FBooleanValue = true;
  } else if (token.size() == 5 && TextEquals(token, "false")) {
    value.FValueType = jvBoolean;
  } else if (!token.empty() && TryJsonTextToFloat(token, value.FNumberValue)) {
    value.FValueType = jvNumber;
  } else {
    return false;
  }
  return true;
}

bool TJsonParser::FastArray(TCursor& cursor, TJsonArray& array, int level) {
  ++cursor.p;  // "["
  cursor.SkipBlanks();
  if (cursor.p < cursor.end && *cursor.p == ']') {
    ++cursor.p;
    return true;
  }
  const size_t first = cursor.values.size();
  for (;;) {
    if (cursor.p == cursor.end || *cursor.p == ',' || *cursor.p == ']') return false;
    cursor.values.push_back(std::make_unique<TJsonValue>(&array));
    if (!FastValue(cursor, *cursor.values.back(), level)) return false;
    cursor.SkipBlanks();
    if (cursor.p == cursor.end) return false;
    if (*cursor.p == ',') {
      ++cursor.p;
      cursor.SkipBlanks();
      if (cursor.p < cursor.end && *cursor.p == ']') break;
    } else if (*cursor.p == ']') {
      break;
    } else {
      return false;
    }
  }
  ++cursor.p;
  const auto begin = cursor.values.begin() + static_cast<std::ptrdiff_t>(first);
  array.FItems.assign(std::make_move_iterator(begin), std::make_move_iterator(cursor.values.end()));
  cursor.values.erase(begin, cursor.values.end());
  return true;
}

bool TJsonParser::FastObject(TCursor& cursor, TJsonObject& object, int level) {
  ++cursor.p;  // "{"
  cursor.SkipBlanks();
  if (cursor.p < cursor.end && *cursor.p == '}') {
    ++cursor.p;
    return true;
  }
  const size_t first = cursor.pairs.size();
  for (;;) {
    if (cursor.p == cursor.end || *cursor.p != '"') return false;
    cursor.pairs.push_back(std::make_unique<TJsonPair>(&object));
    TJsonPair& pair = *cursor.pairs.back();
    if (!cursor.ReadString(pair.Name)) return false;
    cursor.SkipBlanks();
    if (cursor.p == cursor.end || *cursor.p != ':') return false;
    ++cursor.p;
    cursor.SkipBlanks();
    if (cursor.p == cursor.end || *cursor.p == ',' || *cursor.p == '}') return false;
    if (!FastValue(cursor, pair.Value(), level)) return false;
    cursor.SkipBlanks();
    if (cursor.p == cursor.end) return false;
    if (*cursor.p == ',') {
      ++cursor.p;
      cursor.SkipBlanks();
      if (cursor.p < cursor.end && *cursor.p == '}') break;
    } else if (*cursor.p == '}') {
      break;
    } else {
      return false;
    }
  }
  ++cursor.p;
  const auto begin = cursor.pairs.begin() + static_cast<std::ptrdiff_t>(first);
  object.FItems.assign(std::make_move_iterator(begin), std::make_move_iterator(cursor.pairs.end()));
  cursor.pairs.erase(begin, cursor.pairs.end());
  return true;
}

// The splitting parser: the reference for every outcome.

void TJsonParser::RaiseParseError(const TJsonBase& node, std::string_view text) {
  std::string message = "\"" + node.EnclosingPairName() + "\" parse error: ";
  message.append(text.substr(0, 100));
  message += " ..";
  node.RaiseJsonError(message);
}

void TJsonParser::SplitObject(TJsonObject& object, std::string_view text, int level) {
  object.Clear();
  const std::string_view trimmed = JsonTrim(text);
  if (!Encloses(trimmed, '{', '}')) RaiseParseError(object, trimmed);
  TPieceSplitter pieces(JsonTrim(trimmed.substr(1, trimmed.size() - 2)), ',');
  for (std::string_view piece; pieces.Next(piece);) {
    SplitPair(object.Add(std::string()), piece, level);
  }
}

void TJsonParser::SplitArray(TJsonArray& array, std::string_view text, int level) {
  array.Clear();
  const std::string_view trimmed = JsonTrim(text);
  if (!Encloses(trimmed, '[', ']')) RaiseParseError(array, trimmed);
  TPieceSplitter pieces(JsonTrim(trimmed.substr(1, trimmed.size() - 2)), ',');
  for (std::string_view piece; pieces.Next(piece);) {
    SplitValue(array.Add(), piece, level);
  }
}

void TJsonParser::SplitPair(TJsonPair& pair, std::string_view text, int level) {
  TPieceSplitter pieces(text, ':');
  std::string_view parts[2];
  int count = 0;
  for (std::string_view piece; pieces.Next(piece);) {
    if (count == 2) {
      count = 3;  // too many; the rest does not matter
      break;
    }
    parts[count++] = piece;
  }
  if (count != 2) RaiseParseError(pair, text);
  if (!Encloses(parts[0], '"', '"')) RaiseParseError(pair, parts[0]);
  pair.Name = DecodeJsonText(parts[0].substr(1, parts[0].size() - 2));
  SplitValue(pair.Value(), parts[1], level);
}

void TJsonParser::SplitValue(TJsonValue& value, std::string_view text, int level) {
  value.Clear();
  const TJsonValueType type = DetectValueType(text);
  if ((type == jvObject || type == jvArray) && level + 1 > kJsonMaxDepth) RaiseParseError(value, text);
  value.FValueType = type;
  switch (type) {
    case jvNone:
      RaiseParseError(value, text);
    case jvNull:
      break;
    case jvString:
      value.FStringValue = DecodeJsonText(text.substr(1, text.size() - 2));
      break;
    case jvNumber:
      value.FNumberValue = JsonTextToFloat(text);
      break;
    case jvBoolean:
      value.FBooleanValue = TextEquals(text, "true");
      break;
    case jvObject:
      value.FObjectValue = std::make_unique<TJsonObject>(&value);
      SplitObject(*value.FObjectValue, text, level + 1);
      break;
    case jvArray:
      value.FArrayValue = std::make_unique<TJsonArray>(&value);
      SplitArray(*value.FArrayValue, text, level + 1);
      break;
  }
}

void TJsonParser::ParseDocumentSplitting(TFastJSON& document, std::string_view text) {
  document.Clear();
  const std::string_view trimmed = JsonTrim(text);
  if (Encloses(trimmed, '[', ']')) {
    document.NewArray();
    SplitArray(*document.JsonArray(), trimmed, 1);
  } else if (Encloses(trimmed, '{', '}')) {
    document.NewObject();
    SplitObject(*document.JsonObject(), trimmed, 1);
  } else {
    RaiseParseError(document, trimmed);
  }
}

// The entry points: the single pass first, the splitting parser when it
// gives up.

void TJsonParser::ParseDocument(TFastJSON& document, std::string_view text) {
  document.Clear();
  const std::string_view trimmed = JsonTrim(text);
  TCursor cursor(trimmed.data(), trimmed.data() + trimmed.size());
  if (Encloses(trimmed, '[', ']')) {
    document.NewArray();
    if (FastArray(cursor, *document.JsonArray(), 1) && cursor.p == cursor.end) return;
  } else if (Encloses(trimmed, '{', '}')) {
    document.NewObject();
    if (FastObject(cursor, *document.JsonObject(), 1) && cursor.p == cursor.end) return;
  }
  ParseDocumentSplitting(document, text);
}

void TJsonParser::ParseObject(TJsonObject& object, std::string_view text) {
  object.Clear();
  const std::string_view trimmed = JsonTrim(text);
  if (Encloses(trimmed, '{', '}')) {
    TCursor cursor(trimmed.data(), trimmed.data() + trimmed.size());
    if (FastObject(cursor, object, 1) && cursor.p == cursor.end) return;
  }
  SplitObject(object, text, 1);
}

void TJsonParser::ParseArray(TJsonArray& array, std::string_view text) {
  array.Clear();
  const std::string_view trimmed = JsonTrim(text);
  if (Encloses(trimmed, '[', ']')) {
    TCursor cursor(trimmed.data(), trimmed.data() + trimmed.size());
    if (FastArray(cursor, array, 1) && cursor.p == cursor.end) return;
  }
  SplitArray(array, text, 1);
}

void TJsonParser::ParsePair(TJsonPair& pair, std::string_view text) {
  pair.Name.clear();
  pair.Value().Clear();
  SplitPair(pair, text, 0);
}

void TJsonParser::ParseValue(TJsonValue& value, std::string_view text) {
  value.Clear();
  // A value's text is not trimmed, so the single pass only takes text
  // without blanks around it.
  if (!text.empty() && !IsBlank(text.front()) && !IsBlank(text.back())) {
    TCursor cursor(text.data(), text.data() + text.size());
    if (FastValue(cursor, value, 0) && cursor.p == cursor.end) return;
    value.Clear();
  }
  SplitValue(value, text, 0);
}

}  // namespace vx
