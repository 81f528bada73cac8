#include "ui/screen_win.h"

namespace vx {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<TMonitorArea>*>(data)->push_back(
        {PixelRect(info.rcMonitor), PixelRect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

TPixelRect PixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

std::vector<TMonitorArea> ScreenMonitors() {
  std::vector<TMonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

TPixelRect NearestWorkArea(const TPixelRect& window) {
  const POINT centre{window.Left + window.Width() / 2, window.Top + window.Height() / 2};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &info);
  return PixelRect(info.rcWork);
}

}  // namespace vx
