// vxorder doctor as support staff run it: against the exchange simulator
// with each of its faults, without a server, and with the window's folder
// and template in a bad state. The same cases run natively and, as
// vxorder.exe, under wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "actions/action_host.h"
#include "actions/program_run.h"
#include "documents/file_name_template.h"
#include "json/fast_json.h"

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

void ExpectLines(const TProgramRun& run, const std::vector<TExpectedLine>& expected, const std::string& what) {
  for (const TExpectedLine& line : expected) {
    const std::string found = LineOf(run.Output, line.Check);
    const std::string status = line.Status;
    EXPECT_THAT(found, StartsWith(status + std::string(5 - status.size(), ' ') + line.Check + ": "))
        << what << "\n" << run.Output;
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
      {"SERVERPROCESS", "OK", "\"" + Host.Options.Name + "\\x08"},
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

}  // namespace
}  // namespace vx
