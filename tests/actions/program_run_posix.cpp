#include <stdio.h>
#include <sys/wait.h>

#include "actions/program_run.h"

namespace vx::testing {

std::string VxorderProgram() { return VX_VXORDER; }

TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::string command = "'" + program + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  TProgramRun run;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Output.append(buffer, count);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) run.ExitCode = WEXITSTATUS(status);
  return run;
}

std::vector<std::string> PlatformDoctorChecks() { return {}; }

}  // namespace vx::testing
