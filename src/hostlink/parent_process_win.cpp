#include <windows.h>
#include <tlhelp32.h>

#include "hostlink/parent_process.h"
#include "support/handles_win.h"

namespace vx {

uint32_t GetParentProcessId() {
  const THandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return 0;
  const DWORD self = GetCurrentProcessId();
  uint32_t parent = 0;
  PROCESSENTRY32 entry{};
  // The entry's own size: 296 bytes for the 32-bit ANSI layout, more on 64-bit.
  entry.dwSize = sizeof(PROCESSENTRY32);
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  return parent;
}

}  // namespace vx
