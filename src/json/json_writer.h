// The two writers of the JSON model, Stringify and WriteTo: nodes as JSON
// text, compact or laid out by a formatter. Both run here, so that the
// compact bytes are the same for both; with a formatter the stream layout
// and the text layout differ as the formatter's rules say.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "json/json_output.h"

namespace vx {

class TJsonWriter {
 public:
  // Into stream when given, else into a text (sizeHint: about how many
  // bytes it will take, when known). Without a formatter the output is
  // compact; with one, its level changes as the writer goes.
  TJsonWriter(TStream* stream, TJSONFormatter* formatter, size_t sizeHint = 0)
      : FOut(stream, sizeHint), FToStream(stream != nullptr), FFormatter(formatter) {}

  // Stream errors pass through.
  void Value(const TJsonValue& value);
  void Pair(const TJsonPair& pair);
  void Object(const TJsonObject& object);
  void Array(const TJsonArray& array);

  // Writes what is left to the stream.
  void Finish() { FOut.Finish(); }
  // The text written.
  std::string TakeText() { return FOut.TakeText(); }

 private:
  void String(std::string_view raw, uint8_t flags);
  void Format(TJSONFormatterAction action);

  TJsonOutput FOut;
  const bool FToStream;
  TJSONFormatter* const FFormatter;
  std::string FScratch;
};

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
