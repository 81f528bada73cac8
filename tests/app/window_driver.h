// Starting the program and the host simulator and working their windows
// from outside, for the end-to-end tests under Windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "support/folders.h"

namespace vx::testing {

// The build puts the programs beside each other's folders.
inline std::string BuildFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFilePath(path) + "..\\..\\";
}

inline const std::string kWindowProgram = "src\\app\\VXJSONObject.exe";
inline const std::string kSimulator = "tools\\exchange-sim\\exchange-sim.exe";

class TProgram {
 public:
  explicit TProgram(const std::string& commandLine) {
    // Output of the programs (and of a folder window they open) must not
    // keep CTest waiting.
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    FNull = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                        OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = FNull;
    std::string line = commandLine;
    Started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &FInfo);
  }
  ~TProgram() {
    if (FNull != INVALID_HANDLE_VALUE) CloseHandle(FNull);
    if (!Started) return;
    // A test that failed half-way must not leave its programs running.
    if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(FInfo.hProcess, 1);
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
  }
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // The exit code, or -1 when the process is still running after 20 s.
  int WaitForExit() {
    if (WaitForSingleObject(FInfo.hProcess, 20000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(FInfo.hProcess, &code);
    return static_cast<int>(code);
  }

  BOOL Started = FALSE;

 private:
  PROCESS_INFORMATION FInfo{};
  HANDLE FNull = INVALID_HANDLE_VALUE;
};

// What find gives once it gives a window; null after 20 s.
inline HWND WaitFor(const std::function<HWND()>& find) {
  for (int i = 0; i < 400; ++i) {
    if (HWND window = find()) return window;
    Sleep(50);
  }
  return nullptr;
}

inline bool WaitUntilGone(HWND window) {
  for (int i = 0; i < 400 && IsWindow(window); ++i) Sleep(50);
  return !IsWindow(window);
}

// The top-level window of the class (and caption, unless null) once it is
// visible; null before.
inline HWND VisibleWindow(const char* className, const char* caption = nullptr) {
  HWND window = FindWindowA(className, caption);
  return window && IsWindowVisible(window) ? window : nullptr;
}

inline std::string TextOf(HWND window) {
  char text[1024] = "";
  SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  return text;
}

// Lets the window's thread handle everything posted to it so far.
inline void Settle(HWND window) {
  for (int i = 0; i < 3; ++i) SendMessageA(window, WM_NULL, 0, 0);
}

// The width of a text in the font of the window's link label, measured as
// the label does, to find where a link is drawn.
inline int LabelTextWidth(const std::string& text, bool underlined) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return size.cx;
}

}  // namespace vx::testing
