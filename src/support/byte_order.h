// Integers as little-endian bytes, lowest byte first: the layout of the
// pipe's messages and their named values, the clipboard's grid block and
// component stream, and the stored sound.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// Appends the byteCount (1 to 8) lowest bytes of value to bytes; a
// negative number as its two's complement.
void AppendLittleEndian(std::string& bytes, uint64_t value, int byteCount);

// The number that byteCount (1 to 8) bytes hold, lowest byte first.
uint64_t ReadLittleEndian(const void* bytes, int byteCount);

// The sizeof(T) bytes of value.
template <typename T>
std::string LittleEndianBytes(T value) {
  std::string bytes;
  AppendLittleEndian(bytes, static_cast<uint64_t>(value), sizeof(T));
  return bytes;
}

// The T that sizeof(T) bytes hold; a signed T reads them as two's complement.
template <typename T>
T FromLittleEndian(const void* bytes) {
  return static_cast<T>(ReadLittleEndian(bytes, sizeof(T)));
}

}  // namespace vx
