#include "ui/wave.h"

#include <cstdint>

#include "support/byte_order.h"
#include "support/errors.h"

namespace vx {

namespace {

void ReadExactly(TStream& stream, void* buffer, int64_t count) {
  if (stream.Read(buffer, count) != count) throw EStreamError("Stream read error");
}

}  // namespace

void TWaveData::ReadData(TStream& stream) {
  Clear();
  unsigned char sizeBytes[4];
  ReadExactly(stream, sizeBytes, 4);
  const auto size = FromLittleEndian<int32_t>(sizeBytes);
  if (size <= 0) return;
  std::string data(static_cast<size_t>(size), '\0');
  ReadExactly(stream, data.data(), size);
  FData = std::move(data);
}

void TWaveData::WriteData(TStream& stream) const {
  if (FData.empty()) return;
  stream.WriteText(LittleEndianBytes(static_cast<uint32_t>(FData.size())));
  stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

}  // namespace vx
