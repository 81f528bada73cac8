#include "actions/exchange_trace_switch.h"

#include <cstdlib>

#include "hostlink/exchange_trace.h"
#include "settings/settings_store.h"
#include "support/folders.h"

namespace vx {

const char kExchangeTraceKey[] = "ExchangeTrace";

std::string ExchangeTraceSwitch(const std::string& settingsFolder) {
  const char* environment = std::getenv("VX_TRACE");
  if (environment && std::string(environment) == "1") return "VX_TRACE=1";
  // The settings store reads the file only; it writes nothing unless asked.
  if (ReadModeInteger(kExchangeTraceKey, 0, settingsFolder) == 1) return "UserMode.INI";
  return "";
}

std::string ExchangeTraceLogFile(const std::string& settingsFolder) {
  return AddPathDelim(settingsFolder) + "exchange.log";
}

std::string StartExchangeTrace(const std::string& settingsFolder) {
  if (ExchangeTraceSwitch(settingsFolder).empty()) return "";
  const std::string logFile = ExchangeTraceLogFile(settingsFolder);
  SetExchangeTraceFile(logFile);
  return logFile;
}

}  // namespace vx
