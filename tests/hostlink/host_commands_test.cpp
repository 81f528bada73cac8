// The command calls, their retries and the choice of the server, over the
// system's transport against servers on threads of the test.
#include "hostlink/host_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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
  TServerChoice choice;
  EXPECT_EQ("", LocateExchangeServer(4711, &choice));
  EXPECT_EQ(A, choice.OutOfTime);
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

// Whatever a server named itself, one request is one line, and no line is
// long enough to take the log past its bound.
TEST_F(ExchangeTrace, FieldsAreEscapedAndCutToOneShortLine) {
  struct TCase {
    TExchangeRecord Record;
    std::string Line;
  };
  TExchangeRecord forged;
  forged.ServerName = "SRV\r\n2026-01-01 00:00:00.000 SRV GETJSON out 87 in 0 bytes 1 ms\r\n\x1b[2J";
  forged.Command = "DBPATH\n";
  forged.ErrorDesc = "ReadFile\r\nfailed";
  forged.ErrorCode = 109;
  TExchangeRecord huge;
  huge.ServerName = std::string(20000000, 'n');
  huge.Command = "SERVERPROCESS";
  huge.AnswerReceived = true;
  const TCase cases[] = {
      {forged,
       "SRV\\x0D\\x0A2026-01-01 00:00:00.000 SRV GETJSON out 87 in 0 bytes 1 ms\\x0D\\x0A\\x1B[2J DBPATH\\x0A out 0 in "
       "0 bytes 0 ms: ReadFile\\x0D\\x0Afailed (109)"},
      {huge, std::string(200, 'n') + "\x85 (20000000 bytes) SERVERPROCESS out 0 in 0 bytes 0 ms"},
  };
  SetExchangeTraceFile(Log);
  for (const TCase& c : cases) {
    EXPECT_EQ(c.Line, ExchangeTraceLine(c.Record));
    TraceExchange(c.Record);
  }
  EXPECT_EQ(2u, LinesOf(Log).size());
  EXPECT_LT(testing::ReadFileBytes(Log).size(), 1000u);
  EXPECT_FALSE(FileIsPresent(Rolled));
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

// A hostile service file: a name that would lead the pipe path out of the
// pipes' folder (on POSIX to another user's socket), or that is no name at
// all, is skipped; the calls go to the first real name.
TEST_F(HostCommands, ServiceFileLinesThatNameNoServerAreSkipped) {
  TTestServer server(A, AnswerText("a"));
  const std::string tooLong(kMaxServerNameLength + 1, 'n');
  WriteServiceFile("../../../tmp/foreign\r\n\r\n" + tooLong + "\r\na\\b\r\n..\r\n\x1b[2J\r\n" + A + "\r\n.\r\n" + B +
                   "\r\nx\x7fy\r\n" + std::string(kMaxServerNameLength, 'k') + "\r\n");
  TStringList lines;
  std::vector<TSkippedServiceLine> skipped;
  EXPECT_EQ(A, ReadLocalServiceFile(&lines, &skipped));
  EXPECT_EQ((std::vector<std::string>{A, B, std::string(kMaxServerNameLength, 'k')}), lines.Lines());
  struct TExpected {
    int LineNumber;
    std::string Text;
    const char* Reason;
  };
  const TExpected expected[] = {
      {1, "../../../tmp/foreign", "holds a path separator"},
      {3, tooLong, "is longer than 256 bytes"},
      {4, "a\\b", "holds a path separator"},
      {5, "..", "names a folder"},
      {6, "\x1b[2J", "holds a control byte"},
      {8, ".", "names a folder"},
      {10, "x\x7fy", "holds a control byte"},
  };
  ASSERT_EQ(std::size(expected), skipped.size());
  for (size_t i = 0; i < skipped.size(); ++i) {
    EXPECT_EQ(expected[i].LineNumber, skipped[i].LineNumber) << i;
    EXPECT_EQ(expected[i].Text, skipped[i].Text) << i;
    EXPECT_EQ(static_cast<int64_t>(expected[i].Text.size()), skipped[i].Length) << i;
    EXPECT_EQ(expected[i].Reason, skipped[i].Reason) << i;
  }
  EXPECT_EQ("a", ReadIPCValueSync("DBPATH"));
  EXPECT_EQ(1, server.Connections());

  // A line of a hundred megabytes is read no further than it takes to tell
  // it too long; lines past the bound are not read at all.
  std::string many = std::string(100000000, 'x') + "\n";
  for (size_t i = 1; i < kMaxServiceFileLines; ++i) many += "s" + std::to_string(i) + "\n";
  WriteServiceFile(many + A + "\n");
  EXPECT_EQ("s1", ReadLocalServiceFile(&lines, &skipped));
  EXPECT_EQ(kMaxServiceFileLines - 1, static_cast<size_t>(lines.Count()));
  ASSERT_EQ(2u, skipped.size());
  EXPECT_EQ(tooLong.size(), skipped[0].Text.size());
  EXPECT_EQ(100000000, skipped[0].Length);
  EXPECT_EQ(static_cast<int>(kMaxServiceFileLines) + 1, skipped[1].LineNumber);
  EXPECT_EQ("lines past the first 100 are not read", skipped[1].Reason);
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

TEST_F(HostCommands, LocateTakesNoNameFromAnAnswerThatIsNoServerName) {
  for (const std::string& name : {std::string("../pipe/foreign"), std::string("B2\r\nforged"), std::string(".."),
                                  std::string(kMaxServerNameLength + 1, 'n')}) {
    TTestServer second(B, AnswerText(name + "\x08" "99"));
    WriteServiceFile(A + "\n" + B + "\n");
    TServerChoice choice;
    EXPECT_EQ("", LocateExchangeServer(5, &choice)) << name;
    EXPECT_EQ("", GetServerName()) << name;
    EXPECT_EQ("the only answer names no server", choice.Reason) << name;
  }
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
