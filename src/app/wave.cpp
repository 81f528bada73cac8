#include "app/wave.h"

#include <cstdint>

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
  const int32_t size = static_cast<int32_t>(static_cast<uint32_t>(sizeBytes[0]) | sizeBytes[1] << 8 |
                                            sizeBytes[2] << 16 | static_cast<uint32_t>(sizeBytes[3]) << 24);
  if (size <= 0) return;
  std::string data(static_cast<size_t>(size), '\0');
  ReadExactly(stream, data.data(), size);
  FData = std::move(data);
}

void TWaveData::WriteData(TStream& stream) const {
  if (FData.empty()) return;
  const uint32_t size = static_cast<uint32_t>(FData.size());
  const unsigned char sizeBytes[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                      static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
  stream.WriteBuffer(sizeBytes, 4);
  stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

}  // namespace vx
