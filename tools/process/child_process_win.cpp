#include <windows.h>

#include "process/child_process.h"
#include "support/errors.h"

namespace vx::sim {

namespace {

// Quotes one argument so that the child's runtime splits it back unchanged.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes double only before a quote.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

}  // namespace

struct TChildProcess::TImpl {
  PROCESS_INFORMATION Info{};
};

TChildProcess::TChildProcess(const std::vector<std::string>& args) : FImpl(std::make_unique<TImpl>()) {
  std::string commandLine;
  for (const std::string& arg : args) commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(arg);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &FImpl->Info)) {
    throw Exception("Cannot start " + args.at(0) + ": " + SysErrorMessage(static_cast<int>(GetLastError())));
  }
  CloseHandle(FImpl->Info.hThread);
}

TChildProcess::~TChildProcess() { CloseHandle(FImpl->Info.hProcess); }

int TChildProcess::Wait() {
  WaitForSingleObject(FImpl->Info.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(FImpl->Info.hProcess, &code);
  return static_cast<int>(code);
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

namespace {

void (*gStop)() = nullptr;

BOOL WINAPI HandleControl(DWORD) {
  if (gStop) gStop();
  return TRUE;
}

}  // namespace

void OnInterrupt(void (*stop)()) {
  gStop = stop;
  SetConsoleCtrlHandler(&HandleControl, TRUE);
}

}  // namespace vx::sim
