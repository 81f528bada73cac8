// The two writers of the JSON model, Stringify and WriteTo: nodes as JSON
// text, compact or laid out by a formatter. Both run here, so that the
// compact bytes are the same for both; with a formatter the stream layout
// and the text layout differ as the formatter's rules say.
//
// Defined here, inline, as the parser's builders are: the writer's steps
// call one another for every node, and the compiler inlines them into one
// another only when it sees them as inline. In a .cpp of their own they
// wrote 5 to 10 % slower (vx_json_bench, Compact and Formatted). For the
// model's own code only.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "json/json_node_access.h"
#include "json/json_output.h"
#include "json/json_stored_text.h"
#include "json/json_tape.h"
#include "json/json_text.h"
#include "json/json_text_internal.h"

namespace vx {

class TJsonWriter {
 public:
  // Into stream when given, else into a text (sizeHint: about how many
  // bytes it will take, when known). Without a formatter the output is
  // compact; with one, its level changes as the writer goes.
  TJsonWriter(TStream* stream, TJSONFormatter* formatter, size_t sizeHint = 0)
      : FOut(stream, sizeHint), FToStream(stream != nullptr), FFormatter(formatter) {}

  // Stream errors pass through. An array or object whose items are still
  // pending is written from the tape, and its items stay pending.
  void Value(const TJsonValue& value);
  void Pair(const TJsonPair& pair);
  void Object(const TJsonObject& object);
  void Array(const TJsonArray& array);

  // Writes what is left to the stream.
  void Finish() { FOut.Finish(); }
  // The text written.
  std::string TakeText() { return FOut.TakeText(); }

 private:
  // The same from a tape (json_tape.h); name is a pair's Name record.
  void TapeValue(TJsonTapeRecord record);
  void TapePair(TJsonTapeRecord name);
  void TapeObject(TJsonTapeRecord object);
  void TapeArray(TJsonTapeRecord array);

  // The layout around the items of an object or array, whoever holds
  // them: eachItem(before) writes the items, calling before() ahead of
  // each.
  template <typename TEachItem>
  void ObjectLayout(TEachItem eachItem);
  template <typename TEachItem>
  void ArrayLayout(TEachItem eachItem);

  void PairName(std::string_view raw, uint8_t flags);
  void Number(double number);
  void Integer(int32_t number);
  void String(std::string_view raw, uint8_t flags);
  void Format(TJSONFormatterAction action);

  TJsonOutput FOut;
  const bool FToStream;
  TJSONFormatter* const FFormatter;
};

inline void TJsonWriter::Value(const TJsonValue& value) {
  switch (value.ValueType()) {
    case jvNone:
    case jvNull:
      FOut.Put("null");
      break;
    case jvString:
      String(TJsonNodeAccess::RawText(value), TJsonNodeAccess::TextFlags(value));
      break;
    case jvNumber:
      Number(value.NumberValue());
      break;
    case jvBoolean:
      FOut.Put(value.BooleanValue() ? std::string_view("true") : std::string_view("false"));
      break;
    case jvObject:
      Object(*value.ObjectValue());
      break;
    case jvArray:
      Array(*value.ArrayValue());
      break;
  }
}

inline void TJsonWriter::TapeValue(TJsonTapeRecord record) {
  switch (record.Tag()) {
    case TJsonTapeTag::Null:
      FOut.Put("null");
      break;
    case TJsonTapeTag::False:
      FOut.Put("false");
      break;
    case TJsonTapeTag::True:
      FOut.Put("true");
      break;
    case TJsonTapeTag::Integer:
      Integer(record.Integer());
      break;
    case TJsonTapeTag::Number:
      Number(record.Number());
      break;
    case TJsonTapeTag::String:
    case TJsonTapeTag::ShortString: {
      const TJsonStoredText text = record.Text();
      String(std::string_view(text.Data, text.Length), text.Flags);
      break;
    }
    case TJsonTapeTag::Array:
      TapeArray(record);
      break;
    case TJsonTapeTag::Object:
      TapeObject(record);
      break;
    case TJsonTapeTag::Name:
    case TJsonTapeTag::ShortName:
    case TJsonTapeTag::Link:
      break;  // no value's record
  }
}

inline void TJsonWriter::Pair(const TJsonPair& pair) {
  PairName(TJsonNodeAccess::RawName(pair), TJsonNodeAccess::NameFlags(pair));
  Value(pair.Value());
}

inline void TJsonWriter::TapePair(TJsonTapeRecord name) {
  const TJsonStoredText text = name.Text();
  PairName(std::string_view(text.Data, text.Length), text.Flags);
  TapeValue(TJsonTapeRecord(name.End(), name.Source()));
}

inline void TJsonWriter::PairName(std::string_view raw, uint8_t flags) {
  Format(fmIndent);
  String(raw, flags);
  FOut.Put(':');
}

inline void TJsonWriter::Object(const TJsonObject& object) {
  const TJsonPending& pending = TJsonNodeAccess::Pending(object);
  if (pending.Record) return TapeObject(PendingRecord(pending));
  ObjectLayout([&](auto& before) {
    TJsonNodeAccess::Items(object).ForEach([&](const TJsonPair& pair) {
      before();
      Pair(pair);
    });
  });
}

inline void TJsonWriter::TapeObject(TJsonTapeRecord object) {
  ObjectLayout([&](auto& before) {
    ForEachTapeItem(object, [&](TJsonTapeRecord name) {
      before();
      TapePair(name);
    });
  });
}

template <typename TEachItem>
void TJsonWriter::ObjectLayout(TEachItem eachItem) {
  if (FFormatter) {
    // The stream layout starts an object on a line of its own unless it is
    // the very first thing written.
    Format(!FToStream || FOut.Position() == 0 ? fmIndent : fmLineBreakIndent);
  }
  FOut.Put('{');
  bool first = true;
  auto before = [&] {
    if (!first) FOut.Put(',');
    first = false;
    Format(fmLineBreak);
  };
  eachItem(before);
  Format(fmLineBreakIndent);
  FOut.Put('}');
}

inline void TJsonWriter::Array(const TJsonArray& array) {
  const TJsonPending& pending = TJsonNodeAccess::Pending(array);
  if (pending.Record) return TapeArray(PendingRecord(pending));
  ArrayLayout([&](auto& before) {
    TJsonNodeAccess::Items(array).ForEach([&](const TJsonValue& item) {
      before();
      Value(item);
    });
  });
}

inline void TJsonWriter::TapeArray(TJsonTapeRecord array) {
  ArrayLayout([&](auto& before) {
    ForEachTapeItem(array, [&](TJsonTapeRecord item) {
      before();
      TapeValue(item);
    });
  });
}

template <typename TEachItem>
void TJsonWriter::ArrayLayout(TEachItem eachItem) {
  Format(fmIndentIn);
  FOut.Put('[');
  bool first = true;
  auto before = [&] {
    if (!first) FOut.Put(',');
    first = false;
    if (!FToStream) Format(fmLineBreak);
  };
  eachItem(before);
  Format(fmLineBreakIndent);
  FOut.Put(']');
  Format(fmLineBreakOut);
}

inline void TJsonWriter::Number(double number) {
  FOut.Advance(JsonFloatToChars(number, FOut.Room(kMostJsonFloatChars)));
}

// What JsonFloatToText gives a whole number of this size.
inline void TJsonWriter::Integer(int32_t number) {
  char* const room = FOut.Room(kMostJsonFloatChars);
  FOut.Advance(static_cast<size_t>(std::to_chars(room, room + kMostJsonFloatChars, number).ptr - room));
}

// A text that stands as the writer would write it is copied; any other is
// encoded (after decoding, when it holds escapes).
inline void TJsonWriter::String(std::string_view raw, uint8_t flags) {
  FOut.Put('"');
  if (flags & TJsonTextFlags::kCanonical) {
    FOut.Put(raw);
  } else if (flags & TJsonTextFlags::kEscaped) {
    PutReencodedJsonText(FOut, raw);
  } else {
    PutEncodedJsonText(FOut, raw);
  }
  FOut.Put('"');
}

inline void TJsonWriter::Format(TJSONFormatterAction action) {
  if (!FFormatter) return;
  const TJSONFormatterText bytes = TJSONFormatter::Apply(action, FFormatter);
  FOut.Put(bytes.LineBreak);
  FOut.Put(bytes.Indent);
}

// The text that write(writer) writes.
template <typename TWrite>
std::string StringifyWith(TJSONFormatter* formatter, size_t sizeHint, TWrite write) {
  TJsonWriter writer(nullptr, formatter, sizeHint);
  write(writer);
  return writer.TakeText();
}

// Writes to stream what write(writer) writes, all of it.
template <typename TWrite>
void WriteWith(TStream& stream, TJSONFormatter* formatter, TWrite write) {
  TJsonWriter writer(&stream, formatter);
  write(writer);
  writer.Finish();
}

}  // namespace vx
