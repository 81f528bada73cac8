// Text into a console window of this process, read back from its screen
// buffer: what a user at a German cmd window sees, from the function and
// from both console tools.
#include <windows.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "support/console_output.h"
#include "support/folders.h"
#include "support/text_utils.h"

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

  // Runs the program with its output and errors on this console; its exit
  // code, or -1 when it did not run.
  int Run(const std::string& commandLine) const {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = startup.hStdError = Buffer;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) return -1;
    WaitForSingleObject(info.hProcess, 20000);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
  }

  HANDLE Buffer = INVALID_HANDLE_VALUE;
  std::FILE* Stream = nullptr;
};

// The tools of this build, beside the test programs' folder.
std::string ToolProgram(const std::string& relative) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return "\"" + ExtractFilePath(path) + "..\\..\\tools\\" + relative + "\"";
}

// In code page 850 the Windows-1252 byte of "ü" is "³"; the text reaches
// the screen as characters instead, the German quotes and the euro sign
// included.
TEST(WriteConsoleText, ConsoleShowsTheCharactersWhateverItsCodePage) {
  TConsole console;
  ASSERT_NE(console.Stream, nullptr);
  ASSERT_TRUE(WriteConsoleText(console.Stream, "M\xfcller \x84K\xf6ln\x93 \x80 \xdf\n"));
  EXPECT_EQ(console.Text(), L"M\u00fcller \u201eK\u00f6ln\u201c \u20ac \u00df\n\n");
}

TEST(WriteConsoleText, BothToolsWriteThroughIt) {
  TConsole console;
  ASSERT_NE(console.Stream, nullptr);
  EXPECT_EQ(console.Run(ToolProgram("vxorder\\vxorder.exe") + " check M\xfcller.txt"), 1);
  EXPECT_EQ(console.Run(ToolProgram("exchange-sim\\exchange-sim.exe") + " --order M\xfcller.json"), 2);
  EXPECT_EQ(console.Text(),
            L"warning: M\u00fcller.txt does not end in .json: the window and vxorder send skip it\n"
            L"file not found: M\u00fcller.txt\n"
            L"exchange-sim: --order names no file: \"M\u00fcller.json\"\n\n");
}

// On Windows the quotes and the euro sign are characters on the screen;
// only what the code page maps to C1 controls is escaped.
TEST(EscapeControlBytes, KeepsWindows1252Characters) {
  EXPECT_EQ(EscapeControlBytes("\x84" "Auftrag\x93 \x80"), "\x84" "Auftrag\x93 \x80");
  EXPECT_EQ(EscapeControlBytes("\x81"), "\\x81");
}

}  // namespace
}  // namespace vx
