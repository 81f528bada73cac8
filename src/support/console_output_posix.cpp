#include "support/console_output.h"

namespace vx {

// A terminal here takes the bytes as they come, and one in an 8-bit mode
// reads 0x80 to 0x9F as C1 commands (0x9B opens an escape sequence).
bool IsControlByte(unsigned char byte) { return byte < 0x20 || (byte >= 0x7F && byte < 0xA0); }

bool WriteConsoleText(std::FILE* stream, std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written;
}

}  // namespace vx
