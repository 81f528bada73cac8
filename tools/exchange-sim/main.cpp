// exchange-sim: a stand-in for the host's exchange server (see --help).
// Everything it prints goes through WriteConsoleText, so that a console
// window shows it right whatever its code page.
#include <cstdio>
#include <string>
#include <vector>

#include "exchange_simulator.h"
#include "process/child_process.h"
#include "support/console_output.h"
#include "support/errors.h"
#include "support/text_utils.h"
#include "vx_version.h"

namespace {

vx::sim::TExchangeSimulator* gSimulator = nullptr;

void StopSimulator() {
  if (gSimulator) gSimulator->Stop();
}

// A line of text that may hold what the command line or the system gave.
void PrintLine(std::FILE* stream, const std::string& line) {
  vx::WriteConsoleText(stream, vx::EscapeControlBytes(line) + "\n");
}

int WrongCommandLine(const std::string& what) {
  PrintLine(stderr, "exchange-sim: " + what);
  vx::WriteConsoleText(stderr, std::string("\n") + vx::sim::kSimUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vx::sim;
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Started by a double-click it would list itself first and swallow every
  // order a window sends while VX runs beside it.
  if (args.empty()) return WrongCommandLine("no option given: nothing is served and nothing is listed");
  TSimOptions options;
  try {
    options = ParseSimOptions(args);
  } catch (const vx::Exception& e) {
    return WrongCommandLine(e.Message());
  }
  if (options.Help) {
    vx::WriteConsoleText(stdout, kSimUsage);
    return 0;
  }
  if (options.Version) {
    PrintLine(stdout, std::string("exchange-sim ") + vx::kVersion);
    return 0;
  }
  try {
    CheckSimFiles(options);
  } catch (const vx::Exception& e) {
    PrintLine(stderr, "exchange-sim: " + e.Message());
    return 2;
  }
  try {
    TExchangeSimulator simulator(options, stdout);
    gSimulator = &simulator;
    vx::OnInterrupt(&StopSimulator);
    PrintLine(stdout, SimulatorStartLine(options, vx::CurrentProcessId()));
    int code = 0;
    if (options.Launch.empty()) {
      simulator.Run();
    } else {
      code = simulator.RunLaunched(options.Launch);
    }
    gSimulator = nullptr;
    return code;
  } catch (const vx::Exception& e) {
    PrintLine(stderr, "exchange-sim: " + e.Message());
    return 1;
  }
}
