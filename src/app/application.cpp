#include "app/application.h"

#include "actions/window_messages.h"
#include "support/errors.h"

namespace vx {

namespace {

std::string& Title() {
  static std::string title;
  return title;
}

HWND gMainWindow = nullptr;

}  // namespace

const std::string& ApplicationTitle() { return Title(); }
void SetApplicationTitle(const std::string& title) { Title() = title; }

HWND MainWindow() { return gMainWindow; }
void SetMainWindow(HWND window) { gMainWindow = window; }

void ShowException(const std::exception_ptr& error) {
  std::string text = kUnknownError;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
  }
  // With no active window of the program (an error of a drop made while
  // another program is in front), an ownerless box would sit behind the
  // always-on-top main window, which would stay clickable.
  HWND owner = GetActiveWindow();
  if (!owner) owner = MainWindow();
  MessageBoxA(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONERROR);
}

void DisableWindowGhosting() {
  using TDisableGhosting = void(WINAPI*)();
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  auto disable = reinterpret_cast<TDisableGhosting>(
      reinterpret_cast<void*>(GetProcAddress(user32, "DisableProcessWindowsGhosting")));
  if (disable) disable();
}

}  // namespace vx
