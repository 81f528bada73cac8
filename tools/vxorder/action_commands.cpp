// The action commands of vxorder: the window's save and send against the
// host, with the command line in place of the dialogs and standard error in
// place of the message box; what was saved or sent goes to standard output.
#include <cstdio>
#include <exception>
#include <string>

#include "actions/order_actions.h"
#include "actions/window_messages.h"
#include "binary_output.h"
#include "command_support.h"
#include "commands.h"
#include "support/console_output.h"
#include "support/errors.h"
#include "support/folders.h"
#include "support/string_list.h"
#include "support/text_utils.h"
#include "ui/html_message.h"
#include "ui/html_text.h"
#include "ui/user_interface.h"

namespace vx::vxorder {
namespace {

std::string LinkTarget(const std::string& link) {
  const TLinkAction action = MessageLinkAction(link);
  return action.Kind == TLinkKind::None ? link : action.Target;
}

// A message as plain lines, as the box would show it: tags gone, breaks as
// new lines, and a link followed by where it leads, since a script cannot
// click it. Control bytes left in a line (a file name may hold them) are
// escaped.
std::string PlainText(const std::string& html) {
  const std::vector<THtmlRun> runs = ParseHtml(MessageToHtml(html, kMaxMessageLines));
  std::string line;
  std::string text;
  for (size_t i = 0; i < runs.size(); ++i) {
    const THtmlRun& run = runs[i];
    if (run.LineBreak) {
      text += EscapeControlBytes(line) + '\n';
      line.clear();
      continue;
    }
    line += run.Text;
    const bool linkEnds = !run.Link.empty() && (i + 1 == runs.size() || runs[i + 1].Link != run.Link);
    if (linkEnds) line += " (" + LinkTarget(run.Link) + ")";
  }
  return text + EscapeControlBytes(line);
}

bool EndsInDelimiter(const std::string& path) { return RemoveBackslash(path) != path; }

// A PATH ending in a delimiter names a folder, there or not.
bool NamesFolder(const std::string& path) { return EndsInDelimiter(path) || FolderIsPresent(path); }

// The actions' seam for a console: messages on standard error, the save
// dialog answered by the command line's path, and no one to say yes.
class TConsoleUserInterface : public TUserInterface {
 public:
  explicit TConsoleUserInterface(const std::string& savePath = "") : FSavePath(savePath) {}

  void ShowHtmlMessage(const std::string& message) override { WriteLine(stderr, PlainText(message)); }

  // Nobody can answer here, so nothing is replaced that was not named in
  // full on the command line.
  bool ShowHtmlQuestion(const std::string& question) override {
    WriteLine(stderr, PlainText(question));
    WriteLine(stderr, "vxorder: no - nothing replaced; name the file in full, ending in .json, to replace it");
    return false;
  }

  // A folder takes the proposed name as the dialog proposes it; the save
  // appends ".json" when it lacks it. Anything else is the file itself.
  std::vector<std::string> ExecuteFileDialog(const TFileDialogRequest& request) override {
    if (!request.Save || FSavePath.empty()) return {};
    if (!NamesFolder(FSavePath)) return {FSavePath};
    const std::string target = AddPathDelim(RemoveBackslash(FSavePath)) + request.ProposedFileName;
    // Where the dialog would ask before it replaces a file, the answer is no.
    if (FileIsPresent(target) && !ShowHtmlQuestion(ReplaceFileQuestion(target))) return {};
    return {target};
  }

  void PutOnClipboard(const std::string&, const std::string&) override {
    throw Exception("no clipboard in vxorder");
  }
  void PlayWave() override {}
  void BeginBusyCursor() override {}
  void EndBusyCursor() override {}

  void ShowException(const std::exception_ptr& error) override {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      Fail(e.what());
    } catch (...) {
      Fail("unknown error");
    }
  }

 private:
  std::string FSavePath;
};

// The actions raise what the window's framework would report; here it goes
// to standard error.
template <typename TAction>
int RunAction(TConsoleUserInterface& ui, const TAction& action) {
  try {
    return action() ? 0 : 1;
  } catch (...) {
    ui.ShowException(std::current_exception());
    return 1;
  }
}

// The folders of path that are not there yet, the deepest first.
std::vector<std::string> MissingFolders(const std::string& path) {
  std::vector<std::string> missing;
  std::string folder = RemoveBackslash(path);
  while (!folder.empty() && !FolderIsPresent(folder) && !FileIsPresent(folder)) {
    missing.push_back(folder);
    const std::string parent = RemoveBackslash(ExtractFilePath(folder));
    if (parent == folder) break;  // a drive ("X:") that is not there
    folder = parent;
  }
  return missing;
}

int Save(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1 || args[0].empty()) return WrongArguments("save", "PATH");
  const std::string& path = args[0];
  if (EndsInDelimiter(path) && FileIsPresent(RemoveBackslash(path))) {
    return Fail("vxorder: " + path + " names a folder, but a file of that name is there");
  }
  TConsoleUserInterface ui(path);
  const TOrderDocumentPtr document = NewOrderDocument();
  TStringList tempFiles;
  const TOrderActionContext context{ui, document.get(), tempFiles, nullptr};
  // The write creates the folder PATH names, or the file's folder, when
  // missing; a save that fails takes away those it made, empty as they are.
  const std::vector<std::string> created = MissingFolders(NamesFolder(path) ? path : ExtractFilePath(path));
  std::string saved;
  const int code = RunAction(ui, [&context, &saved] {
    StartExchangeTraceOfWindow();
    return ButtonReadClick(context, &saved);
  });
  if (code == 0) return WriteTextLine(stdout, saved) ? 0 : 1;
  for (const std::string& folder : created) RemoveEmptyFolder(folder);
  return code;
}

std::string SendReason(const TSendReport& report) {
  switch (report.Result) {
    case TSendResult::Delivered:
      return "";
    case TSendResult::Refused:
      return "refused by the host";
    case TSendResult::Unreadable:
      return report.Reason.empty() ? "unreadable" : "unreadable: " + report.Reason;
    case TSendResult::NotJson:
      return "not a .json file";
    case TSendResult::Missing:
      return "missing";
    case TSendResult::Folder:
      return "a folder";
    case TSendResult::NotInEditMode:
      return "the order in VX is not in edit mode";
  }
  return "";
}

// The extracted attachment files stay: the host reads them after the send
// and deletes them itself. A script learns from the exit code whether
// every file reached the host; standard error names each one that did not
// and why, and the last line on standard output says how many did.
int Send(const TArgs& args) {
  SetBinaryOutput();
  if (args.empty()) return WrongArguments("send", "FILE...");
  TConsoleUserInterface ui;
  const TOrderDocumentPtr document = NewOrderDocument();
  TStringList tempFiles;
  const TOrderActionContext context{ui, document.get(), tempFiles, nullptr};
  std::vector<TSendReport> reports;
  const int code = RunAction(ui, [&] {
    StartExchangeTraceOfWindow();
    return PostOrderFiles(context, args, &reports);
  });
  size_t delivered = 0;
  for (const TSendReport& report : reports) {
    if (report.Result == TSendResult::Delivered) {
      ++delivered;
    } else {
      WriteTextLine(stderr, "skipped " + report.FileName + ": " + SendReason(report));
    }
  }
  WriteLine(stdout, "sent " + std::to_string(delivered) + " of " + std::to_string(args.size()) + " files");
  return code == 0 && delivered == args.size() ? 0 : 1;
}

}  // namespace

const std::vector<TCommand>& ActionCommands() {
  static const std::vector<TCommand> commands = {
      {"save", "PATH", "save the host's open order as PATH (a folder, or PATH ending in /: the proposed name)", &Save},
      {"send", "FILE...", "send order files to the host's open order; names each file not sent and why", &Send},
  };
  return commands;
}

}  // namespace vx::vxorder
