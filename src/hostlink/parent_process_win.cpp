#include <windows.h>
#include <tlhelp32.h>

#include "hostlink/parent_process.h"

namespace vx {

uint32_t GetParentProcessId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == nullptr || snapshot == INVALID_HANDLE_VALUE) return 0;
  const DWORD self = GetCurrentProcessId();
  uint32_t parent = 0;
  PROCESSENTRY32 entry{};
  // The entry's own size: 296 bytes for the 32-bit ANSI layout, more on 64-bit.
  entry.dwSize = sizeof(PROCESSENTRY32);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return parent;
}

}  // namespace vx
