#include <windows.h>
#include <psapi.h>

#include <chrono>

#include "child_process.h"
#include "support/errors.h"

namespace vx::bench {
namespace {

// The command line as the C runtime splits it again.
std::string QuotedCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += '"' + argument + '"';
  }
  return line;
}

}  // namespace

TChildRun RunChild(const std::vector<std::string>& arguments, const std::string& outputFile) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) throw Exception("cannot create " + outputFile);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  std::string commandLine = QuotedCommandLine(arguments);
  const auto start = std::chrono::steady_clock::now();
  const BOOL started = CreateProcessA(arguments[0].c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(output);
  if (!started) throw Exception("cannot start " + arguments[0]);
  // The peak working set is a high-water mark. Windows still tells it
  // when the process has ended; wine only while it runs, so it is also
  // taken every millisecond until then.
  size_t peak = 0;
  auto notePeak = [&process, &peak] {
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) && counters.PeakWorkingSetSize > peak) {
      peak = counters.PeakWorkingSetSize;
    }
  };
  while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) notePeak();
  TChildRun run;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  notePeak();
  run.PeakMegabytes = static_cast<double>(peak) / (1024.0 * 1024.0);
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process.hProcess, &exitCode)) run.ExitCode = static_cast<int>(exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

}  // namespace vx::bench
