#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "actions/program_run.h"

namespace vx::testing {

namespace {

std::string ReadAll(FILE* file) {
  std::string bytes;
  char buffer[4096];
  size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);
  return bytes;
}

}  // namespace

std::string VxorderProgram() { return VX_VXORDER; }

TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  TProgramRun run;
  // Standard error goes to a file of its own, read once the program ended.
  char errors[] = "/tmp/vx-program-run-XXXXXX";
  const int descriptor = mkstemp(errors);
  if (descriptor < 0) return run;
  close(descriptor);
  std::string command = "'" + program + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  if (FILE* pipe = popen((command + " 2>'" + errors + "'").c_str(), "r")) {
    run.Output = ReadAll(pipe);
    const int status = pclose(pipe);
    if (WIFEXITED(status)) run.ExitCode = WEXITSTATUS(status);
  }
  if (FILE* file = fopen(errors, "rb")) {
    run.Errors = ReadAll(file);
    fclose(file);
  }
  unlink(errors);
  return run;
}

std::vector<std::string> PlatformDoctorChecks() { return {}; }

}  // namespace vx::testing
