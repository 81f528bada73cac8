// The program's one window: two action buttons, a link line, the caption
// with the host's database, placed inside the top-right corner of the host
// window and always on top. Window class "TLiveImportFrm".
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/order_actions.h"
#include "app/drop_file_target.h"
#include "app/html_label.h"
#include "app/win_user_interface.h"
#include "app/window_base.h"
#include "support/handles_win.h"
#include "support/string_list.h"
#include "ui/wave.h"

namespace vx {

class TLiveImportFrm : public TWindowBase {
 public:
  static constexpr const char* kClassName = "TLiveImportFrm";

  // Creates the window hidden and runs the start-up steps. Raises the
  // general error when the window cannot be created.
  TLiveImportFrm();
  // Destroys the window first, so that FormDestroy runs on every path.
  ~TLiveImportFrm() override;

  // Shows the window and brings it to the front.
  void Show();

  // Sets the caption from the host's "DBPATH": at start-up and at the start
  // of every user action, so the caption also tells whether the host is
  // reachable.
  void UpdateCaption();

  // Places the window relative to the host window by an "OFFICEMETRICS"
  // answer and a corner mode (see PlaceNearHost), then keeps it on its
  // monitor.
  void PlaceNearHostWindow(const std::string& answer, int mode);
  void KeepOnMonitor();

  // Sends the order files, in order, to the host's open order: the files
  // chosen in the open dialog and the files dropped on the window.
  void PostOrderFiles(const std::vector<std::string>& fileNames);

 private:
  struct TPanel {
    uint32_t Color = RGB(255, 255, 255);
    std::string FontName = "Tahoma";
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateComponents();
  HWND CreateButton(const char* caption, int id, int left);
  void UsePanelFont();

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void ButtonReadClick();
  void ButtonWriteClick();
  void ClickFocusedButton();
  void HTMLabel1AnchorClick(const std::string& target);
  bool CopyPositionsToClipboard();
  // What the actions work on: this window's document, files and seam.
  TOrderActionContext ActionContext();
  // Runs an action. A close request that reaches the window meanwhile
  // (through the loops of the message box or a dialog) waits until the
  // action is done, since it works on the window's document and files.
  void RunAction(const std::function<void()>& action);

  // The window's parts keep the names the host's developers know them by;
  // "read" and "write" are seen from the host's side.
  TPanel Panel1;  // the white area behind the buttons
  TWave Wave1;    // the confirmation sound after a send or a copy
  // The link line below the buttons: "Nur Inhalt Kopieren", "Vorlage Dateiname".
  std::unique_ptr<THtmlLabel> HTMLabel1;
  // Order files dropped on the window are sent; registered on the whole
  // window while it is shown.
  TComRef<TDropFileTarget> DropFileTarget1;
  HWND ButtonWrite = nullptr;  // sends order files into the host's order
  HWND ButtonRead = nullptr;   // saves the host's order to a file
  TGdiObject<HFONT> FFont;
  std::unique_ptr<TWinUserInterface> FUserInterface;
  TOrderDocumentPtr FOrderDocument;
  // Full paths of temporary files written while sending; all are deleted
  // when the window goes.
  TStringList FTempFiles;
  int FRunningActions = 0;
  bool FCloseRequested = false;
  int FMonitor = -1;  // the monitor remembered by the placement; -1: none
  HWND FFocusedControl = nullptr;  // where the focus was when the window was last deactivated
};

}  // namespace vx
