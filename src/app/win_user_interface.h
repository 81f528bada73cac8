// The user-interface seam of the actions on Windows: the program's message
// box (also for its yes/no question) and file dialogs, the system
// clipboard, the window's sound and the busy cursor.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ui/user_interface.h"
#include "ui/wave.h"

namespace vx {

class TWinUserInterface : public TUserInterface {
 public:
  // The clipboard is opened for owner, and owner owns the file dialogs
  // when none of the program's windows is active; wave is the sound
  // PlayWave plays. Both must outlive this object. Registers
  // "CF_DATAGRIDDATA" at once, so its number stays the same for the whole
  // run.
  TWinUserInterface(HWND owner, const TWave& wave);

  void ShowHtmlMessage(const std::string& message) override;
  bool ShowHtmlQuestion(const std::string& question) override;
  std::vector<std::string> ExecuteFileDialog(const TFileDialogRequest& request) override;
  void PutOnClipboard(const std::string& formatName, const std::string& block) override;
  void PlayWave() override;
  void BeginBusyCursor() override;
  void EndBusyCursor() override;
  void ShowException(const std::exception_ptr& error) override;

 private:
  // A format first used later is registered then.
  UINT ClipboardFormat(const std::string& name);

  HWND FOwner;
  const TWave& FWave;
  std::map<std::string, UINT> FClipboardFormats;
};

}  // namespace vx
