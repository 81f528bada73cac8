// The commands of vxorder. Each takes the arguments after the command name
// and returns the process exit code: 0 done, 1 failed, 2 wrong command line.
#pragma once

#include <string>
#include <vector>

namespace vx::vxorder {

using TArgs = std::vector<std::string>;

struct TCommand {
  const char* Name;
  const char* Usage;  // arguments, for the help text
  const char* Help;   // one line
  int (*Run)(const TArgs& args);
};

// Each group of commands lists its own; main joins the groups.
const std::vector<TCommand>& JsonCommands();
const std::vector<TCommand>& HostCommands();
const std::vector<TCommand>& DocumentCommands();
const std::vector<TCommand>& ActionCommands();
const std::vector<TCommand>& DoctorCommands();

}  // namespace vx::vxorder
