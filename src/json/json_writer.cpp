#include "json/json_writer.h"

#include "json/json_node_access.h"
#include "json/json_text.h"
#include "json/json_text_internal.h"

namespace vx {

void TJsonWriter::Value(const TJsonValue& value) {
  switch (value.ValueType()) {
    case jvNone:
    case jvNull:
      FOut.Put("null");
      break;
    case jvString:
      String(TJsonNodeAccess::RawText(value), TJsonNodeAccess::TextFlags(value));
      break;
    case jvNumber: {
      char digits[32];
      FOut.Put(std::string_view(digits, JsonFloatToChars(value.NumberValue(), digits)));
      break;
    }
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

void TJsonWriter::Pair(const TJsonPair& pair) {
  Format(fmIndent);
  String(TJsonNodeAccess::RawName(pair), TJsonNodeAccess::NameFlags(pair));
  FOut.Put(':');
  Value(pair.Value());
}

void TJsonWriter::Object(const TJsonObject& object) {
  if (FFormatter) {
    // The stream layout starts an object on a line of its own unless it is
    // the very first thing written.
    Format(!FToStream || FOut.Position() == 0 ? fmIndent : fmLineBreakIndent);
  }
  FOut.Put('{');
  bool first = true;
  TJsonNodeAccess::Items(object).ForEach([&](const TJsonPair& pair) {
    if (!first) FOut.Put(',');
    first = false;
    Format(fmLineBreak);
    Pair(pair);
  });
  Format(fmLineBreakIndent);
  FOut.Put('}');
}

void TJsonWriter::Array(const TJsonArray& array) {
  Format(fmIndentIn);
  FOut.Put('[');
  bool first = true;
  TJsonNodeAccess::Items(array).ForEach([&](const TJsonValue& item) {
    if (!first) FOut.Put(',');
    first = false;
    if (!FToStream) Format(fmLineBreak);
    Value(item);
  });
  Format(fmLineBreakIndent);
  FOut.Put(']');
  Format(fmLineBreakOut);
}

// A text that stands as the writer would write it is copied; any other is
// encoded (after decoding, when it holds escapes).
void TJsonWriter::String(std::string_view raw, uint8_t flags) {
  FOut.Put('"');
  if (flags & TJsonTextFlags::kCanonical) {
    FOut.Put(raw);
  } else {
    FScratch.clear();
    if (flags & TJsonTextFlags::kEscaped) {
      AppendReencodedJsonText(FScratch, raw);
    } else {
      AppendEncodedJsonText(FScratch, raw);
    }
    FOut.Put(FScratch);
  }
  FOut.Put('"');
}

void TJsonWriter::Format(TJSONFormatterAction action) {
  if (!FFormatter) return;
  const TJSONFormatterText bytes = TJSONFormatter::Apply(action, FFormatter);
  FOut.Put(bytes.LineBreak);
  FOut.Put(bytes.Indent);
}

}  // namespace vx
