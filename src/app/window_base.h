// The base of the program's windows: a static window procedure that keeps
// the C++ object in the window's user data and forwards every message to
// HandleMessage. Exceptions never cross into the system: they are shown as
// a plain error box and the window stays usable.
#pragma once

#include <windows.h>

#include <exception>

namespace vx {

class TWindowBase {
 public:
  virtual ~TWindowBase();
  TWindowBase(const TWindowBase&) = delete;
  TWindowBase& operator=(const TWindowBase&) = delete;

  HWND Handle() const { return FHandle; }

 protected:
  TWindowBase() = default;

  // Registers the class once per process; the class name is how tests and
  // tools find the window.
  static void RegisterWindowClass(const char* className, HICON icon, HBRUSH background);
  // Creates the window for this object; false when the system refused.
  bool CreateHandle(DWORD exStyle, const char* className, const char* caption, DWORD style, const RECT& bounds,
                    HWND parent, HMENU id);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // What a message that HandleMessage leaves alone gets: the system's
  // default, except that every window shows the application's cursor
  // (the busy cursor of a running action) while there is one.
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
};

}  // namespace vx
