// End to end: starts VXJSONObject.exe, alone or as the child of the host
// exchange simulator, and inspects its window from outside with Win32 calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/window_driver.h"
#include "documents/file_name_template.h"
#include "support/file_contents.h"
#include "support/folders.h"
#include "ui/window_caption.h"

namespace vx {
namespace {

using testing::BuildFolder;
using testing::kSimulator;
using testing::kWindowProgram;
using testing::LabelTextWidth;
using testing::ProcessWindow;
using testing::Settle;
using testing::TextOf;
using testing::TProgram;
using testing::VisibleWindow;
using testing::WaitFor;
using testing::WaitUntilGone;

// The window of the class once it is visible; null when none came within
// 20 s.
HWND WaitForWindow(const char* className = "TLiveImportFrm") {
  return WaitFor([className] { return VisibleWindow(className); });
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// The shell's folder window with that caption, or null.
HWND FolderWindow(const char* caption) {
  HWND folder = FindWindowA("ExplorerWClass", caption);
  return folder ? folder : FindWindowA("CabinetWClass", caption);
}

// Runs open, which is to make the shell show the folder window with that
// caption, and closes that window; false when none came. Wine's explorer
// now and then crashes in comctl32 while it fills a new folder window,
// before the window is there: so open runs once more after 20 s without
// one, and only a program that opens none at all fails. An open folder
// window would also hold the test's output open, since wine hands every
// child the parent's error output, and keep CTest waiting.
bool OpensFolderWindow(const std::function<void()>& open, const char* caption) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    open();
    HWND folder = WaitFor([caption] { return FolderWindow(caption); });
    if (folder) {
      PostMessageA(folder, WM_CLOSE, 0, 0);
      return true;
    }
  }
  return false;
}

// The left edge of the "Vorlage Dateiname" link, measured like the label does.
int TemplateLinkLeft() { return LabelTextWidth("  Nur Inhalt Kopieren  ", true); }
// The left edge of the "Nur Inhalt Kopieren" link: after two blanks.
int CopyLinkLeft() { return LabelTextWidth("  ", false); }

// A window of the test that stands for another program the user works in,
// in the left half of the screen where the tool's window does not lie.
class TOtherProgram {
 public:
  TOtherProgram() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VXTestOtherProgram";
    RegisterClassA(&windowClass);
    Window = CreateWindowExA(0, windowClass.lpszClassName, "Anderes Programm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    Activate();
  }
  ~TOtherProgram() { DestroyWindow(Window); }
  TOtherProgram(const TOtherProgram&) = delete;
  TOtherProgram& operator=(const TOtherProgram&) = delete;

  // Puts it in front, as a click into it would; true once it is.
  bool Activate() {
    SetForegroundWindow(Window);
    return InFront(Window);
  }

  // Whether the window is (or within 20 s becomes) the one in front.
  static bool InFront(HWND window) {
    return WaitFor([window] { return GetForegroundWindow() == window ? window : nullptr; }) != nullptr;
  }

  HWND Window = nullptr;
};

TEST(LiveImportFrm, AloneCentredWithoutDatabaseAndTemplateLinkKeepsFile) {
  TProgram program(BuildFolder() + kWindowProgram);
  ASSERT_TRUE(program.Started);
  HWND window = WaitForWindow();
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(TextOf(window), "Keine Datenbank erreichbar");
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 416);
  EXPECT_EQ(client.bottom, 90);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  EXPECT_EQ(bounds.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2);
  EXPECT_EQ(bounds.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  HWND buttonWrite = FindWindowExA(window, nullptr, "BUTTON", nullptr);
  ASSERT_NE(buttonWrite, nullptr);
  HWND buttonRead = FindWindowExA(window, buttonWrite, "BUTTON", nullptr);
  ASSERT_NE(buttonRead, nullptr);
  EXPECT_EQ(TextOf(buttonWrite), "\xd6" "ffnen und nach VX senden");
  EXPECT_EQ(TextOf(buttonRead), "VX Auftrag speichern");

  // The start-up created the template, and showing it leaves it in place.
  const std::string templateFile = GetTemplateFileName();
  EXPECT_TRUE(FileIsPresent(templateFile));
  HWND label = FindWindowExA(window, nullptr, "VXHtmlLabel", nullptr);
  ASSERT_NE(label, nullptr);
  // What a screen reader reads: the line as it is drawn, and each link.
  EXPECT_EQ(TextOf(label), "  Nur Inhalt Kopieren  Vorlage Dateiname");
  EXPECT_NE(FindWindowExA(label, nullptr, "VXHtmlLink", "Nur Inhalt Kopieren"), nullptr);
  EXPECT_NE(FindWindowExA(label, nullptr, "VXHtmlLink", "Vorlage Dateiname"), nullptr);
  EXPECT_TRUE(OpensFolderWindow(
      [&] {
        PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(TemplateLinkLeft() + 10, 8));
        Settle(window);
      },
      "kastelo.VXJSONObject"));
  EXPECT_TRUE(FileIsPresent(templateFile));
  EXPECT_EQ(TextOf(window), "Keine Datenbank erreichbar");

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

// Explorer's large views take the 256-pixel image of the program's icon,
// which Windows wants PNG-compressed.
TEST(LiveImportFrm, IconHasAPngImageOf256Pixels) {
  HMODULE program = LoadLibraryExA((BuildFolder() + kWindowProgram).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HRSRC group = FindResourceA(program, "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(program, group)));
  const int id = LookupIconIdFromDirectoryEx(directory, TRUE, 256, 256, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceA(program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
  ASSERT_NE(image, nullptr);
  const std::string bytes(static_cast<const char*>(LockResource(LoadResource(program, image))),
                          SizeofResource(program, image));
  FreeLibrary(program);
  EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
  // The header's width and height, big-endian.
  EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\1\0\0\0\1\0", 8));
}

// The control of the window's thread that has the keyboard focus.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Where the focus is once it is on expected, or after 20 s.
HWND FocusOnceOn(HWND window, HWND expected) {
  WaitFor([window, expected] { return FocusOf(window) == expected ? expected : nullptr; });
  return FocusOf(window);
}

// A key pressed and let go on the control with the focus, as the keyboard
// sends it.
void PressKey(HWND window, WPARAM key) {
  HWND focus = FocusOf(window);
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  PostMessageA(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// The window as the simulator's child, with the order text as the host's
// open order, and the window's parts; the order's file goes afterwards.
class TWindowWithOrder {
 public:
  TWindowWithOrder(const std::string& name, const std::string& orderText)
      : FOrder(GetTempFolder() + name + "-" + std::to_string(GetCurrentProcessId()) + ".json") {
    testing::WriteFileBytes(FOrder, orderText);
    Host = std::make_unique<TProgram>(BuildFolder() + kSimulator + " --order " + FOrder + " --launch " +
                                      BuildFolder() + kWindowProgram);
    Window = Host->Started ? WaitForWindow() : nullptr;
    if (!Window) return;
    GetWindowThreadProcessId(Window, &ProcessId);
    ButtonWrite = FindWindowExA(Window, nullptr, "BUTTON", nullptr);
    ButtonRead = FindWindowExA(Window, ButtonWrite, "BUTTON", nullptr);
    Label = FindWindowExA(Window, nullptr, "VXHtmlLabel", nullptr);
  }
  ~TWindowWithOrder() { DeleteFileA(FOrder.c_str()); }
  TWindowWithOrder(const TWindowWithOrder&) = delete;
  TWindowWithOrder& operator=(const TWindowWithOrder&) = delete;

  // The window came with both buttons and the link line.
  bool Complete() const { return Window && ButtonWrite && ButtonRead && Label; }
  // Closes the window; the simulator ends with it and gives its exit code.
  int Close() {
    PostMessageA(Window, WM_CLOSE, 0, 0);
    return Host->WaitForExit();
  }

  std::unique_ptr<TProgram> Host;
  HWND Window = nullptr;
  DWORD ProcessId = 0;
  HWND ButtonWrite = nullptr;
  HWND ButtonRead = nullptr;
  HWND Label = nullptr;

 private:
  std::string FOrder;
};

// Every function without a mouse: Tab goes round the two buttons and the
// two links, Enter and Space work on a focused button or link as a click
// does, and the focus is back where it was after a dialog.
TEST(LiveImportFrm, KeyboardReachesEveryButtonAndLink) {
  testing::TClipboardReader clipboard;
  clipboard.Empty();
  TWindowWithOrder program("keyboard-order", R"({"UID":"","Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"}]}]})");
  ASSERT_TRUE(program.Complete());
  HWND window = program.Window;
  const DWORD processId = program.ProcessId;
  HWND buttonWrite = program.ButtonWrite;
  HWND buttonRead = program.ButtonRead;
  HWND copyLink = FindWindowExA(program.Label, nullptr, "VXHtmlLink", "Nur Inhalt Kopieren");
  HWND templateLink = FindWindowExA(program.Label, nullptr, "VXHtmlLink", "Vorlage Dateiname");
  ASSERT_TRUE(copyLink && templateLink);

  EXPECT_EQ(FocusOnceOn(window, buttonWrite), buttonWrite);
  for (HWND next : {buttonRead, copyLink, templateLink, buttonWrite, buttonRead}) {
    PressKey(window, VK_TAB);
    EXPECT_EQ(FocusOnceOn(window, next), next);
  }

  // Enter on "VX Auftrag speichern": the save dialog; cancelled, the focus
  // is on the button again.
  PressKey(window, VK_RETURN);
  HWND dialog = WaitFor([processId] { return ProcessWindow(processId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntilGone(dialog));
  EXPECT_EQ(FocusOnceOn(window, buttonRead), buttonRead);

  // Enter on "Nur Inhalt Kopieren": the positions on the clipboard.
  PressKey(window, VK_TAB);
  ASSERT_EQ(FocusOnceOn(window, copyLink), copyLink);
  PressKey(window, VK_RETURN);
  std::string block;
  for (int i = 0; i < 400 && block.empty(); ++i) {
    block = clipboard.Block("CF_DATAGRIDDATA");
    if (block.empty()) Sleep(50);
  }
  ASSERT_GE(block.size(), 8u);
  EXPECT_EQ(block.substr(0, 8), std::string("\x52\x00\x00\x00TPF0", 8));

  // Space on "Vorlage Dateiname": the template's folder.
  PressKey(window, VK_TAB);
  ASSERT_EQ(FocusOnceOn(window, templateLink), templateLink);
  EXPECT_TRUE(OpensFolderWindow([&] { PressKey(window, VK_SPACE); }, "kastelo.VXJSONObject"));
  EXPECT_EQ(program.Close(), 0);
}

TEST(LiveImportFrm, CloseRequestDuringAnActionWaitsForItsEnd) {
  // A host whose order is not in edit mode: the send button's action shows
  // its message and waits in the box's loop.
  TProgram host(BuildFolder() + kSimulator + " --edit-mode 0 --launch " + BuildFolder() + kWindowProgram);
  ASSERT_TRUE(host.Started);
  HWND window = WaitForWindow();
  ASSERT_NE(window, nullptr);
  HWND buttonWrite = FindWindowExA(window, nullptr, "BUTTON", nullptr);
  ASSERT_NE(buttonWrite, nullptr);
  PostMessageA(buttonWrite, BM_CLICK, 0, 0);
  HWND box = WaitForWindow("TFSB_BOX");
  ASSERT_NE(box, nullptr);

  PostMessageA(window, WM_CLOSE, 0, 0);
  Settle(box);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(box));

  // Once the action is done, the window closes and the host ends with it.
  PostMessageA(box, WM_CLOSE, 0, 0);
  EXPECT_EQ(host.WaitForExit(), 0);
}

// The user works in another program meanwhile, or the tool's own window
// is in front: either way its boxes and dialogs belong to the window, and
// the window gets the front back when they close.
TEST(LiveImportFrm, BoxesAndDialogsStayWithTheWindow) {
  TOtherProgram other;
  ASSERT_NE(other.Window, nullptr);
  // An order the host hands over broken: saving it gives the message box,
  // copying it an error report.
  TWindowWithOrder program("broken-order", "{\"Order\":[");
  ASSERT_TRUE(program.Complete());
  HWND window = program.Window;
  const DWORD processId = program.ProcessId;
  HWND buttonWrite = program.ButtonWrite;
  HWND buttonRead = program.ButtonRead;
  HWND label = program.Label;
  EXPECT_TRUE(TOtherProgram::InFront(window));

  PostMessageA(buttonRead, BM_CLICK, 0, 0);
  HWND box = WaitFor([processId] { return ProcessWindow(processId, "TFSB_BOX"); });
  ASSERT_NE(box, nullptr);
  PostMessageA(box, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntilGone(box));
  EXPECT_TRUE(TOtherProgram::InFront(window));

  ASSERT_TRUE(other.Activate());
  PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(CopyLinkLeft() + 10, 8));
  HWND error = WaitFor([processId] { return ProcessWindow(processId, "#32770"); });
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(GetWindow(error, GW_OWNER), window);
  EXPECT_FALSE(IsWindowEnabled(window));
  PostMessageA(error, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntilGone(error));

  // The button's command itself: a click would make the window active first.
  ASSERT_TRUE(other.Activate());
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(buttonWrite), BN_CLICKED),
               reinterpret_cast<LPARAM>(buttonWrite));
  HWND dialog = WaitFor([processId] { return ProcessWindow(processId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);
  EXPECT_FALSE(IsWindowEnabled(window));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntilGone(dialog));
  EXPECT_EQ(program.Close(), 0);
}

struct THostCase {
  const char* metrics;
  int expectedRight;  // of the window; -1: the work area's right edge
  int expectedTop;    // -1: the work area's bottom edge less the height
};

TEST(LiveImportFrm, BesideTheHostWithItsDatabase) {
  const std::string databasePath = "C:\\Programme\\Kastelo\\VX\\Mandanten\\Mueller\\Daten.fdb";
  // 20 pixels inside the host's top-right corner, or pulled onto the screen.
  const THostCase cases[] = {{"100,50,1000,700", 1080, 70}, {"1000,1000,1000,700", -1, -1}};
  for (const THostCase& c : cases) {
    TProgram host(BuildFolder() + kSimulator + " --dbpath " + databasePath + " --metrics " + c.metrics +
                       " --launch " + BuildFolder() + kWindowProgram);
    ASSERT_TRUE(host.Started);
    HWND window = WaitForWindow();
    ASSERT_NE(window, nullptr) << c.metrics;
    EXPECT_EQ(TextOf(window), DatabaseCaption(databasePath));
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const RECT work = WorkArea();
    EXPECT_EQ(bounds.right, c.expectedRight < 0 ? work.right : c.expectedRight) << c.metrics;
    EXPECT_EQ(bounds.top, c.expectedTop < 0 ? work.bottom - (bounds.bottom - bounds.top) : c.expectedTop)
        << c.metrics;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.WaitForExit(), 0) << c.metrics;
  }
}

}  // namespace
}  // namespace vx
