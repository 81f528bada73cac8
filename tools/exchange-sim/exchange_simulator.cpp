#include "exchange_simulator.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "hostlink/host_commands.h"
#include "hostlink/message_framing.h"
#include "order_scan.h"
#include "process/child_process.h"
#include "support/console_output.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/os_file.h"
#include "support/pause.h"
#include "support/text_utils.h"

namespace vx::sim {

namespace {

constexpr int kServiceLockWaitMs = 10000;
constexpr int kServiceLockPauseMs = 10;

const char kOutDataPrefix[] = "outdata-";
const char kOutDataExtension[] = ".json";

std::string ServiceFileName() { return GetTempFolder() + kLocalServiceFileName; }

std::string Numbered(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

// Holds the lock file beside the service file for the read, change and
// write of one update. The system lets go of it with the process, so a
// crashed simulator leaves no lock behind, only the empty file.
class TServiceFileLock {
 public:
  TServiceFileLock() {
    const std::string name = ServiceFileName() + ".lock";
    const auto start = std::chrono::steady_clock::now();
    while (!FFile.Open(name, TOpenMode::CreateExclusive)) {
      const bool heldByAnother = IsPassingFileError(FFile.LastError);
      if (!heldByAnother || std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kServiceLockWaitMs)) {
        throw Exception("Cannot lock " + name + ": " + FileErrorMessage(FFile.LastError));
      }
      Pause(kServiceLockPauseMs);
    }
  }

 private:
  TOsFile FFile;
};

// The servers listed besides name, each once, in their order.
TStringList OtherServers(const TStringList& lines, const std::string& name) {
  TStringList others;
  for (const std::string& line : lines.Lines()) {
    if (!line.empty() && line != name && others.IndexOf(line) < 0) others.Add(line);
  }
  return others;
}

// The number in a stored document's name ("outdata-0012.json" gives 12);
// 0 for any other name.
int OutDataNumber(const std::string& name) {
  const std::string prefix = kOutDataPrefix;
  const std::string extension = kOutDataExtension;
  if (name.size() <= prefix.size() + extension.size() || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
    return 0;
  }
  const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stoi(digits);
}

}  // namespace

// TServiceFileEntry

TServiceFileEntry::TServiceFileEntry(const std::string& name) : FName(name) {
  TServiceFileLock lock;
  TStringList lines;
  LoadStringsRetry(lines, ServiceFileName());
  lines = OtherServers(lines, FName);
  lines.Insert(0, FName);
  SaveStringsRetry(lines, ServiceFileName());
}

TServiceFileEntry::~TServiceFileEntry() {
  try {
    TServiceFileLock lock;
    TStringList lines;
    LoadStringsRetry(lines, ServiceFileName());
    lines = OtherServers(lines, FName);
    if (lines.Count() == 0) {
      DeleteFileRetry(ServiceFileName());
    } else {
      SaveStringsRetry(lines, ServiceFileName());
    }
  } catch (const Exception&) {
    // A file held by someone else for longer than all retries stays as it is.
  }
}

// TExchangeSimulator

TExchangeSimulator::TExchangeSimulator(const TSimOptions& options, std::FILE* log)
    : FOptions(options),
      FLog(log),
      FServer(options.Name, kPipeIoTimeoutMs),
      FServiceEntry(options.Name),
      FOutDataCount(LastStoredNumber()) {}

TExchangeSimulator::~TExchangeSimulator() {
  Stop();
  JoinFinishedWorkers(true);
}

void TExchangeSimulator::Run() {
  while (std::unique_ptr<TPipeStream> client = FServer.Accept()) {
    JoinFinishedWorkers(false);
    FWorkers.emplace_back();
    TWorker& worker = FWorkers.back();
    worker.Thread = std::thread([this, &worker, stream = std::move(client)] {
      Serve(*stream);
      worker.Done = true;
    });
  }
  JoinFinishedWorkers(true);
}

int TExchangeSimulator::RunLaunched(const std::vector<std::string>& launch) {
  std::thread server([this] { Run(); });
  int code = 1;
  try {
    TChildProcess child(launch);
    code = child.Wait();
  } catch (const Exception& e) {
    Log(e.Message());
  }
  Stop();
  server.join();
  return code;
}

void TExchangeSimulator::JoinFinishedWorkers(bool all) {
  for (auto it = FWorkers.begin(); it != FWorkers.end();) {
    if (all || it->Done) {
      if (it->Thread.joinable()) it->Thread.join();
      it = FWorkers.erase(it);
    } else {
      ++it;
    }
  }
}

void TExchangeSimulator::Log(const std::string& line) {
  std::lock_guard<std::mutex> lock(FLock);
  WriteConsoleText(FLog, EscapeControlBytes(line) + "\n");
}

// Requests follow each other on one connection until the end marker.
void TExchangeSimulator::Serve(TPipeStream& client) {
  std::string id;
  std::string data;
  while (ReadMessage(client, kRequestLimits, id, data) == TMessageRead::Message) {
    const int64_t requestSize = static_cast<int64_t>(data.size());
    TStreamStorage request;
    request.SetBytes(std::move(data));
    const std::string command = request.FindText("COMMAND");
    std::string text;
    TStreamStorage answer;
    if (AnswerOf(command, request, text)) answer.AddText("DATA", text);
    if (FOptions.DelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(FOptions.DelayMs));
    const std::string summary = (command.empty() ? "(no command)" : command) + ": request " +
                                std::to_string(requestSize) + " bytes, ";
    if (FOptions.Drop) {
      Log(summary + "dropped");
      return;
    }
    if (FOptions.Truncate) {
      // Announce the whole block, send half of it, and hang up.
      const std::string& block = answer.Bytes();
      const int64_t announced = std::max<int64_t>(answer.Size(), 1);
      const std::string bytes = LengthBytes(0) + LengthBytes(announced) + block.substr(0, block.size() / 2);
      client.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
      Log(summary + "answer " + std::to_string(block.size() / 2) + " of " + std::to_string(announced) + " bytes");
      return;
    }
    WriteMessage(client, "", answer.Bytes());
    Log(summary + "answer " + std::to_string(answer.Size()) + " bytes");
  }
}

bool TExchangeSimulator::AnswerOf(const std::string& command, TStreamStorage& request, std::string& answer) {
  if (command == "SERVERPROCESS") {
    answer = FOptions.Name + "\x08" + std::to_string(CurrentProcessId());
  } else if (command == "OFFICEMETRICS") {
    answer = FOptions.Metrics;
  } else if (command == "DBPATH") {
    answer = FOptions.DbPath;
  } else if (command == "GETJSON") {
    answer = CopyOrderFile();
  } else if (command == "SIMPLEGETJSON") {
    std::string order;
    if (!FOptions.OrderFile.empty() && (!FOptions.CustomerGiven || !FOptions.AddressGiven)) {
      TMemoryStream stream;
      LoadStreamRetry(stream, FOptions.OrderFile);
      order = stream.Data();
    }
    answer = SimpleOrderJson(FOptions.CustomerGiven ? FOptions.Customer : ScanMemberText(order, "CustomerNumber"),
                             FOptions.AddressGiven ? FOptions.Address : ScanMemberText(order, "AdressSmart"));
  } else if (command == "CANPOSTJSON") {
    answer = FOptions.EditMode ? "1" : "0";
  } else if (command == "OUTDATA") {
    StoreOutData(request.FindText("DATA"));
    return false;
  } else {
    return false;
  }
  return true;
}

std::string TExchangeSimulator::CopyOrderFile() {
  if (FOptions.OrderFile.empty()) return "";
  const std::string copy = NewTempFileName(".json");
  try {
    if (CopyFileRetry(FOptions.OrderFile, copy)) return copy;
  } catch (const Exception& e) {
    Log("GETJSON: " + e.Message());
  }
  return "";
}

// Earlier runs' documents stay: numbering goes on after them.
int TExchangeSimulator::LastStoredNumber() const {
  if (FOptions.OutDir.empty()) return 0;
  int last = 0;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(FOptions.OutDir, ignored)) {
    last = std::max(last, OutDataNumber(entry.path().filename().string()));
  }
  return last;
}

void TExchangeSimulator::StoreOutData(const std::string& document) {
  if (FOptions.OutDir.empty()) {
    Log("OUTDATA received: not stored (no --outdir)");
    return;
  }
  std::string fileName;
  {
    std::lock_guard<std::mutex> lock(FLock);
    fileName = AddPathDelim(FOptions.OutDir) + kOutDataPrefix + Numbered(++FOutDataCount) + kOutDataExtension;
  }
  try {
    EnsureFileFolder(fileName);
    TMemoryStream stream;
    stream.SetData(document);
    SaveStreamRetry(stream, fileName);
    Log("OUTDATA received: stored as " + fileName);
  } catch (const Exception& e) {
    Log("OUTDATA received: not stored: " + e.Message());
  }
}

}  // namespace vx::sim
