// Programs started as children of this process, for the tools, the
// benchmarks and the tests: the window the exchange simulator launches,
// the whole-process rows of the JSON benchmark, the command-line tools run
// as their users run them. Also this process's own id and interrupt.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx {

// How a child is started. By default it shares this process's standard
// streams.
struct TChildOptions {
  // Standard input reads nothing (the null device).
  bool EmptyInput = false;
  // Standard output, standard error: into this file, created or emptied.
  std::string OutputFile;
  std::string ErrorFile;
  // Wait keeps the child's peak memory for PeakMegabytes. On Windows that
  // means asking every millisecond while it runs: wine tells the peak only
  // of a running process.
  bool TrackPeakMemory = false;
};

class TChildProcess {
 public:
  // Starts args[0] (looked for on the PATH when it names no folder) with
  // the other arguments, each passed on unchanged. Raises vx::Exception
  // "Cannot start PROGRAM: REASON", or "Cannot create FILE: REASON" for an
  // output file.
  explicit TChildProcess(const std::vector<std::string>& args, const TChildOptions& options = {});
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Waits for the child to end; its exit code (128 + the signal's number
  // for a child that a signal ended, -1 when the system does not tell).
  int Wait();

  // After Wait: the most memory the child held, as its peak resident set
  // (POSIX) or peak working set (Windows, with TrackPeakMemory).
  double PeakMegabytes() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

uint32_t CurrentProcessId();

// Calls stop (once) when the user interrupts the program (Ctrl+C) or it is
// asked to end; stop must only do what is safe in a signal handler.
void OnInterrupt(void (*stop)());

}  // namespace vx
