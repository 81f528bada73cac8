#include "hostlink/host_commands.h"

#include <chrono>
#include <mutex>
#include <vector>

#include "hostlink/ipc_client.h"
#include "hostlink/parent_process.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/pause.h"
#include "support/text_utils.h"

namespace vx {

const char* const kLocalServiceFileName = "QVX-EXCHANGELOCALSERVICE.TXT";

namespace {

// "SERVERPROCESS" answers: pipe name, this byte, host process id.
const char kServerProcessDelimiter[] = "\x08";

std::mutex gServerNameLock;
std::string gServerName;

std::string ResolveServerName() {
  std::string name = GetServerName();
  return name.empty() ? ReadLocalServiceFile() : name;
}

bool Passed(TDeadline deadline) { return std::chrono::steady_clock::now() >= deadline; }

TMessageRef NewRequest(const std::string& command, int32_t index) {
  TMessageRef request = TMessageData::Create();
  request->Data().AddText("COMMAND", command);
  request->Data().AddInteger("INDEX", index);
  return request;
}

}  // namespace

std::string GetServerName() {
  std::lock_guard<std::mutex> lock(gServerNameLock);
  return gServerName;
}

void SetServerName(const std::string& name) {
  std::lock_guard<std::mutex> lock(gServerNameLock);
  gServerName = name;
}

std::string ServerNameFault(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name == "." || name == "..") return "names a folder";
  if (name.size() > kMaxServerNameLength) return "is longer than " + std::to_string(kMaxServerNameLength) + " bytes";
  for (const char c : name) {
    if (c == '\\' || c == '/') return "holds a path separator";
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "holds a control byte";
  }
  return "";
}

std::string ReadLocalServiceFile(TStringList* lines, std::vector<TSkippedServiceLine>* skipped) {
  bool moreLines = false;
  // One byte past the longest name is enough to tell a line too long.
  const std::vector<TBoundedLine> fileLines = LoadBoundedLinesRetry(
      GetTempFolder() + kLocalServiceFileName, kMaxServerNameLength + 1, kMaxServiceFileLines, &moreLines);
  TStringList servers;
  std::vector<TSkippedServiceLine> others;
  for (size_t i = 0; i < fileLines.size(); ++i) {
    const TBoundedLine& line = fileLines[i];
    if (line.Length == 0) continue;
    const std::string fault = ServerNameFault(line.Text);
    if (fault.empty()) {
      servers.Add(line.Text);
    } else {
      others.push_back({static_cast<int>(i) + 1, line.Text, line.Length, fault});
    }
  }
  if (moreLines) {
    others.push_back({static_cast<int>(kMaxServiceFileLines) + 1, "", 0,
                      "lines past the first " + std::to_string(kMaxServiceFileLines) + " are not read"});
  }
  if (lines) *lines = servers;
  if (skipped) *skipped = std::move(others);
  return servers.Count() == 0 ? std::string() : servers.Get(0);
}

namespace {

// One attempt of a read request that ends by the deadline.
std::string RequestBefore(TDeadline deadline, const std::string& command, const std::string& serverName,
                          TIPCResult& result) {
  TIPCClient client;
  client.Deadline = deadline;
  client.SetServerName(serverName);
  TMessageRef request = NewRequest(command, -1);
  request->Data().AddBoolean("SYNC", true);
  TMessageRef answer = client.Request(request, kHostOpenTimeoutMs);
  result.AnswerReceived = client.AnswerReceived();
  result.ErrorDesc = client.ErrorDesc();
  result.ErrorCode = client.ErrorCode();
  result.ComputerName = client.ComputerName();
  result.ServerName = client.ServerName();
  return answer ? answer->Data().FindText("DATA") : std::string();
}

// The attempts of a read, all of them and their pauses ending by the
// deadline: a server that used up the time gets no further attempt.
std::string ReadBefore(TDeadline deadline, const std::string& command, TIPCResult* lastAttempt = nullptr) {
  const std::string serverName = ResolveServerName();
  std::string text;
  TIPCResult result;
  result.ServerName = serverName;
  for (int attempt = 0; attempt < kHostAttempts && !Passed(deadline); ++attempt) {
    result = TIPCResult();
    text = RequestBefore(deadline, command, serverName, result);
    if (result.AnswerReceived) break;
    Pause(kHostRetryPauseMs);
  }
  if (lastAttempt) *lastAttempt = result;
  return text;
}

}  // namespace

std::string RequestIPCValue(const std::string& command, const std::string& serverName, TIPCResult& result) {
  return RequestBefore(ExchangeDeadline(), command, serverName, result);
}

std::string ReadIPCValueSync(const std::string& command, TIPCResult* lastAttempt) {
  return ReadBefore(ExchangeDeadline(), command, lastAttempt);
}

bool WriteIPCValueASync(const std::string& text, int32_t typeCode, const std::string& command) {
  if (text.empty()) return false;
  const TDeadline deadline = ExchangeDeadline();
  for (int attempt = 0; attempt < kHostAttempts && !Passed(deadline); ++attempt) {
    TIPCClient client;
    client.Deadline = deadline;
    client.SetServerName(ResolveServerName());
    TMessageRef request = NewRequest(command, typeCode);
    request->Data().AddText("DATA", text);
    client.Request(request, kHostOpenTimeoutMs);
    if (client.AnswerReceived()) return true;
    Pause(kHostRetryPauseMs);
  }
  return false;
}

std::string LocateExchangeServer() { return LocateExchangeServer(GetParentProcessId(), nullptr); }

// One time for the whole search, so that listed servers that never answer
// cannot add up.
std::string LocateExchangeServer(uint32_t parentProcessId, TServerChoice* choice) {
  TServerChoice ignored;
  TServerChoice& report = choice ? *choice : ignored;
  report = TServerChoice();
  const TDeadline deadline = ExchangeDeadline();
  const std::string parent = std::to_string(parentProcessId);
  std::vector<std::string> answers;
  if (parentProcessId != 0) {
    TStringList lines;
    ReadLocalServiceFile(&lines);
    for (const std::string& line : lines.Lines()) {
      TIPCResult result;
      const std::string answer = RequestBefore(deadline, "SERVERPROCESS", line, result);
      if (!result.AnswerReceived && Passed(deadline)) {
        report.OutOfTime = line;
        break;
      }
      if (answer.empty()) continue;
      answers.push_back(answer);
      const std::vector<std::string> parts = SplitText(kServerProcessDelimiter, answer);
      if (parts.size() == 2 && parts[1] == parent) {
        report.Reason = "its SERVERPROCESS answer names the parent process " + parent;
        SetServerName(line);
        return line;
      }
    }
  }
  if (answers.size() != 1) {
    report.Reason = parentProcessId == 0
                        ? "no parent process"
                        : std::to_string(answers.size()) + " listed servers answered, none for process " + parent;
    return "";
  }
  // A default server that answers serves this program as it is.
  TIPCResult defaultServer;
  const bool defaultAnswers = !ReadBefore(deadline, "SERVERPROCESS", &defaultServer).empty();
  if (!defaultServer.AnswerReceived && Passed(deadline) && report.OutOfTime.empty()) {
    report.OutOfTime = defaultServer.ServerName;
  }
  if (defaultAnswers) {
    report.Reason = "no listed server is of process " + parent + ", and the default server answers";
    return "";
  }
  const std::vector<std::string> parts = SplitText(kServerProcessDelimiter, answers[0]);
  if (parts.size() != 2 || !ServerNameFault(parts[0]).empty()) {
    report.Reason = "the only answer names no server";
    return "";
  }
  report.Reason = "the only listed server that answered names it, and the default server does not answer";
  SetServerName(parts[0]);
  return parts[0];
}

}  // namespace vx
