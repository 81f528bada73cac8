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

bool WriteConsoleText(std::FILE* stream, std::string_view text) {
  // Whatever the stream still buffers goes first, so that the order holds.
  std::fflush(stream);
  if (HANDLE console = ConsoleOf(stream)) return WriteWide(console, AnsiToUtf16(text));
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written;
}

}  // namespace vx
