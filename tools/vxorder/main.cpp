// vxorder: the tool's order-file and host commands for support staff and
// scripts. Texts go in and out as the files' bytes, with no conversion;
// results go to standard output, messages to standard error.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "binary_output.h"
#include "command_support.h"
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

const TCommand* FindCommand(const std::string& name) {
  static const std::vector<TCommand> commands = AllCommands();
  for (const TCommand& command : commands) {
    if (name == command.Name) return &command;
  }
  return nullptr;
}

// "--help" as people type it on Windows and elsewhere.
bool IsHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

std::string Padded(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string Usage() {
  std::string usage = "usage: vxorder COMMAND [ARGS...]\n"
                      "       vxorder --help | --version\n"
                      "       vxorder COMMAND --help\n\ncommands:\n";
  // The columns fit the longest name and arguments.
  const std::vector<TCommand> commands = AllCommands();
  size_t nameWidth = 0;
  size_t usageWidth = 0;
  for (const TCommand& command : commands) {
    nameWidth = std::max(nameWidth, std::strlen(command.Name));
    usageWidth = std::max(usageWidth, std::strlen(command.Usage));
  }
  for (const TCommand& command : commands) {
    usage += "  " + Padded(command.Name, nameWidth) + " " + Padded(command.Usage, usageWidth) + " " + command.Help +
             "\n";
  }
  return usage +
         "\nResults go to standard output, messages to standard error; exit 0 done, 1 failed,\n"
         "2 wrong command line.\n"
         "\nexchange trace: with VX_TRACE=1, or ExchangeTrace=1 in section [MODE] of the window's\n"
         "UserMode.INI, the window and the host commands write one line per pipe request (time,\n"
         "server, command, sizes, round trip, error; never the data) to exchange.log beside it.\n";
}

int CommandHelp(const TCommand& command) {
  const std::string usage = std::string(command.Name) + (*command.Usage ? " " : "") + command.Usage;
  WriteBytes(stdout, "usage: vxorder " + usage + "\n  " + command.Help + "\n");
  return 0;
}

// A wrong command line: what is wrong, then the usage, exit 2.
int WrongCommandLine(const std::string& what) {
  WriteTextLine(stderr, "vxorder: " + what);
  WriteBytes(stderr, Usage());
  return 2;
}

int Run(const std::vector<std::string>& args) {
  SetBinaryOutput();
  if (args.empty()) return WrongCommandLine("missing command");
  const std::string& first = args[0];
  const TArgs rest(args.begin() + 1, args.end());
  if (IsHelpOption(first) || first == "help") {
    // "help COMMAND" gives that command's usage.
    if (first == "help" && rest.size() == 1 && FindCommand(rest[0])) return CommandHelp(*FindCommand(rest[0]));
    WriteBytes(stdout, Usage());
    return 0;
  }
  if (first == "--version") {
    if (!rest.empty()) return WrongCommandLine("--version takes no arguments, not \"" + rest[0] + "\"");
    WriteLine(stdout, std::string("vxorder ") + vx::kVersion);
    return 0;
  }
  const TCommand* command = FindCommand(first);
  if (!command) return WrongCommandLine("unknown command \"" + first + "\"");
  if (std::any_of(rest.begin(), rest.end(), IsHelpOption)) return CommandHelp(*command);
  return command->Run(rest);
}

}  // namespace
}  // namespace vx::vxorder

int main(int argc, char** argv) { return vx::vxorder::Run(std::vector<std::string>(argv + 1, argv + argc)); }
