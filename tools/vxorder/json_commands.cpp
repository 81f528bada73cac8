// The order-file commands of vxorder: check, format and compact.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "binary_output.h"
#include "commands.h"
#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "json/order_locate.h"
#include "support/folders.h"

namespace vx::vxorder {
namespace {

void WriteBytes(std::FILE* out, const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), out); }

// The error's text as the model raised it, on a line of its own.
int Fail(const std::string& message) {
  WriteBytes(stderr, message + "\n");
  return 1;
}

int WrongArguments(const char* name, const char* usage) {
  std::fprintf(stderr, "usage: vxorder %s %s\n", name, usage);
  return 2;
}

// Loads the file as a JSON document: any parse error is raised, no backup
// is read. The model takes a missing file for an empty document; for the
// tool that is an error of its own.
void LoadJsonFile(TFastJSON& json, const std::string& fileName) {
  if (!FileIsPresent(fileName)) throw Exception("file not found: " + fileName);
  json.LoadFromFile(fileName, false, true);
}

int Check(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("check", "FILE");
  try {
    TFastJSON json;
    LoadJsonFile(json, args[0]);
    TOrderLocation location;
    LocateOrder(json, location);
    std::printf("OK %d positions\n", location.Parts->Count());
    return 0;
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}

int Format(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 2) return WrongArguments("format", "FILE OUT");
  try {
    TFastJSON json;
    LoadJsonFile(json, args[0]);
    // The model creates missing folders only along a full path.
    json.SaveToFile(std::filesystem::absolute(args[1]).string(), false, TJSONFormatter::Create);
    return 0;
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}

int Compact(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("compact", "FILE");
  try {
    TFastJSON json;
    LoadJsonFile(json, args[0]);
    WriteBytes(stdout, json.Stringify());
    return std::fflush(stdout) == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
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
