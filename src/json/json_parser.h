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
#include <vector>

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

// Where each bracket of a text is closed, as the splitting rules match
// them: strings and brackets of either kind nest inside brackets, and a
// closer of the other kind is an ordinary byte. Found in one pass over the
// whole text when first asked, so that no level of the rules scans the
// groups nested in it again. Only brackets within maxDepth groups are
// kept: the rules refuse deeper ones before they reach them.
class TJsonClosers {
 public:
  TJsonClosers(std::string_view text, int maxDepth) : FText(text), FMaxDepth(maxDepth) {}

  // The closer of the bracket at open (a pointer into the text) when it
  // comes before end, else end.
  const char* Closing(const char* open, const char* end);

 private:
  void Build();

  std::string_view FText;
  const int FMaxDepth;
  bool FBuilt = false;
  // The positions of the brackets in the text's order, and of their
  // closers (npos for a bracket that is never closed).
  std::vector<size_t> FOpeners;
  std::vector<size_t> FClosers;
};

// The separators of one kind that a walk met at its own level in a
// stretch of text: the first three, and whether there were more.
struct TJsonSeparators {
  const char* At[3] = {};
  uint8_t Count = 0;
  bool More = false;

  void Add(const char* separator) {
    if (Count < 3) {
      At[Count++] = separator;
    } else {
      More = true;
    }
  }
  bool Empty() const { return Count == 0 && !More; }
  // Those that lie in [first, last).
  TJsonSeparators Within(const char* first, const char* last) const;
};

// A trimmed piece of a text, and the separators that the walk met inside
// it at its own level. A child that the piece holds finds there what lies
// behind its own closing bracket without walking that part again.
struct TJsonPiece {
  std::string_view Text;
  TJsonSeparators Commas;
  TJsonSeparators Colons;
};

// Yields the trimmed pieces of a text cut at top-level separators. A
// separator always closes a piece, even an empty one; the rest after the
// last separator is a piece only when it is not empty, so a trailing
// separator is tolerated.
//
// From tail on (when given), the text is known from tailFacts: it belongs
// to the last piece when it holds no separator of the walk's kind, and then
// it is not walked.
class TJsonPieceWalker {
 public:
  TJsonPieceWalker(TJsonClosers& closers, std::string_view text, char separator, const char* tail = nullptr,
                   const TJsonPiece* tailFacts = nullptr);

  bool Next(TJsonPiece& piece);

 private:
  TJsonClosers& FClosers;
  const char* const FEnd;
  const char FSeparator;
  const char* FTail = nullptr;
  const TJsonSeparators* FTailSeparators = nullptr;
  const char* FStart;
  bool FDone = false;
};

// The single pass over one value that must fill the whole text. THandler
// gets, in the order of the text:
//   bool Null(); bool Boolean(bool);
//   bool Number(double number, bool whole);
//       whole: written as a whole number of at most 9 digits, and not -0
//   bool String(std::string_view text, const TJsonStringForm& form);
//       the inner text as it stands: its escapes are checked, not decoded
//   bool StartObject(); bool Key(std::string_view text, const TJsonStringForm& form);
//   bool EndObject(size_t pairs);
//   bool StartArray(); bool EndArray(size_t items);
// Any of them returns false to give up; so does the reader at the first
// thing that is not plain JSON (with the tolerated trailing commas and
// literal case) or at nesting deeper than maxDepth.
template <typename THandler>
class TJsonFastReader {
 public:
  TJsonFastReader(THandler& handler, int maxDepth)
      : FHandler(handler), FMaxDepth(maxDepth), FNumberSeparator(NumberSeparator(JsonDecimalPoint())) {}

  bool Read(std::string_view text) {
    if (text.empty()) return false;
    FPosition = text.data();
    FEnd = FPosition + text.size();
    return Value(0) && FPosition == FEnd;
  }

 private:
  // On a local pointer: the bytes read could alias the members, which would
  // then be stored and loaded again for every byte.
  void SkipBlanks() {
    const char* p = FPosition;
    const char* const end = FEnd;
    while (p < end && IsJsonBlank(*p)) ++p;
    FPosition = p;
  }

  // Reads the string whose opening quote is at the position and moves
  // behind its closing quote; false when it is unterminated or has an
  // escape that does not decode.
  bool ReadString(std::string_view& text, TJsonStringForm& form) {
    const char* const start = FPosition + 1;
    const char* quote = ScanJsonString(start, FEnd, form);
    if (quote == nullptr || !form.Valid) return false;
    text = std::string_view(start, static_cast<size_t>(quote - start));
    FPosition = quote + 1;
    return true;
  }

  bool Value(int level) {
    const char c = *FPosition;
    if (c == '"') {
      std::string_view text;
      TJsonStringForm form;
      return ReadString(text, form) && FHandler.String(text, form);
    }
    if (c == '{' || c == '[') {
      if (level + 1 > FMaxDepth) return false;
      return c == '{' ? Object(level + 1) : Array(level + 1);
    }
    if ((c >= '0' && c <= '9') || c == '-') {
      // A number read in one pass, which must end where the token does;
      // no literal starts so.
      TJsonNumber number;
      const char* const after = ReadJsonNumber(FPosition, FEnd, FNumberSeparator, number);
      if (after == nullptr || (after < FEnd && !kTokenEnd[static_cast<unsigned char>(*after)])) return false;
      FPosition = after;
      return FHandler.Number(number.Value, number.Whole);
    }
    const char* start = FPosition;
    FPosition = FindTokenEnd(FPosition, FEnd);
    const std::string_view token(start, static_cast<size_t>(FPosition - start));
    // The literals as they are mostly written, before any letter case.
    if (token == "null") return FHandler.Null();
    if (token == "true") return FHandler.Boolean(true);
    if (token == "false") return FHandler.Boolean(false);
    if (token.size() == 4 && TextEquals(token, "null")) return FHandler.Null();
    if (token.size() == 4 && TextEquals(token, "true")) return FHandler.Boolean(true);
    if (token.size() == 5 && TextEquals(token, "false")) return FHandler.Boolean(false);
    double number;
    return !token.empty() && TryJsonTextToFloat(token, number) && FHandler.Number(number, false);
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
      TJsonStringForm form;
      if (!ReadString(name, form) || !FHandler.Key(name, form)) return false;
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

  // The locale's decimal separator, as far as it can stand inside a
  // number's token: one that ends tokens (a comma) ends the number too.
  static char NumberSeparator(char point) { return kTokenEnd[static_cast<unsigned char>(point)] ? '.' : point; }

  // The first byte at or after p that ends a literal or number.
  static const char* FindTokenEnd(const char* p, const char* end) {
    using namespace json_words;
    return FindMarked(
        p, end,
        [](uint64_t word) {
          return BytesBelow(word, 0x21) | BytesEqual(word, ',') | BytesEqual(word, ':') | BytesEqual(word, '"') |
                 BytesEqual(word, '[') | BytesEqual(word, ']') | BytesEqual(word, '{') | BytesEqual(word, '}');
        },
        [](char c) { return kTokenEnd[static_cast<unsigned char>(c)]; });
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
  const char FNumberSeparator;
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

  // text: everything the reader will be given; the entry points take it or
  // a part of it.
  TJsonSplitReader(TBuilder& builder, std::string_view text, int maxDepth)
      : FBuilder(builder), FMaxDepth(maxDepth), FClosers(text, maxDepth) {}

  // A document takes only a text enclosed in "[ ]" or "{ }" after trimming.
  void Document(TDocumentRef document, std::string_view text) {
    const std::string_view trimmed = JsonTrim(text);
    if (JsonTextEncloses(trimmed, '[', ']')) {
      Array(FBuilder.NewRootArray(document), trimmed, 1, nullptr);
    } else if (JsonTextEncloses(trimmed, '{', '}')) {
      Object(FBuilder.NewRootObject(document), trimmed, 1, nullptr);
    } else {
      FBuilder.RaiseParseError(document, trimmed);
    }
  }

  // level: the nesting level of the node itself (a root is at 1). facts:
  // what the walk above found in text, when text is one of its pieces.
  void Object(TObjectRef object, std::string_view text, int level, const TJsonPiece* facts) {
    const std::string_view trimmed = JsonTrim(text);
    if (!JsonTextEncloses(trimmed, '{', '}')) FBuilder.RaiseParseError(object, trimmed);
    TJsonPieceWalker pieces(FClosers, Inner(trimmed), ',', Tail(trimmed, facts), facts);
    for (TJsonPiece piece; pieces.Next(piece);) Pair(FBuilder.AddPair(object), piece, level);
  }

  void Array(TArrayRef array, std::string_view text, int level, const TJsonPiece* facts) {
    const std::string_view trimmed = JsonTrim(text);
    if (!JsonTextEncloses(trimmed, '[', ']')) FBuilder.RaiseParseError(array, trimmed);
    TJsonPieceWalker pieces(FClosers, Inner(trimmed), ',', Tail(trimmed, facts), facts);
    for (TJsonPiece piece; pieces.Next(piece);) Value(FBuilder.AddItem(array), piece.Text, level, &piece);
  }

  // A pair parsed on its own: its text is walked for the colons.
  void Pair(TPairRef pair, std::string_view text, int level) {
    TJsonPieceWalker pieces(FClosers, text, ':');
    TJsonPiece parts[2];
    int count = 0;
    for (TJsonPiece piece; pieces.Next(piece);) {
      if (count == 2) {
        count = 3;  // too many; the rest does not matter
        break;
      }
      parts[count++] = piece;
    }
    if (count != 2) FBuilder.RaiseParseError(pair, text);
    NameAndValue(pair, parts[0].Text, parts[1], level);
  }

  // A pair of an object: the object's walk has found its colons.
  void Pair(TPairRef pair, const TJsonPiece& piece, int level) {
    const std::string_view text = piece.Text;
    const TJsonSeparators& colons = piece.Colons;
    // The pieces between the colons, as a walk at ":" would cut them.
    std::string_view parts[2];
    int count = 0;
    const char* start = text.data();
    for (uint8_t i = 0; i < colons.Count && count < 3; ++i) {
      if (count < 2) parts[count] = JsonTrim(std::string_view(start, static_cast<size_t>(colons.At[i] - start)));
      ++count;
      start = colons.At[i] + 1;
    }
    const std::string_view rest = JsonTrim(std::string_view(start, static_cast<size_t>(text.data() + text.size() - start)));
    if (colons.More) {
      count = 3;
    } else if (!rest.empty()) {
      if (count < 2) parts[count] = rest;
      ++count;
    }
    if (count != 2) FBuilder.RaiseParseError(pair, text);
    TJsonPiece value;
    value.Text = parts[1];
    value.Commas = piece.Commas.Within(parts[1].data(), parts[1].data() + parts[1].size());
    NameAndValue(pair, parts[0], value, level);
  }

  // level: the level of the node that holds the value. The text is not
  // trimmed: the node above has done that.
  void Value(TValueRef value, std::string_view text, int level, const TJsonPiece* facts) {
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
        Object(FBuilder.SetObject(value), text, level + 1, facts);
        break;
      case TJsonTextType::Array:
        Array(FBuilder.SetArray(value), text, level + 1, facts);
        break;
    }
  }

 private:
  static std::string_view Inner(std::string_view enclosed) { return JsonTrim(enclosed.substr(1, enclosed.size() - 2)); }

  // Where the part of an enclosed text begins that lies behind the closer
  // of its first bracket, when the walk above has been there; null when
  // there is no such part.
  const char* Tail(std::string_view enclosed, const TJsonPiece* facts) {
    if (facts == nullptr) return nullptr;
    const char* last = enclosed.data() + enclosed.size() - 1;
    const char* closer = FClosers.Closing(enclosed.data(), last);
    return closer < last ? closer + 1 : nullptr;
  }

  void NameAndValue(TPairRef pair, std::string_view name, const TJsonPiece& value, int level) {
    if (!JsonTextEncloses(name, '"', '"')) FBuilder.RaiseParseError(pair, name);
    FBuilder.SetPairName(pair, name.substr(1, name.size() - 2));
    Value(FBuilder.PairValue(pair), value.Text, level, &value);
  }

  TBuilder& FBuilder;
  const int FMaxDepth;
  TJsonClosers FClosers;
};

}  // namespace vx
