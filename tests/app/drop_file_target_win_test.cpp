// The window's drop target called as OLE calls it during a drag, with data
// objects made by the shell: the names must arrive in the drop's order and
// the source must always be told "none".
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/drop_file_target.h"
#include "support/handles_win.h"

namespace vx {
namespace {

// A fresh folder with the named empty files, removed afterwards.
class TDropFolder {
 public:
  explicit TDropFolder(const std::vector<std::string>& names) : Names(names) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    Path = std::string(temp) + "vx-drop-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(Path.c_str(), nullptr);
    for (const std::string& name : Names) {
      CloseHandle(CreateFileA(FullName(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
  }
  ~TDropFolder() {
    for (const std::string& name : Names) DeleteFileA(FullName(name).c_str());
    RemoveDirectoryA(Path.c_str());
  }
  TDropFolder(const TDropFolder&) = delete;
  TDropFolder& operator=(const TDropFolder&) = delete;

  std::string FullName(const std::string& name) const { return Path + "\\" + name; }

  std::string Path;
  std::vector<std::string> Names;
};

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length - 1 : 0);
  return wide;
}

// The data object the shell gives a drag source for these files of one
// folder, in this order.
void ShellDataObject(const TDropFolder& folder, const std::vector<std::string>& names, TComRef<IDataObject>& data) {
  TComRef<IShellFolder> desktop;
  ASSERT_EQ(SHGetDesktopFolder(desktop.Receive()), S_OK);
  std::wstring path = Wide(folder.Path);
  PIDLIST_RELATIVE folderItem = nullptr;
  ASSERT_EQ(desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &folderItem, nullptr), S_OK);
  TItemIdList folderList(static_cast<PIDLIST_ABSOLUTE>(folderItem));
  TComRef<IShellFolder> shellFolder;
  ASSERT_EQ(desktop->BindToObject(folderItem, nullptr, IID_IShellFolder, reinterpret_cast<void**>(shellFolder.Receive())),
            S_OK);
  std::vector<PCUITEMID_CHILD> children;
  for (const std::string& name : names) {
    std::wstring wideName = Wide(name);
    PIDLIST_RELATIVE child = nullptr;
    ASSERT_EQ(shellFolder->ParseDisplayName(nullptr, nullptr, wideName.data(), nullptr, &child, nullptr), S_OK)
        << name;
    children.push_back(child);
  }
  const HRESULT result =
      shellFolder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                 nullptr, reinterpret_cast<void**>(data.Receive()));
  for (PCUITEMID_CHILD child : children) CoTaskMemFree(const_cast<ITEMIDLIST*>(child));
  ASSERT_EQ(result, S_OK);
}

class DropFileTarget : public testing::Test {
 protected:
  DropFileTarget()
      : Target(TDropFileTarget::Create([this](const std::vector<std::string>& names) { Drops.push_back(names); },
                                       [this] { return !Busy; })) {}

  // DragEnter with what the source allows; the effect the target chose.
  DWORD Enter(IDataObject* data, DWORD keyState, DWORD allowed) {
    DWORD effect = allowed;
    EXPECT_EQ(Target->DragEnter(data, keyState, POINTL{10, 10}, &effect), S_OK);
    return effect;
  }
  DWORD Over(DWORD keyState, DWORD allowed) {
    DWORD effect = allowed;
    EXPECT_EQ(Target->DragOver(keyState, POINTL{12, 12}, &effect), S_OK);
    return effect;
  }
  DWORD DropOn(IDataObject* data, DWORD allowed) {
    DWORD effect = allowed;
    EXPECT_EQ(Target->Drop(data, 0, POINTL{12, 12}, &effect), S_OK);
    return effect;
  }

  TOleInit Ole;
  bool Busy = false;  // the window runs an action
  std::vector<std::vector<std::string>> Drops;
  TComRef<TDropFileTarget> Target;
};

constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

TEST_F(DropFileTarget, NamesArriveInDropOrderAndTheSourceIsToldNone) {
  const std::string mueller = "M\xfc" "ller \x80.json";
  TDropFolder folder({"b.json", "a.json", "notiz.txt", mueller});
  TComRef<IDataObject> data;
  ShellDataObject(folder, {"b.json", mueller, "notiz.txt", "a.json"}, data);
  ASSERT_TRUE(data.Get());

  EXPECT_EQ(TDropFileTarget::DroppedFileNames(data.Get()),
            (std::vector<std::string>{folder.FullName("b.json"), folder.FullName(mueller),
                                      folder.FullName("notiz.txt"), folder.FullName("a.json")}));
  EXPECT_EQ(Enter(data.Get(), MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(Over(MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(DropOn(data.Get(), kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_EQ(Drops.size(), 1u);
  EXPECT_EQ(Drops[0], TDropFileTarget::DroppedFileNames(data.Get()));
}

TEST_F(DropFileTarget, OffersOnlyCopyAndLinkNeverMove) {
  TDropFolder folder({"a.json"});
  TComRef<IDataObject> data;
  ShellDataObject(folder, {"a.json"}, data);
  ASSERT_TRUE(data.Get());

  EXPECT_EQ(Enter(data.Get(), MK_LBUTTON, DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_NONE));
  // The shell's gesture for a link, and a source that offers only a link.
  EXPECT_EQ(Over(MK_LBUTTON | MK_CONTROL | MK_SHIFT, kAllEffects), static_cast<DWORD>(DROPEFFECT_LINK));
  EXPECT_EQ(Over(MK_LBUTTON, DROPEFFECT_LINK | DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_LINK));
  EXPECT_EQ(Over(MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(Target->DragLeave(), S_OK);
  EXPECT_TRUE(Drops.empty());

  // After a drag that left, a new one is judged afresh.
  EXPECT_EQ(Enter(data.Get(), MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(DropOn(data.Get(), DROPEFFECT_LINK), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(Drops.size(), 1u);
}

TEST_F(DropFileTarget, BusyWindowRefusesTheDragAndIgnoresTheDrop) {
  TDropFolder folder({"a.json"});
  TComRef<IDataObject> data;
  ShellDataObject(folder, {"a.json"}, data);
  ASSERT_TRUE(data.Get());

  Busy = true;
  EXPECT_EQ(Enter(data.Get(), MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(Over(MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(DropOn(data.Get(), kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(Drops.empty());
  // The action ended during the drag: the files are taken again.
  EXPECT_EQ(Enter(data.Get(), MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  Busy = false;
  EXPECT_EQ(Over(MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(DropOn(data.Get(), kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(Drops.size(), 1u);
}

TEST_F(DropFileTarget, DataWithoutFilesIsRefusedAndNothingArrives) {
  HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 5);
  memcpy(GlobalLock(text), "text", 5);
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
  TComRef<IDataObject> data;
  ASSERT_EQ(OleGetClipboard(data.Receive()), S_OK);

  EXPECT_TRUE(TDropFileTarget::DroppedFileNames(data.Get()).empty());
  EXPECT_EQ(Enter(data.Get(), MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(Over(MK_LBUTTON, kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(DropOn(data.Get(), kAllEffects), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(Drops.empty());
  data.Reset();
  DestroyWindow(owner);
}

}  // namespace
}  // namespace vx
