#include "command_support.h"

#include <exception>

#include "actions/exchange_trace_switch.h"
#include "documents/file_name_template.h"
#include "support/console_output.h"
#include "support/text_utils.h"

namespace vx::vxorder {

bool WriteBytes(std::FILE* out, const std::string& bytes) { return WriteConsoleText(out, bytes); }

bool WriteLine(std::FILE* out, const std::string& bytes) { return WriteBytes(out, bytes + "\n"); }

bool WriteTextLine(std::FILE* out, const std::string& text) { return WriteLine(out, EscapeControlBytes(text)); }

int64_t TOutputStream::Read(void*, int64_t) { return 0; }

int64_t TOutputStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (!FFailed) {
    FFailed = !WriteConsoleText(FOut, std::string_view(static_cast<const char*>(buffer), static_cast<size_t>(count)));
  }
  FWritten += count;
  return count;
}

int64_t TOutputStream::Seek(int64_t, TSeekOrigin) { return FWritten; }

int Fail(const std::string& message) {
  WriteTextLine(stderr, message);
  return 1;
}

int WrongArguments(const char* name, const char* usage) {
  WriteLine(stderr, std::string("usage: vxorder ") + name + (*usage ? " " : "") + usage);
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
