// Text into a console window of this process, read back from its screen
// buffer: what a user at a German cmd window sees.
#include <windows.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "support/console_output.h"

namespace vx {
namespace {

// A console of this process on code page 850, as a German cmd window has
// it, and a stream on its screen buffer. Wine gives a program started
// without a terminal a console without a screen buffer; a new one has it.
class TConsole {
 public:
  TConsole() {
    FreeConsole();
    AllocConsole();
    SetConsoleOutputCP(850);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    Buffer = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         OPEN_EXISTING, 0, nullptr);
    if (Buffer == INVALID_HANDLE_VALUE) return;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(Buffer), _O_WRONLY | _O_BINARY);
    Stream = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
  }
  ~TConsole() {
    // Closing the stream closes the buffer's handle too.
    if (Stream) std::fclose(Stream);
    FreeConsole();
  }
  TConsole(const TConsole&) = delete;
  TConsole& operator=(const TConsole&) = delete;

  // The screen's lines up to the cursor's, blanks at their ends cut, each
  // followed by "\n".
  std::wstring Text() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(Buffer, &info)) return L"";
    std::wstring text;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
      std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
      DWORD read = 0;
      ReadConsoleOutputCharacterW(Buffer, line.data(), static_cast<DWORD>(line.size()), {0, row}, &read);
      line.resize(read);
      line.erase(line.find_last_not_of(L' ') + 1);
      text += line + L"\n";
    }
    return text;
  }

  HANDLE Buffer = INVALID_HANDLE_VALUE;
  std::FILE* Stream = nullptr;
};

// In code page 850 the Windows-1252 byte of "ü" is "³"; the text reaches
// the screen as characters instead, the German quotes and the euro sign
// included.
TEST(WriteConsoleText, ConsoleShowsTheCharactersWhateverItsCodePage) {
  TConsole console;
  ASSERT_NE(console.Stream, nullptr);
  ASSERT_TRUE(WriteConsoleText(console.Stream, "M\xfcller \x84K\xf6ln\x93 \x80 \xdf\n"));
  EXPECT_EQ(console.Text(), L"M\u00fcller \u201eK\u00f6ln\u201c \u20ac \u00df\n\n");
}

// On Windows the quotes and the euro sign are characters on the screen;
// only what the code page maps to C1 controls is escaped.
TEST(EscapeControlBytes, KeepsWindows1252Characters) {
  EXPECT_EQ(EscapeControlBytes("\x84" "Auftrag\x93 \x80"), "\x84" "Auftrag\x93 \x80");
  EXPECT_EQ(EscapeControlBytes("\x81"), "\\x81");
}

}  // namespace
}  // namespace vx
