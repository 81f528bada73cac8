#include <windows.h>

#include <io.h>

#include <algorithm>

#include "support/codepage.h"
#include "support/console_output.h"

namespace vx {

namespace {

// The console's handle behind the stream; null when it is a file, a pipe
// or nothing.
HANDLE ConsoleOf(std::FILE* stream) {
  const int descriptor = _fileno(stream);
  if (descriptor < 0) return nullptr;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
  return handle;
}

// Older consoles refuse one large write; pieces of this many characters
// always go.
constexpr size_t kConsoleChunk = 8192;

bool WriteWide(HANDLE console, std::u16string_view text) {
  while (!text.empty()) {
    const auto count = static_cast<DWORD>(std::min(text.size(), kConsoleChunk));
    DWORD written = 0;
    if (!WriteConsoleW(console, text.data(), count, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace

// The bytes reach the screen as UTF-16, so only the bytes that the ANSI
// code page turns into C1 controls (0x81, 0x8D, 0x8F, 0x90, 0x9D in
// Windows-1252) can act as commands there; the others are characters
// such as the euro sign or the German quotes.
bool IsControlByte(unsigned char byte) {
  if (byte < 0x20 || byte == 0x7F) return true;
  if (byte < 0x80) return false;
  const char c = static_cast<char>(byte);
  const std::u16string wide = AnsiToUtf16(std::string_view(&c, 1));
  return wide.size() == 1 && wide[0] >= 0x80 && wide[0] < 0xA0;
}

bool WriteConsoleText(std::FILE* stream, std::string_view text) {
  // Whatever the stream still buffers goes first, so that the order holds.
  std::fflush(stream);
  if (HANDLE console = ConsoleOf(stream)) return WriteWide(console, AnsiToUtf16(text));
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written;
}

}  // namespace vx
