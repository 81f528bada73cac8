// window-driver: works the program's windows for scripts that run it
// without a user (the demo on a server): waits for a window, clicks its
// buttons and links, answers its file dialogs, reads its messages and the
// clipboard, and closes it. Every wait has a limit.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "window_driving.h"

namespace {

using vx::driving::FileNameEdit;
using vx::driving::OpenDialogFolder;
using vx::driving::ProcessWindow;
using vx::driving::Settle;
using vx::driving::TClipboardReader;
using vx::driving::TextOf;
using vx::driving::VisibleWindow;
using vx::driving::WaitFor;
using vx::driving::WaitUntilGone;

const char kUsage[] =
    "usage: window-driver COMMAND ARGS...\n"
    "  wait CLASS [SECONDS]            wait until a window of CLASS is visible\n"
    "  click CLASS TEXT                click the button captioned TEXT in that window\n"
    "  link CLASS TEXT                 click the link TEXT in that window's link line\n"
    "  text CLASS                      print the text of that window's labels (a\n"
    "                                  message box: its message), links as plain text\n"
    "  dialog-name CLASS NAME [SECONDS]\n"
    "                                  type NAME into the file dialog of that window's\n"
    "                                  program, after opening its folder; a NAME that\n"
    "                                  ends in \\ takes the proposed name; prints it\n"
    "  dialog-ok CLASS [SECONDS]       confirm that file dialog and wait for it to go\n"
    "  clipboard-clear                 empty the clipboard\n"
    "  clipboard FORMAT OUT [SECONDS]  wait for the registered clipboard FORMAT and\n"
    "                                  write its block to the file OUT\n"
    "  close CLASS                     ask that window to close\n"
    "SECONDS is how long to wait at most (default 30). Windows paths throughout;\n"
    "texts printed in UTF-8.\n"
    "Exit 0 when done, 1 when a window, button, link or format did not come,\n"
    "2 for a wrong command line.\n";

constexpr int kDefaultSeconds = 30;

// The scripts that run this program read UTF-8, and wine hands it their
// arguments already in the Windows code page, so texts leave it in UTF-8.
std::string ToUtf8(const std::string& text) {
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

void Print(std::FILE* out, const std::string& text) {
  std::fputs(ToUtf8(text).c_str(), out);
  std::fflush(out);
}

int Failed(const std::string& message) {
  Print(stderr, "window-driver: " + message + "\n");
  return 1;
}

int Seconds(int argc, char** argv, int index) {
  return argc > index ? std::atoi(argv[index]) : kDefaultSeconds;
}

HWND FindVisible(const std::string& className) { return VisibleWindow(className.c_str()); }

int Wait(const std::string& className, int seconds) {
  HWND window = WaitFor([&className] { return FindVisible(className); }, seconds * 1000);
  if (!window) return Failed("no window of class " + className + " within " + std::to_string(seconds) + " s");
  Settle(window);
  return 0;
}

int Click(const std::string& className, const std::string& text) {
  HWND window = FindVisible(className);
  HWND button = window ? FindWindowExA(window, nullptr, "BUTTON", text.c_str()) : nullptr;
  if (!button) return Failed("no button \"" + text + "\" in a window of class " + className);
  // Posted: a click that opens a modal box must not hold this program.
  PostMessageA(button, BM_CLICK, 0, 0);
  return 0;
}

// The labels of the program: their window text is the plain text they
// show, and each of their links is a child window named with its words.
std::vector<HWND> Labels(HWND window) {
  std::vector<HWND> labels;
  for (HWND label = FindWindowExA(window, nullptr, "VXHtmlLabel", nullptr); label;
       label = FindWindowExA(window, label, "VXHtmlLabel", nullptr)) {
    if (IsWindowVisible(label)) labels.push_back(label);
  }
  return labels;
}

int Link(const std::string& className, const std::string& text) {
  HWND window = FindVisible(className);
  if (!window) return Failed("no window of class " + className);
  for (HWND label : Labels(window)) {
    HWND link = FindWindowExA(label, nullptr, "VXHtmlLink", text.c_str());
    if (!link) continue;
    RECT bounds{};
    GetClientRect(link, &bounds);
    // A link window covers all lines of its link; the end of the first
    // line is on the link whether the link wraps or not.
    const int x = std::max<int>(bounds.right - 2, 0);
    const int y = 3;
    // Posted, like a button click: the link's action may open a box.
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    return 0;
  }
  return Failed("no link \"" + text + "\" in a window of class " + className);
}

int Text(const std::string& className) {
  HWND window = FindVisible(className);
  if (!window) return Failed("no window of class " + className);
  std::string text;
  for (HWND label : Labels(window)) {
    for (char c : TextOf(label)) {
      if (c != '\r') text += c;
    }
    if (!text.empty() && text.back() != '\n') text += '\n';
  }
  Print(stdout, text);
  return 0;
}

// The common file dialog of the program that shows the window; null when
// none came in time.
HWND FileDialog(const std::string& className, int seconds) {
  HWND window = FindVisible(className);
  if (!window) return nullptr;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HWND dialog = WaitFor([processId] { return ProcessWindow(processId, "#32770"); }, seconds * 1000);
  // The dialog fills itself after it shows.
  return dialog && WaitFor([dialog] { return FileNameEdit(dialog); }, 5000) ? dialog : nullptr;
}

// Types NAME into the name field of the program's file dialog. The dialog
// first opens NAME's folder, as a user would go there: a dialog that takes
// several files does not find a full path in its name field. A NAME that
// ends in "\" is only the folder, and the name the dialog proposes follows
// it. Prints the full name.
int DialogName(const std::string& className, const std::string& name, int seconds) {
  HWND dialog = FileDialog(className, seconds);
  if (!dialog) return Failed("no file dialog of a window of class " + className);
  HWND edit = FileNameEdit(dialog);
  const size_t slash = name.find_last_of('\\');
  const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
  std::string fileName = name.substr(folder.size());
  if (fileName.empty()) fileName = TextOf(edit);
  if (fileName.empty()) return Failed("the file dialog proposes no name");
  if (!folder.empty() && !OpenDialogFolder(dialog, folder)) {
    return Failed("the file dialog did not open the folder \"" + folder + "\"");
  }
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
  Print(stdout, folder + fileName + "\n");
  return 0;
}

// Confirms the name in the file dialog, as its OK button does, and waits
// for the dialog to go; it stays when it does not take the name or asks a
// question.
int DialogOk(const std::string& className, int seconds) {
  HWND dialog = FileDialog(className, seconds);
  if (!dialog) return Failed("no file dialog of a window of class " + className);
  const std::string name = TextOf(FileNameEdit(dialog));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  if (!WaitUntilGone(dialog, seconds * 1000)) return Failed("the file dialog did not take \"" + name + "\"");
  return 0;
}

int ClipboardClear() {
  TClipboardReader clipboard;
  clipboard.Empty();
  return 0;
}

int Clipboard(const std::string& format, const std::string& out, int seconds) {
  TClipboardReader clipboard;
  std::string block;
  for (int waited = 0; waited <= seconds * 1000 && block.empty(); waited += 50) {
    block = clipboard.Block(format.c_str());
    if (block.empty()) Sleep(50);
  }
  if (block.empty()) return Failed("no " + format + " on the clipboard within " + std::to_string(seconds) + " s");
  std::FILE* file = std::fopen(out.c_str(), "wb");
  if (!file) return Failed("cannot write " + out);
  const bool written = std::fwrite(block.data(), 1, block.size(), file) == block.size();
  if (std::fclose(file) != 0 || !written) return Failed("cannot write " + out);
  return 0;
}

int Close(const std::string& className) {
  HWND window = FindWindowA(className.c_str(), nullptr);
  if (!window) return Failed("no window of class " + className);
  PostMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "wait" && (argc == 3 || argc == 4)) return Wait(argv[2], Seconds(argc, argv, 3));
  if (command == "click" && argc == 4) return Click(argv[2], argv[3]);
  if (command == "link" && argc == 4) return Link(argv[2], argv[3]);
  if (command == "text" && argc == 3) return Text(argv[2]);
  if (command == "dialog-name" && (argc == 4 || argc == 5)) return DialogName(argv[2], argv[3], Seconds(argc, argv, 4));
  if (command == "dialog-ok" && (argc == 3 || argc == 4)) return DialogOk(argv[2], Seconds(argc, argv, 3));
  if (command == "clipboard-clear" && argc == 2) return ClipboardClear();
  if (command == "clipboard" && (argc == 4 || argc == 5)) return Clipboard(argv[2], argv[3], Seconds(argc, argv, 4));
  if (command == "close" && argc == 3) return Close(argv[2]);
  std::fputs(kUsage, stderr);
  return 2;
}
