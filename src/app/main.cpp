// VXJSONObject: the window beside the host that saves, sends and copies the
// host's open order. No command line.
#include <windows.h>

#include "actions/window_messages.h"
#include "app/application.h"
#include "app/busy_cursor.h"
#include "app/live_import_frm.h"
#include "support/handles_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything else: the window may wait for the host at start-up.
  vx::DisableWindowGhosting();
  vx::SetApplicationTitle(vx::kApplicationTitle);
  // The drop target and the shell calls need OLE on this thread for the
  // whole run.
  vx::TOleInit ole;
  try {
    vx::TLiveImportFrm form;
    form.Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (IsWindow(form.Handle()) && IsDialogMessageA(form.Handle(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    vx::ShowException(std::current_exception());
  }
  vx::FreeBusyCursor();
  return 0;
}
