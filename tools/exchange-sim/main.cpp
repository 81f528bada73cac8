// exchange-sim: a stand-in for the host's exchange server (see --help).
#include <cstdio>
#include <string>
#include <vector>

#include "child_process.h"
#include "exchange_simulator.h"
#include "support/errors.h"
#include "vx_version.h"

namespace {

vx::sim::TExchangeSimulator* gSimulator = nullptr;

void StopSimulator() {
  if (gSimulator) gSimulator->Stop();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vx::sim;
  TSimOptions options;
  try {
    options = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const vx::Exception& e) {
    std::fprintf(stderr, "exchange-sim: %s\n\n%s", e.Message().c_str(), kSimUsage);
    return 2;
  }
  if (options.Help) {
    std::fputs(kSimUsage, stdout);
    return 0;
  }
  if (options.Version) {
    std::printf("exchange-sim %s\n", vx::kVersion);
    return 0;
  }
  try {
    TExchangeSimulator simulator(options, stdout);
    gSimulator = &simulator;
    OnInterrupt(&StopSimulator);
    std::printf("exchange-sim: serving pipe %s (process %u)\n", options.Name.c_str(), CurrentProcessId());
    std::fflush(stdout);
    int code = 0;
    if (options.Launch.empty()) {
      simulator.Run();
    } else {
      code = simulator.RunLaunched(options.Launch);
    }
    gSimulator = nullptr;
    return code;
  } catch (const vx::Exception& e) {
    std::fprintf(stderr, "exchange-sim: %s\n", e.Message().c_str());
    return 1;
  }
}
