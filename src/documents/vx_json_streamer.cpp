#include "documents/vx_json_streamer.h"

#include "json/fast_json.h"

namespace vx {

namespace {

// The first buffer holds a typical import document whole.
constexpr size_t kInitialBufferSize = 50000;

void WriteNode(std::string& out, const TVXCustomJSON* node);

void WriteString(std::string& out, const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case 0x08: out += "\\b"; break;
      case 0x09: out += "\\t"; break;
      case 0x0A: out += "\\n"; break;
      case 0x0C: out += "\\f"; break;
      case 0x0D: out += "\\r"; break;
      case '"':
      case '/':
      case '\\':
        out += '\\';
        out += c;
        break;
      case 0x80: out += "\\u20ac"; break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0F];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

template <typename Write>
void WriteJoined(std::string& out, char open, char close, int count, Write write) {
  out += open;
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    write(i);
  }
  out += close;
}

void WriteNode(std::string& out, const TVXCustomJSON* node) {
  if (const auto* number = dynamic_cast<const TVXJSONnumber*>(node)) {
    AppendJsonFloat(out, number->NumberValue);
  } else if (const auto* string = dynamic_cast<const TVXJSONstring*>(node)) {
    WriteString(out, string->StringValue);
  } else if (const auto* boolean = dynamic_cast<const TVXJSONboolean*>(node)) {
    out += boolean->BooleanValue ? "true" : "false";
  } else if (dynamic_cast<const TVXJSONnull*>(node)) {
    out += "null";
  } else if (const auto* list = dynamic_cast<const TVXSONList*>(node)) {
    WriteJoined(out, '[', ']', list->GetCount(), [&](int i) { WriteNode(out, list->GetChild(i)); });
  } else if (const auto* pair = dynamic_cast<const TVXJSONobjectmethod*>(node)) {
    WriteString(out, pair->Name);
    out += ':';
    if (pair->Value) {
      WriteNode(out, pair->Value.get());
    } else {
      out += "null";
    }
  } else if (const auto* object = dynamic_cast<const TVXJSON*>(node)) {
    WriteJoined(out, '{', '}', object->GetCount(), [&](int i) { WriteNode(out, object->GetChild(i)); });
  }
}

}  // namespace

std::string TVXJSONStreamer::GenerateText(const TVXCustomJSON* root) {
  std::string out;
  if (!root) return out;
  out.reserve(kInitialBufferSize);
  WriteNode(out, root);
  return out;
}

void TVXJSONStreamer::SaveToStream(const TVXCustomJSON* root, TStream* stream) {
  if (!root || !stream) return;
  stream->WriteText(GenerateText(root));
}

}  // namespace vx
