#include <windows.h>

#include "support/errors.h"
#include "support/handles_win.h"

namespace vx {

std::string SysErrorMessage(int code) {
  TLocalMemory<char> text;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
          FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(text.Receive()), 0, nullptr);
  std::string result(text.Get() ? text.Get() : "", length);
  while (!result.empty() && (result.back() == ' ' || result.back() == '\r' || result.back() == '\n')) {
    result.pop_back();
  }
  return result;
}

int LastOsError() { return static_cast<int>(GetLastError()); }

}  // namespace vx
