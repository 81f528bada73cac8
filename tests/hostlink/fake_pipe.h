// An in-memory pipe transport that plays a scripted server and records what
// the client did, to reach every failure path of the client.
#pragma once

#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hostlink/pipe_transport.h"

namespace vx::test {

struct TFakePipeScript {
  int OpenFailures = 0;  // the first opens fail with OpenError
  int OpenError = kErrorPipeBusy;
  int WaitError = 0;  // 0: waiting for an instance succeeds
  std::string Answer;  // what the server sends; after it, reads fail
  int ReadError = kErrorBrokenPipe;
  int64_t MaxReadPiece = INT64_MAX;  // reads deliver at most this much
  int FailingWrite = 0;  // this write call (1-based) fails
  int WriteError = kErrorNoData;
};

struct TFakePipeLog {
  int Opens = 0;
  int Waits = 0;
  int Closes = 0;
  std::vector<std::string> Writes;  // one element per write call
  std::vector<int64_t> ReadSizes;  // what each read asked for
  std::string Written() const {
    std::string all;
    for (const std::string& write : Writes) all += write;
    return all;
  }
};

class TFakeStream : public TPipeStream {
 public:
  TFakeStream(const TFakePipeScript& script, TFakePipeLog& log) : FScript(script), FLog(log) {}
  ~TFakeStream() override { ++FLog.Closes; }

  bool Write(const void* data, int64_t count) override {
    FLog.Writes.emplace_back(static_cast<const char*>(data), static_cast<size_t>(count));
    if (static_cast<int>(FLog.Writes.size()) == FScript.FailingWrite) {
      FError = FScript.WriteError;
      return false;
    }
    return true;
  }

  bool Read(void* buffer, int64_t count, int64_t& done) override {
    FLog.ReadSizes.push_back(count);
    done = std::min({count, FScript.MaxReadPiece, static_cast<int64_t>(FScript.Answer.size() - FRead)});
    if (done == 0) {
      FError = FScript.ReadError;
      return false;
    }
    FScript.Answer.copy(static_cast<char*>(buffer), static_cast<size_t>(done), FRead);
    FRead += static_cast<size_t>(done);
    return true;
  }

  int ErrorCode() const override { return FError; }

 private:
  TFakePipeScript FScript;
  TFakePipeLog& FLog;
  size_t FRead = 0;
  int FError = 0;
};

class TFakeConnector : public TPipeConnector {
 public:
  TFakeConnector(const TFakePipeScript& script, TFakePipeLog& log) : FScript(script), FLog(log) {}

  std::unique_ptr<TPipeStream> Open(const std::string&, TDeadline, int* error) override {
    if (FLog.Opens++ < FScript.OpenFailures) {
      *error = FScript.OpenError;
      return nullptr;
    }
    return std::make_unique<TFakeStream>(FScript, FLog);
  }

  bool WaitForInstance(const std::string&, int, int* error) override {
    ++FLog.Waits;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    *error = FScript.WaitError;
    return FScript.WaitError == 0;
  }

 private:
  TFakePipeScript FScript;
  TFakePipeLog& FLog;
};

}  // namespace vx::test
