// The binary component stream ("TPF0") in which the host's position grid
// exchanges its lines: short strings, typed property values and lists.
// All integers are little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// Collects the bytes of one component stream in memory.
class TComponentStreamWriter {
 public:
  const std::string& Data() const { return FData; }

  // "TPF0".
  void WriteSignature();
  // One length byte and the bytes; for class and property names, which
  // never exceed 255 bytes (raises vx::Exception when one does).
  void WriteShortString(std::string_view text);
  // Type 6 with a length byte up to 255 bytes, else type 12 with a 32-bit
  // length.
  void WriteTextValue(std::string_view text);
  // Type 2, 3 or 4 with the fewest bytes that hold the value.
  void WriteIntegerValue(int32_t value);
  // Type 8 (false) or 9 (true).
  void WriteBooleanValue(bool value);
  // Type 14; then each item as WriteListStart, its properties,
  // WriteListEnd, and after the last item WriteListEnd.
  void WriteCollectionStart();
  void WriteListStart();
  // Also ends a property list and the list of child components.
  void WriteListEnd();

 private:
  void WriteByte(uint8_t value) { FData += static_cast<char>(value); }

  std::string FData;
};

}  // namespace vx
