// The frame of the program's window "TLiveImportFrm": the window is created
// with it, and vxorder doctor places a window of its size as the window
// places itself.
#pragma once

#include <windows.h>

namespace vx {

// The client area in pixels; the window does not rescale itself for the
// screen's dots per inch.
constexpr int kMainClientWidth = 416;
constexpr int kMainClientHeight = 90;

// A fixed dialog frame with only the close box, always on top of other
// windows, with a button on the task bar.
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_APPWINDOW;

// The window's outer rectangle when its client area starts at left, top.
inline RECT MainWindowBounds(int left, int top) {
  RECT bounds{left, top, left + kMainClientWidth, top + kMainClientHeight};
  AdjustWindowRectEx(&bounds, kMainWindowStyle, FALSE, kMainWindowExStyle);
  return bounds;
}

}  // namespace vx
