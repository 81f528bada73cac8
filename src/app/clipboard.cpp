#include "app/clipboard.h"

#include <cstring>

#include "actions/window_messages.h"
#include "support/errors.h"

namespace vx {

namespace {

// A global memory block, freed unless ownership moved elsewhere.
class TGlobalMemory {
 public:
  TGlobalMemory(UINT flags, SIZE_T size) : FMemory(GlobalAlloc(flags, size)) {}
  ~TGlobalMemory() {
    if (FMemory) GlobalFree(FMemory);
  }
  TGlobalMemory(const TGlobalMemory&) = delete;
  TGlobalMemory& operator=(const TGlobalMemory&) = delete;

  HGLOBAL Get() const { return FMemory; }
  // The new owner frees the block from now on.
  void Release() { FMemory = nullptr; }

 private:
  HGLOBAL FMemory;
};

// The clipboard, open for one window while the object lives.
class TOpenClipboard {
 public:
  explicit TOpenClipboard(HWND owner) : FOpen(OpenClipboard(owner) != FALSE) {}
  ~TOpenClipboard() {
    if (FOpen) CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;

  bool IsOpen() const { return FOpen; }

 private:
  bool FOpen;
};

// format is one of the clipboard errors of the window's message list.
[[noreturn]] void RaiseClipboardError(const char* format, int code) {
  throw Exception(FormatText(format, SysErrorMessage(code)));
}

}  // namespace

UINT RegisterClipboardFormatName(const std::string& name) { return RegisterClipboardFormatA(name.c_str()); }

void PutBlockOnClipboard(HWND owner, UINT format, const std::string& block) {
  // A block that cannot be had is an error, not a silent no-op: the copy
  // deletes the host's attachment files only after the block was placed.
  TGlobalMemory memory(GMEM_MOVEABLE | GMEM_DDESHARE, block.size());
  if (!memory.Get()) RaiseClipboardError(kClipboardMemoryError, LastOsError());
  void* bytes = GlobalLock(memory.Get());
  if (!bytes) RaiseClipboardError(kClipboardMemoryError, LastOsError());
  if (!block.empty()) std::memcpy(bytes, block.data(), block.size());
  GlobalUnlock(memory.Get());

  TOpenClipboard clipboard(owner);
  if (!clipboard.IsOpen()) RaiseClipboardError(kClipboardOpenError, LastOsError());
  EmptyClipboard();
  if (!SetClipboardData(format, memory.Get())) RaiseClipboardError(kClipboardSetError, LastOsError());
  // SetClipboardData owns the block now.
  memory.Release();
}

}  // namespace vx
