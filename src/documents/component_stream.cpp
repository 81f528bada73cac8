#include "documents/component_stream.h"

#include <limits>

#include "support/byte_order.h"
#include "support/errors.h"

namespace vx {

namespace {

enum TValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaString = 6,
  vaFalse = 8,
  vaTrue = 9,
  vaLString = 12,
  vaCollection = 14,
};

constexpr size_t kShortStringMax = 255;

}  // namespace

void TComponentStreamWriter::WriteSignature() { FData += "TPF0"; }

void TComponentStreamWriter::WriteShortString(std::string_view text) {
  if (text.size() > kShortStringMax) throw Exception("Name too long for a component stream: " + std::string(text));
  WriteByte(static_cast<uint8_t>(text.size()));
  FData += text;
}

void TComponentStreamWriter::WriteTextValue(std::string_view text) {
  if (text.size() <= kShortStringMax) {
    WriteByte(vaString);
    WriteShortString(text);
    return;
  }
  if (text.size() > std::numeric_limits<uint32_t>::max()) throw Exception("Text too long for a component stream");
  WriteByte(vaLString);
  AppendLittleEndian(FData, text.size(), 4);
  FData += text;
}

void TComponentStreamWriter::WriteIntegerValue(int32_t value) {
  // Two's complement bytes of the value, cut to the chosen width.
  const auto bits = static_cast<uint32_t>(value);
  if (value >= -128 && value <= 127) {
    WriteByte(vaInt8);
    AppendLittleEndian(FData, bits, 1);
  } else if (value >= -32768 && value <= 32767) {
    WriteByte(vaInt16);
    AppendLittleEndian(FData, bits, 2);
  } else {
    WriteByte(vaInt32);
    AppendLittleEndian(FData, bits, 4);
  }
}

void TComponentStreamWriter::WriteBooleanValue(bool value) { WriteByte(value ? vaTrue : vaFalse); }

void TComponentStreamWriter::WriteCollectionStart() { WriteByte(vaCollection); }

void TComponentStreamWriter::WriteListStart() { WriteByte(vaList); }

void TComponentStreamWriter::WriteListEnd() { WriteByte(vaNull); }

}  // namespace vx
