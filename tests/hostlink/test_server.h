// A pipe server on a thread of the test, over the real transport, whose
// answers the test scripts byte for byte.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hostlink/message_data.h"
#include "hostlink/pipe_transport.h"

namespace vx::test {

struct TReply {
  std::string Bytes;  // written in one piece
  bool CloseAtOnce = false;  // close after writing instead of waiting for the end marker
  bool Silent = false;  // write nothing; wait until the client gives up
  int TrickleMs = 0;  // write Bytes one byte at a time, this far apart
  bool Endless = false;  // after Bytes, write filler until the client is gone
};

// The request's data block in, the reply out.
using TReplyFunction = std::function<TReply(const std::string& requestData)>;

class TTestServer {
 public:
  TTestServer(const std::string& name, TReplyFunction reply);
  ~TTestServer();

  int Connections() const { return FConnections; }
  std::vector<std::string> Requests() const;
  // True when every client so far sent the end marker after its request.
  bool EndMarkersSeen() const { return FMissingEndMarkers == 0; }

 private:
  void Serve();
  static void WriteReply(TPipeStream& client, const TReply& reply);

  TPipeServer FServer;
  TReplyFunction FReply;
  std::atomic<int> FConnections{0};
  std::atomic<int> FMissingEndMarkers{0};
  mutable std::mutex FLock;
  std::vector<std::string> FRequests;
  std::thread FThread;
};

// A framed answer: ID length, ID, data size, data.
std::string FramedAnswer(const std::string& data, const std::string& id = "");
// A data block with the one text entry "DATA".
std::string DataBlock(const std::string& text);
// Replies with a "DATA" text.
TReplyFunction AnswerText(const std::string& text);

// The "COMMAND" of a request's data block.
std::string CommandOf(const std::string& requestData);

// A synchronous read request of the command, as the program asks the host.
TMessageRef ReadRequest(const std::string& command);

}  // namespace vx::test
