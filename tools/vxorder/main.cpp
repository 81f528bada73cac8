// vxorder: the tool's order-file and host commands for support staff and
// scripts. Texts go in and out as the files' bytes, with no conversion.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "vx_version.h"

namespace vx::vxorder {
namespace {

std::vector<TCommand> AllCommands() {
  std::vector<TCommand> all;
  for (const auto* group :
       {&JsonCommands(), &HostCommands(), &DocumentCommands(), &ActionCommands(), &DoctorCommands()}) {
    all.insert(all.end(), group->begin(), group->end());
  }
  return all;
}

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: vxorder COMMAND [ARGS...]\n       vxorder --help | --version\n\ncommands:\n");
  // The columns fit the longest name and arguments.
  const std::vector<TCommand> commands = AllCommands();
  int nameWidth = 0;
  int usageWidth = 0;
  for (const TCommand& command : commands) {
    nameWidth = std::max(nameWidth, static_cast<int>(std::strlen(command.Name)));
    usageWidth = std::max(usageWidth, static_cast<int>(std::strlen(command.Usage)));
  }
  for (const TCommand& command : commands) {
    std::fprintf(out, "  %-*s %-*s %s\n", nameWidth, command.Name, usageWidth, command.Usage, command.Help);
  }
  std::fprintf(out,
               "\nexchange trace: with VX_TRACE=1, or ExchangeTrace=1 in section [MODE] of the window's\n"
               "UserMode.INI, the window and the host commands write one line per pipe request (time,\n"
               "server, command, sizes, round trip, error; never the data) to exchange.log beside it.\n");
}

}  // namespace
}  // namespace vx::vxorder

int main(int argc, char** argv) {
  using namespace vx::vxorder;
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("vxorder %s\n", vx::kVersion);
    return 0;
  }
  if (argc >= 2) {
    for (const TCommand& command : AllCommands()) {
      if (std::strcmp(argv[1], command.Name) == 0) return command.Run(TArgs(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "vxorder: unknown command \"%s\"\n", argv[1]);
  } else {
    std::fprintf(stderr, "vxorder: missing command\n");
  }
  PrintUsage(stderr);
  return 2;
}
