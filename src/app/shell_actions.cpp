#include "app/shell_actions.h"

#include "support/handles_win.h"

#include <shellapi.h>

namespace vx {

bool ShowFileSelected(const std::string& path) {
  TComInit com;
  TItemIdList item(ILCreateFromPathA(path.c_str()));
  if (!item.Get()) return false;
  return SUCCEEDED(SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0));
}

bool ShellOpen(const std::string& target) {
  TComInit com;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // Values up to 32 are the shell's error codes.
  return result > 32;
}

}  // namespace vx
