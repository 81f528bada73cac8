// End to end: VXJSONObject.exe started by the host exchange simulator, its
// buttons, link and drop target worked from outside as a user would, with
// the save dialog answered here, the clipboard read back and files dragged
// onto the window from this process.
#include <windows.h>

#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/window_driver.h"
#include "documents/file_name_template.h"
#include "documents/order_outputs.h"
#include "json/fast_json.h"
#include "support/file_contents.h"
#include "support/folders.h"
#include "support/handles_win.h"
#include "ui/html_text.h"
#include "ui/window_caption.h"

namespace vx {
namespace {

using testing::BuildFolder;
using testing::FileNameEdit;
using testing::kSimulator;
using testing::kWindowProgram;
using testing::LabelTextWidth;
using testing::OpenDialogFolder;
using testing::ProcessWindow;
using testing::ReadFileBytes;
using testing::Settle;
using testing::TClipboardReader;
using testing::TextOf;
using testing::TProgram;
using testing::VisibleWindow;
using testing::WaitFor;
using testing::WaitUntilGone;
using testing::WriteFileBytes;

std::string UniqueName(const std::string& prefix) {
  static int counter = 0;
  return prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "-" +
         std::to_string(GetTickCount());
}

// The host's temporary order files in the temporary folder.
std::set<std::string> HostTemporaryFiles() {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((GetTempFolder() + "*.json").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.insert(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

// A folder of the test with its files, removed afterwards.
class TTestFolder {
 public:
  TTestFolder() : Path(GetTempFolder(UniqueName("actions-e2e"))) {}
  ~TTestFolder() {
    RemoveFolder(Path + "out\\");
    RemoveFolder(Path);
  }
  TTestFolder(const TTestFolder&) = delete;
  TTestFolder& operator=(const TTestFolder&) = delete;

  std::string File(const std::string& name) const { return Path + name; }

  const std::string Path;  // ends in "\"

 private:
  static void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileA((folder + data.cFileName).c_str());
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
  }
};

// The template line for one test; the one found is put back.
class TTemplateLine {
 public:
  explicit TTemplateLine(const std::string& line) : FFileName(GetTemplateFileName()) {
    FOld = ReadFileBytes(FFileName);
    EnsureFileFolder(FFileName);
    WriteFileBytes(FFileName, line + "\r\n");
  }
  ~TTemplateLine() { WriteFileBytes(FFileName, FOld); }
  TTemplateLine(const TTemplateLine&) = delete;
  TTemplateLine& operator=(const TTemplateLine&) = delete;

 private:
  std::string FFileName;
  std::string FOld;
};

// The window as the simulator's child, with the simulator's order and a
// database path that names this run, so the right window is found.
class TWindowBesideHost {
 public:
  // metrics: the host window's "OFFICEMETRICS"; empty centres the window.
  TWindowBesideHost(const TTestFolder& folder, const std::string& orderFile, const std::string& metrics = "") {
    const std::string name = UniqueName("E2E");
    const std::string databasePath = "C:\\VX\\" + name + ".fdb";
    OutDir = folder.File("out");
    FHost = std::make_unique<TProgram>(BuildFolder() + kSimulator + " --name " + name + " --dbpath " + databasePath +
                                       " --order " + orderFile + " --outdir " + OutDir +
                                       (metrics.empty() ? "" : " --metrics " + metrics) + " --launch " +
                                       BuildFolder() + kWindowProgram);
    const std::string caption = DatabaseCaption(databasePath);
    Window = WaitFor([&caption] { return VisibleWindow("TLiveImportFrm", caption.c_str()); });
    if (Window) GetWindowThreadProcessId(Window, &ProcessId);
  }
  ~TWindowBesideHost() {
    if (Window && IsWindow(Window)) Close();
  }
  TWindowBesideHost(const TWindowBesideHost&) = delete;
  TWindowBesideHost& operator=(const TWindowBesideHost&) = delete;

  // Closes the window; the simulator ends with it and gives its exit code.
  int Close() {
    PostMessageA(Window, WM_CLOSE, 0, 0);
    return FHost->WaitForExit();
  }

  HWND Button(const std::string& caption) const { return FindWindowExA(Window, nullptr, "BUTTON", caption.c_str()); }

  HWND Window = nullptr;
  DWORD ProcessId = 0;
  std::string OutDir;

 private:
  std::unique_ptr<TProgram> FHost;
};

std::string Quoted(const std::string& text) { return "\"" + EncodeJsonText(text) + "\""; }

// The "L2" text of the first position of a document text.
std::string FirstL2(const std::string& text) {
  TFastJSON json;
  json.Parse(text);
  return json.Values("Order").AsArray().Items(0).AsObject().Values("Parts").AsArray().Items(0).AsObject()
      .Values("L2").AsString();
}

TEST(OrderActionsEndToEnd, SaveThroughTheDialogAndCancel) {
  TTemplateLine templateLine("[PrintName]-[PrintUID]");
  TTestFolder folder;
  const std::string attachment = folder.File("contract.pdf");
  WriteFileBytes(attachment, "%PDF");
  const std::string order = folder.File("host-order.json");
  WriteFileBytes(order, R"({"UID":"h","Permissions":{},"Order":[{"PrintName":"Rechnung","PrintUID":17,)"
                        R"("Adress":[{"AdressSmart":"M\u00fcller"}],"Parts":[{"Position":"1","L2":)" +
                            Quoted(attachment) + "}]}]}");
  const std::set<std::string> hostFilesBefore = HostTemporaryFiles();
  TWindowBesideHost program(folder, order);
  ASSERT_NE(program.Window, nullptr);

  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  HWND dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  HWND edit = FileNameEdit(dialog);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(TextOf(edit), "Rechnung-17");
  const std::string target = folder.File("saved.json");
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);

  // The file is written before the box says where it is.
  HWND box = WaitFor([&] { return ProcessWindow(program.ProcessId, "TFSB_BOX"); });
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), "Positionen laden oder speichern");
  const std::string saved = ReadFileBytes(target);
  EXPECT_EQ(saved.substr(0, 5), "  {\r\n");
  EXPECT_NE(saved.find("\"Description\":\"VX Datei Zwischenablage\""), std::string::npos);
  EXPECT_NE(saved.find("\"L2\":\"base64:JVBERg==\""), std::string::npos);
  EXPECT_EQ(saved.find("Permissions"), std::string::npos);
  EXPECT_EQ(saved.find("M\xfcller"), std::string::npos);
  EXPECT_FALSE(FileIsPresent(attachment));
  EXPECT_EQ(HostTemporaryFiles(), hostFilesBefore);
  PostMessageA(box, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntilGone(box));

  // Cancelled: no box, nothing written, the host's file gone all the same.
  DeleteFileA(target.c_str());
  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntilGone(dialog));
  Settle(program.Window);
  EXPECT_EQ(ProcessWindow(program.ProcessId, "TFSB_BOX"), nullptr);
  EXPECT_FALSE(FileIsPresent(target));
  EXPECT_EQ(HostTemporaryFiles(), hostFilesBefore);

  EXPECT_EQ(program.Close(), 0);
}

// The visible text of a message box: its label's text as plain text.
std::string BoxText(HWND box) {
  HWND label = FindWindowExA(box, nullptr, "VXHtmlLabel", nullptr);
  std::string text;
  for (const THtmlRun& run : ParseHtml(label ? TextOf(label) : "")) text += run.LineBreak ? "\n" : run.Text;
  return text;
}

// Confirms a file dialog with name typed into it in folder, as a user who
// goes to the folder first would; false when the dialog did not take it.
bool ChooseInDialog(HWND dialog, const std::string& folder, const std::string& name) {
  HWND edit = FileNameEdit(dialog);
  if (!edit || !OpenDialogFolder(dialog, folder)) return false;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return WaitUntilGone(dialog);
}

// The proposed name ends in a date with points, which a save dialog may
// take for an extension and add no ".json" to; the file must still come
// back through the open dialog, which shows only ".json" files.
TEST(OrderActionsEndToEnd, SavedUnderTheProposedNameAndSentBack) {
  TTemplateLine templateLine("[PrintName] [PrintUID] [CurrentDate]");
  TTestFolder folder;
  const std::string order = folder.File("host-order.json");
  WriteFileBytes(order, R"({"UID":"h","Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":1042,)"
                        R"("Adress":[{}],"Parts":[{"Position":"7","Quantity":"2"}]}]})");
  TWindowBesideHost program(folder, order);
  ASSERT_NE(program.Window, nullptr);
  const std::string proposed = "Angebot 1042 " + ProposeOrderFileName("[CurrentDate]", TFileNameValues{}, Today());

  // Saved with the proposal accepted as it is.
  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  HWND dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  HWND edit = WaitFor([dialog] { return FileNameEdit(dialog); });
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(TextOf(edit), proposed);
  ASSERT_TRUE(ChooseInDialog(dialog, folder.Path, TextOf(edit)));
  HWND box = WaitFor([&] { return ProcessWindow(program.ProcessId, "TFSB_BOX"); });
  ASSERT_NE(box, nullptr);
  const std::string saved = folder.File(proposed + ".json");
  EXPECT_TRUE(FileIsPresent(saved));
  EXPECT_FALSE(FileIsPresent(folder.File(proposed)));
  EXPECT_NE(BoxText(box).find("Die erzeugten Datei finden Sie hier:"), std::string::npos) << BoxText(box);
  PostMessageA(box, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntilGone(box));

  // Saved again: the appended name is taken, so the window asks, and "Nein"
  // keeps the file.
  const std::string savedBytes = ReadFileBytes(saved);
  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitFor([dialog] { return FileNameEdit(dialog); }));
  ASSERT_TRUE(ChooseInDialog(dialog, folder.Path, proposed));
  HWND question = WaitFor([&] { return ProcessWindow(program.ProcessId, "TFSB_BOX"); });
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(BoxText(question), "\x84" + proposed + ".json\x93 ist bereits vorhanden.\nM\xf6" "chten Sie die Datei ersetzen?");
  HWND no = FindWindowExA(question, nullptr, "BUTTON", "Nein");
  ASSERT_NE(no, nullptr);
  EXPECT_TRUE(IsWindowVisible(no));
  EXPECT_TRUE(IsWindowVisible(FindWindowExA(question, nullptr, "BUTTON", "Ja")));
  EXPECT_FALSE(IsWindowVisible(FindWindowExA(question, nullptr, "BUTTON", "Schlie\xdf" "en")));
  PostMessageA(no, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntilGone(question));
  Settle(program.Window);
  EXPECT_EQ(ProcessWindow(program.ProcessId, "TFSB_BOX"), nullptr);
  EXPECT_EQ(ReadFileBytes(saved), savedBytes);

  // That very file back through the open dialog, to the host.
  PostMessageA(program.Button("\xd6" "ffnen und nach VX senden"), BM_CLICK, 0, 0);
  dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitFor([dialog] { return FileNameEdit(dialog); }));
  ASSERT_TRUE(ChooseInDialog(dialog, folder.Path, ExtractFileName(saved)));
  const std::string sentFile = program.OutDir + "\\outdata-0001.json";
  std::string sent;
  for (int i = 0; i < 400 && sent.empty(); ++i) {
    sent = ReadFileBytes(sentFile);
    if (sent.empty()) Sleep(50);
  }
  EXPECT_NE(sent.find("\"Position\":\"7\""), std::string::npos) << sent;
  EXPECT_EQ(program.Close(), 0);
}

// The window's settings file made unchangeable, as on a locked-down
// workstation; put back as it was afterwards.
class TUnchangeableSettings {
 public:
  TUnchangeableSettings() : FFileName(GetClientRootFolder() + "kastelo.VXJSONObject\\UserMode.INI") {
    FExisted = FileIsPresent(FFileName);
    FOld = ReadFileBytes(FFileName);
    EnsureFileFolder(FFileName);
    WriteFileBytes(FFileName, Content);
    SetFileAttributesA(FFileName.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  ~TUnchangeableSettings() {
    SetFileAttributesA(FFileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (FExisted) {
      WriteFileBytes(FFileName, FOld);
    } else {
      DeleteFileA(FFileName.c_str());
    }
  }
  TUnchangeableSettings(const TUnchangeableSettings&) = delete;
  TUnchangeableSettings& operator=(const TUnchangeableSettings&) = delete;

  std::string Bytes() const { return ReadFileBytes(FFileName); }

  const std::string Content = "[MODE]\r\nOSOpenSaveFile.kastelo.VXJSONObject.FI=2\r\n";

 private:
  std::string FFileName;
  bool FExisted = false;
  std::string FOld;
};

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

// The window once it is enabled and its thread answers again.
HWND Responsive(HWND window) {
  DWORD_PTR result = 0;
  const bool answers = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
  return answers && IsWindowEnabled(window) ? window : nullptr;
}

// How long the window kept the user waiting, in seconds.
struct TWaits {
  double Start = 0;      // from the host's start until the window shows
  double Cancelled = 0;  // from cancelling the save dialog until the window answers again
  double Confirmed = 0;  // from confirming it until the result message shows
};

// Starts the window beside the host, cancels one save dialog and confirms
// another; false when a step did not come within 20 s.
bool TimeOneRound(const TTestFolder& folder, const std::string& order, const std::string& target, TWaits& waits) {
  TClock::time_point start = TClock::now();
  TWindowBesideHost program(folder, order);
  if (!program.Window) return false;
  waits.Start = SecondsSince(start);

  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  HWND dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  if (!dialog) return false;
  start = TClock::now();
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  if (!WaitFor([&] { return IsWindow(dialog) ? nullptr : Responsive(program.Window); })) return false;
  waits.Cancelled = SecondsSince(start);

  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  HWND edit = dialog ? FileNameEdit(dialog) : nullptr;
  if (!edit) return false;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  start = TClock::now();
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  HWND box = WaitFor([&] { return ProcessWindow(program.ProcessId, "TFSB_BOX"); });
  if (!box) return false;
  waits.Confirmed = SecondsSince(start);
  PostMessageA(box, WM_CLOSE, 0, 0);
  return WaitUntilGone(box) && program.Close() == 0;
}

// Writing the settings fails at once on a file nobody may change; waiting
// for it froze the window for 20 s at its start and for a minute after
// each dialog. With such a file the window keeps the user waiting no
// longer than with a usual one.
TEST(OrderActionsEndToEnd, UnchangeableSettingsFileHoldsNothingUp) {
  TTestFolder folder;
  const std::string order = folder.File("host-order.json");
  WriteFileBytes(order, R"({"Permissions":{},"Order":[{"PrintName":"Angebot","Adress":[{}],"Parts":[]}]})");
  TWaits usual;
  ASSERT_TRUE(TimeOneRound(folder, order, folder.File("usual.json"), usual));
  TWaits locked;
  {
    TUnchangeableSettings settings;
    ASSERT_TRUE(TimeOneRound(folder, order, folder.File("locked.json"), locked));
    EXPECT_EQ(settings.Bytes(), settings.Content);
  }
  EXPECT_TRUE(FileIsPresent(folder.File("locked.json")));
  EXPECT_LT(locked.Start, usual.Start + 2);
  EXPECT_LT(locked.Cancelled, usual.Cancelled + 2);
  EXPECT_LT(locked.Confirmed, usual.Confirmed + 2);
  std::printf("waits with an unchangeable settings file (usual one): start %.1f s (%.1f s), "
              "cancelled dialog %.1f s (%.1f s), confirmed dialog %.1f s (%.1f s)\n",
              locked.Start, usual.Start, locked.Cancelled, usual.Cancelled, locked.Confirmed, usual.Confirmed);
}

// Where the label draws the "Nur Inhalt Kopieren" link: after two blanks.
int CopyLinkLeft() { return LabelTextWidth("  ", false); }

TEST(OrderActionsEndToEnd, CopyPutsTheGridBlockOnTheClipboard) {
  TTestFolder folder;
  const std::string order = folder.File("host-order.json");
  WriteFileBytes(order, R"({"UID":"","Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"}]}]})");
  const std::set<std::string> hostFilesBefore = HostTemporaryFiles();
  TClipboardReader clipboard;
  clipboard.Empty();
  TWindowBesideHost program(folder, order);
  ASSERT_NE(program.Window, nullptr);

  HWND label = FindWindowExA(program.Window, nullptr, "VXHtmlLabel", nullptr);
  ASSERT_NE(label, nullptr);
  PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(CopyLinkLeft() + 10, 8));

  const std::string stream = std::string("TPF0\x15TDataGridLinesWrapper\x00\x0d" "DataGridLines\x0e\x01", 43) +
                             std::string("\x06Stueck\x06\x01" "1\x02" "DM\x08\x07Isnetto\x08\x03Row\x02\x00\x00\x00", 31) +
                             std::string("\x03Row\x02\xff\x00\x00", 8);
  // The click is posted: wait for the block rather than for the window.
  std::string block;
  for (int i = 0; i < 400 && block.empty(); ++i) {
    block = clipboard.Block("CF_DATAGRIDDATA");
    if (block.empty()) Sleep(50);
  }
  // The system may round the block up; the stream's size says where it ends.
  ASSERT_GE(block.size(), 86u);
  EXPECT_EQ(block.substr(0, 86), std::string("\x52\x00\x00\x00", 4) + stream);
  EXPECT_EQ(HostTemporaryFiles(), hostFilesBefore);
  EXPECT_EQ(program.Close(), 0);
}

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length - 1 : 0);
  return wide;
}

// The data object the shell gives a drag source for files of one folder.
void ShellDataObject(const std::string& folder, const std::vector<std::string>& names, TComRef<IDataObject>& data) {
  TComRef<IShellFolder> desktop;
  if (SHGetDesktopFolder(desktop.Receive()) != S_OK) return;
  std::wstring path = Wide(folder);
  PIDLIST_RELATIVE folderItem = nullptr;
  if (desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &folderItem, nullptr) != S_OK) return;
  TItemIdList folderList(static_cast<PIDLIST_ABSOLUTE>(folderItem));
  TComRef<IShellFolder> shellFolder;
  if (desktop->BindToObject(folderItem, nullptr, IID_IShellFolder, reinterpret_cast<void**>(shellFolder.Receive())) !=
      S_OK) {
    return;
  }
  std::vector<PCUITEMID_CHILD> children;
  for (const std::string& name : names) {
    std::wstring wideName = Wide(name);
    PIDLIST_RELATIVE child = nullptr;
    if (shellFolder->ParseDisplayName(nullptr, nullptr, wideName.data(), nullptr, &child, nullptr) == S_OK) {
      children.push_back(child);
    }
  }
  shellFolder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject, nullptr,
                             reinterpret_cast<void**>(data.Receive()));
  for (PCUITEMID_CHILD child : children) CoTaskMemFree(const_cast<ITEMIDLIST*>(child));
}

// A drag source that lets go at once, wherever the cursor is.
class TDropAtOnce : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IDropSource) {
      *object = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the test's stack for the whole drag.
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return DRAGDROP_S_DROP; }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// Drags the files of the folder onto the window, over its own area below
// the buttons; the drag's result.
HRESULT DragOntoWindow(HWND window, const std::string& folder, const std::vector<std::string>& names) {
  TComRef<IDataObject> data;
  ShellDataObject(RemoveBackslash(folder), names, data);
  if (!data.Get()) return E_FAIL;
  POINT point{400, 65};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
  TDropAtOnce source;
  DWORD effect = DROPEFFECT_COPY;
  const HRESULT result = DoDragDrop(data.Get(), &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  return result;
}

TEST(OrderActionsEndToEnd, DropWhileTheSaveDialogIsOpenIsRefused) {
  TOleInit ole;
  TTestFolder folder;
  WriteFileBytes(folder.File("a.json"), R"({"Order":[{"Adress":[{}],"Parts":[{"Position":"1","Quantity":"1"}]}]})");
  const std::string order = folder.File("host-order.json");
  WriteFileBytes(order, R"({"Permissions":{},"Order":[{"Adress":[{}],"Parts":[]}]})");
  // The host window low on the screen, so the dialog in the screen's upper
  // part leaves the tool's window free.
  TWindowBesideHost program(folder, order, "0,700,1280,300");
  ASSERT_NE(program.Window, nullptr);

  PostMessageA(program.Button("VX Auftrag speichern"), BM_CLICK, 0, 0);
  HWND dialog = WaitFor([&] { return ProcessWindow(program.ProcessId, "#32770"); });
  ASSERT_NE(dialog, nullptr);
  // The target refuses the drag; nothing goes to the host.
  DragOntoWindow(program.Window, folder.Path, {"a.json"});
  Settle(program.Window);
  EXPECT_FALSE(FileIsPresent(program.OutDir + "\\outdata-0001.json"));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntilGone(dialog));
  Settle(program.Window);

  // Once the save is over, the window takes the files again.
  EXPECT_EQ(DragOntoWindow(program.Window, folder.Path, {"a.json"}), DRAGDROP_S_DROP);
  EXPECT_TRUE(FileIsPresent(program.OutDir + "\\outdata-0001.json"));
  EXPECT_EQ(program.Close(), 0);
}

TEST(OrderActionsEndToEnd, DroppedFilesAreSentAndTheirAttachmentsGoWithTheWindow) {
  TOleInit ole;
  TTestFolder folder;
  WriteFileBytes(folder.File("a.json"),
                 R"({"Order":[{"Adress":[{}],"Parts":[{"Position":"1","Quantity":"1","L2":"base64:QUJD"}]}]})");
  WriteFileBytes(folder.File("notiz.txt"), "{}");
  const std::string order = folder.File("host-order.json");
  WriteFileBytes(order, R"({"Order":[{"Adress":[{}],"Parts":[]}]})");
  TWindowBesideHost program(folder, order);
  ASSERT_NE(program.Window, nullptr);

  // Over the window's own area, below the buttons and above the links.
  EXPECT_EQ(DragOntoWindow(program.Window, folder.Path, {"a.json", "notiz.txt"}), DRAGDROP_S_DROP);
  // The target sends from within the drop, before DoDragDrop returns.

  const std::string sent = ReadFileBytes(program.OutDir + "\\outdata-0001.json");
  EXPECT_FALSE(FileIsPresent(program.OutDir + "\\outdata-0002.json"));
  ASSERT_NE(sent, "");
  const std::string extracted = FirstL2(sent);
  EXPECT_EQ(ExtractFilePath(extracted), GetTempFolder());
  EXPECT_EQ(ReadFileBytes(extracted), "ABC");
  EXPECT_NE(sent.find("\"DeleteL2\":true"), std::string::npos);

  EXPECT_EQ(program.Close(), 0);
  EXPECT_FALSE(FileIsPresent(extracted));
}

}  // namespace
}  // namespace vx
