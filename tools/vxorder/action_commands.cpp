// The action commands of vxorder: the window's save and send against the
// host, with the command line in place of the dialogs and standard output
// in place of the message box.
#include <cstdio>
#include <exception>
#include <string>

#include "actions/order_actions.h"
#include "binary_output.h"
#include "command_support.h"
#include "commands.h"
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

// A message as plain text: tags gone, breaks as new lines, and a link
// followed by where it leads, since a script cannot click it.
std::string PlainText(const std::string& html) {
  const std::vector<THtmlRun> runs = ParseHtml(html);
  std::string text;
  for (size_t i = 0; i < runs.size(); ++i) {
    const THtmlRun& run = runs[i];
    if (run.LineBreak) {
      text += '\n';
      continue;
    }
    text += run.Text;
    const bool linkEnds = !run.Link.empty() && (i + 1 == runs.size() || runs[i + 1].Link != run.Link);
    if (linkEnds) text += " (" + LinkTarget(run.Link) + ")";
  }
  return text;
}

// The actions' seam for a console: messages on standard output, the save
// dialog answered by the command line's path.
class TConsoleUserInterface : public TUserInterface {
 public:
  explicit TConsoleUserInterface(const std::string& savePath = "") : FSavePath(savePath) {}

  void ShowHtmlMessage(const std::string& message) override { WriteLine(stdout, PlainText(message)); }

  // A folder takes the proposed name with the extension the dialog would
  // add, unless the name already ends in it; anything else is the file
  // itself.
  std::vector<std::string> ExecuteFileDialog(const TFileDialogRequest& request) override {
    if (!request.Save || FSavePath.empty()) return {};
    if (!FolderIsPresent(FSavePath)) return {FSavePath};
    const std::string extension = "." + request.DefaultExt;
    std::string name = request.ProposedFileName;
    if (!AnsiSameText(ExtractFileExt(name), extension)) name += extension;
    return {AddPathDelim(FSavePath) + name};
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
      WriteLine(stderr, e.what());
    } catch (...) {
      WriteLine(stderr, "unknown error");
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

int Save(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1 || args[0].empty()) return WrongArguments("save", "PATH");
  TConsoleUserInterface ui(args[0]);
  const TOrderDocumentPtr document = NewOrderDocument();
  TStringList tempFiles;
  const TOrderActionContext context{ui, document.get(), tempFiles, nullptr};
  return RunAction(ui, [&context] {
    StartExchangeTraceOfWindow();
    return ButtonReadClick(context);
  });
}

// The extracted attachment files stay: the host reads them after the send
// and deletes them itself. A script learns from the exit code whether
// every file reached the host; the last line says how many did.
int Send(const TArgs& args) {
  SetBinaryOutput();
  if (args.empty()) return WrongArguments("send", "FILE...");
  TConsoleUserInterface ui;
  const TOrderDocumentPtr document = NewOrderDocument();
  TStringList tempFiles;
  const TOrderActionContext context{ui, document.get(), tempFiles, nullptr};
  int delivered = 0;
  const int code = RunAction(ui, [&] {
    StartExchangeTraceOfWindow();
    return PostOrderFiles(context, args, &delivered);
  });
  WriteLine(stdout, "sent " + std::to_string(delivered) + " of " + std::to_string(args.size()) + " files");
  return code == 0 && delivered == static_cast<int>(args.size()) ? 0 : 1;
}

}  // namespace

const std::vector<TCommand>& ActionCommands() {
  static const std::vector<TCommand> commands = {
      {"save", "PATH", "save the host's open order to PATH (a folder: the proposed name)", &Save},
      {"send", "FILE...", "send order files to the host's open order", &Send},
  };
  return commands;
}

}  // namespace vx::vxorder
