// The host commands of vxorder: one read request to the exchange server,
// and the server choice of the program's start-up.
#include "hostlink/host_commands.h"

#include <string>

#include "binary_output.h"
#include "command_support.h"
#include "commands.h"

namespace vx::vxorder {
namespace {

// The answer's text as the server's bytes, control bytes escaped (the 0x08
// of "SERVERPROCESS" shows as \x08); exit 1 when it is empty, which is
// also what a missing or silent server gives.
int Host(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1 || args[0].empty()) return WrongArguments("host", "COMMAND");
  return RunReportingErrors([&args] {
    StartExchangeTraceOfWindow();
    const std::string answer = ReadIPCValueSync(args[0]);
    if (answer.empty()) return Fail("no answer to " + args[0]);
    WriteTextLine(stdout, answer);
    return 0;
  });
}

int Locate(const TArgs& args) {
  SetBinaryOutput();
  if (!args.empty()) return WrongArguments("locate", "");
  return RunReportingErrors([] {
    StartExchangeTraceOfWindow();
    WriteTextLine(stdout, LocateExchangeServer());
    return 0;
  });
}

}  // namespace

const std::vector<TCommand>& HostCommands() {
  static const std::vector<TCommand> commands = {
      {"host", "COMMAND", "ask the host exchange server (DBPATH, GETJSON, ...)", &Host},
      {"locate", "", "print the exchange server of the parent process", &Locate},
  };
  return commands;
}

}  // namespace vx::vxorder
