// The exchange simulator, served on a thread of the test over the system's
// transport and called through the host commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "exchange_simulator.h"
#include "hostlink/exchange_trace.h"
#include "hostlink/host_commands.h"
#include "hostlink/ipc_client.h"
#include "hostlink/temp_root.h"
#include "order_scan.h"
#include "process/child_process.h"
#include "simulator_thread.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/pause.h"

namespace vx::sim {
namespace {

using namespace vx::test;

void NoPause(int) {}

std::string ReadFile(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteFile(const std::string& fileName, const std::string& bytes) {
  std::ofstream(fileName, std::ios::binary) << bytes;
}

const std::string kOrder =
    "{\"Order\":[{\"PrintName\":\"Auftrag\",\"Adress\":[{\"CustomerNumber\" : \"4711\",\n"
    "\"AdressSmart\":\"M\\u00fcller \\\"Bau\\\", Berlin\"}],\"Parts\":[]}]}";

class ExchangeSim : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = UsePrivateTempRoot();
    DeleteFileIfPresent(ServiceFile());
    SetServerName("");
    FPreviousPause = SetPauseFunction(&NoPause);
    Options.Name = UniquePipeName("vx-sim");
    OrderFile = GetTempFolder() + Options.Name + "-order.json";
    WriteFile(OrderFile, kOrder);
    LogFile = GetTempFolder() + Options.Name + ".log";
  }
  void TearDown() override {
    StopSimulator();
    SetPauseFunction(FPreviousPause);
    DeleteFileIfPresent(ServiceFile());
  }

  void StartSimulator() { FSimulator = std::make_unique<TSimulatorThread>(Options, LogFile); }
  void StopSimulator() { FSimulator.reset(); }
  static std::string ServiceFile() { return GetTempFolder() + kLocalServiceFileName; }

  TSimOptions Options;
  std::string Root;
  std::string OrderFile;
  std::string LogFile;

 private:
  std::unique_ptr<TSimulatorThread> FSimulator;
  TPauseFunction FPreviousPause = nullptr;
};

TEST_F(ExchangeSim, ListsItselfFirstInTheServiceFileWhileItRuns) {
  // Its own line as a crashed run left it is not listed twice.
  WriteFile(ServiceFile(), "OTHER-HOST\r\n" + Options.Name + "\r\n");
  StartSimulator();
  TStringList lines;
  EXPECT_EQ(Options.Name, ReadLocalServiceFile(&lines));
  EXPECT_EQ((std::vector<std::string>{Options.Name, "OTHER-HOST"}), lines.Lines());
  StopSimulator();
  ReadLocalServiceFile(&lines);
  EXPECT_EQ((std::vector<std::string>{"OTHER-HOST"}), lines.Lines());
}

TEST_F(ExchangeSim, SimulatorsStartingTogetherKeepEachOthersLines) {
  constexpr int kSimulators = 8;
  std::vector<std::unique_ptr<TExchangeSimulator>> simulators(kSimulators);
  std::vector<std::string> names;
  for (int i = 0; i < kSimulators; ++i) names.push_back(Options.Name + "-" + std::to_string(i));
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kSimulators; ++i) {
    threads.emplace_back([&, i] {
      TSimOptions options = Options;
      options.Name = names[i];
      // All start at the same moment.
      ++ready;
      while (ready < kSimulators) std::this_thread::yield();
      simulators[i] = std::make_unique<TExchangeSimulator>(options, stdout);
    });
  }
  for (std::thread& thread : threads) thread.join();
  TStringList lines;
  ReadLocalServiceFile(&lines);
  std::vector<std::string> listed = lines.Lines();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(names, listed);
  threads.clear();
  for (int i = 0; i < kSimulators; ++i) threads.emplace_back([&, i] { simulators[i].reset(); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ("", ReadLocalServiceFile());
}

TEST_F(ExchangeSim, AnswersFromItsOptions) {
  Options.DbPath = "C:\\VX\\Daten\\M\xfc" "nchen.fdb";
  Options.Metrics = "10,20,800,600";
  Options.EditMode = false;
  StartSimulator();
  EXPECT_EQ(Options.Name + "\x08" + std::to_string(CurrentProcessId()), ReadIPCValueSync("SERVERPROCESS"));
  EXPECT_EQ(Options.DbPath, ReadIPCValueSync("DBPATH"));
  EXPECT_EQ("10,20,800,600", ReadIPCValueSync("OFFICEMETRICS"));
  EXPECT_EQ("0", ReadIPCValueSync("CANPOSTJSON"));
  EXPECT_EQ("", ReadIPCValueSync("GETJSON"));
  EXPECT_EQ("", ReadIPCValueSync("UNKNOWN\x1b[2J"));
  // Without --outdir a document is taken, and the log says it is not kept.
  EXPECT_TRUE(WriteIPCValueASync("{}", kImportTypeCode, "OUTDATA"));
  StopSimulator();
  const std::string log = ReadFile(LogFile);
  EXPECT_NE(std::string::npos, log.find("DBPATH: request 85 bytes, answer ")) << log;
  EXPECT_NE(std::string::npos, log.find("UNKNOWN\\x1B[2J: request ")) << log;
  EXPECT_NE(std::string::npos, log.find("OUTDATA received: not stored (no --outdir)")) << log;
}

TEST_F(ExchangeSim, GetJsonAnswersAFreshCopyOfTheOrder) {
  Options.OrderFile = OrderFile;
  StartSimulator();
  const std::string first = ReadIPCValueSync("GETJSON");
  const std::string second = ReadIPCValueSync("GETJSON");
  ASSERT_NE("", first);
  EXPECT_NE(first, second);
  EXPECT_NE(OrderFile, first);
  EXPECT_EQ(kOrder, ReadFile(first));
  EXPECT_EQ(kOrder, ReadFile(second));
  DeleteFileIfPresent(first);
  DeleteFileIfPresent(second);
}

TEST_F(ExchangeSim, SimpleGetJsonTakesTheCustomerFromTheOrderUnlessGiven) {
  Options.OrderFile = OrderFile;
  StartSimulator();
  EXPECT_EQ("{\"CustomerNumber\":\"4711\",\"AdressSmart\":\"M\xfcller \\\"Bau\\\", Berlin\"}",
            ReadIPCValueSync("SIMPLEGETJSON"));
  StopSimulator();
  Options.Customer = "0815";
  Options.CustomerGiven = true;
  StartSimulator();
  EXPECT_EQ("{\"CustomerNumber\":\"0815\",\"AdressSmart\":\"M\xfcller \\\"Bau\\\", Berlin\"}",
            ReadIPCValueSync("SIMPLEGETJSON"));
}

TEST_F(ExchangeSim, OutDataIsStoredByteForByte) {
  Options.OutDir = GetTempFolder() + Options.Name + "-out";
  StartSimulator();
  const std::string first = "{\"Order\":[{\"Parts\":[{\"Text\":\"Gr\xfc\xdf" "e \x80\"}]}]}";
  const std::string second(100000, 'x');
  EXPECT_TRUE(WriteIPCValueASync(first, kImportTypeCode, "OUTDATA"));
  EXPECT_TRUE(WriteIPCValueASync(second, kImportTypeCode, "OUTDATA"));
  EXPECT_EQ(first, ReadFile(Options.OutDir + kPathDelim + "outdata-0001.json"));
  EXPECT_EQ(second, ReadFile(Options.OutDir + kPathDelim + "outdata-0002.json"));
  // A later run goes on after the highest number there, gaps and all.
  StopSimulator();
  const std::string log = ReadFile(LogFile);
  EXPECT_NE(std::string::npos,
            log.find("OUTDATA received: stored as " + Options.OutDir + kPathDelim + "outdata-0002.json"))
      << log;
  WriteFile(Options.OutDir + kPathDelim + "outdata-0009.json", "kept");
  StartSimulator();
  EXPECT_TRUE(WriteIPCValueASync("{}", kImportTypeCode, "OUTDATA"));
  EXPECT_EQ(first, ReadFile(Options.OutDir + kPathDelim + "outdata-0001.json"));
  EXPECT_EQ("kept", ReadFile(Options.OutDir + kPathDelim + "outdata-0009.json"));
  EXPECT_EQ("{}", ReadFile(Options.OutDir + kPathDelim + "outdata-0010.json"));
}

TEST_F(ExchangeSim, DroppedRequestsAreRetriedAndFail) {
  Options.Drop = true;
  StartSimulator();
  EXPECT_EQ("", ReadIPCValueSync("DBPATH"));
  EXPECT_FALSE(WriteIPCValueASync("{}", kImportTypeCode, "OUTDATA"));
  StopSimulator();
  const std::string log = ReadFile(LogFile);
  size_t drops = 0;
  for (size_t at = log.find("dropped"); at != std::string::npos; at = log.find("dropped", at + 1)) ++drops;
  EXPECT_EQ(6u, drops) << log;
}

TEST_F(ExchangeSim, TruncatedAnswerIsNotReceived) {
  Options.Truncate = true;
  Options.DbPath = "C:\\db";
  StartSimulator();
  TIPCResult result;
  EXPECT_EQ("", RequestIPCValue("DBPATH", Options.Name, result));
  EXPECT_FALSE(result.AnswerReceived);
  EXPECT_EQ("ReadFile failed while reading message data", result.ErrorDesc);
}

TEST_F(ExchangeSim, DelayedAnswerStillArrives) {
  Options.DelayMs = 100;
  Options.DbPath = "late";
  StartSimulator();
  EXPECT_EQ("late", ReadIPCValueSync("DBPATH"));
}

TEST_F(ExchangeSim, SecondSimulatorOfTheSameNameIsRefused) {
  StartSimulator();
  try {
    TExchangeSimulator second(Options, stdout);
    FAIL() << "second simulator started";
  } catch (const Exception& e) {
    EXPECT_EQ("Pipe " + Options.Name + " is already served by another process", e.Message());
  }
  // The refused one did not touch the listing of the running one.
  EXPECT_EQ(Options.Name, ReadLocalServiceFile());
}

TEST_F(ExchangeSim, LaunchedProgramFindsItThroughItsParent) {
  const std::string output = GetTempFolder() + Options.Name + "-probe.txt";
  FILE* log = std::fopen(LogFile.c_str(), "w");
  int code = -1;
  {
    // Another server listed first must not be chosen.
    WriteFile(ServiceFile(), "NOT-RUNNING\r\n");
    TExchangeSimulator simulator(Options, log);
    code = simulator.RunLaunched({VX_LOCATE_PROBE, output});
  }
  std::fclose(log);
  EXPECT_EQ(0, code) << ReadFile(LogFile);
  EXPECT_EQ(Options.Name + "\n" + std::to_string(CurrentProcessId()) + "\n", ReadFile(output));
}

// The window and vxorder may trace into one log at the same moment: every
// line of every process arrives whole, also through a rollover, and the
// lines that were there before stay.
TEST_F(ExchangeSim, TraceOfSeveralProcessesKeepsEveryLineThroughARollover) {
  const std::string log = GetTempFolder() + Options.Name + "-exchange.log";
  const std::string rolled = ChangeFileExt(log, ".1.log");
  const std::string start = GetTempFolder() + Options.Name + "-start";
  constexpr int kWriters = 3;
  constexpr int kLines = 2000;
  // Close enough to the bound that the writers roll the log over once.
  const std::string old = std::string(static_cast<size_t>(kTraceRollSize) - 100000, 'o') + "\r\n";
  WriteFile(log, old);
  std::vector<std::unique_ptr<TChildProcess>> writers;
  for (int i = 0; i < kWriters; ++i) {
    writers.push_back(std::make_unique<TChildProcess>(
        std::vector<std::string>{VX_TRACE_PROBE, log, std::to_string(kLines), "writer" + std::to_string(i), start}));
  }
  WriteFile(start, "");
  for (auto& writer : writers) EXPECT_EQ(0, writer->Wait());

  const std::string text = ReadFile(rolled) + ReadFile(log);
  ASSERT_EQ(0u, text.find(old));
  std::vector<std::vector<int>> seen(kWriters, std::vector<int>(kLines, 0));
  const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} writer(\d) DBPATH out (\d+) in 0 bytes 0 ms\r)");
  std::istringstream lines(text.substr(old.size()));
  for (std::string each; std::getline(lines, each);) {
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(each, parts, line)) << each;
    const int writer = std::stoi(parts[1]);
    const int number = std::stoi(parts[2].str().substr(0, 9));
    ASSERT_TRUE(writer < kWriters && number < kLines) << each;
    ++seen[static_cast<size_t>(writer)][static_cast<size_t>(number)];
  }
  for (size_t writer = 0; writer < seen.size(); ++writer) {
    for (size_t n = 0; n < seen[writer].size(); ++n) {
      ASSERT_EQ(1, seen[writer][n]) << "writer" << writer << " line " << n;
    }
  }
  EXPECT_LE(ReadFile(log).size(), static_cast<size_t>(kTraceRollSize));
}

TEST_F(ExchangeSim, LaunchOfAMissingProgramFails) {
  FILE* log = std::fopen(LogFile.c_str(), "w");
  {
    TExchangeSimulator simulator(Options, log);
    EXPECT_EQ(1, simulator.RunLaunched({GetTempFolder() + "no-such-program"}));
  }
  std::fclose(log);
  EXPECT_NE(std::string::npos, ReadFile(LogFile).find("Cannot start ")) << ReadFile(LogFile);
}

TEST(SimOptions, CommandLines) {
  const TSimOptions options =
      ParseSimOptions({"--name", "N", "--order", "o.json", "--customer", "1", "--dbpath", "D", "--metrics",
                       "1,2,3,4", "--edit-mode", "0", "--outdir", "out", "--delay-ms", "5", "--drop", "--truncate",
                       "--launch", "prog", "--name", "x"});
  EXPECT_EQ("N", options.Name);
  EXPECT_EQ("o.json", options.OrderFile);
  EXPECT_TRUE(options.CustomerGiven);
  EXPECT_FALSE(options.AddressGiven);
  EXPECT_EQ("1,2,3,4", options.Metrics);
  EXPECT_FALSE(options.EditMode);
  EXPECT_EQ(5, options.DelayMs);
  EXPECT_TRUE(options.Drop && options.Truncate);
  // Everything after --launch belongs to the program.
  EXPECT_EQ((std::vector<std::string>{"prog", "--name", "x"}), options.Launch);

  const std::vector<std::vector<std::string>> wrong = {
      {"--name"}, {"--name", ""}, {"--metrics", "1,2,3"}, {"--metrics", "1,2,x,4"}, {"--edit-mode", "2"},
      {"--delay-ms", "-1"}, {"--delay-ms", "soon"}, {"--launch"}, {"--bogus", "1"}, {"extra"}};
  for (const auto& args : wrong) EXPECT_THROW(ParseSimOptions(args), Exception) << args[0];
}

TEST(OrderScan, MemberTexts) {
  struct TCase {
    const char* Json;
    const char* Expected;
  };
  const TCase cases[] = {
      {"{\"CustomerNumber\":\"4711\"}", "4711"},
      {"{\"CustomerNumber\" :\t 4711 }", "4711"},
      {"{\"X\":\"CustomerNumber\",\"CustomerNumber\":\"2\"}", "2"},
      {"{\"CustomerNumber\":null}", ""},
      {"{\"CustomerNumber\":\"a\\\\b\\/c\\u20ac\"}", "a\\b/c\x80"},
      {"{\"CustomerNumber\":\"unterminated", "unterminated"},
      {"", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Expected, ScanMemberText(c.Json, "CustomerNumber")) << c.Json;
}

}  // namespace
}  // namespace vx::sim
