// The checks of vxorder doctor, in the order the window meets them: its
// folders and settings, the template, the temporary folder, the exchange
// server and its answers, the host's open order, and what only Windows
// has. Read only: it sends no "OUTDATA" and changes no setting; like the
// window it deletes the host's order file once that has loaded, but only
// inside the exchange's temporary folder.
//
// A hostile server or file cannot take the doctor over: whatever comes from
// outside is shown as ShownText shows it (escaped, at most 200 characters),
// the service file is read within its bounds, answers only up to
// kDoctorAnswerDataCap, and the host's requests end within kDoctorHostTimeMs.
// So the report stays far below 1 MB and the doctor below 100 MB, and it
// ends within 90 s.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "actions/exchange_trace_switch.h"
#include "actions/order_actions.h"
#include "actions/window_messages.h"
#include "binary_output.h"
#include "command_support.h"
#include "commands.h"
#include "doctor.h"
#include "documents/file_name_template.h"
#include "documents/order_document.h"
#include "documents/order_outputs.h"
#include "hostlink/host_commands.h"
#include "hostlink/ipc_client.h"
#include "hostlink/parent_process.h"
#include "settings/fast_ini_file.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/guid.h"
#include "support/os_file.h"
#include "support/string_list.h"
#include "support/text_utils.h"
#include "ui/html_message.h"
#include "ui/window_caption.h"

namespace vx::vxorder {

namespace {

using TStatus = TCheckStatus;

// Stands in for the host's order when there is none, to show what the
// template makes of one.
const char kSampleOrder[] =
    R"({"Order":[{"PrintName":"Angebot","PrintUID":"4711",)"
    R"("Adress":[{"CustomerNumber":"10001","AdressSmart":"Muster GmbH"}],"Parts":[]}]})";

// The doctor reads answers only up to this much data: it shows the start
// of each, and the longest it needs whole is a path (at most 32767
// characters, twice that in the pipe's UTF-16). So an answer of any size
// costs it a few megabytes at most.
constexpr int64_t kDoctorAnswerDataCap = 1024 * 1024;
// The whole doctor ends within 90 s, for support staff and scripts that
// wait for it. Its requests to the host get this much of that in all, a
// single one at most as long as in the window (kExchangeTimeoutMs); the
// local checks take milliseconds.
constexpr int kDoctorHostTimeMs = 80000;
// Tests shorten the host's time with this variable, so that a server that
// never answers costs them a second, not minutes.
constexpr char kHostTimeVariable[] = "VX_DOCTOR_HOST_MS";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A message of the window as its user reads it, on one line, quoted.
std::string WindowShows(const std::string& message) {
  std::string text = MessagePlainText(message);
  ReplaceAllText(text, "\r\n", " ");
  return Quoted(text);
}

// A text from a server or a file, quoted as the report may show it.
std::string Shown(const std::string& text) { return Quoted(ShownText(text)); }

// Creates and removes a file of its own there: the one test of writing that
// asks the system itself (permissions, attributes, read-only media alike).
bool CanCreateFileIn(const std::string& folder, int* error) {
  const std::string probe = AddPathDelim(folder) + "vxorder-doctor-" + std::to_string(NewGuidHash()) + ".tmp";
  if (!CreateNewFile(probe, error)) return false;
  DeleteOneFile(probe, error);
  return true;
}

std::string WritableText(const std::string& folder, bool& writable) {
  int error = 0;
  writable = CanCreateFileIn(folder, &error);
  return writable ? "writable" : "not writable (error " + std::to_string(error) + ")";
}

void CheckClientRoot(TDoctorReport& report) {
  const std::string folder = GetClientRootFolder();
  if (!FolderIsPresent(folder)) {
    report.Add("client root folder", TStatus::Fail, folder + " is missing and cannot be created");
    return;
  }
  bool writable = false;
  const std::string text = WritableText(folder, writable);
  report.Add("client root folder", writable ? TStatus::Ok : TStatus::Fail, folder + " exists, " + text);
}

// The window writes the folder on its first start (template, settings).
void CheckSettingsFolder(TDoctorReport& report, const std::string& folder) {
  const std::string check = "settings folder";
  if (FileIsPresent(RemoveBackslash(folder))) {
    report.Add(check, TStatus::Fail, folder + " is a file; the settings and the template cannot be written");
    return;
  }
  bool writable = false;
  if (FolderIsPresent(folder)) {
    const std::string text = WritableText(folder, writable);
    report.Add(check, writable ? TStatus::Ok : TStatus::Fail, folder + " exists, " + text);
    return;
  }
  WritableText(GetClientRootFolder(), writable);
  report.Add(check, writable ? TStatus::Ok : TStatus::Fail,
             folder + (writable ? " is missing; the window creates it" : " is missing and cannot be created"));
}

void CheckSettingsFile(TDoctorReport& report, const std::string& folder) {
  const std::string fileName = folder + "UserMode.INI";
  if (!FileIsPresent(fileName)) {
    report.Add("UserMode.INI", TStatus::Ok, fileName + " is not there yet; the window writes it when needed");
    return;
  }
  try {
    TStringList sections;
    TFastIniFile file(fileName);
    file.ReadSections(sections);
    report.Add("UserMode.INI", TStatus::Ok, fileName + " is readable, " + std::to_string(sections.Count()) +
                                                (sections.Count() == 1 ? " section" : " sections"));
  } catch (const std::exception& error) {
    report.Add("UserMode.INI", TStatus::Fail, fileName + " cannot be read: " + ShownText(error.what()));
  }
}

void CheckTrace(TDoctorReport& report, const std::string& folder) {
  const std::string by = ExchangeTraceSwitch(folder);
  if (by.empty()) {
    report.Add("exchange trace", TStatus::Ok,
               std::string("off (") + kExchangeTraceKey + "=1 in [MODE] of UserMode.INI or VX_TRACE=1 switch it on)");
  } else {
    report.Add("exchange trace", TStatus::Ok, "on by " + by + ", into " + ExchangeTraceLogFile(folder));
  }
}

// A name the window proposes for document: the template's own, or the
// default template's when the template cleans down to nothing. status is
// the check's status when the name is fine.
void AddProposedName(TDoctorReport& report, const std::string& check, TVXJSONObject& document,
                     const std::string& fileNameTemplate, const std::string& prefix, TStatus status = TStatus::Ok) {
  const std::string own = ProposeOrderFileName(document, fileNameTemplate, Today());
  if (!own.empty()) {
    report.Add(check, status, prefix + "proposed name " + Shown(own));
    return;
  }
  report.Add(check, TStatus::Warn,
             prefix + "the template gives an empty name; the window proposes " +
                 Shown(ProposeSaveFileName(document, fileNameTemplate, Today())) + " instead");
}

// The template text the window would use ("" with a report when it cannot
// be read).
std::string CheckTemplate(TDoctorReport& report) {
  const std::string fileName = GetTemplateFileName();
  std::string text;
  try {
    text = ReadFileNameTemplate();
  } catch (const std::exception& error) {
    report.Add("file-name template", TStatus::Fail, fileName + " cannot be read: " + ShownText(error.what()));
    return "";
  }
  std::string prefix = fileName + " holds " + Shown(text) + "; for a sample order ";
  if (text.empty()) {
    prefix = fileName + " is missing or blank; the window writes " + Quoted(kDefaultFileNameTemplate) +
             "; for a sample order ";
    text = kDefaultFileNameTemplate;
  }
  TVXJSONObject sample;
  sample.Load(kSampleOrder, true, false);
  AddProposedName(report, "file-name template", sample, text, prefix);
  return text;
}

// Names of the form NewTempFileName gives: decimal digits only.
bool IsAttachmentName(const std::string& name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

void CheckTempFolder(TDoctorReport& report) {
  std::string folder;
  try {
    folder = GetTempFolder();
  } catch (const std::exception& error) {
    report.Add("temporary folder", TStatus::Fail, ShownText(error.what()));
    return;
  }
  bool writable = false;
  const std::string text = WritableText(folder, writable);
  int leftOver = 0;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (entry.is_regular_file(ignored) && IsAttachmentName(entry.path().filename().string())) ++leftOver;
  }
  report.Add("temporary folder", writable ? TStatus::Ok : TStatus::Fail,
             folder + " " + text + ", " + std::to_string(leftOver) + " attachment files left there");
}

// What the window does with a line of the service file that names no
// server.
std::string SkippedLineText(const TSkippedServiceLine& line) {
  if (line.Length == 0) return line.Reason + "; the window reads no further";
  return "line " + std::to_string(line.LineNumber) + " " +
         Quoted(ShownText(line.Text, static_cast<uint64_t>(line.Length))) + " " + line.Reason + "; the window skips it";
}

// False when no server is listed at all.
bool CheckServiceFile(TDoctorReport& report) {
  const std::string check = "exchange-service file";
  std::string fileName;
  TStringList servers;
  std::vector<TSkippedServiceLine> skipped;
  try {
    fileName = GetTempFolder() + kLocalServiceFileName;
    ReadLocalServiceFile(&servers, &skipped);
  } catch (const std::exception& error) {
    report.Add(check, TStatus::Fail, ShownText(error.what()));
    return false;
  }
  for (const TSkippedServiceLine& line : skipped) report.Add(check, TStatus::Warn, SkippedLineText(line));
  if (servers.Count() == 0) {
    report.Add(check, TStatus::Fail,
               fileName + (FileIsPresent(fileName) ? " lists no server" : " is missing") +
                   "; no exchange server can be reached (caption " + Quoted(DatabaseCaption("")) + ")");
    return false;
  }
  std::string text;
  for (const std::string& server : servers.Lines()) text += (text.empty() ? "" : ", ") + Shown(server);
  report.Add(check, TStatus::Ok, fileName + " lists " + text);
  return true;
}

struct TAnswer {
  std::string Text;
  TIPCResult Result;
  std::string Failure;  // why the request could not be made (a server refused as another user's)
  long long Milliseconds = 0;
};

// The checks that ask the host, each as the window asks it: the current
// (or default) server, with the window's attempts. A server that ran into
// a request's deadline, or that cannot be asked, is not asked again: the
// checks left for it become one line that says why. All requests together
// end within the doctor's time for the host.
class THostChecks {
 public:
  explicit THostChecks(TDoctorReport& report)
      : FReport(report), FStart(std::chrono::steady_clock::now()), FHostTimeMs(HostTimeMs()) {}

  void CheckServerChoice();
  // The "OFFICEMETRICS" answer, for the placement check.
  std::string CheckReadCommands();
  void CheckHostOrder(const std::string& fileNameTemplate);
  // The line of the checks not made, when there were any.
  void ReportSkipped();

 private:
  static int HostTimeMs();
  // What is left of the host's time for the next request, at most a
  // window's; 0 when it is used up.
  int NextRequestMs() const;
  // One read as the window makes it, timed; none when the check is skipped.
  std::optional<TAnswer> Ask(const std::string& check, const std::string& command);
  // Adds the failure of an unanswered command; true when it was answered.
  bool Answered(const std::string& check, const TAnswer& answer, const std::string& consequence);

  TDoctorReport& FReport;
  const std::chrono::steady_clock::time_point FStart;
  const int FHostTimeMs;
  std::map<std::string, std::string> FUnusable;  // server, why it is not asked again
  std::vector<std::string> FSkipped;             // checks
  std::string FSkipReason;
};

int THostChecks::HostTimeMs() {
  const char* value = std::getenv(kHostTimeVariable);
  const int milliseconds = value ? std::atoi(value) : 0;
  return milliseconds > 0 ? milliseconds : kDoctorHostTimeMs;
}

int THostChecks::NextRequestMs() const {
  const auto used =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - FStart).count();
  return static_cast<int>(std::clamp<long long>(FHostTimeMs - used, 0, kExchangeTimeoutMs));
}

void THostChecks::CheckServerChoice() {
  const std::string check = "server choice";
  const uint32_t parent = GetParentProcessId();
  const int timeMs = NextRequestMs();
  SetExchangeTimeout(timeMs);
  TServerChoice choice;
  std::string found = "parent process " + std::to_string(parent) + "; ";
  try {
    const std::string chosen = LocateExchangeServer(parent, &choice);
    if (!chosen.empty()) {
      found += Shown(chosen) + " chosen: " + choice.Reason;
    } else {
      found += "none chosen (" + choice.Reason + "); calls go to " + Shown(ReadLocalServiceFile());
    }
  } catch (const std::exception& error) {
    FReport.Add(check, TStatus::Fail, found + ShownText(error.what()));
    return;
  }
  if (choice.OutOfTime.empty()) {
    FReport.Add(check, TStatus::Ok, found);
    return;
  }
  const std::string late =
      Shown(choice.OutOfTime) + " did not answer SERVERPROCESS within " + std::to_string(timeMs) + " ms";
  FUnusable[choice.OutOfTime] = late;
  FReport.Add(check, TStatus::Fail, found + "; " + late + ", and no server after it was asked");
}

// The server the window's calls go to; "" when the service file cannot be
// read (the request then reports why).
std::string CurrentServer() {
  try {
    const std::string name = GetServerName();
    return name.empty() ? ReadLocalServiceFile() : name;
  } catch (const std::exception&) {
    return "";
  }
}

std::optional<TAnswer> THostChecks::Ask(const std::string& check, const std::string& command) {
  const std::string server = CurrentServer();
  const auto unusable = FUnusable.find(server);
  const int timeMs = NextRequestMs();
  if (unusable != FUnusable.end() || timeMs == 0) {
    if (FSkipped.empty()) {
      FSkipReason = unusable != FUnusable.end()
                        ? unusable->second
                        : "the doctor's " + std::to_string(FHostTimeMs) + " ms for the host are used up";
    }
    FSkipped.push_back(check);
    return std::nullopt;
  }
  SetExchangeTimeout(timeMs);
  TAnswer answer;
  const auto start = std::chrono::steady_clock::now();
  try {
    answer.Text = ReadIPCValueSync(command, &answer.Result);
  } catch (const std::exception& error) {
    answer.Failure = error.what();
    answer.Result.ServerName = server;
  }
  const auto end = std::chrono::steady_clock::now();
  answer.Milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
  if (!answer.Failure.empty()) {
    FUnusable[server] = Shown(server) + " cannot be asked";
  } else if (!answer.Result.AnswerReceived && end - start >= std::chrono::milliseconds(timeMs)) {
    FUnusable[server] = Shown(server) + " did not answer " + command + " within " + std::to_string(timeMs) + " ms";
  }
  return answer;
}

bool THostChecks::Answered(const std::string& check, const TAnswer& answer, const std::string& consequence) {
  if (!answer.Failure.empty()) {
    FReport.Add(check, TStatus::Fail,
                "cannot ask " + Shown(answer.Result.ServerName) + ": " + ShownText(answer.Failure) + consequence);
    return false;
  }
  if (answer.Result.AnswerReceived) return true;
  FReport.Add(check, TStatus::Fail,
              "no answer from " + Shown(answer.Result.ServerName) + " after " + std::to_string(answer.Milliseconds) +
                  " ms: " + ShownText(answer.Result.ErrorDesc) + " (" + std::to_string(answer.Result.ErrorCode) + ")" +
                  consequence);
  return false;
}

std::string AnswerText(const TAnswer& answer) {
  return Shown(answer.Text) + " in " + std::to_string(answer.Milliseconds) + " ms";
}

// "SERVERPROCESS" answers with the server's name, 0x08 and the host
// application's process id; shown as such, since the byte itself says
// nothing to support staff.
void AddServerProcess(TDoctorReport& report, const TAnswer& answer) {
  const std::vector<std::string> parts = SplitText("\x08", answer.Text);
  const std::string time = " in " + std::to_string(answer.Milliseconds) + " ms";
  if (parts.size() == 2 && !parts[1].empty() && parts[1].find_first_not_of("0123456789") == std::string::npos) {
    report.Add("SERVERPROCESS", TStatus::Ok, "server " + Shown(parts[0]) + ", process " + ShownText(parts[1]) + time);
    return;
  }
  report.Add(
      "SERVERPROCESS", TStatus::Warn,
      Shown(answer.Text) + time + ": not a server name and a process id, so the window's search never chooses by it");
}

std::string THostChecks::CheckReadCommands() {
  const std::optional<TAnswer> process = Ask("SERVERPROCESS", "SERVERPROCESS");
  if (process && Answered("SERVERPROCESS", *process, "")) AddServerProcess(FReport, *process);

  const std::optional<TAnswer> metrics = Ask("OFFICEMETRICS", "OFFICEMETRICS");
  if (metrics && Answered("OFFICEMETRICS", *metrics, "; the window centres on the screen")) {
    FReport.Add("OFFICEMETRICS", metrics->Text.empty() ? TStatus::Warn : TStatus::Ok,
                AnswerText(*metrics) + (metrics->Text.empty() ? "; the window centres on the screen" : ""));
  }

  const std::optional<TAnswer> database = Ask("DBPATH", "DBPATH");
  if (database) {
    const std::string caption = "; caption " + Shown(DatabaseCaption(database->Text));
    if (Answered("DBPATH", *database, caption)) {
      FReport.Add("DBPATH", database->Text.empty() ? TStatus::Warn : TStatus::Ok, AnswerText(*database) + caption);
    }
  }

  const std::optional<TAnswer> canPost = Ask("CANPOSTJSON", "CANPOSTJSON");
  const std::string notInEditMode = "; sending shows " + WindowShows(kNotInEditMode);
  if (canPost && Answered("CANPOSTJSON", *canPost, notInEditMode)) {
    const bool editMode = TextIsTrue(canPost->Text);
    FReport.Add("CANPOSTJSON", editMode ? TStatus::Ok : TStatus::Warn,
                AnswerText(*canPost) + (editMode ? "; the order takes positions" : notInEditMode));
  }
  return metrics ? metrics->Text : std::string();
}

void THostChecks::ReportSkipped() {
  if (FSkipped.empty()) return;
  std::string checks;
  for (size_t i = 0; i < FSkipped.size(); ++i) {
    checks += (i == 0 ? "" : i + 1 == FSkipped.size() ? " and " : ", ") + FSkipped[i];
  }
  FReport.Add("remaining host checks", TStatus::Fail, checks + " not asked: " + FSkipReason);
}

// The positions' attachments: files named (and how many of them are
// there to be embedded) and attachments already embedded.
std::string AttachmentsText(TVXJSONObject& document) {
  TL2ReaderWriter positions(document);
  int named = 0;
  int present = 0;
  int embedded = 0;
  for (int i = 0; i < document.Parts().Count(); ++i) {
    const std::string l2 = positions.ReadL2(i);
    if (StartsWithBase64Tag(l2)) {
      ++embedded;
    } else if (!l2.empty()) {
      ++named;
      if (FileIsPresent(l2)) ++present;
    }
  }
  return std::to_string(named) + " attachment files named (" + std::to_string(present) + " there), " +
         std::to_string(embedded) + " embedded";
}

// The host's order file goes only when it lies in the exchange's
// temporary folder: the doctor is run to look, and a server could name
// any file of the user. status becomes Warn when the file stays.
std::string RemoveHostOrderFile(const std::string& path, TStatus& status) {
  std::string folder;
  try {
    folder = GetTempFolder();
  } catch (const std::exception&) {
    // A temporary folder that is refused contains nothing to delete.
  }
  if (folder.empty() || !IsInsideFolder(path, folder)) {
    status = TStatus::Warn;
    return "left in place, since it lies outside the exchange's temporary folder " + ShownText(folder) +
           " (the window would delete it)";
  }
  return DeleteFileRetry(path) ? "deleted as the window does" : "could not be deleted";
}

// The save's road up to the dialog: "GETJSON", the load, and the deletion
// of the host's file.
void THostChecks::CheckHostOrder(const std::string& fileNameTemplate) {
  const std::string check = "host order (GETJSON)";
  const std::optional<TAnswer> answer = Ask(check, "GETJSON");
  const std::string noOrder = "; saving shows " + WindowShows(kOrderNotLoaded);
  if (!answer || !Answered(check, *answer, noOrder)) return;
  if (answer->Text.empty()) {
    FReport.Add(check, TStatus::Warn, "empty answer: no order is open" + noOrder);
    return;
  }
  const std::string path = Shown(answer->Text);
  TVXJSONObject document;
  try {
    document.Load(answer->Text, false, true);
  } catch (const std::exception& error) {
    FReport.Add(check, TStatus::Fail,
                path + " does not load; saving shows " +
                    WindowShows(kOrderNotLoadedBecause + ShownText(error.what())));
    return;
  }
  TStatus status = TStatus::Ok;
  const std::string removal = RemoveHostOrderFile(answer->Text, status);
  const int positions = document.Parts().Count();
  AddProposedName(FReport, check, document, fileNameTemplate,
                  path + " loaded in " + std::to_string(answer->Milliseconds) + " ms, " + std::to_string(positions) +
                      (positions == 1 ? " position, " : " positions, ") + AttachmentsText(document) + ", " + removal +
                      "; ",
                  status);
}

TDoctorReport RunChecks() {
  TDoctorReport report;
  const std::string settingsFolder = GetProgramDataFolder();
  CheckClientRoot(report);
  CheckSettingsFolder(report, settingsFolder);
  CheckSettingsFile(report, settingsFolder);
  CheckTrace(report, settingsFolder);
  const std::string fileNameTemplate = CheckTemplate(report);
  CheckTempFolder(report);
  std::string metrics;
  if (CheckServiceFile(report)) {
    THostChecks host(report);
    host.CheckServerChoice();
    metrics = host.CheckReadCommands();
    host.CheckHostOrder(fileNameTemplate);
    host.ReportSkipped();
  }
  AddPlatformChecks(report, metrics);
  return report;
}

}  // namespace

int Doctor(const std::vector<std::string>& args) {
  SetBinaryOutput();
  const bool json = args.size() == 1 && args[0] == "--json";
  if (!args.empty() && !json) return WrongArguments("doctor", "[--json]");
  return RunReportingErrors([json] {
    SetAnswerDataCap(kDoctorAnswerDataCap);
    StartExchangeTraceOfWindow();
    const TDoctorReport report = RunChecks();
    WriteBytes(stdout, json ? report.Json() : report.Text());
    return report.Failed() ? 1 : 0;
  });
}

const std::vector<TCommand>& DoctorCommands() {
  static const std::vector<TCommand> commands = {
      {"doctor", "[--json]", "check everything the window depends on (read only; exit 1 when a check fails)",
       &Doctor},
  };
  return commands;
}

}  // namespace vx::vxorder
