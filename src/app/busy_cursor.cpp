#include "app/busy_cursor.h"

#include <string>

#include "support/file_io.h"
#include "support/folders.h"
#include "support/guid.h"
#include "support/streams.h"

namespace vx {

namespace {

struct TCursorTable {
  bool Loaded = false;
  HCURSOR Busy = nullptr;  // the entry crBusyCursor; null when loading failed
  int Current = 0;         // 0: the default cursor
};

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

// The resource bytes, or an empty text when the resource is missing.
std::string ResourceBytes(const char* name, const char* type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, name, type);
  if (!info) return "";
  HGLOBAL data = LoadResource(module, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return "";
  // Module resources need no release: they live as long as the module.
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, info));
}

// LoadCursorFromFileA reads animated cursors only from files, so the
// resource goes through a temporary file that is removed at once.
HCURSOR LoadBusyCursor() {
  std::string written;
  HCURSOR cursor = nullptr;
  try {
    const std::string bytes = ResourceBytes("crCursor_ajax03", "RT_ANICURSOR");
    if (bytes.empty()) return nullptr;
    TMemoryStream stream;
    stream.SetData(bytes);
    written = SaveStreamUnique(stream, GetTempFolder("XCURSOR") + std::to_string(NewGuidHash()) + ".ani");
    cursor = LoadCursorFromFileA(written.c_str());
  } catch (...) {
    // A missing cursor only means the default one shows.
  }
  if (!written.empty()) DeleteFileIfPresent(written);
  return cursor;
}

void EnsureLoaded() {
  TCursorTable& table = Cursors();
  if (table.Loaded) return;
  // Set first so that a failed load is not repeated.
  table.Loaded = true;
  table.Busy = LoadBusyCursor();
}

void ShowCurrent() {
  HCURSOR cursor = ApplicationCursor();
  SetCursor(cursor ? cursor : LoadCursor(nullptr, IDC_ARROW));
}

}  // namespace

void BeginBusyCursor() {
  EnsureLoaded();
  Cursors().Current = crBusyCursor;
  ShowCurrent();
}

void EndBusyCursor() {
  EnsureLoaded();
  Cursors().Current = 0;
  ShowCurrent();
}

HCURSOR ApplicationCursor() {
  const TCursorTable& table = Cursors();
  return table.Current == crBusyCursor ? table.Busy : nullptr;
}

void FreeBusyCursor() {
  TCursorTable& table = Cursors();
  if (table.Busy) DestroyCursor(table.Busy);
  table.Busy = nullptr;
  table.Current = 0;
}

}  // namespace vx
