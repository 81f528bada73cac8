// The host commands of vxorder: one read request to the exchange server,
// and the server choice of the program's start-up.
#include "hostlink/host_commands.h"

#include <cstdio>
#include <exception>
#include <string>

#include "binary_output.h"
#include "commands.h"

namespace vx::vxorder {
namespace {

void WriteLine(std::FILE* out, const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fputc('\n', out);
}

// The answer's text as the server's bytes; exit 1 when it is empty, which
// is also what a missing or silent server gives.
int Host(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1 || args[0].empty()) {
    std::fprintf(stderr, "usage: vxorder host COMMAND\n");
    return 2;
  }
  try {
    const std::string answer = ReadIPCValueSync(args[0]);
    if (answer.empty()) {
      WriteLine(stderr, "no answer to " + args[0]);
      return 1;
    }
    WriteLine(stdout, answer);
    return 0;
  } catch (const std::exception& error) {
    WriteLine(stderr, error.what());
    return 1;
  }
}

int Locate(const TArgs& args) {
  SetBinaryOutput();
  if (!args.empty()) {
    std::fprintf(stderr, "usage: vxorder locate\n");
    return 2;
  }
  try {
    WriteLine(stdout, LocateExchangeServer());
    return 0;
  } catch (const std::exception& error) {
    WriteLine(stderr, error.what());
    return 1;
  }
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
