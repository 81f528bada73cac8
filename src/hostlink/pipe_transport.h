// The duplex byte stream under the pipe message framing, with both ends:
// the client's opener and the server's listener. On Windows it is a named
// pipe; elsewhere the pipe \\.\pipe\NAME is the Unix stream socket
// <temporary folder>pipe/NAME. Both backends report Windows error numbers.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "support/os_file.h"  // kErrorFileNotFound, kErrorAccessDenied

namespace vx {

constexpr int kErrorBrokenPipe = 109;  // the other end closed while reading
constexpr int kErrorPipeBusy = 231;
constexpr int kErrorNoData = 232;  // the other end closed while writing
constexpr int kErrorMoreData = 234;
constexpr int kWaitTimeout = 258;

// A server gives each single read or write from a client this long, so
// that a client that went quiet cannot hold an instance forever.
constexpr int kPipeIoTimeoutMs = 60000;

// The moment after which a client's pipe operations give up.
using TDeadline = std::chrono::steady_clock::time_point;

// One open connection. Closed when destroyed.
class TPipeStream {
 public:
  virtual ~TPipeStream() = default;
  // Writes all count bytes as one operation (one message when the other end
  // reads in message mode). False on failure; see ErrorCode.
  virtual bool Write(const void* data, int64_t count) = 0;
  // Reads between 1 and count bytes (0 only for an empty message) into
  // buffer; done is what arrived. False on failure, on the end of the
  // stream (kErrorBrokenPipe) and after the time bound (kWaitTimeout).
  virtual bool Read(void* buffer, int64_t count, int64_t& done) = 0;
  // The error number of the last failure.
  virtual int ErrorCode() const = 0;
};

// The client side: opens the pipe of a path "\\.\pipe\NAME".
class TPipeConnector {
 public:
  virtual ~TPipeConnector() = default;
  // The open stream, or nullptr with *error set (kErrorFileNotFound when no
  // server has the pipe, kErrorPipeBusy when every instance is taken).
  // Every read and write on the stream fails with kWaitTimeout once the
  // deadline has passed, however the server paces its bytes. A server run
  // by another user, or in another session, is never talked to: Open raises
  // vx::Exception with ServerRefusal's text for it, and for a server whose
  // user the system does not tell.
  virtual std::unique_ptr<TPipeStream> Open(const std::string& path, TDeadline deadline, int* error) = 0;
  // Waits up to timeoutMs for a free instance (0: the server's default
  // wait). False with *error set when the pipe does not exist.
  virtual bool WaitForInstance(const std::string& path, int timeoutMs, int* error) = 0;
};

std::unique_ptr<TPipeConnector> CreatePipeConnector();

// The server side: the pipe NAME with any number of instances, in message
// mode where the system has it. One listener per name in the machine.
class TPipeServer {
 public:
  // Raises vx::Exception when the pipe cannot be created or another server
  // already has the name.
  TPipeServer(const std::string& name, int ioTimeoutMs);
  ~TPipeServer();
  TPipeServer(const TPipeServer&) = delete;
  TPipeServer& operator=(const TPipeServer&) = delete;

  // Waits for the next client; nullptr once Stop was called. A free
  // instance stays ready while the returned connection is served.
  std::unique_ptr<TPipeStream> Accept();
  // Makes a waiting and every later Accept return nullptr; any thread.
  void Stop();

  const std::string Name;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// NAME of a pipe path "\\.\pipe\NAME" (the path itself when it has no
// "\pipe\").
std::string PipeNameOfPath(const std::string& pipePath);

// Whose process serves a pipe, or runs this program, as far as the system
// tells.
struct TPipePeer {
  bool Known = false;
  std::string User;      // the uid, or the user's SID as text
  uint32_t Session = 0;  // the log-on session, where the system has them
};

// "" when the server may be talked to: it runs as the same user, in the
// same session, as this program. Otherwise why not, for an exception:
// "Pipe NAME is served by another user (USER)", "... in another session
// (session N)", or, when the server is not known, "Pipe NAME is served by
// another user".
std::string ServerRefusal(const std::string& pipePath, const TPipePeer& server, const TPipePeer& self);

// Reads exactly count bytes, looping over short reads; false on failure.
bool ReadExact(TPipeStream& stream, void* buffer, int64_t count);

}  // namespace vx
