// The pipe client: one object serves one request. It opens the server's
// pipe, writes the request message, reads the answer message and closes
// the pipe again. Pipe failures never raise; they are reported in
// AnswerReceived, ErrorDesc and ErrorCode (Windows error numbers). What must
// not be trusted does raise vx::Exception: a server of another user, or a
// temporary folder (where the sockets live off Windows) that others control.
#pragma once

#include <memory>
#include <string>

#include "hostlink/message_data.h"
#include "hostlink/pipe_transport.h"

namespace vx {

// A server may take this long for one exchange, from the open to the end
// marker, and a host call for all its attempts: however a server paces
// its bytes, the caller gets its thread back.
constexpr int kExchangeTimeoutMs = 60000;
// What one answer may hold. The host answers with paths and short texts;
// anything near these sizes is a broken or hostile server, and reading it
// would only fill the memory. An entry lies inside the data, so the data's
// cap also bounds every entry.
constexpr int64_t kMaxAnswerIdSize = 64 * 1024;
constexpr int64_t kMaxAnswerDataSize = 256 * 1024 * 1024;
// Windows' ERROR_MESSAGE_EXCEEDS_MAX_SIZE.
constexpr int kErrorMessageTooLarge = 4336;

// Sets the most an answer's data may hold (kMaxAnswerDataSize unless set)
// for every client of the process; returns the previous cap. A caller that
// needs no more than paths and short texts of the host lowers it, so that a
// hostile answer is refused before it takes the memory.
int64_t SetAnswerDataCap(int64_t bytes);

// Sets the time that ExchangeDeadline gives; returns the previous one.
// Tests shorten it so that a silent server costs little.
int SetExchangeTimeout(int milliseconds);
// Now plus that time (kExchangeTimeoutMs unless set).
TDeadline ExchangeDeadline();

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
  // otherwise nullptr. While the exchange trace is on, the request leaves
  // one line there.
  TMessageRef Request(const TMessageRef& request, int timeoutMs);

  // The whole request, open and end marker included, gives up at this
  // moment: ExchangeDeadline() when the client was created, unless the
  // caller sets it.
  TDeadline Deadline;

 private:
  TMessageRef OpenExchangeAndClose(const TMessageRef& request, int timeoutMs);
  void Trace(const TMessageRef& request, const TMessageRef& answer, int64_t roundTripMs);
  void OpenPipe(int timeoutMs);
  TMessageRef Exchange(const TMessageRef& request);
  // The steps of Exchange; false, with ErrorDesc and ErrorCode set, when
  // the step failed.
  bool WriteRequest(IMessageData& request);
  bool ReadAnswer(IMessageData& answer);
  void ClosePipe();
  // Notes the pipe's failure; false.
  bool Failed(const char* errorDesc);
  // Notes the refusal of an answer past its cap; false.
  bool RefuseTooLarge(const char* what, int64_t cap);

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
