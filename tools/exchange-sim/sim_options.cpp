#include "sim_options.h"

#include "support/errors.h"
#include "support/folders.h"
#include "support/text_utils.h"

namespace vx::sim {

const char* const kSimUsage =
    "usage: exchange-sim OPTIONS [--launch PROGRAM [ARGS...]]\n"
    "\n"
    "Serves the host exchange commands on a pipe, standing in for the host, for\n"
    "tests and demonstrations without VX. It starts only with at least one option,\n"
    "so that a double-click never takes the place of a running VX.\n"
    "\n"
    "  --name NAME         pipe name (default VX-EXCHANGE-SIM); listed first in\n"
    "                      QVX-EXCHANGELOCALSERVICE.TXT while the server runs\n"
    "  --order FILE        GETJSON answers a fresh temporary copy of FILE\n"
    "                      (without it GETJSON answers empty)\n"
    "  --customer NUMBER   SIMPLEGETJSON customer number (default: the order's)\n"
    "  --address TEXT      SIMPLEGETJSON short address (default: the order's)\n"
    "  --dbpath TEXT       DBPATH answer (default empty)\n"
    "  --metrics X,Y,W,H   OFFICEMETRICS answer (default empty)\n"
    "  --edit-mode 0|1     CANPOSTJSON answers 1 or 0 (default 1)\n"
    "  --outdir DIR        store each OUTDATA document as DIR/outdata-0001.json, ...,\n"
    "                      numbered on after the highest one already there\n"
    "  --launch PROGRAM [ARGS...]\n"
    "                      run PROGRAM as child and stop when it ends\n"
    "  --delay-ms N        wait N ms before each answer\n"
    "  --drop              close each connection without answering\n"
    "  --truncate          answer with fewer data bytes than announced\n"
    "  --help              this text\n"
    "  --version           the version\n";

namespace {

bool IsInteger(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size()) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

void CheckMetrics(const std::string& text) {
  const std::vector<std::string> parts = SplitText(",", text);
  bool valid = parts.size() == 4;
  for (const std::string& part : parts) valid = valid && IsInteger(part);
  if (!valid) throw Exception("--metrics needs four integers X,Y,W,H, not \"" + text + "\"");
}

}  // namespace

TSimOptions ParseSimOptions(const std::vector<std::string>& args) {
  TSimOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      options.Help = true;
      continue;
    }
    if (option == "--version") {
      options.Version = true;
      continue;
    }
    if (option == "--drop") {
      options.Drop = true;
      continue;
    }
    if (option == "--truncate") {
      options.Truncate = true;
      continue;
    }
    if (option == "--launch") {
      if (i + 1 >= args.size()) throw Exception("--launch needs a program");
      options.Launch.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    if (i + 1 >= args.size()) throw Exception("unknown option or missing value: " + option);
    const std::string& value = args[++i];
    if (option == "--name") {
      if (value.empty()) throw Exception("--name needs a name");
      options.Name = value;
    } else if (option == "--order") {
      options.OrderFile = value;
    } else if (option == "--customer") {
      options.Customer = value;
      options.CustomerGiven = true;
    } else if (option == "--address") {
      options.Address = value;
      options.AddressGiven = true;
    } else if (option == "--dbpath") {
      options.DbPath = value;
    } else if (option == "--metrics") {
      CheckMetrics(value);
      options.Metrics = value;
    } else if (option == "--edit-mode") {
      if (value != "0" && value != "1") throw Exception("--edit-mode takes 0 or 1");
      options.EditMode = value == "1";
    } else if (option == "--outdir") {
      options.OutDir = value;
    } else if (option == "--delay-ms") {
      if (!IsInteger(value) || value[0] == '-') throw Exception("--delay-ms needs a number of milliseconds");
      options.DelayMs = std::stoi(value);
    } else {
      throw Exception("unknown option: " + option);
    }
  }
  return options;
}

void CheckSimFiles(const TSimOptions& options) {
  if (!options.OrderFile.empty() && !FileIsPresent(options.OrderFile)) {
    throw Exception("--order names no file: \"" + options.OrderFile + "\"");
  }
}

std::string SimulatorStartLine(const TSimOptions& options, uint32_t processId) {
  const std::string documents = options.OutDir.empty() ? "not stored (no --outdir)" : "stored in " + options.OutDir;
  return "exchange-sim: a stand-in for the VX exchange server, serving pipe " + options.Name + " (process " +
         std::to_string(processId) + "); documents sent to it are " + documents;
}

}  // namespace vx::sim
