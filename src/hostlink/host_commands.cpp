#include "hostlink/host_commands.h"

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

std::string RequestIPCValue(const std::string& command, const std::string& serverName, TIPCResult& result) {
  TIPCClient client;
  client.SetServerName(serverName);
  TMessageRef request = NewRequest(command, -1);
  request->Data().AddBoolean("SYNC", true);
  TMessageRef answer = client.Request(request, kHostOpenTimeoutMs);
  result.AnswerReceived = client.AnswerReceived();
  result.ErrorDesc = client.ErrorDesc();
  result.ComputerName = client.ComputerName();
  result.ServerName = client.ServerName();
  return answer ? answer->Data().FindText("DATA") : std::string();
}

std::string ReadIPCValueSync(const std::string& command) {
  const std::string serverName = ResolveServerName();
  std::string text;
  for (int attempt = 0; attempt < kHostAttempts; ++attempt) {
    TIPCResult result;
    text = RequestIPCValue(command, serverName, result);
    if (result.AnswerReceived) break;
    Pause(kHostRetryPauseMs);
  }
  return text;
}

bool WriteIPCValueASync(const std::string& text, int32_t typeCode, const std::string& command) {
  if (text.empty()) return false;
  for (int attempt = 0; attempt < kHostAttempts; ++attempt) {
    TIPCClient client;
    client.SetServerName(ResolveServerName());
    TMessageRef request = NewRequest(command, typeCode);
    request->Data().AddText("DATA", text);
    client.Request(request, kHostOpenTimeoutMs);
    if (client.AnswerReceived()) return true;
    Pause(kHostRetryPauseMs);
  }
  return false;
}

std::string LocateExchangeServer() { return LocateExchangeServer(GetParentProcessId()); }

std::string LocateExchangeServer(uint32_t parentProcessId) {
  std::vector<std::string> answers;
  if (parentProcessId != 0) {
    TStringList lines;
    ReadLocalServiceFile(&lines);
    const std::string parent = std::to_string(parentProcessId);
    for (const std::string& line : lines.Lines()) {
      TIPCResult result;
      const std::string answer = RequestIPCValue("SERVERPROCESS", line, result);
      if (answer.empty()) continue;
      answers.push_back(answer);
      const std::vector<std::string> parts = SplitText(kServerProcessDelimiter, answer);
      if (parts.size() == 2 && parts[1] == parent) {
        SetServerName(line);
        return line;
      }
    }
  }
  if (answers.size() != 1) return "";
  // A default server that answers serves this program as it is.
  if (!ReadIPCValueSync("SERVERPROCESS").empty()) return "";
  const std::vector<std::string> parts = SplitText(kServerProcessDelimiter, answers[0]);
  if (parts.size() != 2) return "";
  SetServerName(parts[0]);
  return parts[0];
}

}  // namespace vx
