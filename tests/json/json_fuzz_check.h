// The properties that every input of the parser must keep; shared by the
// fuzz target and the regression test of the inputs it found.
#pragma once

#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "support/streams.h"

namespace vx::testing {

// Asks every array and object below value for its items, so that none is
// left pending on the tape.
inline void MakeEveryNode(const TJsonValue& value) {
  if (const TJsonArray* array = value.ArrayValue()) {
    for (int i = 0; i < array->Count(); ++i) MakeEveryNode(array->Items(i));
  }
  if (const TJsonObject* object = value.ObjectValue()) {
    for (int i = 0; i < object->Count(); ++i) MakeEveryNode(object->Items(i).Value());
  }
}

// True when two trees of the same text (as their compact texts show) hold
// the same doubles to the last bit, which the 15 digits written do not
// show.
inline bool SameNumbers(const TJsonValue& first, const TJsonValue& second) {
  if (first.ValueType() != second.ValueType()) return false;
  if (first.ValueType() == jvNumber) {
    const double a = first.NumberValue();
    const double b = second.NumberValue();
    return std::memcmp(&a, &b, sizeof a) == 0;
  }
  if (const TJsonArray* array = first.ArrayValue()) {
    for (int i = 0; i < array->Count(); ++i) {
      if (!SameNumbers(array->Items(i), second.ArrayValue()->Items(i))) return false;
    }
  }
  if (const TJsonObject* object = first.ObjectValue()) {
    for (int i = 0; i < object->Count(); ++i) {
      if (!SameNumbers(object->Items(i).Value(), second.ObjectValue()->Items(i).Value())) return false;
    }
  }
  return true;
}

inline bool SameNumbers(const TFastJSON& first, const TFastJSON& second) {
  TJsonValue a;
  TJsonValue b;
  if (first.JsonArray()) {
    a.Assign(first.JsonArray());
    b.Assign(second.JsonArray());
  } else if (first.JsonObject()) {
    a.Assign(first.JsonObject());
    b.Assign(second.JsonObject());
  }
  return SameNumbers(a, b);
}

inline void MakeEveryNode(const TFastJSON& json) {
  if (const TJsonArray* array = json.JsonArray()) {
    for (int i = 0; i < array->Count(); ++i) MakeEveryNode(array->Items(i));
  }
  if (const TJsonObject* object = json.JsonObject()) {
    for (int i = 0; i < object->Count(); ++i) MakeEveryNode(object->Items(i).Value());
  }
}

// Empty when all is well, else what went wrong.
//  - The single pass and the splitting parser agree on the tree (also the
//    partial tree of a failed parse, every number to its last bit) and on
//    the error text.
//  - A parsed document written compactly, formatted as a stream or
//    formatted as a text reads back to the same compact text, and a deep
//    copy writes the same text, taken from the tape and from the nodes.
//  - Making every node from the tape changes nothing that is written.
inline std::string CheckJsonInput(std::string_view input) {
  auto parse = [](TFastJSON& json, std::string_view text, bool splitting) -> std::string {
    try {
      if (splitting) {
        ParseJsonDocumentSplitting(json, text.substr(0, text.find('\0')));
      } else {
        json.Parse(text);
      }
    } catch (const std::exception& error) {
      return std::string("error: ") + error.what();
    }
    return "ok";
  };
  TFastJSON fast;
  TFastJSON split;
  const std::string fastResult = parse(fast, input, false);
  const std::string splitResult = parse(split, input, true);
  if (fastResult != splitResult) return "results differ: " + fastResult + " / " + splitResult;
  const std::string compact = fast.Stringify();
  if (compact != split.Stringify()) return "trees differ: " + compact + " / " + split.Stringify();
  if (!SameNumbers(fast, split)) return "numbers differ: " + compact;
  if (fastResult != "ok") return "";

  auto readsBack = [&](const std::string& text, const char* what) -> std::string {
    TFastJSON back;
    const std::string result = parse(back, text, false);
    if (result != "ok") return std::string(what) + " does not read back: " + result;
    if (back.Stringify() != compact) return std::string(what) + " reads back differently: " + back.Stringify();
    return "";
  };
  std::string problem = readsBack(compact, "compact text");
  if (!problem.empty()) return problem;
  TJSONFormatter streamFormatter("\r\n", 2);
  TMemoryStream stream;
  fast.WriteTo(stream, &streamFormatter);
  if (streamFormatter.Level != 2) return "stream layout does not end at its start level";
  problem = readsBack(stream.Data(), "stream layout");
  if (!problem.empty()) return problem;
  TJSONFormatter textFormatter("\n", 0);
  problem = readsBack(fast.Stringify(&textFormatter), "text layout");
  if (!problem.empty()) return problem;
  TFastJSON copy;
  copy.Assign(&fast);
  if (copy.Stringify() != compact) return "copy differs";
  MakeEveryNode(fast);
  if (fast.Stringify() != compact) return "the nodes made from the tape differ: " + fast.Stringify();
  TFastJSON copyOfNodes;
  copyOfNodes.Assign(&fast);
  if (copyOfNodes.Stringify() != compact) return "copy of the nodes differs";
  return "";
}

}  // namespace vx::testing
