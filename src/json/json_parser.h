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
// the node is emptied, and the splitting parser runs from the start and
// decides the outcome (the tree, the error, the nodes built before the
// error). The single pass only accepts text on which both agree.
#pragma once

#include <string_view>

#include "json/fast_json.h"

namespace vx {

class TJsonParser {
 public:
  // The text is taken as it is (the callers cut it at a NUL).
  static void ParseDocument(TFastJSON& document, std::string_view text);
  static void ParseObject(TJsonObject& object, std::string_view text);
  static void ParseArray(TJsonArray& array, std::string_view text);
  static void ParsePair(TJsonPair& pair, std::string_view text);
  static void ParseValue(TJsonValue& value, std::string_view text);

  // The splitting parser alone, for tests that compare both.
  static void ParseDocumentSplitting(TFastJSON& document, std::string_view text);

 private:
  struct TCursor;
  static bool FastValue(TCursor& cursor, TJsonValue& value, int level);
  static bool FastArray(TCursor& cursor, TJsonArray& array, int level);
  static bool FastObject(TCursor& cursor, TJsonObject& object, int level);

  static void SplitObject(TJsonObject& object, std::string_view text, int level);
  static void SplitArray(TJsonArray& array, std::string_view text, int level);
  static void SplitPair(TJsonPair& pair, std::string_view text, int level);
  static void SplitValue(TJsonValue& value, std::string_view text, int level);
  [[noreturn]] static void RaiseParseError(const TJsonBase& node, std::string_view text);
};

}  // namespace vx
