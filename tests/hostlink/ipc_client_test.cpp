// The client over the in-memory pipe: layout, write grouping and every
// failure step.
#include "hostlink/ipc_client.h"

#include <gtest/gtest.h>

#include "hostlink/fake_pipe.h"
#include "hostlink/message_framing.h"
#include "hostlink/test_server.h"

namespace vx {
namespace {

using test::DataBlock;
using test::FramedAnswer;
using test::ReadRequest;
using test::TFakeConnector;
using test::TFakePipeLog;
using test::TFakePipeScript;

const std::string kEndMarkerBytes(8, '\xff');

TMessageRef BlockRequest(size_t size) {
  TMessageRef request = TMessageData::Create();
  request->Data().SetBytes(std::string(size, 'x'));
  return request;
}

struct TRun {
  TFakePipeLog Log;
  TMessageRef Answer;
  bool Received = false;
  std::string ErrorDesc;
  int ErrorCode = 0;
};

std::unique_ptr<TRun> RunClient(const TFakePipeScript& script, const TMessageRef& request, int timeoutMs = 5000) {
  auto run = std::make_unique<TRun>();
  TIPCClient client(std::make_unique<TFakeConnector>(script, run->Log));
  client.SetServerName("SRV");
  run->Answer = client.Request(request, timeoutMs);
  run->Received = client.AnswerReceived();
  run->ErrorDesc = client.ErrorDesc();
  run->ErrorCode = client.ErrorCode();
  return run;
}

TEST(IPCClient, PipePathNamesTheLocalServer) {
  TIPCClient client;
  client.SetServerName("VX-EXCHANGE");
  EXPECT_EQ("\\\\.\\pipe\\VX-EXCHANGE", client.PipePath());
  EXPECT_EQ(".", client.ComputerName());
}

TEST(IPCClient, RequestGoesOutInThreeWritesThenTheEndMarker) {
  TFakePipeScript script;
  script.Answer = FramedAnswer(DataBlock("C:\\db"), "ID1");
  auto run = RunClient(script, ReadRequest("GETJSON"));
  ASSERT_TRUE(run->Received);
  ASSERT_EQ(4u, run->Log.Writes.size());
  EXPECT_EQ(std::string(8, '\0'), run->Log.Writes[0]);
  EXPECT_EQ(std::string("\x57\0\0\0\0\0\0\0", 8), run->Log.Writes[1]);
  EXPECT_EQ(87u, run->Log.Writes[2].size());
  EXPECT_EQ(kEndMarkerBytes, run->Log.Writes[3]);
  EXPECT_EQ(1, run->Log.Closes);
  EXPECT_EQ("ID1", run->Answer->ID());
  EXPECT_EQ("C:\\db", run->Answer->Data().FindText("DATA"));
  EXPECT_EQ("", run->ErrorDesc);
  EXPECT_EQ(0, run->ErrorCode);
}

TEST(IPCClient, DataBlockIsWrittenInPiecesOf64KiB) {
  struct TCase {
    size_t Size;
    std::vector<size_t> Pieces;
  };
  for (const TCase& c : {TCase{0, {}}, TCase{1, {1}}, TCase{65536, {65536}}, TCase{65537, {65536, 1}},
                         TCase{200000, {65536, 65536, 65536, 3392}}}) {
    TFakePipeScript script;
    script.Answer = FramedAnswer("");
    auto run = RunClient(script, BlockRequest(c.Size));
    ASSERT_TRUE(run->Received) << c.Size;
    ASSERT_EQ(c.Pieces.size() + 3, run->Log.Writes.size()) << c.Size;
    EXPECT_EQ(LengthBytes(static_cast<int64_t>(c.Size)), run->Log.Writes[1]);
    for (size_t i = 0; i < c.Pieces.size(); ++i) EXPECT_EQ(c.Pieces[i], run->Log.Writes[2 + i].size()) << c.Size;
    EXPECT_EQ(kEndMarkerBytes, run->Log.Writes.back());
  }
}

TEST(IPCClient, AnswersThatAreCompleteWithoutContent) {
  struct TCase {
    const char* What;
    std::string Bytes;
  };
  const TCase cases[] = {
      {"empty", FramedAnswer("")},
      {"negative ID length", LengthBytes(-5) + LengthBytes(0)},
      {"negative data size", LengthBytes(0) + LengthBytes(-1)},
      {"both negative", LengthBytes(INT64_MIN) + LengthBytes(-100)},
  };
  for (const TCase& c : cases) {
    TFakePipeScript script;
    script.Answer = c.Bytes;
    auto run = RunClient(script, ReadRequest("DBPATH"));
    EXPECT_TRUE(run->Received) << c.What;
    ASSERT_TRUE(run->Answer) << c.What;
    EXPECT_EQ("", run->Answer->ID()) << c.What;
    EXPECT_EQ(0, run->Answer->Data().Size()) << c.What;
    EXPECT_EQ("", run->Answer->Data().FindText("DATA")) << c.What;
  }
}

TEST(IPCClient, AnswerArrivingInSmallPiecesIsReassembled) {
  TFakePipeScript script;
  const std::string text(100000, 'a');
  script.Answer = FramedAnswer(DataBlock(text), "some id");
  script.MaxReadPiece = 3;
  auto run = RunClient(script, ReadRequest("GETJSON"));
  ASSERT_TRUE(run->Received);
  EXPECT_EQ("some id", run->Answer->ID());
  EXPECT_EQ(text, run->Answer->Data().FindText("DATA"));
}

TEST(IPCClient, ReadsNeverAskForMoreThanIsMissingOrOnePiece) {
  TFakePipeScript script;
  script.Answer = FramedAnswer(std::string(70000, 'd'));
  auto run = RunClient(script, ReadRequest("GETJSON"));
  ASSERT_TRUE(run->Received);
  for (int64_t size : run->Log.ReadSizes) EXPECT_LE(size, kPipeTransferSize);
  EXPECT_EQ(70000 - 65536, run->Log.ReadSizes.back());
}

TEST(IPCClient, HugeAnnouncedLengthsAllocateOnlyWhatArrives) {
  for (bool inId : {true, false}) {
    TFakePipeScript script;
    script.Answer = inId ? LengthBytes(kMaxAnswerIdSize) + "abc"
                         : LengthBytes(0) + LengthBytes(kMaxAnswerDataSize) + DataBlock("part");
    auto run = RunClient(script, ReadRequest("GETJSON"));
    EXPECT_FALSE(run->Received);
    ASSERT_TRUE(run->Answer);
    EXPECT_EQ(inId ? "ReadFile failed while reading message ID" : "ReadFile failed while reading message data",
              run->ErrorDesc);
    EXPECT_EQ(kErrorBrokenPipe, run->ErrorCode);
    if (!inId) {
      EXPECT_EQ("part", run->Answer->Data().FindText("DATA"));
    }
    EXPECT_EQ(kEndMarkerBytes, run->Log.Writes.back());
  }
}

TEST(IPCClient, LengthsPastTheCapsEndTheExchangeBeforeReadingAByte) {
  const std::string rest = std::string(100, 'r');
  struct TCase {
    std::string Answer;
    const char* ErrorDesc;
  };
  const TCase cases[] = {
      {LengthBytes(kMaxAnswerIdSize + 1) + rest, "IPC client refused message ID of more than 65536 bytes"},
      {LengthBytes(INT64_MAX) + rest, "IPC client refused message ID of more than 65536 bytes"},
      {LengthBytes(0) + LengthBytes(kMaxAnswerDataSize + 1) + rest,
       "IPC client refused message data of more than 268435456 bytes"},
      {LengthBytes(0) + LengthBytes(INT64_MAX) + rest, "IPC client refused message data of more than 268435456 bytes"},
  };
  for (const TCase& c : cases) {
    TFakePipeScript script;
    script.Answer = c.Answer;
    auto run = RunClient(script, ReadRequest("GETJSON"));
    EXPECT_FALSE(run->Received) << c.ErrorDesc;
    ASSERT_TRUE(run->Answer) << c.ErrorDesc;
    EXPECT_EQ(c.ErrorDesc, run->ErrorDesc);
    EXPECT_EQ(kErrorMessageTooLarge, run->ErrorCode);
    EXPECT_EQ(8, run->Log.ReadSizes.back()) << c.ErrorDesc;
    EXPECT_EQ("", run->Answer->ID());
    EXPECT_EQ(0, run->Answer->Data().Size());
    EXPECT_EQ(kEndMarkerBytes, run->Log.Writes.back());
  }
}

TEST(IPCClient, ReadFailuresNameTheirStep) {
  const std::string full = FramedAnswer(DataBlock("abc"), "ID");
  struct TCase {
    size_t Bytes;  // of the answer before the pipe breaks
    const char* ErrorDesc;
  };
  const TCase cases[] = {
      {0, "ReadFile failed while reading message ID length"},
      {7, "ReadFile failed while reading message ID length"},
      {9, "ReadFile failed while reading message ID"},
      {10, "ReadFile failed while reading message data size"},
      {17, "ReadFile failed while reading message data size"},
      {18, "ReadFile failed while reading message data"},
      {full.size() - 1, "ReadFile failed while reading message data"},
  };
  for (const TCase& c : cases) {
    TFakePipeScript script;
    script.Answer = full.substr(0, c.Bytes);
    script.ReadError = kWaitTimeout;
    auto run = RunClient(script, ReadRequest("DBPATH"));
    EXPECT_FALSE(run->Received) << c.Bytes;
    EXPECT_TRUE(run->Answer) << c.Bytes;
    EXPECT_EQ(c.ErrorDesc, run->ErrorDesc) << c.Bytes;
    EXPECT_EQ(kWaitTimeout, run->ErrorCode) << c.Bytes;
    EXPECT_EQ(1, run->Log.Closes) << c.Bytes;
  }
}

TEST(IPCClient, WriteFailuresNameTheirStepAndGiveNoAnswer) {
  struct TCase {
    int FailingWrite;
    size_t RequestSize;
    const char* ErrorDesc;
  };
  const TCase cases[] = {
      {1, 10, "WriteFile failed while writing message ID"},
      {2, 10, "WriteFile failed while writing message data size"},
      {3, 10, "WriteFile failed while writing message chunk"},
      {4, 65537, "WriteFile failed while writing message chunk"},
  };
  for (const TCase& c : cases) {
    TFakePipeScript script;
    script.Answer = FramedAnswer("");
    script.FailingWrite = c.FailingWrite;
    script.WriteError = kErrorNoData;
    auto run = RunClient(script, BlockRequest(c.RequestSize));
    EXPECT_FALSE(run->Received) << c.FailingWrite;
    EXPECT_FALSE(run->Answer) << c.FailingWrite;
    EXPECT_EQ(c.ErrorDesc, run->ErrorDesc) << c.FailingWrite;
    EXPECT_EQ(kErrorNoData, run->ErrorCode) << c.FailingWrite;
    EXPECT_TRUE(run->Log.ReadSizes.empty()) << c.FailingWrite;
    // The end marker is still tried once the pipe was open.
    EXPECT_EQ(kEndMarkerBytes, run->Log.Writes.back()) << c.FailingWrite;
  }
}

TEST(IPCClient, OpenRules) {
  struct TCase {
    const char* What;
    int OpenFailures;
    int OpenError;
    int WaitError;
    int TimeoutMs;
    bool Connected;
    const char* ErrorDesc;
    int ErrorCode;
    int Opens;
  };
  const TCase cases[] = {
      {"zero time-out tries nothing", 0, 0, 0, 0, false, "IPC client failed with WAIT timeout", 258, 0},
      {"busy twice, then free", 2, kErrorPipeBusy, 0, 5000, true, "", 0, 3},
      {"missing pipe", 1000, kErrorFileNotFound, kErrorFileNotFound, 5000, false,
       "WaitNamedPipe failed while wating for the pipe", 2, 1},
      {"refused", 1000, kErrorAccessDenied, 0, 5000, false, "CreateFile failed while creating new pipe handle", 5, 1},
      {"busy until the time-out", 1000000, kErrorPipeBusy, 0, 30, false, "IPC client failed with WAIT timeout", 258,
       -1},
  };
  for (const TCase& c : cases) {
    TFakePipeScript script;
    script.OpenFailures = c.OpenFailures;
    script.OpenError = c.OpenError;
    script.WaitError = c.WaitError;
    script.Answer = FramedAnswer("");
    auto run = RunClient(script, ReadRequest("DBPATH"), c.TimeoutMs);
    EXPECT_EQ(c.Connected, run->Received) << c.What;
    EXPECT_EQ(c.Connected, run->Answer != nullptr) << c.What;
    EXPECT_EQ(c.ErrorDesc, run->ErrorDesc) << c.What;
    EXPECT_EQ(c.ErrorCode, run->ErrorCode) << c.What;
    if (c.Opens >= 0) {
      EXPECT_EQ(c.Opens, run->Log.Opens) << c.What;
    }
    // Nothing is written to a pipe that never opened.
    if (!c.Connected) {
      EXPECT_TRUE(run->Log.Writes.empty()) << c.What;
    }
  }
}

}  // namespace
}  // namespace vx
