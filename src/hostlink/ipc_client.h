// The pipe client: one object serves one request. It opens the server's
// pipe, writes the request message, reads the answer message and closes
// the pipe again. Pipe failures never raise; they are reported in
// AnswerReceived, ErrorDesc and ErrorCode (Windows error numbers).
#pragma once

#include <memory>
#include <string>

#include "hostlink/message_data.h"
#include "hostlink/pipe_transport.h"

namespace vx {

// The read and write bound that new clients start with; returns the
// previous one. Tests shorten it so that a silent server costs little.
int SetDefaultIoTimeout(int milliseconds);

class TIPCClient {
 public:
  // The system's pipe transport.
  TIPCClient();
  // Another transport, for tests.
  explicit TIPCClient(std::unique_ptr<TPipeConnector> connector);
  ~TIPCClient();
  TIPCClient(const TIPCClient&) = delete;
  TIPCClient& operator=(const TIPCClient&) = delete;

  // Stores the name and rebuilds PipePath "\\<ComputerName>\pipe\<name>".
  void SetServerName(const std::string& name);
  const std::string& ServerName() const { return FServerName; }
  const std::string& PipePath() const { return FPipePath; }
  const std::string& ComputerName() const { return FComputerName; }
  const std::string& ErrorDesc() const { return FErrorDesc; }
  int ErrorCode() const { return FErrorCode; }
  // The last exchange read its answer completely.
  bool AnswerReceived() const { return FAnswerReceived; }

  // Opens the pipe, waiting up to timeoutMs for it, sends request and
  // reads the answer; the pipe is closed on every path. The answer exists
  // once the whole request was written, complete only when AnswerReceived;
  // otherwise nullptr.
  TMessageRef Request(const TMessageRef& request, int timeoutMs);

  // Once open, each read and write gives up after this long.
  int IoTimeoutMs;

 private:
  void OpenPipe(int timeoutMs);
  TMessageRef Exchange(const TMessageRef& request);
  void ClosePipe();
  bool Failed(const char* errorDesc);
  bool WritePiece(const void* data, int64_t count, const char* errorDesc);
  bool ReadLength(int64_t& value, const char* errorDesc);

  std::string FPipePath;
  std::string FErrorDesc;
  int FErrorCode = 0;
  std::string FServerName;
  std::unique_ptr<TPipeStream> FPipe;
  bool FConnected = false;
  bool FAnswerReceived = false;
  std::string FComputerName = ".";
  std::unique_ptr<TPipeConnector> FConnector;
};

}  // namespace vx
