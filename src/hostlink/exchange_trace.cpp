#include "hostlink/exchange_trace.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "support/folders.h"
#include "support/os_file.h"
#include "support/text_utils.h"

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

// The window and vxorder may trace into one log at the same moment. Each
// line goes to the end of the file as the system finds it (appending), but
// that alone is not enough: wine puts it at a size it looked at a moment
// before, and a rollover must not move the log while another process
// writes into it. So every line is written under a lock file beside the
// log. A process that does not get the lock within kTraceLockWaitMs (the
// exchange waits for it) appends all the same, but rolls nothing.
constexpr int kTraceLockWaitMs = 500;
constexpr int kTraceLockPollMs = 1;

class TTraceLock {
 public:
  explicit TTraceLock(const std::string& logFile) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTraceLockWaitMs);
    while (!FFile.Open(logFile + ".lock", TOpenMode::CreateExclusive) && IsPassingFileError(FFile.LastError) &&
           std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kTraceLockPollMs));
    }
  }
  bool Held() const { return FFile.IsOpen(); }

 private:
  TOsFile FFile;
};

void AppendLine(const std::string& logFile, const std::string& line) {
  const auto lineSize = static_cast<int64_t>(line.size());
  const TTraceLock lock(logFile);
  TOsFile file;
  if (!file.Open(logFile, TOpenMode::Append)) return;
  const int64_t size = file.Size();
  if (lock.Held() && size > 0 && size + lineSize > kTraceRollSize) {
    file.Close();
    // A log that cannot be moved grows on rather than lose the line.
    int error = 0;
    RenameReplacing(logFile, RolledFileName(logFile), &error);
    if (!file.Open(logFile, TOpenMode::Append)) return;
  }
  file.Write(line.data(), lineSize);
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
  std::string line = ShownText(record.ServerName) + " " +
                     (record.Command.empty() ? "(no command)" : ShownText(record.Command)) + " out " +
                     std::to_string(record.BytesOut) + " in " + std::to_string(record.BytesIn) + " bytes " +
                     std::to_string(record.RoundTripMs) + " ms";
  if (!record.AnswerReceived) {
    line += ": " + ShownText(record.ErrorDesc) + " (" + std::to_string(record.ErrorCode) + ")";
  }
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
