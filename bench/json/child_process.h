// Runs one program to its end and measures it, for the whole-file rows.
#pragma once

#include <string>
#include <vector>

namespace vx::bench {

struct TChildRun {
  double Seconds = 0;
  // The most memory the process held: the peak resident set (POSIX) or
  // the peak working set (Windows).
  double PeakMegabytes = 0;
  int ExitCode = -1;
};

// arguments[0] is the program. Its standard output goes to outputFile.
// Raises vx::Exception when the program cannot be started or the file
// not created.
TChildRun RunChild(const std::vector<std::string>& arguments, const std::string& outputFile);

}  // namespace vx::bench
