#include "support/byte_order.h"

namespace vx {

void AppendLittleEndian(std::string& bytes, uint64_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint64_t ReadLittleEndian(const void* bytes, int byteCount) {
  const auto* from = static_cast<const unsigned char*>(bytes);
  uint64_t value = 0;
  for (int i = 0; i < byteCount; ++i) value |= static_cast<uint64_t>(from[i]) << (8 * i);
  return value;
}

}  // namespace vx
