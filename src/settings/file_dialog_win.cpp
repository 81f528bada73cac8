#include <windows.h>

#include <commdlg.h>
#include <float.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "settings/file_dialog.h"

namespace vx {

namespace {

// Switches the dialog's file list to its detail view.
constexpr WPARAM kDetailViewCommand = 0xA004;
// Room for many chosen files at once.
constexpr DWORD kResultBufferSize = 65536;

enum TDlgPosition { dlgpoDefault, dlgpoOwnerFormCenter, dlgpoMainFormCenter };

// Shell extensions loaded by the dialog may trip over unmasked
// floating-point exceptions: all are masked while it runs, and the caller's
// setting comes back afterwards without a pending exception.
class TFloatingPointGuard {
 public:
  TFloatingPointGuard() : FSaved(_control87(0, 0)) { _control87(_MCW_EM, _MCW_EM); }
  ~TFloatingPointGuard() {
    _clearfp();
    _control87(FSaved, _MCW_EM);
  }
  TFloatingPointGuard(const TFloatingPointGuard&) = delete;
  TFloatingPointGuard& operator=(const TFloatingPointGuard&) = delete;

 private:
  unsigned int FSaved;
};

// Brings the window to the top when the dialog is over, on every path.
class TRaiseWindowAfterwards {
 public:
  explicit TRaiseWindowAfterwards(HWND window) : FWindow(window) {}
  ~TRaiseWindowAfterwards() {
    if (FWindow) BringWindowToTop(FWindow);
  }
  TRaiseWindowAfterwards(const TRaiseWindowAfterwards&) = delete;
  TRaiseWindowAfterwards& operator=(const TRaiseWindowAfterwards&) = delete;

 private:
  HWND FWindow;
};

// The system's open or save dialog with detail view, placement on the
// owner's monitor, topmost, and its size recorded when it closes.
class TDDFileDialog {
 public:
  explicit TDDFileDialog(HWND owner) : FOwner(owner) {}
  virtual ~TDDFileDialog() = default;

  // True when the user confirmed; FileName, Files and FilterIndex then hold
  // the choice. Closed records the window's size as it closed.
  bool Execute();

  bool ShowDetails = false;
  TDlgPosition DlgPosition = dlgpoDefault;
  DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;
  std::string Filter;
  std::string DefaultExt;
  std::string InitialDir;
  std::string FileName;
  int FilterIndex = 1;
  std::vector<std::string> Files;
  TDialogOutcome Closed;

 protected:
  virtual BOOL Run(OPENFILENAMEA& parameters) = 0;

 private:
  static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  void DoShow(HWND dialog);
  void DoClose(HWND dialog);

  HWND FOwner;
};

class TDDOpenDialog : public TDDFileDialog {
 public:
  using TDDFileDialog::TDDFileDialog;

 protected:
  BOOL Run(OPENFILENAMEA& parameters) override { return GetOpenFileNameA(&parameters); }
};

class TDDSaveDialog : public TDDFileDialog {
 public:
  using TDDFileDialog::TDDFileDialog;

 protected:
  BOOL Run(OPENFILENAMEA& parameters) override { return GetSaveFileNameA(&parameters); }
};

bool TDDFileDialog::Execute() {
  const std::string filter = SystemFilterText(Filter);
  std::vector<char> buffer(kResultBufferSize, '\0');
  FileName.copy(buffer.data(), std::min<size_t>(FileName.size(), buffer.size() - 2));

  // The full structure: with FlagsEx 0 the dialog shows its places bar.
  OPENFILENAMEA parameters{};
  parameters.lStructSize = sizeof parameters;
  parameters.hwndOwner = FOwner;
  parameters.lpstrFilter = filter.c_str();
  parameters.nFilterIndex = static_cast<DWORD>(FilterIndex);
  parameters.lpstrFile = buffer.data();
  parameters.nMaxFile = static_cast<DWORD>(buffer.size());
  parameters.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  parameters.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  parameters.Flags = Options | OFN_EXPLORER | OFN_ENABLEHOOK;
  parameters.lpfnHook = &Hook;
  parameters.lCustData = reinterpret_cast<LPARAM>(this);
  if (!Run(parameters)) return false;

  // Several names come as folder and names; a single one as its full name,
  // followed by whatever remains of the proposed name in the buffer.
  const bool several = (Options & OFN_ALLOWMULTISELECT) && parameters.nFileOffset > 0 &&
                       buffer[parameters.nFileOffset - 1] == '\0';
  Files = several ? SplitDialogResult(std::string_view(buffer.data(), buffer.size()))
                  : std::vector<std::string>{std::string(buffer.data())};
  FileName = Files.empty() ? std::string() : Files.front();
  return true;
}

// Explorer-style hooks run as a child dialog of the real dialog window.
UINT_PTR CALLBACK TDDFileDialog::Hook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
    return 0;
  }
  auto* self = reinterpret_cast<TDDFileDialog*>(GetWindowLongPtrA(child, GWLP_USERDATA));
  if (!self) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
  if (message == WM_NOTIFY && notify->hdr.code == CDN_INITDONE) {
    self->DoShow(GetParent(child));
  } else if (message == WM_NOTIFY && notify->hdr.code == CDN_TYPECHANGE) {
    // The filter the user chose last is the one remembered.
    self->FilterIndex = static_cast<int>(notify->lpOFN->nFilterIndex);
  } else if (message == WM_DESTROY) {
    // The dialog window itself still exists while its children go.
    self->DoClose(GetParent(child));
  }
  return 0;
}

void TDDFileDialog::DoShow(HWND dialog) {
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (ShowDetails) SendMessageA(dialog, WM_COMMAND, kDetailViewCommand, 0);
  if (DlgPosition == dlgpoDefault) return;
  const HWND anchor = DlgPosition == dlgpoOwnerFormCenter ? FOwner : GetAncestor(FOwner, GA_ROOTOWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT window;
  if (!GetMonitorInfoA(MonitorFromWindow(anchor, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
      !GetWindowRect(dialog, &window)) {
    return;
  }
  const RECT& area = monitor.rcMonitor;
  int left = 0;
  int top = 0;
  PlaceOnMonitor({area.left, area.top, area.right, area.bottom}, window.right - window.left,
                 window.bottom - window.top, &left, &top);
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The size is written with the rest of the outcome once the dialog is over,
// so that the settings file is saved once per dialog.
void TDDFileDialog::DoClose(HWND dialog) {
  RECT window;
  if (!GetWindowRect(dialog, &window)) return;
  Closed.SizeKnown = true;
  Closed.Width = window.right - window.left;
  Closed.Height = window.bottom - window.top;
}

}  // namespace

std::string ExecuteFileDialog(const std::string& dialogKey, const std::string& folderKey, const std::string& filter,
                              std::string& fileName, const std::string& proposedFileName, TStringList* files,
                              void* raiseWindow, bool save, const std::string& defaultFolder,
                              const std::string& defaultExt, void* mainWindow) {
  // Declared first so that they act last: the dialog is gone before the
  // window is raised and the floating-point setting comes back.
  TFloatingPointGuard floatingPoint;
  TRaiseWindowAfterwards raise(static_cast<HWND>(raiseWindow));

  // Without an owner the dialog would open on the primary monitor and
  // leave the program's window clickable beneath it.
  HWND owner = GetActiveWindow();
  if (!owner) owner = static_cast<HWND>(mainWindow);
  std::unique_ptr<TDDFileDialog> dialog;
  if (save) {
    dialog = std::make_unique<TDDSaveDialog>(owner);
  } else {
    dialog = std::make_unique<TDDOpenDialog>(owner);
  }
  dialog->ShowDetails = true;
  dialog->DlgPosition = dlgpoOwnerFormCenter;
  dialog->Options |= OFN_OVERWRITEPROMPT;
  if (!save) dialog->Options |= OFN_NODEREFERENCELINKS;
  if (files) {
    dialog->Options |= OFN_ALLOWMULTISELECT;
    files->Clear();
  }
  dialog->Filter = filter;
  dialog->DefaultExt = defaultExt;
  dialog->InitialDir = InitialDialogFolder(folderKey, defaultFolder, save);
  dialog->FileName = proposedFileName;
  dialog->FilterIndex = InitialFilterIndex(dialogKey, filter);

  std::string result;
  TDialogOutcome& outcome = dialog->Closed;
  outcome.Confirmed = dialog->Execute();
  if (outcome.Confirmed) {
    result = dialog->FileName;
    if (files) {
      for (const std::string& name : dialog->Files) files->Add(name);
    }
    outcome.FilterIndex = dialog->FilterIndex;
    outcome.FileName = result;
  }
  RememberDialogOutcome(dialogKey, folderKey, outcome);
  fileName = result;
  return result;
}

}  // namespace vx
