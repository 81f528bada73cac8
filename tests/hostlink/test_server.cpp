#include "hostlink/test_server.h"

#include <chrono>

#include "hostlink/message_framing.h"

namespace vx::test {

TTestServer::TTestServer(const std::string& name, TReplyFunction reply)
    : FServer(name, 10000), FReply(std::move(reply)), FThread([this] { Serve(); }) {}

TTestServer::~TTestServer() {
  FServer.Stop();
  FThread.join();
}

std::vector<std::string> TTestServer::Requests() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FRequests;
}

void TTestServer::Serve() {
  while (std::unique_ptr<TPipeStream> client = FServer.Accept()) {
    ++FConnections;
    std::string id;
    std::string data;
    if (ReadMessage(*client, kRequestLimits, id, data) != TMessageRead::Message) continue;
    {
      std::lock_guard<std::mutex> lock(FLock);
      FRequests.push_back(data);
    }
    const TReply reply = FReply(data);
    if (reply.Silent) {
      char byte;
      int64_t done;
      while (client->Read(&byte, 1, done)) {
      }
      continue;
    }
    WriteReply(*client, reply);
    if (reply.CloseAtOnce || reply.Endless) continue;
    if (ReadMessage(*client, kRequestLimits, id, data) != TMessageRead::EndMarker) ++FMissingEndMarkers;
  }
}

void TTestServer::WriteReply(TPipeStream& client, const TReply& reply) {
  if (reply.TrickleMs > 0) {
    for (char byte : reply.Bytes) {
      if (!client.Write(&byte, 1)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(reply.TrickleMs));
    }
  } else if (!reply.Bytes.empty()) {
    client.Write(reply.Bytes.data(), static_cast<int64_t>(reply.Bytes.size()));
  }
  if (!reply.Endless) return;
  const std::string filler(kPipeTransferSize, 'f');
  while (client.Write(filler.data(), static_cast<int64_t>(filler.size()))) {
  }
}

std::string FramedAnswer(const std::string& data, const std::string& id) { return MessageBytes(id, data); }

std::string DataBlock(const std::string& text) {
  TStreamStorage storage;
  storage.AddText("DATA", text);
  return storage.Bytes();
}

TReplyFunction AnswerText(const std::string& text) {
  return [text](const std::string&) { return TReply{FramedAnswer(DataBlock(text))}; };
}

std::string CommandOf(const std::string& requestData) {
  TStreamStorage storage;
  storage.SetBytes(requestData);
  return storage.FindText("COMMAND");
}

TMessageRef ReadRequest(const std::string& command) {
  TMessageRef request = TMessageData::Create();
  request->Data().AddText("COMMAND", command);
  request->Data().AddInteger("INDEX", -1);
  request->Data().AddBoolean("SYNC", true);
  return request;
}

}  // namespace vx::test
