// window-driver: finds a top-level window by its class and waits for it,
// clicks one of its buttons or closes it, for scripts that run the program
// without a user (the demo on a server).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kUsage[] =
    "usage: window-driver wait CLASS [SECONDS]  wait until a window of CLASS is visible (default 60 s)\n"
    "       window-driver click CLASS TEXT      click the button captioned TEXT in that window\n"
    "       window-driver close CLASS           ask that window to close\n"
    "Exit 0 when done, 1 when there is no such window or button, 2 for a wrong command line.\n";

HWND VisibleWindow(const std::string& className) {
  HWND window = FindWindowA(className.c_str(), nullptr);
  return window && IsWindowVisible(window) ? window : nullptr;
}

// Lets the window's thread handle everything sent and posted to it so far.
void Settle(HWND window) {
  for (int i = 0; i < 3; ++i) SendMessageA(window, WM_NULL, 0, 0);
}

int Wait(const std::string& className, int seconds) {
  for (int waited = 0; waited < seconds * 10; ++waited) {
    if (HWND window = VisibleWindow(className)) {
      Settle(window);
      return 0;
    }
    Sleep(100);
  }
  std::fprintf(stderr, "window-driver: no window of class %s\n", className.c_str());
  return 1;
}

int Click(const std::string& className, const std::string& text) {
  HWND window = VisibleWindow(className);
  HWND button = window ? FindWindowExA(window, nullptr, "BUTTON", text.c_str()) : nullptr;
  if (!button) {
    std::fprintf(stderr, "window-driver: no button \"%s\" in a window of class %s\n", text.c_str(),
                 className.c_str());
    return 1;
  }
  // Posted: a click that opens a modal box must not hold this program.
  PostMessageA(button, BM_CLICK, 0, 0);
  return 0;
}

int Close(const std::string& className) {
  HWND window = FindWindowA(className.c_str(), nullptr);
  if (!window) {
    std::fprintf(stderr, "window-driver: no window of class %s\n", className.c_str());
    return 1;
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "wait" && (argc == 3 || argc == 4)) return Wait(argv[2], argc == 4 ? std::atoi(argv[3]) : 60);
  if (command == "click" && argc == 4) return Click(argv[2], argv[3]);
  if (command == "close" && argc == 3) return Close(argv[2]);
  std::fputs(kUsage, stderr);
  return 2;
}
