#include "exchange_simulator.h"

#include <algorithm>
#include <chrono>

#include "child_process.h"
#include "hostlink/host_commands.h"
#include "hostlink/message_io.h"
#include "order_scan.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"

namespace vx::sim {

namespace {

std::string ServiceFileName() { return GetTempFolder() + kLocalServiceFileName; }

std::string Numbered(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

}  // namespace

// TServiceFileEntry

TServiceFileEntry::TServiceFileEntry(const std::string& name) : FName(name) {
  TStringList lines;
  LoadStringsRetry(lines, ServiceFileName());
  lines.Insert(0, FName);
  SaveStringsRetry(lines, ServiceFileName());
}

TServiceFileEntry::~TServiceFileEntry() {
  try {
    TStringList lines;
    LoadStringsRetry(lines, ServiceFileName());
    const int at = lines.IndexOf(FName);
    if (at >= 0) lines.Delete(at);
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
    : FOptions(options), FLog(log), FServer(options.Name, kPipeIoTimeoutMs), FServiceEntry(options.Name) {}

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
  std::fprintf(FLog, "%s\n", line.c_str());
  std::fflush(FLog);
}

// Requests follow each other on one connection until the end marker.
void TExchangeSimulator::Serve(TPipeStream& client) {
  std::string id;
  std::string data;
  while (ReadRawMessage(client, id, data) == TMessageRead::Message) {
    TStreamStorage request;
    request.Append(data.data(), static_cast<int64_t>(data.size()));
    const std::string command = request.FindText("COMMAND");
    std::string text;
    TStreamStorage answer;
    if (AnswerOf(command, request, text)) answer.AddText("DATA", text);
    if (FOptions.DelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(FOptions.DelayMs));
    const std::string summary = (command.empty() ? "(no command)" : command) + ": request " +
                                std::to_string(data.size()) + " bytes, ";
    if (FOptions.Drop) {
      Log(summary + "dropped");
      return;
    }
    if (FOptions.Truncate) {
      // Announce the whole block, send half of it, and hang up.
      const std::string& block = answer.Bytes();
      const int64_t announced = std::max<int64_t>(answer.Size(), 1);
      const std::string bytes = Int64Bytes(0) + Int64Bytes(announced) + block.substr(0, block.size() / 2);
      client.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
      Log(summary + "answer " + std::to_string(block.size() / 2) + " of " + std::to_string(announced) + " bytes");
      return;
    }
    WriteRawMessage(client, "", answer.Bytes());
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

void TExchangeSimulator::StoreOutData(const std::string& document) {
  if (FOptions.OutDir.empty()) return;
  std::string fileName;
  {
    std::lock_guard<std::mutex> lock(FLock);
    fileName = AddPathDelim(FOptions.OutDir) + "outdata-" + Numbered(++FOutDataCount) + ".json";
  }
  try {
    EnsureFileFolder(fileName);
    TMemoryStream stream;
    stream.SetData(document);
    SaveStreamRetry(stream, fileName);
    Log("OUTDATA stored as " + fileName);
  } catch (const Exception& e) {
    Log("OUTDATA: " + e.Message());
  }
}

}  // namespace vx::sim
