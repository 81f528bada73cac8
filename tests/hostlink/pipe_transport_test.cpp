// The client over the system's transport (named pipes on Windows, Unix
// sockets elsewhere) against a server on a thread of the test.
#include "hostlink/pipe_transport.h"

#include <gtest/gtest.h>

#include <chrono>

#include "hostlink/ipc_client.h"
#include "hostlink/message_framing.h"
#include "hostlink/temp_root.h"
#include "hostlink/test_server.h"
#include "support/errors.h"

namespace vx {
namespace {

using namespace test;

class PipeTransport : public ::testing::Test {
 protected:
  void SetUp() override { UsePrivateTempRoot(); }

  std::string Name = UniquePipeName("vx-transport");
};

TEST_F(PipeTransport, MissingPipeFailsAtOnce) {
  int error = 0;
  EXPECT_EQ(nullptr, CreatePipeConnector()->Open("\\\\.\\pipe\\" + Name, ExchangeDeadline(), &error));
  EXPECT_EQ(kErrorFileNotFound, error);

  TIPCClient client;
  client.SetServerName(Name);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(nullptr, client.Request(ReadRequest("DBPATH"), 5000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ("WaitNamedPipe failed while wating for the pipe", client.ErrorDesc());
  EXPECT_EQ(kErrorFileNotFound, client.ErrorCode());
}

TEST_F(PipeTransport, RequestAndAnswerArriveByteForByte) {
  TTestServer server(Name, AnswerText("C:\\VX\\db \x80"));
  TIPCClient client;
  client.SetServerName(Name);
  TMessageRef answer = client.Request(ReadRequest("GETJSON"), 5000);
  ASSERT_TRUE(client.AnswerReceived()) << client.ErrorDesc() << " " << client.ErrorCode();
  EXPECT_EQ("C:\\VX\\db \x80", answer->Data().FindText("DATA"));
  ASSERT_EQ(1u, server.Requests().size());
  EXPECT_EQ(ReadRequest("GETJSON")->Data().Bytes(), server.Requests()[0]);
  EXPECT_EQ(87u, server.Requests()[0].size());
}

TEST_F(PipeTransport, LargeBlocksBothWays) {
  for (size_t size : {65535u, 65536u, 65537u, 300001u}) {
    const std::string payload(size, 'p');
    TTestServer server(Name, [&](const std::string&) { return TReply{FramedAnswer(payload, "id")}; });
    TIPCClient client;
    client.SetServerName(Name);
    TMessageRef request = TMessageData::Create();
    request->Data().SetBytes(payload);
    TMessageRef answer = client.Request(request, 5000);
    ASSERT_TRUE(client.AnswerReceived()) << size << " " << client.ErrorDesc();
    EXPECT_EQ(payload, answer->Data().Bytes()) << size;
    EXPECT_EQ(payload, server.Requests().at(0)) << size;
    EXPECT_TRUE(server.EndMarkersSeen()) << size;
  }
}

TEST_F(PipeTransport, ClientsOneAfterTheOther) {
  TTestServer server(Name, AnswerText("1"));
  for (int i = 0; i < 5; ++i) {
    TIPCClient client;
    client.SetServerName(Name);
    TMessageRef answer = client.Request(ReadRequest("CANPOSTJSON"), 5000);
    ASSERT_TRUE(client.AnswerReceived()) << i;
    EXPECT_EQ("1", answer->Data().FindText("DATA"));
  }
  EXPECT_EQ(5, server.Connections());
  EXPECT_TRUE(server.EndMarkersSeen());
}

TEST_F(PipeTransport, TruncatedAnswerKeepsWhatArrived) {
  const std::string block = DataBlock("complete text");
  TTestServer server(Name, [&](const std::string&) {
    std::string bytes = FramedAnswer(block);
    return TReply{bytes.substr(0, bytes.size() - 4), true};
  });
  TIPCClient client;
  client.SetServerName(Name);
  TMessageRef answer = client.Request(ReadRequest("GETJSON"), 5000);
  EXPECT_FALSE(client.AnswerReceived());
  EXPECT_EQ("ReadFile failed while reading message data", client.ErrorDesc());
  EXPECT_EQ(kErrorBrokenPipe, client.ErrorCode());
  ASSERT_TRUE(answer);
  EXPECT_EQ(block.substr(0, block.size() - 4), answer->Data().Bytes());
  EXPECT_EQ("", answer->Data().FindText("DATA"));
}

TEST_F(PipeTransport, DroppedConnection) {
  TTestServer server(Name, [](const std::string&) { return TReply{"", true}; });
  TIPCClient client;
  client.SetServerName(Name);
  EXPECT_TRUE(client.Request(ReadRequest("DBPATH"), 5000));
  EXPECT_FALSE(client.AnswerReceived());
  EXPECT_EQ("ReadFile failed while reading message ID length", client.ErrorDesc());
  EXPECT_EQ(kErrorBrokenPipe, client.ErrorCode());
}

TEST_F(PipeTransport, SilentServerIsGivenUpAfterTheBound) {
  TTestServer server(Name, [](const std::string&) { return TReply{"", false, true}; });
  TIPCClient client;
  client.SetServerName(Name);
  client.Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  const auto start = std::chrono::steady_clock::now();
  client.Request(ReadRequest("DBPATH"), 5000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_FALSE(client.AnswerReceived());
  EXPECT_EQ("ReadFile failed while reading message ID length", client.ErrorDesc());
  EXPECT_EQ(kWaitTimeout, client.ErrorCode());
}

// However a server paces or sizes its answer, the exchange ends by its
// deadline and holds no more than the caps allow.
TEST_F(PipeTransport, HostileServersCannotHoldTheClient) {
  const std::string longId(1000, 'i');
  const std::string past64KiB = LengthBytes(kMaxAnswerIdSize + 1);
  const std::string huge = LengthBytes(int64_t{1} << 62);
  struct TCase {
    const char* What;
    TReply Reply;
    const char* ErrorDesc;  // nullptr: whichever read the deadline met
    int ErrorCode;
  };
  const TCase cases[] = {
      {"trickle", TReply{FramedAnswer("", longId), false, false, 5}, nullptr, kWaitTimeout},
      {"silent", TReply{"", false, true}, "ReadFile failed while reading message ID length", kWaitTimeout},
      {"endless data of a huge announced length", TReply{LengthBytes(0) + huge, false, false, 0, true},
       "IPC client refused message data of more than 268435456 bytes", kErrorMessageTooLarge},
      {"endless ID past its cap", TReply{past64KiB, false, false, 0, true},
       "IPC client refused message ID of more than 65536 bytes", kErrorMessageTooLarge},
  };
  for (const TCase& c : cases) {
    TTestServer server(Name, [&](const std::string&) { return c.Reply; });
    TIPCClient client;
    client.SetServerName(Name);
    client.Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    TMessageRef answer = client.Request(ReadRequest("GETJSON"), 5000);
    EXPECT_FALSE(client.AnswerReceived()) << c.What;
    if (c.ErrorDesc) {
      EXPECT_EQ(c.ErrorDesc, client.ErrorDesc()) << c.What;
    }
    EXPECT_EQ(c.ErrorCode, client.ErrorCode()) << c.What;
    ASSERT_TRUE(answer) << c.What;
    EXPECT_EQ(0, answer->Data().Size()) << c.What;
  }
}

// Whom the client talks to: only a server of this user in this session.
// The system's answers for a real server of another user or session cannot
// be had here; the own servers of every other test pass this rule.
TEST(ServerRefusal, OnlyTheSameUserInTheSameSession) {
  const std::string path = "\\\\.\\pipe\\VX-EXCHANGE";
  const TPipePeer self{true, "S-1-5-21-1-2-3-1001", 1};
  struct TCase {
    bool Known;
    const char* User;
    uint32_t Session;
    const char* Refusal;
  };
  const TCase cases[] = {
      {true, "S-1-5-21-1-2-3-1001", 1, ""},
      {true, "S-1-5-21-1-2-3-1002", 1, "Pipe VX-EXCHANGE is served by another user (S-1-5-21-1-2-3-1002)"},
      {true, "S-1-5-21-1-2-3-1001", 2, "Pipe VX-EXCHANGE is served in another session (session 2)"},
      {true, "S-1-5-21-1-2-3-1002", 2, "Pipe VX-EXCHANGE is served by another user (S-1-5-21-1-2-3-1002)"},
      {false, "", 0, "Pipe VX-EXCHANGE is served by another user"},
      {false, "S-1-5-21-1-2-3-1001", 1, "Pipe VX-EXCHANGE is served by another user"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(c.Refusal, ServerRefusal(path, TPipePeer{c.Known, c.User, c.Session}, self)) << c.User;
  }
}

TEST_F(PipeTransport, SecondServerOfTheSameNameIsRefused) {
  TPipeServer first(Name, 1000);
  try {
    TPipeServer second(Name, 1000);
    FAIL() << "second server created";
  } catch (const Exception& e) {
    EXPECT_EQ("Pipe " + Name + " is already served by another process", e.Message());
  }
}

TEST_F(PipeTransport, StopEndsAWaitingAccept) {
  TPipeServer server(Name, 1000);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.Stop();
  });
  EXPECT_EQ(nullptr, server.Accept());
  stopper.join();
}

}  // namespace
}  // namespace vx
