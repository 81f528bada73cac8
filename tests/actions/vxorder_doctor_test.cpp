// vxorder doctor as support staff run it: against the exchange simulator
// with each of its faults, without a server, and with the window's folder
// and template in a bad state. The same cases run natively and, as
// vxorder.exe, under wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "actions/action_host.h"
#include "actions/program_run.h"
#include "documents/file_name_template.h"
#include "hostlink/message_framing.h"
#include "hostlink/test_server.h"
#include "json/fast_json.h"
#include "process/child_process.h"
#include "support/codepage.h"

namespace vx {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing::ReadFileBytes;
using testing::RunProgram;
using testing::TActionHost;
using testing::TProgramRun;
using testing::VxorderProgram;
using testing::WriteFileBytes;

const char kPositionText[] = "Geheime Position";
const std::string kHostOrder = std::string(R"({"Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":7,)") +
                               R"("Adress":[{"AdressSmart":"Muster"}],"Parts":[{"Position":"1","Description1":")" +
                               kPositionText + R"("},{"Position":"2","L2":"base64:QUJD"}]}]})";
const char kDatabase[] = "C:\\VX\\Daten.fdb";

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// The line of a check in a text report: five columns of status, then the
// check and ": ". "" when the report has none.
std::string LineOf(const std::string& report, const std::string& check) {
  for (const std::string& line : LinesOf(report)) {
    if (line.size() > 5 && line.compare(5, check.size() + 2, check + ": ") == 0) return line;
  }
  return "";
}

struct TExpectedLine {
  std::string Check;
  const char* Status;  // "OK", "WARN" or "FAIL"
  std::string Holds;
};

// The line of a check that holds text: a check may have several lines (one
// per skipped line of the service file); the first of them when none does.
std::string LineOf(const std::string& report, const std::string& check, const std::string& text) {
  for (const std::string& line : LinesOf(report)) {
    if (line.size() > 5 && line.compare(5, check.size() + 2, check + ": ") == 0 &&
        line.find(text) != std::string::npos) {
      return line;
    }
  }
  return LineOf(report, check);
}

void ExpectLines(const TProgramRun& run, const std::vector<TExpectedLine>& expected, const std::string& what) {
  for (const TExpectedLine& line : expected) {
    const std::string found = LineOf(run.Output, line.Check, line.Holds);
    const std::string status = line.Status;
    // A hostile report may be long; its start tells enough.
    EXPECT_THAT(found, StartsWith(status + std::string(5 - status.size(), ' ') + line.Check + ": "))
        << what << "\n"
        << run.Output.substr(0, 20000);
    EXPECT_THAT(found, HasSubstr(line.Holds)) << what;
  }
}

// A file as it was before the test, put back afterwards (the shared
// documents of Windows cannot be moved aside for a test).
class TRestoredFile {
 public:
  explicit TRestoredFile(std::string fileName) : FileName(std::move(fileName)) {
    FExisted = FileIsPresent(FileName);
    if (FExisted) FOld = ReadFileBytes(FileName);
  }
  ~TRestoredFile() {
    if (FExisted) {
      WriteFileBytes(FileName, FOld);
    } else {
      DeleteFileIfPresent(FileName);
    }
  }
  TRestoredFile(const TRestoredFile&) = delete;
  TRestoredFile& operator=(const TRestoredFile&) = delete;

  const std::string FileName;

 private:
  bool FExisted = false;
  std::string FOld;
};

// A file where the window's settings folder should be; the folder comes
// back afterwards.
class TFileInPlaceOfSettingsFolder {
 public:
  TFileInPlaceOfSettingsFolder() : FFolder(RemoveBackslash(GetProgramDataFolder())) {
    std::error_code ignored;
    std::filesystem::rename(FFolder, FFolder + ".aside", ignored);
    WriteFileBytes(FFolder, "no folder");
  }
  ~TFileInPlaceOfSettingsFolder() {
    DeleteFileIfPresent(FFolder);
    std::error_code ignored;
    std::filesystem::rename(FFolder + ".aside", FFolder, ignored);
  }
  TFileInPlaceOfSettingsFolder(const TFileInPlaceOfSettingsFolder&) = delete;
  TFileInPlaceOfSettingsFolder& operator=(const TFileInPlaceOfSettingsFolder&) = delete;

 private:
  std::string FFolder;
};

class VxorderDoctor : public ::testing::Test {
 protected:
  VxorderDoctor() {
    Host.HostOrder(kHostOrder);
    Host.Options.DbPath = kDatabase;
    Host.Options.Metrics = "100,50,1000,700";
  }

  static TProgramRun Doctor(const std::vector<std::string>& options = {}) {
    std::vector<std::string> arguments = {"doctor"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return RunProgram(VxorderProgram(), arguments);
  }

  TActionHost Host;
};

TEST_F(VxorderDoctor, AHealthyHostPassesEveryCheck) {
  Host.StartSimulator();
  const TProgramRun run = Doctor();
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  EXPECT_EQ(run.Output.find("FAIL"), std::string::npos) << run.Output;
  std::vector<TExpectedLine> expected = {
      {"client root folder", "OK", "exists, writable"},
      {"settings folder", "OK", RemoveBackslash(GetProgramDataFolder())},
      {"exchange trace", "OK", "off"},
      {"file-name template", "OK", "proposed name \"Angebot 4711 Muster GmbH 10001 ["},
      {"temporary folder", "OK", GetTempFolder() + " writable"},
      {"exchange-service file", "OK", "\"" + Host.Options.Name + "\""},
      {"server choice", "OK", "parent process "},
      {"SERVERPROCESS", "OK",
       "server \"" + Host.Options.Name + "\", process " + std::to_string(CurrentProcessId()) + " in "},
      {"OFFICEMETRICS", "OK", "\"100,50,1000,700\""},
      {"DBPATH", "OK", std::string("caption \"Datenbank: ") + kDatabase + "\""},
      {"CANPOSTJSON", "OK", "\"1\""},
      {"host order (GETJSON)", "OK",
       "2 positions, 0 attachment files named (0 there), 1 embedded, deleted as the window does; proposed name "
       "\"Angebot 7 Muster"},
  };
  for (const std::string& check : testing::PlatformDoctorChecks()) expected.push_back({check, "OK", ""});
  ExpectLines(run, expected, "healthy");
  EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty());
  // Read only: nothing was sent, and the settings are as they were.
  EXPECT_TRUE(Host.OutData().empty());
  EXPECT_FALSE(FileIsPresent(GetProgramDataFolder() + "UserMode.INI"));

  // The same report as one JSON object.
  const TProgramRun json = Doctor({"--json"});
  EXPECT_EQ(json.ExitCode, 0);
  TFastJSON report;
  report.Parse(json.Output);
  TJsonArray& checks = report.Values("checks").AsArray();
  const std::vector<std::string> lines = LinesOf(run.Output);
  ASSERT_EQ(checks.Count(), static_cast<int>(lines.size()));
  for (int i = 0; i < checks.Count(); ++i) {
    TJsonObject& check = checks.Items(i).AsObject();
    EXPECT_THAT(lines[static_cast<size_t>(i)], StartsWith(check.Values("status").AsString()));
    EXPECT_NE(LineOf(run.Output, check.Values("check").AsString()), "") << check.Values("check").AsString();
  }
  EXPECT_EQ(report.Values("failed").AsString(), "0");
}

TEST_F(VxorderDoctor, NamesEachFaultOfTheExchangeServer) {
  struct TCase {
    const char* What;
    std::function<void(sim::TSimOptions&)> Fault;
    int ExitCode;
    std::vector<TExpectedLine> Lines;
    int DelayMs = 0;  // the least round trip DBPATH must show
  };
  const TCase cases[] = {
      {"--drop", [](sim::TSimOptions& o) { o.Drop = true; }, 1,
       {{"SERVERPROCESS", "FAIL", "ReadFile failed while reading message ID length (109)"},
        {"DBPATH", "FAIL", "caption \"Keine Datenbank erreichbar\""},
        {"host order (GETJSON)", "FAIL", "no answer from \"" + Host.Options.Name + "\""}}},
      {"--truncate", [](sim::TSimOptions& o) { o.Truncate = true; }, 1,
       {{"DBPATH", "FAIL", "ReadFile failed while reading message data (109)"}}},
      {"--delay-ms", [](sim::TSimOptions& o) { o.DelayMs = 150; }, 0, {{"DBPATH", "OK", " ms; caption"}}, 150},
      {"--edit-mode 0", [](sim::TSimOptions& o) { o.EditMode = false; }, 0,
       {{"CANPOSTJSON", "WARN", "\"0\" in "}, {"CANPOSTJSON", "WARN", "\"Auftrag muss auf Bearbeiten stehen.\""}}},
  };
  for (const TCase& c : cases) {
    const sim::TSimOptions healthy = Host.Options;
    c.Fault(Host.Options);
    Host.StartSimulator();
    const TProgramRun run = Doctor();
    Host.StopSimulator();
    Host.Options = healthy;
    EXPECT_EQ(run.ExitCode, c.ExitCode) << c.What << "\n" << run.Output;
    ExpectLines(run, c.Lines, c.What);
    if (c.DelayMs == 0) continue;
    const std::string line = LineOf(run.Output, "DBPATH");
    std::smatch roundTrip;
    ASSERT_TRUE(std::regex_search(line, roundTrip, std::regex(" in ([0-9]+) ms"))) << line;
    EXPECT_GE(std::stoi(roundTrip[1]), c.DelayMs) << line;
  }
}

TEST_F(VxorderDoctor, NamesWhatIsWrongBesideTheHost) {
  // No server at all, and a template that cleans down to nothing.
  Host.UseTemplate("///");
  TProgramRun run = Doctor();
  EXPECT_EQ(run.ExitCode, 1) << run.Output;
  ExpectLines(run,
              {{"file-name template", "WARN",
                "the template gives an empty name; the window proposes \"Angebot 4711 Muster GmbH 10001 ["},
               {"exchange-service file", "FAIL", "is missing"}},
              "no server");
  EXPECT_EQ(LineOf(run.Output, "DBPATH"), "");

  // A settings folder that cannot be written.
  {
    TFileInPlaceOfSettingsFolder blocked;
    run = Doctor();
    EXPECT_EQ(run.ExitCode, 1) << run.Output;
    ExpectLines(run, {{"settings folder", "FAIL", "is a file"}}, "blocked settings");
  }
  EXPECT_EQ(Doctor({"--bogus"}).ExitCode, 2);
}

// Switched on in the window's settings, the trace takes the doctor's
// requests too: sizes and times, never the order's positions or answers.
TEST_F(VxorderDoctor, ReportsAndWritesTheExchangeTrace) {
  const std::string folder = GetProgramDataFolder();
  EnsureFileFolder(folder + "UserMode.INI");
  TRestoredFile settings(folder + "UserMode.INI");
  TRestoredFile log(folder + "exchange.log");
  DeleteFileIfPresent(log.FileName);
  WriteFileBytes(settings.FileName, "[MODE]\r\nExchangeTrace=1\r\n");
  Host.StartSimulator();
  const TProgramRun run = Doctor();
  EXPECT_EQ(run.ExitCode, 0) << run.Output;
  ExpectLines(run,
              {{"UserMode.INI", "OK", "readable, 1 section"},
               {"exchange trace", "OK", "on by UserMode.INI, into " + log.FileName}},
              "trace");
  const std::string trace = ReadFileBytes(log.FileName);
  EXPECT_THAT(trace, HasSubstr(" " + Host.Options.Name + " GETJSON out 87 in "));
  EXPECT_EQ(trace.find(kPositionText), std::string::npos);
  EXPECT_EQ(trace.find(kDatabase), std::string::npos);
  EXPECT_EQ(trace.find("100,50"), std::string::npos);

  DeleteFileIfPresent(settings.FileName);
  vx::test::SetEnvironment("VX_TRACE", "1");
  const TProgramRun byEnvironment = Doctor();
  vx::test::SetEnvironment("VX_TRACE", "");
  ExpectLines(byEnvironment, {{"exchange trace", "OK", "on by VX_TRACE=1, into " + log.FileName}}, "VX_TRACE");
}

// A server on a thread of this test that answers each command as the test
// says, listed in the service file after the given lines.
class HostileServer : public VxorderDoctor {
 protected:
  ~HostileServer() override {
    Server.reset();
    DeleteFileIfPresent(GetTempFolder() + kLocalServiceFileName);
  }

  void Serve(const std::function<vx::test::TReply(const std::string& command)>& reply,
             const std::string& linesBefore = "") {
    Server.reset();
    Server = std::make_unique<vx::test::TTestServer>(
        Name, [reply](const std::string& request) { return reply(vx::test::CommandOf(request)); });
    WriteFileBytes(GetTempFolder() + kLocalServiceFileName, linesBefore + Name + "\r\n");
  }
  static vx::test::TReply Answer(const std::string& text) {
    return {vx::test::FramedAnswer(vx::test::DataBlock(text))};
  }
  // The byte as the report shows it where terminals take it for a control.
  static std::string High(const std::string& escaped, const std::string& raw) {
    return IsControlByte(0x80) ? escaped : raw;
  }

  const std::string Name = vx::test::UniquePipeName("vx-hostile");
  std::unique_ptr<vx::test::TTestServer> Server;
};

// What a server or the service file sends reaches the screen escaped, a
// line that names no server is skipped with a warning, and every other
// check is still made.
TEST_F(HostileServer, ShowsWhatItSendsEscapedAndGoesOnPastBadNames) {
  Serve(
      [](const std::string& command) {
        if (command == "SERVERPROCESS") return Answer("SRV\x1b[31m\x08" "42");
        if (command == "OFFICEMETRICS") return Answer("1,2,3,4\r\nOK   forged: line");
        if (command == "DBPATH") return Answer("C:\\VX\x1b]0;title\x07\x9b" "2J.fdb");
        if (command == "CANPOSTJSON") return Answer("1\x7f");
        return Answer("C:\\missing\x1b[2J.json");
      },
      "../../../foreign\r\n\x1b]0;pwned\x07\r\n");
  const TProgramRun run = Doctor();
  EXPECT_EQ(run.ExitCode, 1) << run.Output;
  for (size_t i = 0; i < run.Output.size(); ++i) {
    const auto byte = static_cast<unsigned char>(run.Output[i]);
    const bool control = byte != '\n' && IsControlByte(byte);
    ASSERT_FALSE(control) << "byte " << static_cast<int>(byte) << " at " << i << "\n" << run.Output;
  }
  ExpectLines(
      run,
      {{"exchange-service file", "WARN", "line 1 \"../../../foreign\" holds a path separator; the window skips it"},
       {"exchange-service file", "WARN", "line 2 \"\\x1B]0;pwned\\x07\" holds a control byte; the window skips it"},
       {"exchange-service file", "OK", " lists \"" + Name + "\""},
       {"server choice", "OK", "calls go to \"" + Name + "\""},
       {"SERVERPROCESS", "OK", "server \"SRV\\x1B[31m\", process 42 in "},
       {"OFFICEMETRICS", "OK", "\"1,2,3,4\\x0D\\x0AOK   forged: line\" in "},
       {"DBPATH", "OK", "\"C:\\VX\\x1B]0;title\\x07" + High("\\x9B", "\x9b") + "2J.fdb\" in "},
       {"CANPOSTJSON", "WARN", "\"1\\x7F\" in "},
       {"host order (GETJSON)", "FAIL", "\"C:\\missing\\x1B[2J.json\" does not load"}},
      "hostile");

  // The same as valid JSON.
  const TProgramRun json = Doctor({"--json"});
  TFastJSON report;
  report.Parse(json.Output);
  EXPECT_EQ(report.Values("checks").AsArray().Count(), static_cast<int>(LinesOf(run.Output).size()));
}

// Answers and lines of any size: each shows 200 characters and its size,
// an answer past the doctor's cap is refused before it is read, and the
// report stays small.
TEST_F(HostileServer, HugeAnswersAndLinesShowOnlyTheirStart) {
  const size_t kReportBound = 1024 * 1024;
  Serve(
      [](const std::string& command) {
        if (command == "DBPATH") {
          return vx::test::TReply{LengthBytes(0) + LengthBytes(100000000), false, false, 0, true};
        }
        if (command == "GETJSON") return Answer(std::string(100000, 'g'));
        return Answer(std::string(300, 'a'));
      },
      std::string(20000000, 'n') + "\r\n");
  const TProgramRun run = Doctor();
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_LT(run.Output.size(), kReportBound);
  ExpectLines(run,
              {{"exchange-service file", "WARN",
                "line 1 \"" + std::string(200, 'n') + "\x85 (20000000 bytes)\" is longer than 256 bytes"},
               {"exchange-service file", "OK", " lists \"" + Name + "\""},
               {"OFFICEMETRICS", "OK", "\"" + std::string(200, 'a') + "\x85 (300 bytes)\" in "},
               {"DBPATH", "FAIL", "IPC client refused message data of more than 1048576 bytes (4336)"},
               {"host order (GETJSON)", "FAIL", "\"" + std::string(200, 'g') + "\x85 (100000 bytes)\" does not load"}},
              "huge");
  EXPECT_LT(Doctor({"--json"}).Output.size(), kReportBound);
}

// A server that accepts and never answers holds the doctor for one request:
// the checks left for it become one line.
TEST_F(HostileServer, AServerThatNeverAnswersHoldsOnlyOneRequest) {
  struct TCase {
    int Answered;  // requests answered before the server falls silent
    int Connections;
    std::string Skipped;
  };
  const TCase cases[] = {
      {0, 1,
       "SERVERPROCESS, OFFICEMETRICS, DBPATH, CANPOSTJSON and host order (GETJSON) not asked: \"" + Name +
           "\" did not answer SERVERPROCESS within "},
      {1, 2,
       "OFFICEMETRICS, DBPATH, CANPOSTJSON and host order (GETJSON) not asked: \"" + Name +
           "\" did not answer SERVERPROCESS within "},
  };
  vx::test::SetEnvironment("VX_DOCTOR_HOST_MS", "1500");
  for (const TCase& c : cases) {
    auto requests = std::make_shared<std::atomic<int>>(0);
    Serve([requests, c](const std::string&) {
      return (*requests)++ < c.Answered ? Answer("") : vx::test::TReply{"", false, true};
    });
    const TProgramRun run = Doctor();
    EXPECT_EQ(run.ExitCode, 1) << run.Output;
    EXPECT_EQ(Server->Connections(), c.Connections) << run.Output;
    ExpectLines(run, {{"remaining host checks", "FAIL", c.Skipped}}, std::to_string(c.Answered));
  }
  vx::test::SetEnvironment("VX_DOCTOR_HOST_MS", "");
}

// The doctor is run to look: it deletes the file a server names only in the
// exchange's temporary folder, where the host puts its order files.
TEST_F(HostileServer, DeletesTheHostsFileOnlyInTheExchangesTemporaryFolder) {
  const std::string temp = GetTempFolder();
  const std::string d(1, kPathDelim);
  const std::string outside = Host.Root + "Auftraege" + d;
  CreateFolderTree(outside);
  struct TCase {
    std::string Path;
    bool Deleted;
    const char* Status;
    std::string Holds;
  };
  const TCase cases[] = {
      {temp + "4711.json", true, "OK", "1 embedded, deleted as the window does; proposed name "},
      {outside + "kept.json", false, "WARN",
       "1 embedded, left in place, since it lies outside the exchange's temporary folder " + temp +
           " (the window would delete it); proposed name "},
      {temp + ".." + d + "Auftraege" + d + "beside.json", false, "WARN", "left in place"},
  };
  for (const TCase& c : cases) {
    WriteFileBytes(c.Path, kHostOrder);
    Serve([&c](const std::string& command) { return Answer(command == "GETJSON" ? c.Path : ""); });
    const TProgramRun run = Doctor();
    EXPECT_NE(FileIsPresent(c.Path), c.Deleted) << c.Path;
    ExpectLines(run, {{"host order (GETJSON)", c.Status, c.Holds}}, c.Path);
    DeleteFileIfPresent(c.Path);
  }
}

}  // namespace
}  // namespace vx
