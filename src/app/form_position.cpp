#include "app/form_position.h"

#include <vector>

#include "app/application.h"
#include "support/handles_win.h"
#include "ui/screen_win.h"

namespace vx {

namespace {

int IndexOfMonitorOf(HWND window, const std::vector<TMonitorArea>& monitors) {
  if (!window) return -1;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
  if (!monitor || !GetMonitorInfoA(monitor, &info)) return -1;
  for (size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].Bounds == PixelRect(info.rcMonitor)) return static_cast<int>(i);
  }
  return -1;
}

int ChosenMonitor(int remembered, const std::vector<TMonitorArea>& monitors) {
  const int count = static_cast<int>(monitors.size());
  if (remembered >= 0 && remembered < count) return remembered;
  for (HWND candidate : {GetActiveWindow(), MainWindow()}) {
    const int index = IndexOfMonitorOf(candidate, monitors);
    if (index >= 0) return index;
  }
  return PrimaryMonitor(monitors);
}

// Stops the window from painting while it moves; repaints it afterwards.
class TRedrawSuspension {
 public:
  explicit TRedrawSuspension(HWND window) : FWindow(IsWindowVisible(window) ? window : nullptr) {
    if (FWindow) SendMessageA(FWindow, WM_SETREDRAW, FALSE, 0);
  }
  ~TRedrawSuspension() {
    if (!FWindow) return;
    SendMessageA(FWindow, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(FWindow, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
  }
  TRedrawSuspension(const TRedrawSuspension&) = delete;
  TRedrawSuspension& operator=(const TRedrawSuspension&) = delete;

 private:
  HWND FWindow;
};

void MoveWindowTo(HWND window, const TPixelRect& bounds) {
  SetWindowPos(window, nullptr, bounds.Left, bounds.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TPixelRect WindowBounds(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return PixelRect(r);
}

void KeepOnMonitor(HWND window, int rememberedMonitor, bool centred) {
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  if ((style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) == 0) return;
  const std::vector<TMonitorArea> monitors = ScreenMonitors();
  if (monitors.empty()) return;
  const TPixelRect& work = monitors[ChosenMonitor(rememberedMonitor, monitors)].WorkArea;
  const TPixelRect bounds = WindowBounds(window);
  if (centred) {
    MoveWindowTo(window, CentreInArea(work, bounds));
    return;
  }
  TRedrawSuspension suspension(window);
  MoveWindowTo(window, KeepInsideWorkArea(bounds, work, NearestWorkArea(bounds)));
}

void BringToForeground(HWND window) {
  const DWORD ownThread = GetCurrentThreadId();
  HWND foreground = GetForegroundWindow();
  const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool attach = foregroundThread != 0 && foregroundThread != ownThread;
  if (attach) AttachThreadInput(ownThread, foregroundThread, TRUE);
  SetForegroundWindow(window);
  if (attach) AttachThreadInput(ownThread, foregroundThread, FALSE);
}

int DisplayScalePercent() {
  static const int percent = [] {
    TScreenDc screen;
    return ScalePercentForDpi(GetDeviceCaps(screen.Get(), LOGPIXELSY));
  }();
  return percent;
}

}  // namespace vx
