// The exchange trace, for support staff: one line per pipe request with
// its time, server, command, sizes, round trip and error. It never holds
// what was sent or answered, since orders carry customer data. Off until a
// log file is given.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// A log past this size moves to "<name>.1.log" (replacing an older one)
// before the next line, so the trace never takes more than twice this
// (each line is short: its fields are cut as ShownText cuts them). Several
// processes may write the same log at once; none loses another's lines.
constexpr int64_t kTraceRollSize = 1024 * 1024;

// Starts the trace into logFile; "" stops it. Any thread.
void SetExchangeTraceFile(const std::string& logFile);
// The log file, "" while the trace is off.
std::string ExchangeTraceFile();

// What one request did.
struct TExchangeRecord {
  std::string ServerName;
  std::string Command;
  int64_t BytesOut = 0;  // the request's data block
  int64_t BytesIn = 0;   // the answer's data block, as far as it arrived
  int64_t RoundTripMs = 0;
  bool AnswerReceived = false;
  std::string ErrorDesc;
  int ErrorCode = 0;
};

// The record's line, without its time: "SERVER COMMAND out N in N bytes
// T ms" and, for a failed request, ": ERRORDESC (CODE)". Each text field
// as ShownText shows it, so that one request is always one line, whatever
// a server named itself.
std::string ExchangeTraceLine(const TExchangeRecord& record);

// Appends the local time to the millisecond and the record's line, when
// the trace is on. Never raises: a log that cannot be written loses the
// line, never the exchange.
void TraceExchange(const TExchangeRecord& record);

}  // namespace vx
