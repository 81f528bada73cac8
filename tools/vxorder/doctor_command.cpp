// The checks of vxorder doctor, in the order the window meets them: its
// folders and settings, the template, the temporary folder, the exchange
// server and its answers, the host's open order, and what only Windows
// has. Read only: it sends no "OUTDATA" and changes no setting; like the
// window it deletes the host's order file once that has loaded.
#include <chrono>
#include <filesystem>
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

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A message of the window as its user reads it, on one line, quoted.
std::string WindowShows(const std::string& message) {
  std::string text = MessagePlainText(message);
  ReplaceAllText(text, "\r\n", " ");
  return Quoted(text);
}

// Control bytes (the 0x08 in a "SERVERPROCESS" answer) as \xNN, so that a
// line stays one line.
std::string Printable(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string result;
  for (unsigned char c : text) {
    if (c < 0x20) {
      result += std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

// Creates and removes a file of its own there: the one test of writing that
// asks the system itself (permissions, attributes, read-only media alike).
bool CanCreateFileIn(const std::string& folder, int& error) {
  const std::string probe = AddPathDelim(folder) + "vxorder-doctor-" + std::to_string(NewGuidHash()) + ".tmp";
  if (!CreateNewFile(probe, &error)) return false;
  DeleteOneFile(probe, &error);
  return true;
}

std::string WritableText(const std::string& folder, bool& writable) {
  int error = 0;
  writable = CanCreateFileIn(folder, error);
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
    report.Add("UserMode.INI", TStatus::Fail, fileName + " cannot be read: " + error.what());
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
// default template's when the template cleans down to nothing.
void AddProposedName(TDoctorReport& report, const std::string& check, TVXJSONObject& document,
                     const std::string& fileNameTemplate, const std::string& prefix) {
  const std::string own = ProposeOrderFileName(document, fileNameTemplate, Today());
  if (!own.empty()) {
    report.Add(check, TStatus::Ok, prefix + "proposed name " + Quoted(own));
    return;
  }
  report.Add(check, TStatus::Warn,
             prefix + "the template gives an empty name; the window proposes " +
                 Quoted(ProposeSaveFileName(document, fileNameTemplate, Today())) + " instead");
}

// The template text the window would use ("" with a report when it cannot
// be read).
std::string CheckTemplate(TDoctorReport& report) {
  const std::string fileName = GetTemplateFileName();
  std::string text;
  try {
    text = ReadFileNameTemplate();
  } catch (const std::exception& error) {
    report.Add("file-name template", TStatus::Fail, fileName + " cannot be read: " + error.what());
    return "";
  }
  std::string prefix = fileName + " holds " + Quoted(text) + "; for a sample order ";
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
    report.Add("temporary folder", TStatus::Fail, error.what());
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

// False when no server is listed at all.
bool CheckServiceFile(TDoctorReport& report) {
  const std::string check = "exchange-service file";
  std::string fileName;
  TStringList lines;
  try {
    fileName = GetTempFolder() + kLocalServiceFileName;
    ReadLocalServiceFile(&lines);
  } catch (const std::exception& error) {
    report.Add(check, TStatus::Fail, error.what());
    return false;
  }
  if (lines.Count() == 0 || lines.Get(0).empty()) {
    report.Add(check, TStatus::Fail,
               fileName + (FileIsPresent(fileName) ? " lists no server" : " is missing") +
                   "; no exchange server can be reached (caption " + Quoted(DatabaseCaption("")) + ")");
    return false;
  }
  std::string text;
  for (const std::string& line : lines.Lines()) text += (text.empty() ? "" : ", ") + Quoted(line);
  report.Add(check, TStatus::Ok, fileName + " lists " + text);
  return true;
}

void CheckServerChoice(TDoctorReport& report) {
  const uint32_t parent = GetParentProcessId();
  std::string reason;
  const std::string chosen = LocateExchangeServer(parent, &reason);
  const std::string start = "parent process " + std::to_string(parent) + "; ";
  if (!chosen.empty()) {
    report.Add("server choice", TStatus::Ok, start + Quoted(chosen) + " chosen: " + reason);
  } else {
    report.Add("server choice", TStatus::Ok,
               start + "none chosen (" + reason + "); calls go to " + Quoted(ReadLocalServiceFile()));
  }
}

struct TAnswer {
  std::string Text;
  TIPCResult Result;
  long long Milliseconds = 0;
};

// One read as the window makes it, with its attempts, timed.
TAnswer Ask(const std::string& command) {
  TAnswer answer;
  const auto start = std::chrono::steady_clock::now();
  answer.Text = ReadIPCValueSync(command, &answer.Result);
  answer.Milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  return answer;
}

std::string AnswerText(const TAnswer& answer) {
  return Quoted(Printable(answer.Text)) + " in " + std::to_string(answer.Milliseconds) + " ms";
}

// Adds the failure of an unanswered command; true when it was answered.
bool Answered(TDoctorReport& report, const std::string& command, const TAnswer& answer,
              const std::string& consequence) {
  if (answer.Result.AnswerReceived) return true;
  report.Add(command, TStatus::Fail,
             "no answer from " + Quoted(answer.Result.ServerName) + " after " +
                 std::to_string(answer.Milliseconds) + " ms: " + answer.Result.ErrorDesc + " (" +
                 std::to_string(answer.Result.ErrorCode) + ")" + consequence);
  return false;
}

// The "OFFICEMETRICS" answer, for the placement check.
std::string CheckReadCommands(TDoctorReport& report) {
  const TAnswer process = Ask("SERVERPROCESS");
  if (Answered(report, "SERVERPROCESS", process, "")) report.Add("SERVERPROCESS", TStatus::Ok, AnswerText(process));

  const TAnswer metrics = Ask("OFFICEMETRICS");
  if (Answered(report, "OFFICEMETRICS", metrics, "; the window centres on the screen")) {
    report.Add("OFFICEMETRICS", metrics.Text.empty() ? TStatus::Warn : TStatus::Ok,
               AnswerText(metrics) + (metrics.Text.empty() ? "; the window centres on the screen" : ""));
  }

  const TAnswer database = Ask("DBPATH");
  const std::string caption = "; caption " + Quoted(DatabaseCaption(database.Text));
  if (Answered(report, "DBPATH", database, caption)) {
    report.Add("DBPATH", database.Text.empty() ? TStatus::Warn : TStatus::Ok, AnswerText(database) + caption);
  }

  const TAnswer canPost = Ask("CANPOSTJSON");
  const std::string notInEditMode = "; sending shows " + WindowShows(kNotInEditMode);
  if (Answered(report, "CANPOSTJSON", canPost, notInEditMode)) {
    const bool editMode = TextIsTrue(canPost.Text);
    report.Add("CANPOSTJSON", editMode ? TStatus::Ok : TStatus::Warn,
               AnswerText(canPost) + (editMode ? "; the order takes positions" : notInEditMode));
  }
  return metrics.Text;
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

// The save's road up to the dialog: "GETJSON", the load, and the deletion
// of the host's file, as the window does them.
void CheckHostOrder(TDoctorReport& report, const std::string& fileNameTemplate) {
  const std::string check = "host order (GETJSON)";
  const TAnswer answer = Ask("GETJSON");
  const std::string noOrder = "; saving shows " + WindowShows(kOrderNotLoaded);
  if (!Answered(report, check, answer, noOrder)) return;
  if (answer.Text.empty()) {
    report.Add(check, TStatus::Warn, "empty answer: no order is open" + noOrder);
    return;
  }
  TVXJSONObject document;
  try {
    document.Load(answer.Text, false, true);
  } catch (const std::exception& error) {
    report.Add(check, TStatus::Fail,
               answer.Text + " does not load; saving shows " +
                   WindowShows(kOrderNotLoadedBecause + std::string(error.what())));
    return;
  }
  const bool deleted = DeleteFileRetry(answer.Text);
  const int positions = document.Parts().Count();
  AddProposedName(report, check, document, fileNameTemplate,
                  answer.Text + " loaded in " + std::to_string(answer.Milliseconds) + " ms, " +
                      std::to_string(positions) + (positions == 1 ? " position, " : " positions, ") +
                      AttachmentsText(document) + ", " +
                      (deleted ? "deleted as the window does; " : "could not be deleted; "));
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
    CheckServerChoice(report);
    metrics = CheckReadCommands(report);
    CheckHostOrder(report, fileNameTemplate);
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
