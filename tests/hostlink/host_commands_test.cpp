// The command calls, their retries and the choice of the server, over the
// system's transport against servers on threads of the test.
#include "hostlink/host_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>

#include "hostlink/exchange_trace.h"
#include "hostlink/ipc_client.h"
#include "hostlink/stream_storage.h"
#include "hostlink/temp_root.h"
#include "hostlink/test_server.h"
#include "support/file_contents.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/pause.h"

namespace vx {
namespace {

using namespace test;

std::vector<int> gPauses;
void RecordPause(int milliseconds) { gPauses.push_back(milliseconds); }

class HostCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    UsePrivateTempRoot();
    DeleteFileIfPresent(ServiceFile());
    SetServerName("");
    gPauses.clear();
    FPreviousPause = SetPauseFunction(&RecordPause);
  }
  void TearDown() override {
    SetPauseFunction(FPreviousPause);
    SetServerName("");
    DeleteFileIfPresent(ServiceFile());
  }

  static std::string ServiceFile() { return GetTempFolder() + kLocalServiceFileName; }
  static void WriteServiceFile(const std::string& bytes) {
    std::ofstream(ServiceFile(), std::ios::binary) << bytes;
  }

  static std::string Block(const std::string& command, int32_t index, const std::string& data, bool sync) {
    TStreamStorage storage;
    storage.AddText("COMMAND", command);
    storage.AddInteger("INDEX", index);
    storage.AddText("DATA", data);
    if (sync) storage.AddBoolean("SYNC", true);
    return storage.Bytes();
  }

  std::string A = UniquePipeName("vx-a");
  std::string B = UniquePipeName("vx-b");

 private:
  TPauseFunction FPreviousPause = nullptr;
};

TEST_F(HostCommands, ReadGoesToTheFirstLineOfTheServiceFile) {
  TTestServer server(A, AnswerText("C:\\VX\\Daten"));
  WriteServiceFile(A + "\r\n" + B + "\r\n");
  EXPECT_EQ("C:\\VX\\Daten", ReadIPCValueSync("DBPATH"));
  ASSERT_EQ(1, server.Connections());
  EXPECT_EQ(Block("DBPATH", -1, "", true), server.Requests()[0]);
  EXPECT_TRUE(gPauses.empty());
}

TEST_F(HostCommands, CurrentServerNameComesBeforeTheFile) {
  TTestServer server(B, AnswerText("b"));
  WriteServiceFile(A + "\n");
  SetServerName(B);
  EXPECT_EQ("b", ReadIPCValueSync("DBPATH"));
}

TEST_F(HostCommands, AnswerWithoutDataIsNotRetried) {
  TTestServer server(A, [](const std::string&) { return TReply{FramedAnswer("")}; });
  WriteServiceFile(A);
  EXPECT_EQ("", ReadIPCValueSync("OFFICEMETRICS"));
  EXPECT_EQ(1, server.Connections());
  EXPECT_TRUE(gPauses.empty());
}

TEST_F(HostCommands, FailedAttemptsAreRetriedThreeTimesWithPauses) {
  TTestServer server(A, [](const std::string&) { return TReply{"", true}; });
  WriteServiceFile(A);
  EXPECT_EQ("", ReadIPCValueSync("DBPATH"));
  EXPECT_EQ(3, server.Connections());
  EXPECT_EQ((std::vector<int>{50, 50, 50}), gPauses);

  gPauses.clear();
  EXPECT_FALSE(WriteIPCValueASync("{}", kImportTypeCode, "OUTDATA"));
  EXPECT_EQ(6, server.Connections());
  EXPECT_EQ((std::vector<int>{50, 50, 50}), gPauses);
}

// A server that never answers uses up a call's time once: no later attempt,
// no later listed server, gets more of it.
TEST_F(HostCommands, ASilentServerHoldsACallOnlyUntilItsDeadline) {
  struct TShortExchanges {
    int Previous = SetExchangeTimeout(300);
    ~TShortExchanges() { SetExchangeTimeout(Previous); }
  } shortExchanges;
  const auto silent = [](const std::string&) { return TReply{"", false, true}; };
  TTestServer first(A, silent);
  TTestServer second(B, silent);
  WriteServiceFile(A + "\n" + B + "\n");
  EXPECT_EQ("", ReadIPCValueSync("GETJSON"));
  EXPECT_EQ(1, first.Connections());
  EXPECT_FALSE(WriteIPCValueASync("{}", kImportTypeCode, "OUTDATA"));
  EXPECT_EQ(2, first.Connections());
  EXPECT_EQ("", LocateExchangeServer(4711));
  EXPECT_EQ(3, first.Connections());
  EXPECT_EQ(0, second.Connections());
}

// The exchange trace while it is on: one line per request, never the text
// that went out or came back, and a log that fills up rolls over.
class ExchangeTrace : public HostCommands {
 protected:
  void SetUp() override {
    HostCommands::SetUp();
    Log = GetTempFolder() + "exchange.log";
    Rolled = GetTempFolder() + "exchange.1.log";
    DeleteFileIfPresent(Log);
    DeleteFileIfPresent(Rolled);
  }
  void TearDown() override {
    SetExchangeTraceFile("");
    HostCommands::TearDown();
  }

  static std::vector<std::string> LinesOf(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string Log;
  std::string Rolled;
};

TEST_F(ExchangeTrace, OneLinePerRequestWithoutTheData) {
  const std::string answer = "C:\\Kunden\\M\xfcller.json";
  const std::string document = "{\"Description1\":\"Geheime Position\"}";
  TTestServer server(A, [&](const std::string& request) {
    return CommandOf(request) == "OUTDATA" ? TReply{"", true} : TReply{FramedAnswer(DataBlock(answer))};
  });
  WriteServiceFile(A);
  ReadIPCValueSync("DBPATH");
  EXPECT_TRUE(LinesOf(Log).empty());

  SetExchangeTraceFile(Log);
  EXPECT_EQ(answer, ReadIPCValueSync("GETJSON"));
  EXPECT_FALSE(WriteIPCValueASync(document, kImportTypeCode, "OUTDATA"));
  const std::vector<std::string> lines = LinesOf(Log);
  ASSERT_EQ(4u, lines.size());
  const std::string time = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(time + A + " GETJSON out 87 in " +
                                                    std::to_string(DataBlock(answer).size()) + " bytes \\d+ ms\r")))
      << lines[0];
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(time + A + " OUTDATA out \\d+ in 0 bytes \\d+ ms: ReadFile "
                                                             "failed while reading message ID length \\(109\\)\r")))
        << lines[i];
  }
  const std::string text = testing::ReadFileBytes(Log);
  EXPECT_EQ(std::string::npos, text.find("Kunden"));
  EXPECT_EQ(std::string::npos, text.find("Geheime Position"));

  SetExchangeTraceFile("");
  ReadIPCValueSync("DBPATH");
  EXPECT_EQ(4u, LinesOf(Log).size());
}

TEST_F(ExchangeTrace, AFullLogRollsOverAndABrokenOneLosesOnlyItsLine) {
  TTestServer server(A, AnswerText("C:\\db"));
  WriteServiceFile(A);
  const std::string old(static_cast<size_t>(kTraceRollSize) - 10, 'x');
  testing::WriteFileBytes(Log, old);
  SetExchangeTraceFile(Log);
  ReadIPCValueSync("DBPATH");
  EXPECT_EQ(old, testing::ReadFileBytes(Rolled));
  EXPECT_EQ(1u, LinesOf(Log).size());

  // A folder where the log should be.
  const std::string folder = GetTempFolder("trace-blocked");
  SetExchangeTraceFile(RemoveBackslash(folder));
  EXPECT_EQ("C:\\db", ReadIPCValueSync("DBPATH"));
  EXPECT_EQ(2, server.Connections());
}

TEST_F(HostCommands, AnswerBrokenOffAfterItsDataKeepsTheText) {
  const std::string block = DataBlock("kept") + std::string("\x08\0\0\0", 4);
  TTestServer server(A, [&](const std::string&) {
    const std::string bytes = FramedAnswer(block + "more bytes announced");
    return TReply{bytes.substr(0, 16 + block.size()), true};
  });
  WriteServiceFile(A);
  EXPECT_EQ("kept", ReadIPCValueSync("GETJSON"));
  EXPECT_EQ(3, server.Connections());
}

TEST_F(HostCommands, WithoutAnyServerEverythingFails) {
  EXPECT_EQ("", ReadLocalServiceFile());
  EXPECT_EQ("", ReadIPCValueSync("DBPATH"));
  EXPECT_FALSE(WriteIPCValueASync("{}", kImportTypeCode, "OUTDATA"));
  EXPECT_EQ(6u, gPauses.size());
}

TEST_F(HostCommands, SendCarriesCommandTypeCodeAndTextButNoSync) {
  TTestServer server(A, [](const std::string&) { return TReply{FramedAnswer("")}; });
  WriteServiceFile(A);
  const std::string document = "{\"Pos\":\"M\xfc" "ller\"}";
  EXPECT_TRUE(WriteIPCValueASync(document, kImportTypeCode, "OUTDATA"));
  ASSERT_EQ(1, server.Connections());
  EXPECT_EQ(Block("OUTDATA", 11, document, false), server.Requests()[0]);
}

TEST_F(HostCommands, SendOfAnEmptyTextOpensNoPipe) {
  TTestServer server(A, AnswerText("x"));
  WriteServiceFile(A);
  EXPECT_FALSE(WriteIPCValueASync("", kImportTypeCode, "OUTDATA"));
  EXPECT_EQ(0, server.Connections());
  EXPECT_TRUE(gPauses.empty());
}

TEST_F(HostCommands, ServiceFileLineEndingsGiveTheSameNames) {
  for (const char* lineBreak : {"\r\n", "\n", "\r"}) {
    WriteServiceFile("Srv1" + std::string(lineBreak) + "Srv2" + lineBreak);
    TStringList lines;
    EXPECT_EQ("Srv1", ReadLocalServiceFile(&lines));
    EXPECT_EQ((std::vector<std::string>{"Srv1", "Srv2"}), lines.Lines());
  }
}

TEST_F(HostCommands, LocateChoosesTheServerOfTheParentProcess) {
  TTestServer first(A, AnswerText(A + "\x08" "12"));
  TTestServer second(B, AnswerText(B + "\x08" "4711"));
  WriteServiceFile(A + "\r\n" + B + "\r\n");
  EXPECT_EQ(B, LocateExchangeServer(4711));
  EXPECT_EQ(B, GetServerName());
  EXPECT_EQ(Block("SERVERPROCESS", -1, "", true), second.Requests().at(0));
}

TEST_F(HostCommands, LocateChoosesNothingWhenSeveralAnswerWithOtherIds) {
  TTestServer first(A, AnswerText(A + "\x08" "1"));
  TTestServer second(B, AnswerText(B + "\x08" "2"));
  WriteServiceFile(A + "\n" + B + "\n");
  EXPECT_EQ("", LocateExchangeServer(4711));
  EXPECT_EQ("", GetServerName());
}

TEST_F(HostCommands, LocateTakesTheNameInTheOnlyAnswerWhenTheDefaultIsDown) {
  TTestServer second(B, AnswerText("B2\x08" "99"));
  WriteServiceFile(A + "\n" + B + "\n");
  EXPECT_EQ("B2", LocateExchangeServer(5));
  EXPECT_EQ("B2", GetServerName());
}

TEST_F(HostCommands, LocateKeepsTheDefaultWhenItAnswers) {
  TTestServer first(A, AnswerText(A + "\x08" "1"));
  WriteServiceFile(A + "\n" + B + "\n");
  EXPECT_EQ("", LocateExchangeServer(5));
  EXPECT_EQ("", GetServerName());
  EXPECT_EQ(2, first.Connections());
}

TEST_F(HostCommands, LocateNeedsExactlyOneDelimiterAndTheExactId) {
  for (const std::string& answer : {A + "\x08" "4711\x08" "x", A + "4711", A + "\x08" "04711", A + "\x08" "4711 "}) {
    TTestServer first(A, AnswerText(answer));
    WriteServiceFile(A);
    EXPECT_EQ("", LocateExchangeServer(4711)) << answer;
  }
}

TEST_F(HostCommands, LocateWithoutParentAsksNoListedServer) {
  TTestServer first(A, AnswerText(A + "\x08" "0"));
  WriteServiceFile(A);
  EXPECT_EQ("", LocateExchangeServer(0));
  EXPECT_EQ(0, first.Connections());
}

}  // namespace
}  // namespace vx
