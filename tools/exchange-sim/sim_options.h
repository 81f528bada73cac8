// The command line of the host exchange simulator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::sim {

struct TSimOptions {
  std::string Name = "VX-EXCHANGE-SIM";
  std::string OrderFile;  // copied for every "GETJSON"
  std::string Customer;  // "SIMPLEGETJSON"; from the order file when not given
  std::string Address;
  bool CustomerGiven = false;
  bool AddressGiven = false;
  std::string DbPath;  // "DBPATH"
  std::string Metrics;  // "OFFICEMETRICS": X,Y,W,H
  bool EditMode = true;  // "CANPOSTJSON" answers "1"
  std::string OutDir;  // where "OUTDATA" documents are stored
  std::vector<std::string> Launch;  // program and arguments to run as child
  int DelayMs = 0;
  bool Drop = false;
  bool Truncate = false;
  bool Help = false;
  bool Version = false;
};

extern const char* const kSimUsage;

// Raises vx::Exception with the reason for a wrong command line.
TSimOptions ParseSimOptions(const std::vector<std::string>& args);

// Raises vx::Exception when the options name a file that is not there, so
// that the simulator fails at its start and not at the first request.
void CheckSimFiles(const TSimOptions& options);

// The line the simulator starts with: what it is, its pipe and process,
// and where the documents sent to it go.
std::string SimulatorStartLine(const TSimOptions& options, uint32_t processId);

}  // namespace vx::sim
