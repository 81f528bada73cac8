// The monitors as Windows lists them, for the program's windows and for
// vxorder doctor, which must see the screen as the window does.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/window_placement.h"

namespace vx {

TPixelRect PixelRect(const RECT& r);

// The monitors in the system's order.
std::vector<TMonitorArea> ScreenMonitors();

// The work area of the monitor nearest to the window's centre.
TPixelRect NearestWorkArea(const TPixelRect& window);

}  // namespace vx
