#include <windows.h>

#include <float.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "settings/file_dialog.h"
#include "settings/settings_store.h"
#include "settings/settings_test_util.h"
#include "support/file_contents.h"
#include "support/os_file.h"

namespace vx {
namespace {

using testing::WriteFileBytes;

constexpr int kFileNameEdit = 0x47c;
constexpr int kFilterCombo = 0x470;

// What the driver saw of the dialog before it answered.
struct TSeen {
  bool Found = false;
  bool Topmost = false;
  RECT Window{};
  RECT Monitor{};
};

HWND FindFileNameEdit(HWND dialog) {
  HWND edit = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM result) -> BOOL {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (GetDlgCtrlID(child) != kFileNameEdit || lstrcmpiA(name, "Edit") != 0) return TRUE;
        *reinterpret_cast<HWND*>(result) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&edit));
  return edit;
}

// The file dialog of the thread once it is shown and placed, or null after
// 20 s.
HWND WaitForDialog(DWORD thread) {
  for (int i = 0; i < 1000; ++i) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM result) -> BOOL {
          char name[16] = {};
          GetClassNameA(window, name, sizeof name);
          const bool topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
          if (lstrcmpA(name, "#32770") != 0 || !topmost || !FindFileNameEdit(window)) return TRUE;
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found) {
      // Placing follows right after the topmost switch.
      Sleep(100);
      return found;
    }
    Sleep(20);
  }
  return nullptr;
}

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Type(HWND dialog, const std::string& text) {
  SendMessageA(FindFileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Runs the driver on its own thread against the dialog that the calling
// thread opens next.
class TDriver {
 public:
  explicit TDriver(std::function<void(HWND)> answer) {
    const DWORD thread = GetCurrentThreadId();
    FThread = std::thread([this, thread, answer] {
      HWND dialog = WaitForDialog(thread);
      if (!dialog) return;
      Seen.Found = true;
      Seen.Topmost = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      GetWindowRect(dialog, &Seen.Window);
      MONITORINFO monitor{};
      monitor.cbSize = sizeof monitor;
      GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
      Seen.Monitor = monitor.rcMonitor;
      answer(dialog);
    });
  }
  ~TDriver() { FThread.join(); }
  TSeen Seen;

 private:
  std::thread FThread;
};

class FileDialogWin : public TSettingsStoreTest {
 protected:
  const std::string Key = "kastelo.VXJSONObject";
};

TEST_F(FileDialogWin, SaveDialogReturnsTheTypedNameAndRemembersItsState) {
  WriteModeInteger(FilterIndexKey(Key), 2);  // beyond the one pair below
  const std::string target = Folder + "Auftrag 4711.json";
  const unsigned int controlWord = _control87(0, 0);
  std::string fileName = "old";
  std::string result;
  TSeen seen;
  {
    TDriver driver([&](HWND dialog) {
      Type(dialog, target);
      Press(dialog, IDOK);
    });
    result = ExecuteFileDialog(Key, "", "JSON File|*.json", fileName, "Vorschlag.json", nullptr, nullptr, true,
                               Folder, "json");
    seen = driver.Seen;
  }
  ASSERT_TRUE(seen.Found);
  EXPECT_EQ(result, target);
  EXPECT_EQ(fileName, target);
  EXPECT_TRUE(seen.Topmost);
  const int width = seen.Window.right - seen.Window.left;
  const int height = seen.Window.bottom - seen.Window.top;
  int left = 0;
  int top = 0;
  PlaceOnMonitor({seen.Monitor.left, seen.Monitor.top, seen.Monitor.right, seen.Monitor.bottom}, width, height, &left,
                 &top);
  EXPECT_EQ(seen.Window.left, left);
  EXPECT_EQ(seen.Window.top, top);
  EXPECT_EQ(ReadModeInteger(FilterIndexKey(Key), 0), 1);
  EXPECT_EQ(ReadModeInteger(DialogWidthKey(Key), 0), width);
  EXPECT_EQ(ReadModeInteger(DialogHeightKey(Key), 0), height);
  EXPECT_EQ(_control87(0, 0), controlWord);
}

TEST_F(FileDialogWin, CancelledDialogOnlyRemembersItsSize) {
  WriteModeInteger(FilterIndexKey(Key), 2);
  std::string fileName = "old";
  std::string result = "not run";
  bool found = false;
  {
    TDriver driver([](HWND dialog) { Press(dialog, IDCANCEL); });
    result = ExecuteFileDialog(Key, "Folder", "JSON File|*.json|Alle|*.*", fileName, "", nullptr, nullptr, false,
                               Folder, "json");
    found = driver.Seen.Found;
  }
  ASSERT_TRUE(found);
  EXPECT_EQ(result, "");
  EXPECT_EQ(fileName, "");
  EXPECT_EQ(ReadModeInteger(FilterIndexKey(Key), 0), 2);
  EXPECT_EQ(ReadModeString(DialogFolderKey("Folder"), "none"), "none");
  EXPECT_GT(ReadModeInteger(DialogWidthKey(Key), 0), 0);
}

TEST_F(FileDialogWin, ChosenFilterAndFolderAreRemembered) {
  std::string fileName;
  bool found = false;
  std::string result;
  {
    TDriver driver([&](HWND dialog) {
      HWND combo = GetDlgItem(dialog, kFilterCombo);
      SendMessageA(combo, CB_SETCURSEL, 1, 0);
      // A user's choice notifies both, in this order.
      for (WORD code : {CBN_SELENDOK, CBN_SELCHANGE}) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFilterCombo, code), reinterpret_cast<LPARAM>(combo));
      }
      Type(dialog, Folder + "neu");
      Press(dialog, IDOK);
    });
    result = ExecuteFileDialog(Key, "Folder", "JSON File|*.json|Text|*.txt", fileName, "", nullptr, nullptr, true, "",
                               "json");
    found = driver.Seen.Found;
  }
  ASSERT_TRUE(found);
  // The chosen filter's extension is added.
  EXPECT_EQ(result, Folder + "neu.txt");
  EXPECT_EQ(ReadModeInteger(FilterIndexKey(Key), 0), 2);
  EXPECT_EQ(ReadModeString(DialogFolderKey("Folder")), Folder);
}

TEST_F(FileDialogWin, OpenDialogWithSeveralFiles) {
  WriteFileBytes(Folder + "a.json", "{}");
  WriteFileBytes(Folder + "b.json", "{}");
  TStringList files;
  files.Add("stale");
  std::string fileName;
  bool found = false;
  std::string result;
  {
    TDriver driver([&](HWND dialog) {
      // Into the folder first; names with quotes are relative to it.
      Type(dialog, Folder);
      Press(dialog, IDOK);
      Sleep(300);
      Type(dialog, "\"a.json\" \"b.json\"");
      Press(dialog, IDOK);
    });
    result = ExecuteFileDialog(Key, "", "JSON File|*.json", fileName, "", &files, nullptr, false, "", "json");
    found = driver.Seen.Found;
  }
  ASSERT_TRUE(found);
  EXPECT_EQ(files.Lines(), (std::vector<std::string>{Folder + "a.json", Folder + "b.json"}));
  EXPECT_EQ(result, Folder + "a.json");
}

TEST_F(FileDialogWin, SettingsFileHeldElsewhereCostsOneWaitPerDialog) {
  const std::string file = Folder + "UserMode.INI";
  WriteFileBytes(file, "[MODE]\r\n");
  TOsFile reader;
  ASSERT_TRUE(reader.Open(file, TOpenMode::ReadShared));
  TDialogOutcome outcome;
  outcome.SizeKnown = true;
  outcome.Width = 640;
  outcome.Height = 480;
  outcome.Confirmed = true;
  outcome.FilterIndex = 2;
  outcome.FileName = Folder + "a.json";
  RememberDialogOutcome(Key, "Folder", outcome);
  // The held file is asked again for its 10 s, once for all four keys, and
  // not a second time when the settings object goes.
  EXPECT_EQ(Pauses, 1000);
  reader.Close();
  EXPECT_EQ(testing::ReadFileBytes(file), "[MODE]\r\n");
}

TEST_F(FileDialogWin, GivenWindowIsRaisedAfterwards) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const HWND below = CreateWindowExA(0, "STATIC", "below", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     instance, nullptr);
  const HWND above = CreateWindowExA(0, "STATIC", "above", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     instance, nullptr);
  ASSERT_TRUE(below && above);
  SetWindowPos(above, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  std::string fileName;
  {
    TDriver driver([](HWND dialog) { Press(dialog, IDCANCEL); });
    ExecuteFileDialog("", "", "JSON File|*.json", fileName, "", nullptr, below, false, "", "");
  }
  // The first of the two in the z-order from the top.
  HWND first = GetTopWindow(nullptr);
  while (first && first != below && first != above) first = GetWindow(first, GW_HWNDNEXT);
  EXPECT_EQ(first, below);
  EXPECT_GT(ReadModeInteger(DialogWidthKey(""), 0), 0);
  DestroyWindow(above);
  DestroyWindow(below);
}

}  // namespace
}  // namespace vx
