#include "hostlink/exchange_trace.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "support/folders.h"
#include "support/os_file.h"

namespace vx {

namespace {

std::mutex gTraceLock;
std::string gTraceFile;

std::string LocalTimeText() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  // std::localtime shares one buffer; the trace's lock keeps its callers apart.
  const std::tm local = *std::localtime(&seconds);
  char text[80];  // room for any int the compiler can imagine in each field
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(milliseconds));
  return text;
}

// "exchange.log" rolls to "exchange.1.log".
std::string RolledFileName(const std::string& logFile) { return ChangeFileExt(logFile, ".1" + ExtractFileExt(logFile)); }

void AppendLine(const std::string& logFile, const std::string& line) {
  TOsFile file;
  if (!file.Open(logFile, TOpenMode::OpenAlways)) return;
  int64_t size = file.Size();
  if (size > 0 && size + static_cast<int64_t>(line.size()) > kTraceRollSize) {
    file.Close();
    int error = 0;
    if (!RenameReplacing(logFile, RolledFileName(logFile), &error) || !file.Open(logFile, TOpenMode::OpenAlways)) {
      return;
    }
    size = file.Size();
  }
  if (size >= 0 && file.SeekTo(size)) file.Write(line.data(), static_cast<int64_t>(line.size()));
}

}  // namespace

void SetExchangeTraceFile(const std::string& logFile) {
  std::lock_guard<std::mutex> lock(gTraceLock);
  gTraceFile = logFile;
}

std::string ExchangeTraceFile() {
  std::lock_guard<std::mutex> lock(gTraceLock);
  return gTraceFile;
}

std::string ExchangeTraceLine(const TExchangeRecord& record) {
  std::string line = record.ServerName + " " + (record.Command.empty() ? "(no command)" : record.Command) +
                     " out " + std::to_string(record.BytesOut) + " in " + std::to_string(record.BytesIn) +
                     " bytes " + std::to_string(record.RoundTripMs) + " ms";
  if (!record.AnswerReceived) line += ": " + record.ErrorDesc + " (" + std::to_string(record.ErrorCode) + ")";
  return line;
}

void TraceExchange(const TExchangeRecord& record) {
  try {
    std::lock_guard<std::mutex> lock(gTraceLock);
    if (gTraceFile.empty()) return;
    EnsureFileFolder(gTraceFile);
    AppendLine(gTraceFile, LocalTimeText() + " " + ExchangeTraceLine(record) + "\r\n");
  } catch (...) {
    // The trace is a help for support staff; the exchange goes on without it.
  }
}

}  // namespace vx
