// The parser behind the Parse operations of the JSON model.
//
// The model's rules come from a parser that splits: each node checks the
// brackets around its own text, cuts the inner text at top-level commas (or
// the colon of a pair), trims the pieces and hands each to a child. That
// design decides what is tolerated (trailing commas, any letter case of the
// literals) and which node raises with which text.
//
// Here the same splitting works on views into the caller's text, without
// copies. Before it, one single pass reads well-formed text the way any
// JSON reader does; whenever that pass meets something unusual it gives up,
// the caller empties the node, and the splitting rules run from the start
// and decide the outcome (the tree, the error, the nodes built before the
// error). The single pass only accepts text on which both agree.
//
// The parser knows no nodes. The single pass reports what it reads to a
// handler, and the splitting rules ask a builder to make and fill nodes;
// the model supplies both as template arguments, so that the calls cost
// nothing and the model is the only one that touches its nodes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "json/json_text.h"
#include "json/json_text_internal.h"
#include "support/text_utils.h"

namespace vx {

// What a value's text is by the splitting rules: its first and last byte
// decide, then the literals, then the number rules.
enum class TJsonTextType : uint8_t { None, Null, String, Number, Boolean, Object, Array };
TJsonTextType DetectJsonTextType(std::string_view text);

// True when text has at least 2 bytes, starts with first and ends with last.
inline bool JsonTextEncloses(std::string_view text, char first, char last) {
  return text.size() >= 2 && text.front() == first && text.back() == last;
}

inline bool IsJsonBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Yields the trimmed pieces of a text cut at top-level separators. A
// separator always closes a piece, even an empty one; the rest after the
// last separator is a piece only when it is not empty, so a trailing
// separator is tolerated.
class TJsonPieceSplitter {
 public:
  TJsonPieceSplitter(std::string_view text, char separator) : FText(text), FSeparator(separator) {}

  bool Next(std::string_view& piece);

 private:
  std::string_view FText;
  char FSeparator;
  size_t FStart = 0;
  size_t FPosition = 0;
  bool FDone = false;
};

// The single pass over one value that must fill the whole text. THandler
// gets, in the order of the text:
//   bool Null(); bool Boolean(bool); bool Number(double);
//   bool String(std::string_view text, bool plain);   the inner text as it
//       stands, escapes kept; plain when it holds no backslash
//   bool StartObject(); bool Key(std::string_view text, bool plain); bool EndObject(size_t pairs);
//   bool StartArray(); bool EndArray(size_t items);
// Any of them returns false to give up; so does the reader at the first
// thing that is not plain JSON (with the tolerated trailing commas and
// literal case) or at nesting deeper than maxDepth.
template <typename THandler>
class TJsonFastReader {
 public:
  TJsonFastReader(THandler& handler, int maxDepth) : FHandler(handler), FMaxDepth(maxDepth) {}

  bool Read(std::string_view text) {
    if (text.empty()) return false;
    FPosition = text.data();
    FEnd = FPosition + text.size();
    return Value(0) && FPosition == FEnd;
  }

 private:
  void SkipBlanks() {
    while (FPosition < FEnd && IsJsonBlank(*FPosition)) ++FPosition;
  }

  // Reads the string whose opening quote is at the position and moves
  // behind its closing quote; false when it is unterminated. plain tells
  // that the inner text has no backslash.
  bool ReadString(std::string_view& text, bool& plain) {
    const char* const start = FPosition + 1;
    // Most strings are short and plain: one look at each byte finds the end
    // and shows that there is nothing to decode.
    const char* q = start;
    const char* const shortEnd = FEnd - q > 64 ? q + 64 : FEnd;
    while (q < shortEnd && *q != '"' && *q != '\\') ++q;
    plain = q < shortEnd && *q == '"';
    const char* quote = plain ? q : FindJsonStringEnd(q, FEnd);
    if (quote == nullptr) return false;
    text = std::string_view(start, static_cast<size_t>(quote - start));
    FPosition = quote + 1;
    return true;
  }

  bool Value(int level) {
    const char c = *FPosition;
    if (c == '"') {
      std::string_view text;
      bool plain;
      return ReadString(text, plain) && FHandler.String(text, plain);
    }
    if (c == '{' || c == '[') {
      if (level + 1 > FMaxDepth) return false;
      return c == '{' ? Object(level + 1) : Array(level + 1);
    }
    const char* start = FPosition;
    while (FPosition < FEnd && !kTokenEnd[static_cast<unsigned char>(*FPosition)]) ++FPosition;
    const std::string_view token(start, static_cast<size_t>(FPosition - start));
    if (token.size() == 4 && TextEquals(token, "null")) return FHandler.Null();
    if (token.size() == 4 && TextEquals(token, "true")) return FHandler.Boolean(true);
    if (token.size() == 5 && TextEquals(token, "false")) return FHandler.Boolean(false);
    double number;
    return !token.empty() && TryJsonTextToFloat(token, number) && FHandler.Number(number);
  }

  bool Array(int level) {
    ++FPosition;  // "["
    if (!FHandler.StartArray()) return false;
    SkipBlanks();
    size_t count = 0;
    if (FPosition < FEnd && *FPosition == ']') {
      ++FPosition;
      return FHandler.EndArray(count);
    }
    for (TNext next = TNext::Element; next == TNext::Element; ++count) {
      if (FPosition == FEnd || *FPosition == ',' || *FPosition == ']') return false;
      if (!Value(level)) return false;
      next = AfterElement(']');
      if (next == TNext::Failed) return false;
    }
    return FHandler.EndArray(count);
  }

  bool Object(int level) {
    ++FPosition;  // "{"
    if (!FHandler.StartObject()) return false;
    SkipBlanks();
    size_t count = 0;
    if (FPosition < FEnd && *FPosition == '}') {
      ++FPosition;
      return FHandler.EndObject(count);
    }
    for (TNext next = TNext::Element; next == TNext::Element; ++count) {
      if (FPosition == FEnd || *FPosition != '"') return false;
      std::string_view name;
      bool plain;
      if (!ReadString(name, plain) || !FHandler.Key(name, plain)) return false;
      SkipBlanks();
      if (FPosition == FEnd || *FPosition != ':') return false;
      ++FPosition;
      SkipBlanks();
      if (FPosition == FEnd || *FPosition == ',' || *FPosition == '}') return false;
      if (!Value(level)) return false;
      next = AfterElement('}');
      if (next == TNext::Failed) return false;
    }
    return FHandler.EndObject(count);
  }

  enum class TNext { Element, Closed, Failed };

  // Moves past what follows an element: a comma (and the closer, when a
  // trailing comma is all that is left) or the closer.
  TNext AfterElement(char closer) {
    SkipBlanks();
    if (FPosition == FEnd) return TNext::Failed;
    if (*FPosition == ',') {
      ++FPosition;
      SkipBlanks();
      if (FPosition == FEnd || *FPosition != closer) return TNext::Element;
    } else if (*FPosition != closer) {
      return TNext::Failed;
    }
    ++FPosition;
    return TNext::Closed;
  }

  // Bytes that end a literal or number.
  static constexpr std::array<bool, 256> MakeTokenEndTable() {
    std::array<bool, 256> table{};
    for (int c = 0; c <= 0x20; ++c) table[c] = true;
    for (char c : {',', ':', '"', '[', ']', '{', '}'}) table[static_cast<unsigned char>(c)] = true;
    return table;
  }
  static constexpr std::array<bool, 256> kTokenEnd = MakeTokenEndTable();

  THandler& FHandler;
  const int FMaxDepth;
  const char* FPosition = nullptr;
  const char* FEnd = nullptr;
};

// The splitting rules: the reference for every outcome. TBuilder makes
// and fills the nodes through the references it hands out:
//   TDocumentRef, TObjectRef, TArrayRef, TPairRef, TValueRef
//   TArrayRef NewRootArray(TDocumentRef); TObjectRef NewRootObject(TDocumentRef);
//   TPairRef AddPair(TObjectRef);         a pair with an empty name and value
//   void SetPairName(TPairRef, std::string_view escaped);
//   TValueRef PairValue(TPairRef);
//   TValueRef AddItem(TArrayRef);         an empty value
//   void SetNull(TValueRef); void SetBoolean(TValueRef, bool); void SetNumber(TValueRef, double);
//   void SetString(TValueRef, std::string_view escaped);   the type first, then the decoded text
//   TObjectRef SetObject(TValueRef); TArrayRef SetArray(TValueRef);
//   [[noreturn]] void RaiseParseError(any reference, std::string_view text);
// Decoding may raise "InvalidHexNumber". Whatever was built before an error
// stays built. The references given to the entry points must be empty.
template <typename TBuilder>
class TJsonSplitReader {
 public:
  using TDocumentRef = typename TBuilder::TDocumentRef;
  using TObjectRef = typename TBuilder::TObjectRef;
  using TArrayRef = typename TBuilder::TArrayRef;
  using TPairRef = typename TBuilder::TPairRef;
  using TValueRef = typename TBuilder::TValueRef;

  TJsonSplitReader(TBuilder& builder, int maxDepth) : FBuilder(builder), FMaxDepth(maxDepth) {}

  // A document takes only a text enclosed in "[ ]" or "{ }" after trimming.
  void Document(TDocumentRef document, std::string_view text) {
    const std::string_view trimmed = JsonTrim(text);
    if (JsonTextEncloses(trimmed, '[', ']')) {
      Array(FBuilder.NewRootArray(document), trimmed, 1);
    } else if (JsonTextEncloses(trimmed, '{', '}')) {
      Object(FBuilder.NewRootObject(document), trimmed, 1);
    } else {
      FBuilder.RaiseParseError(document, trimmed);
    }
  }

  // level: the nesting level of the node itself (a root is at 1).
  void Object(TObjectRef object, std::string_view text, int level) {
    const std::string_view trimmed = JsonTrim(text);
    if (!JsonTextEncloses(trimmed, '{', '}')) FBuilder.RaiseParseError(object, trimmed);
    TJsonPieceSplitter pieces(JsonTrim(trimmed.substr(1, trimmed.size() - 2)), ',');
    for (std::string_view piece; pieces.Next(piece);) Pair(FBuilder.AddPair(object), piece, level);
  }

  void Array(TArrayRef array, std::string_view text, int level) {
    const std::string_view trimmed = JsonTrim(text);
    if (!JsonTextEncloses(trimmed, '[', ']')) FBuilder.RaiseParseError(array, trimmed);
    TJsonPieceSplitter pieces(JsonTrim(trimmed.substr(1, trimmed.size() - 2)), ',');
    for (std::string_view piece; pieces.Next(piece);) Value(FBuilder.AddItem(array), piece, level);
  }

  // level: the level of the object that holds the pair.
  void Pair(TPairRef pair, std::string_view text, int level) {
    TJsonPieceSplitter pieces(text, ':');
    std::string_view parts[2];
    int count = 0;
    for (std::string_view piece; pieces.Next(piece);) {
      if (count == 2) {
        count = 3;  // too many; the rest does not matter
        break;
      }
      parts[count++] = piece;
    }
    if (count != 2) FBuilder.RaiseParseError(pair, text);
    if (!JsonTextEncloses(parts[0], '"', '"')) FBuilder.RaiseParseError(pair, parts[0]);
    FBuilder.SetPairName(pair, parts[0].substr(1, parts[0].size() - 2));
    Value(FBuilder.PairValue(pair), parts[1], level);
  }

  // level: the level of the node that holds the value. The text is not
  // trimmed: the node above has done that.
  void Value(TValueRef value, std::string_view text, int level) {
    const TJsonTextType type = DetectJsonTextType(text);
    if ((type == TJsonTextType::Object || type == TJsonTextType::Array) && level + 1 > FMaxDepth) {
      FBuilder.RaiseParseError(value, text);
    }
    switch (type) {
      case TJsonTextType::None:
        FBuilder.RaiseParseError(value, text);
      case TJsonTextType::Null:
        FBuilder.SetNull(value);
        break;
      case TJsonTextType::String:
        FBuilder.SetString(value, text.substr(1, text.size() - 2));
        break;
      case TJsonTextType::Number:
        FBuilder.SetNumber(value, JsonTextToFloat(text));
        break;
      case TJsonTextType::Boolean:
        FBuilder.SetBoolean(value, TextEquals(text, "true"));
        break;
      case TJsonTextType::Object:
        Object(FBuilder.SetObject(value), text, level + 1);
        break;
      case TJsonTextType::Array:
        Array(FBuilder.SetArray(value), text, level + 1);
        break;
    }
  }

 private:
  TBuilder& FBuilder;
  const int FMaxDepth;
};

}  // namespace vx
