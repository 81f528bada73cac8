#include <windows.h>
#include <psapi.h>

#include "process/child_process.h"
#include "support/errors.h"
#include "support/handles_win.h"

namespace vx {

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

// A handle the child inherits in place of one of this process's streams.
HANDLE InheritedFile(const std::string& name, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE file = CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw Exception("Cannot create " + name + ": " + SysErrorMessage(static_cast<int>(GetLastError())));
  }
  return file;
}

}  // namespace

struct TChildProcess::TImpl {
  THandle Process;
  bool TrackPeakMemory = false;
  size_t PeakWorkingSet = 0;

  void NotePeak() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(Process.Get(), &counters, sizeof counters) && counters.PeakWorkingSetSize > PeakWorkingSet) {
      PeakWorkingSet = counters.PeakWorkingSetSize;
    }
  }
};

TChildProcess::TChildProcess(const std::vector<std::string>& args, const TChildOptions& options)
    : FImpl(std::make_unique<TImpl>()) {
  FImpl->TrackPeakMemory = options.TrackPeakMemory;
  std::string commandLine;
  for (const std::string& arg : args) commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(arg);
  THandle input;
  THandle output;
  THandle errors;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (options.EmptyInput || !options.OutputFile.empty() || !options.ErrorFile.empty()) {
    if (options.EmptyInput) input.Reset(InheritedFile("NUL", GENERIC_READ, OPEN_EXISTING));
    if (!options.OutputFile.empty()) output.Reset(InheritedFile(options.OutputFile, GENERIC_WRITE, CREATE_ALWAYS));
    if (!options.ErrorFile.empty()) errors.Reset(InheritedFile(options.ErrorFile, GENERIC_WRITE, CREATE_ALWAYS));
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Valid() ? input.Get() : GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output.Valid() ? output.Get() : GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = errors.Valid() ? errors.Get() : GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    throw Exception("Cannot start " + args.at(0) + ": " + SysErrorMessage(static_cast<int>(GetLastError())));
  }
  const THandle thread(info.hThread);  // only the process is waited for
  FImpl->Process.Reset(info.hProcess);
}

TChildProcess::~TChildProcess() = default;

int TChildProcess::Wait() {
  if (FImpl->TrackPeakMemory) {
    while (WaitForSingleObject(FImpl->Process.Get(), 1) == WAIT_TIMEOUT) FImpl->NotePeak();
    FImpl->NotePeak();
  } else {
    WaitForSingleObject(FImpl->Process.Get(), INFINITE);
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(FImpl->Process.Get(), &code)) return -1;
  return static_cast<int>(code);
}

double TChildProcess::PeakMegabytes() const { return static_cast<double>(FImpl->PeakWorkingSet) / (1024.0 * 1024.0); }

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

}  // namespace vx
