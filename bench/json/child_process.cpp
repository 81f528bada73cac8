#include "child_process.h"

#include <chrono>

#include "process/child_process.h"

namespace vx::bench {

TChildRun RunChild(const std::vector<std::string>& arguments, const std::string& outputFile) {
  TChildOptions options;
  options.OutputFile = outputFile;
  options.TrackPeakMemory = true;
  const auto start = std::chrono::steady_clock::now();
  TChildProcess child(arguments, options);
  TChildRun run;
  run.ExitCode = child.Wait();
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.PeakMegabytes = child.PeakMegabytes();
  return run;
}

}  // namespace vx::bench
