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

std::string ReadLocalServiceFile(TStringList* lines) {
  TStringList fileLines;
  LoadStringsRetry(fileLines, GetTempFolder() + kLocalServiceFileName);
  if (lines) *lines = fileLines;
  if (fileLines.Count() == 0) fileLines.Add("");
  return fileLines.Get(0);
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
std::string LocateExchangeServer(uint32_t parentProcessId, std::string* reason) {
  const auto because = [reason](const std::string& text) {
    if (reason) *reason = text;
  };
  const TDeadline deadline = ExchangeDeadline();
  const std::string parent = std::to_string(parentProcessId);
  std::vector<std::string> answers;
  if (parentProcessId != 0) {
    TStringList lines;
    ReadLocalServiceFile(&lines);
    for (const std::string& line : lines.Lines()) {
      TIPCResult result;
      const std::string answer = RequestBefore(deadline, "SERVERPROCESS", line, result);
      if (answer.empty()) continue;
      answers.push_back(answer);
      const std::vector<std::string> parts = SplitText(kServerProcessDelimiter, answer);
      if (parts.size() == 2 && parts[1] == parent) {
        because("its SERVERPROCESS answer names the parent process " + parent);
        SetServerName(line);
        return line;
      }
    }
  }
  if (answers.size() != 1) {
    because(parentProcessId == 0 ? "no parent process"
                                 : std::to_string(answers.size()) + " listed servers answered, none for process " +
                                       parent);
    return "";
  }
  // A default server that answers serves this program as it is.
  if (!ReadBefore(deadline, "SERVERPROCESS").empty()) {
    because("no listed server is of process " + parent + ", and the default server answers");
    return "";
  }
  const std::vector<std::string> parts = SplitText(kServerProcessDelimiter, answers[0]);
  if (parts.size() != 2) {
    because("the only answer names no server");
    return "";
  }
  because("the only listed server that answered names it, and the default server does not answer");
  SetServerName(parts[0]);
  return parts[0];
}

}  // namespace vx
