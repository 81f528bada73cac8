#include "command_support.h"

#include <exception>

#include "actions/exchange_trace_switch.h"
#include "documents/file_name_template.h"

namespace vx::vxorder {

bool WriteBytes(std::FILE* out, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

bool WriteLine(std::FILE* out, const std::string& bytes) { return WriteBytes(out, bytes + "\n"); }

int Fail(const std::string& message) {
  WriteLine(stderr, message);
  return 1;
}

int WrongArguments(const char* name, const char* usage) {
  std::fprintf(stderr, "usage: vxorder %s%s%s\n", name, *usage ? " " : "", usage);
  return 2;
}

void StartExchangeTraceOfWindow() { StartExchangeTrace(GetProgramDataFolder()); }

int RunReportingErrors(const std::function<int()>& work) {
  try {
    return work();
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}

}  // namespace vx::vxorder
