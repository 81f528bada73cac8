// Placing the program's dialog-framed windows on screen and in front.
#pragma once

#include <windows.h>

#include "ui/window_placement.h"

namespace vx {

// The window's outer rectangle.
TPixelRect WindowBounds(HWND window);

// Keeps the window inside the work area of its monitor: the remembered
// monitor when its index is still valid, else the monitor of the active
// window, of the main window, the primary one or the first. A centred
// window is centred in that work area; any other is moved from the monitor
// nearest to its centre and clamped. A window without border is left alone.
void KeepOnMonitor(HWND window, int rememberedMonitor, bool centred);

// Puts the window in front even when another program has the focus, by
// attaching to the input of the foreground window's thread for a moment.
void BringToForeground(HWND window);

// The screen's vertical dots per inch as a percentage of 96, read once.
int DisplayScalePercent();

}  // namespace vx
