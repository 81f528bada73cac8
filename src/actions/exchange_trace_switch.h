// How support staff switch the exchange trace on: the key "ExchangeTrace"
// = 1 in section "MODE" of "UserMode.INI", or the environment variable
// VX_TRACE=1. The log is "exchange.log" in the settings folder.
#pragma once

#include <string>

namespace vx {

extern const char kExchangeTraceKey[];

// What switched the trace on for this settings folder: "VX_TRACE=1",
// "UserMode.INI", or "" when it is off. Reads only.
std::string ExchangeTraceSwitch(const std::string& settingsFolder);

// The log file of the settings folder.
std::string ExchangeTraceLogFile(const std::string& settingsFolder);

// Starts the trace when it is switched on; the log file, or "" when it
// stays off.
std::string StartExchangeTrace(const std::string& settingsFolder);

}  // namespace vx
