// Runs the command-line tool as a script or support staff run it.
#pragma once

#include <string>
#include <vector>

namespace vx::testing {

struct TProgramRun {
  int ExitCode = -1;
  std::string Output;  // standard output, as the program wrote it
  std::string Errors;  // standard error, as the program wrote it
};

// vxorder of this build.
std::string VxorderProgram();

// Runs program with the arguments and nothing on its standard input, waits
// for it and gives its exit code, standard output and standard error. The
// program inherits this process's environment. Raises vx::Exception when
// it cannot be started.
TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments);

// The checks of vxorder doctor that only this platform has.
std::vector<std::string> PlatformDoctorChecks();

}  // namespace vx::testing
