// The command calls to the host exchange server: the only way the program
// talks to the host. Every call blocks its thread until it is done, creates
// its own clients and messages, and never raises for pipe failures: a failed
// read gives an empty text, a failed send false. They do raise when the
// exchange-service file cannot be read, and for a server or temporary folder
// that must not be trusted (see ipc_client.h). Each call, with all its
// attempts and pauses, ends by the time ExchangeDeadline gives when it
// starts (a minute; see ipc_client.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/string_list.h"

namespace vx {

// Each attempt may wait this long for the pipe to open.
constexpr int kHostOpenTimeoutMs = 5000;
// A host that is busy for a moment (or restarting its server) gets three
// chances, with a short pause after each failed attempt.
constexpr int kHostAttempts = 3;
constexpr int kHostRetryPauseMs = 50;
// The type code of an import document sent with "OUTDATA".
constexpr int32_t kImportTypeCode = 11;

// One line per running exchange server, the default first; the host writes
// it into the temporary folder.
extern const char* const kLocalServiceFileName;
// The longest pipe name Windows takes; the service file's lines are read
// only a byte further, so a line of a hundred million bytes costs no memory.
constexpr size_t kMaxServerNameLength = 256;
// One line per host instance running on this machine: a file with more is
// broken or hostile, and the start-up search asks every listed server.
constexpr size_t kMaxServiceFileLines = 100;

// Why name cannot be a server's name, "" when it can. A server name is one
// part of a pipe path: not empty, not "." or "..", no longer than
// kMaxServerNameLength, without "\" or "/" and without control bytes. Any
// other name could lead the pipe path out of the pipes' folder, say to the
// socket of another user.
std::string ServerNameFault(std::string_view name);

// A line of the exchange-service file that names no server.
struct TSkippedServiceLine {
  int LineNumber = 0;  // from 1
  std::string Text;    // its first bytes, at most one past kMaxServerNameLength
  int64_t Length = 0;
  std::string Reason;  // ServerNameFault, or that lines past the bound were not read
};

struct TIPCResult {
  std::string ErrorDesc;
  std::string ComputerName;
  std::string ServerName;
  bool AnswerReceived = false;
  int ErrorCode = 0;  // the client's, for a report to support staff
};

// The process-wide current server name (empty: use the file's first line).
std::string GetServerName();
void SetServerName(const std::string& name);

// The first server name of the local exchange-service file, read anew (""
// when the file is missing or lists none); lines, when given, receives all
// its server names. Lines that name no server are skipped: blank ones
// silently, the others into skipped, when given. Raises only when the file
// exists but cannot be read through all retries.
std::string ReadLocalServiceFile(TStringList* lines = nullptr, std::vector<TSkippedServiceLine>* skipped = nullptr);

// One attempt of the read request for command on the named server: the
// answer's "DATA" text (empty when there is none) and the client's report.
std::string RequestIPCValue(const std::string& command, const std::string& serverName, TIPCResult& result);

// The answer's "DATA" text of command from the current (or default)
// server, with up to three attempts. Empty when the server did not answer;
// an answer without "DATA" counts as received and is not retried.
// lastAttempt, when given, receives the report of the last attempt made.
std::string ReadIPCValueSync(const std::string& command, TIPCResult* lastAttempt = nullptr);

// Sends a document to the host: a request with "COMMAND" = command,
// "INDEX" = typeCode and "DATA" = text, without "SYNC" (the import
// document goes with "OUTDATA" and kImportTypeCode). Waits for the
// server's acknowledging answer, whose content is not read; up to three
// attempts. True when the server acknowledged. An empty text sends nothing
// and gives false.
bool WriteIPCValueASync(const std::string& text, int32_t typeCode, const std::string& command);

// Chooses the exchange server of the host instance that started this
// program, at start-up: the listed server whose "SERVERPROCESS" answer
// names the parent process; else, when exactly one listed server answered
// and the default server does not, the name in that one answer (when it is
// a server name). The choice becomes the current server name; the result
// is it, or empty when nothing was chosen.
std::string LocateExchangeServer();

// Why LocateExchangeServer chose as it did, for support staff.
struct TServerChoice {
  std::string Reason;
  // The server whose answer the search was waiting for when its time ran
  // out ("" when none did); the servers after it were not asked.
  std::string OutOfTime;
};
// The same for a given parent process id (0: none); choice, when given,
// receives why the server was or was not chosen.
std::string LocateExchangeServer(uint32_t parentProcessId, TServerChoice* choice = nullptr);

}  // namespace vx
