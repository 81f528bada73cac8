// What the program's windows share: the application title, the main
// window, and the default report of an error that escaped a handler.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace vx {

// "Positionen laden oder speichern" once the program has set it; the
// caption of message boxes shown without one.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// The one main window, or null before it exists.
HWND MainWindow();
void SetMainWindow(HWND window);

// A plain error box with the error's text and the application title, owned
// by the active window, else by the main window.
void ShowException(const std::exception_ptr& error);

// Switches window ghosting off when the system offers it, so that the
// window is not replaced by a ghost while it waits for the host.
void DisableWindowGhosting();

}  // namespace vx
