#include <windows.h>

#include <vector>

#include "doctor.h"
#include "ui/user_interface.h"
#include "ui/window_placement.h"

namespace vx::vxorder {

namespace {

// The window's client size and styles, for its outer size.
constexpr int kWindowClientWidth = 416;
constexpr int kWindowClientHeight = 90;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_APPWINDOW;

TPixelRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<TMonitorArea>*>(data)->push_back(
        {FromRect(info.rcMonitor), FromRect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

std::string RectText(const TPixelRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width()) + "x" +
         std::to_string(r.Height());
}

void CheckClipboardFormat(TDoctorReport& report) {
  const UINT format = RegisterClipboardFormatA(kDataGridClipboardFormat);
  if (format == 0) {
    report.Add("clipboard format", TCheckStatus::Fail,
               std::string(kDataGridClipboardFormat) + " does not register (error " + std::to_string(GetLastError()) +
                   ")");
    return;
  }
  report.Add("clipboard format", TCheckStatus::Ok,
             std::string(kDataGridClipboardFormat) + " registers as " + std::to_string(format));
}

// Where the window would go for the metrics, and whether keeping it on its
// monitor moves it: then the host's window lies (partly) off the work area.
void CheckPlacement(TDoctorReport& report, const std::string& officeMetrics) {
  std::vector<TMonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    report.Add("work area", TCheckStatus::Warn, "no monitor found");
    return;
  }
  RECT outer{0, 0, kWindowClientWidth, kWindowClientHeight};
  AdjustWindowRectEx(&outer, kWindowStyle, FALSE, kWindowExStyle);
  const TPixelRect window{0, 0, outer.right - outer.left, outer.bottom - outer.top};
  const TPlacement placed = PlaceNearHost(officeMetrics, 2, window, GetSystemMetrics(SM_CXSCREEN),
                                          GetSystemMetrics(SM_CYSCREEN), monitors);
  int chosen = placed.Monitor;
  for (size_t i = 0; chosen < 0 && i < monitors.size(); ++i) {
    if (monitors[i].Primary) chosen = static_cast<int>(i);
  }
  if (chosen < 0) chosen = 0;
  const TPixelRect& work = monitors[static_cast<size_t>(chosen)].WorkArea;
  const POINT centre{placed.Window.Left + placed.Window.Width() / 2, placed.Window.Top + placed.Window.Height() / 2};
  MONITORINFO nearest{};
  nearest.cbSize = sizeof(nearest);
  GetMonitorInfoA(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &nearest);
  const TPixelRect kept = KeepInsideWorkArea(placed.Window, work, FromRect(nearest.rcWork));
  const std::string found = "work area " + RectText(work) + ", window " + RectText(placed.Window);
  if (kept == placed.Window) {
    report.Add("work area", TCheckStatus::Ok, found + " fits");
  } else {
    report.Add("work area", TCheckStatus::Warn, found + " is moved to " + RectText(kept) + " to stay on screen");
  }
}

}  // namespace

void AddPlatformChecks(TDoctorReport& report, const std::string& officeMetrics) {
  CheckClipboardFormat(report);
  CheckPlacement(report, officeMetrics);
}

}  // namespace vx::vxorder
