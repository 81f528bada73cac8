// What the order actions need from the user, behind one narrow interface:
// the message box and its yes/no question, the file dialogs, the
// clipboard, the confirmation sound, the busy cursor and the report of an
// error that ended an action. The window implements it with Win32; tests
// and the command-line tool use their own implementations, so the actions
// run without a window.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace vx {

// The clipboard format in which the host's position grid pastes lines.
constexpr char kDataGridClipboardFormat[] = "CF_DATAGRIDDATA";

// The arguments of one open or save dialog. Filters are description and
// pattern pairs separated by "|", as in "JSON File|*.json". The dialog key
// names the remembered filter index (and window size) in the settings; the
// folder key, when set, the remembered folder.
struct TFileDialogRequest {
  bool Save = false;
  std::string DialogKey;
  std::string FolderKey;
  std::string Filter;
  std::string ProposedFileName;
  bool MultiSelect = false;
  std::string DefaultFolder;
  std::string DefaultExt;
};

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;

  // Shows the HTML message with the application title as caption and
  // returns when the user closed it.
  virtual void ShowHtmlMessage(const std::string& message) = 0;

  // Asks the HTML question with the answers Yes and No; true only when
  // the user answered Yes (closing the question counts as No).
  virtual bool ShowHtmlQuestion(const std::string& question) = 0;

  // Runs the dialog. The chosen full names in the dialog's order (one for a
  // single selection), or none when the user cancelled.
  virtual std::vector<std::string> ExecuteFileDialog(const TFileDialogRequest& request) = 0;

  // Replaces the clipboard's content by block under the format registered
  // with that name. Raises vx::Exception when the memory for the block
  // cannot be had, the clipboard cannot be opened or does not take the
  // block; the clipboard is then unchanged or empty.
  virtual void PutOnClipboard(const std::string& formatName, const std::string& block) = 0;

  // Starts the confirmation sound and returns at once.
  virtual void PlayWave() = 0;

  // The busy cursor while an action runs; End restores the normal one.
  virtual void BeginBusyCursor() = 0;
  virtual void EndBusyCursor() = 0;

  // Reports an error that ended an action as a plain error box with the
  // error's text would; the program goes on.
  virtual void ShowException(const std::exception_ptr& error) = 0;
};

// Holds the busy cursor for a scope, so that it goes also when an action
// raises.
class TBusyCursorScope {
 public:
  explicit TBusyCursorScope(TUserInterface& ui) : FUI(ui) { FUI.BeginBusyCursor(); }
  ~TBusyCursorScope() { FUI.EndBusyCursor(); }
  TBusyCursorScope(const TBusyCursorScope&) = delete;
  TBusyCursorScope& operator=(const TBusyCursorScope&) = delete;

 private:
  TUserInterface& FUI;
};

}  // namespace vx
