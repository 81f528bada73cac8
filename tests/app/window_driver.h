// Starting the program and the host simulator and working their windows
// from outside, for the end-to-end tests under Windows.
#pragma once

#include <windows.h>

#include <string>

#include "support/folders.h"
#include "window_driving.h"

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
    // In a job from its first instruction on, so that the programs it starts
    // (the window that the simulator launches) are in it too.
    FJob = CreateJobObjectA(nullptr, nullptr);
    Started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                             &startup, &FInfo);
    if (!Started) return;
    if (FJob) AssignProcessToJobObject(FJob, FInfo.hProcess);
    ResumeThread(FInfo.hThread);
  }
  ~TProgram() {
    if (FNull != INVALID_HANDLE_VALUE) CloseHandle(FNull);
    if (Started) {
      // A test that failed half-way must not leave its programs running,
      // nor the window a simulator started: it would stand in the way of
      // the tests after it.
      if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) {
        if (!FJob || !TerminateJobObject(FJob, 1)) TerminateProcess(FInfo.hProcess, 1);
      }
      CloseHandle(FInfo.hThread);
      CloseHandle(FInfo.hProcess);
    }
    if (FJob) CloseHandle(FJob);
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
  HANDLE FJob = nullptr;
};

// The ways of working the windows that window-driver shares with the tests.
using driving::FileNameEdit;
using driving::LabelTextWidth;
using driving::OpenDialogFolder;
using driving::ProcessWindow;
using driving::Settle;
using driving::TClipboardReader;
using driving::TextOf;
using driving::VisibleWindow;
using driving::WaitFor;
using driving::WaitUntilGone;

}  // namespace vx::testing
