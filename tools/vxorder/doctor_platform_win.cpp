#include <windows.h>

#include <vector>

#include "doctor.h"
#include "ui/main_window_frame_win.h"
#include "ui/screen_win.h"
#include "ui/user_interface.h"
#include "ui/window_placement.h"

namespace vx::vxorder {

namespace {

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
  const std::vector<TMonitorArea> monitors = ScreenMonitors();
  if (monitors.empty()) {
    report.Add("work area", TCheckStatus::Warn, "no monitor found");
    return;
  }
  const RECT outer = MainWindowBounds(0, 0);
  const TPixelRect window{0, 0, outer.right - outer.left, outer.bottom - outer.top};
  const TPlacement placed = PlaceNearHost(officeMetrics, 2, window, GetSystemMetrics(SM_CXSCREEN),
                                          GetSystemMetrics(SM_CYSCREEN), monitors);
  const int chosen = placed.Monitor >= 0 ? placed.Monitor : PrimaryMonitor(monitors);
  const TPixelRect& work = monitors[static_cast<size_t>(chosen)].WorkArea;
  const TPixelRect kept = KeepInsideWorkArea(placed.Window, work, NearestWorkArea(placed.Window));
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
