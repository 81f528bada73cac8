// The order-file commands of vxorder: check, format and compact.
#include <cstdio>
#include <filesystem>
#include <string>

#include "actions/order_actions.h"
#include "binary_output.h"
#include "command_support.h"
#include "commands.h"
#include "documents/order_locate.h"
#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "support/folders.h"

namespace vx::vxorder {
namespace {

// Loads the file as a JSON document: any parse error is raised, no backup
// is read. The model takes a missing file for an empty document; for the
// tool that is an error of its own.
void LoadJsonFile(TFastJSON& json, const std::string& fileName) {
  if (!FileIsPresent(fileName)) throw Exception("file not found: " + fileName);
  json.LoadFromFile(fileName, false, true);
}

// The output file as the model needs it, for it creates missing folders
// only along a full path. A POSIX path from the root is what
// std::filesystem::absolute would give, and its code would add a quarter
// of a megabyte to the process.
std::string FullPath(const std::string& fileName) {
  if (kPathDelim == '/' && !fileName.empty() && fileName[0] == '/') return fileName;
  return std::filesystem::absolute(fileName).string();
}

int Check(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("check", "FILE");
  // A file that loads here may still never reach the host.
  if (!HasJsonExtension(args[0])) {
    WriteTextLine(stderr, "warning: " + args[0] + " does not end in .json: the window and vxorder send skip it");
  }
  return RunReportingErrors([&args] {
    TFastJSON json;
    LoadJsonFile(json, args[0]);
    TOrderLocation location;
    LocateOrder(json, location);
    WriteLine(stdout, "OK " + std::to_string(location.Parts->Count()) + " positions");
    return 0;
  });
}

int Format(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 2) return WrongArguments("format", "FILE OUT");
  return RunReportingErrors([&args] {
    TFastJSON json;
    LoadJsonFile(json, args[0]);
    json.SaveToFile(FullPath(args[1]), false, TJSONFormatter::Create);
    return 0;
  });
}

int Compact(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("compact", "FILE");
  return RunReportingErrors([&args] {
    TFastJSON json;
    LoadJsonFile(json, args[0]);
    // Written block by block as it is made, never held whole.
    TOutputStream out(stdout);
    json.WriteTo(out);
    return out.Failed() ? 1 : 0;
  });
}

}  // namespace

const std::vector<TCommand>& JsonCommands() {
  static const std::vector<TCommand> commands = {
      {"check", "FILE", "load an order file and count its positions (\"OK <n> positions\")", Check},
      {"format", "FILE OUT", "write FILE to OUT in the formatted layout of saved orders", Format},
      {"compact", "FILE", "write FILE as compact JSON to standard output", Compact},
  };
  return commands;
}

}  // namespace vx::vxorder
