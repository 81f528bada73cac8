// The actions' Win32 seam in the test's own process: what it puts on the
// clipboard is read back with the plain clipboard calls, as the host's
// grid would read it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/busy_cursor.h"
#include "app/win_user_interface.h"
#include "documents/data_grid_lines.h"
#include "support/errors.h"
#include "ui/wave.h"

namespace vx {
namespace {

// The clipboard is opened for a window; a message-only window is enough.
class TClipboardOwner {
 public:
  TClipboardOwner()
      : FWindow(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~TClipboardOwner() { DestroyWindow(FWindow); }
  TClipboardOwner(const TClipboardOwner&) = delete;
  TClipboardOwner& operator=(const TClipboardOwner&) = delete;
  HWND Get() const { return FWindow; }

 private:
  HWND FWindow;
};

// The block under the format as another program reads it; "" when absent.
std::string ReadClipboardBlock(const char* formatName, HWND owner) {
  const UINT format = RegisterClipboardFormatA(formatName);
  std::string block;
  if (!OpenClipboard(owner)) return block;
  if (HANDLE data = GetClipboardData(format)) {
    const void* bytes = GlobalLock(data);
    if (bytes) block.assign(static_cast<const char*>(bytes), GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return block;
}

void PutText(const char* text, HWND owner) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
  memcpy(GlobalLock(memory), text, strlen(text) + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

// The block of an order without positions: 55 bytes, zeros among them.
std::string EmptyOrderBlock() {
  TDataGridLines lines;
  TMemoryStream stream;
  WriteDataGridLinesStream(lines, stream);
  return MakeClipboardBlock(stream);
}

class WinUserInterface : public testing::Test {
 protected:
  TClipboardOwner Owner;
  TWave Wave;
  TWinUserInterface UI{Owner.Get(), Wave};
};

TEST_F(WinUserInterface, ClipboardBlockRoundTripsAndReplacesEverythingBefore) {
  PutText("alter Inhalt", Owner.Get());
  const std::string block = EmptyOrderBlock();
  ASSERT_EQ(block.size(), 55u);
  ASSERT_EQ(block.substr(0, 4), std::string("\x33\0\0\0", 4));

  UI.PutOnClipboard(kDataGridClipboardFormat, block);

  EXPECT_EQ(ReadClipboardBlock("CF_DATAGRIDDATA", Owner.Get()), block);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(CountClipboardFormats(), 1);
}

TEST_F(WinUserInterface, SecondCopyReplacesTheFirstAndEveryByteValueSurvives) {
  std::string large;
  for (int i = 0; i < 70000; ++i) large += static_cast<char>(i * 7 % 256);
  UI.PutOnClipboard(kDataGridClipboardFormat, EmptyOrderBlock());
  UI.PutOnClipboard(kDataGridClipboardFormat, large);
  EXPECT_EQ(ReadClipboardBlock("CF_DATAGRIDDATA", Owner.Get()), large);
}

TEST_F(WinUserInterface, FormatFirstUsedLaterIsRegisteredByItsName) {
  UI.PutOnClipboard("VX_TEST_FORMAT", std::string("ab\0c\xe4", 5));
  EXPECT_EQ(ReadClipboardBlock("VX_TEST_FORMAT", Owner.Get()), std::string("ab\0c\xe4", 5));
}

TEST_F(WinUserInterface, ClipboardHeldByAnotherThreadRaisesAndKeepsItsContent) {
  PutText("bleibt", Owner.Get());
  HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    TClipboardOwner other;
    const BOOL open = OpenClipboard(other.Get());
    SetEvent(opened);
    WaitForSingleObject(release, INFINITE);
    if (open) CloseClipboard();
  });
  WaitForSingleObject(opened, INFINITE);
  try {
    UI.PutOnClipboard(kDataGridClipboardFormat, EmptyOrderBlock());
    ADD_FAILURE() << "no error while another window holds the clipboard";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Cannot open clipboard: ", 0), 0u) << error.what();
  }
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(ReadClipboardBlock("CF_DATAGRIDDATA", Owner.Get()), "");
}

TEST_F(WinUserInterface, BusyCursorShowsBetweenBeginAndEnd) {
  {
    TBusyCursorScope busy(UI);
    EXPECT_NE(ApplicationCursor(), nullptr);
  }
  EXPECT_EQ(ApplicationCursor(), nullptr);
}

}  // namespace
}  // namespace vx
