#include <windows.h>

#include <vector>

#include "settings/settings_store.h"
#include "support/folders.h"

namespace vx {

std::string ProgramFolder() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return AddPathDelim(".");
    // A full buffer may have cut the name short.
    if (length < path.size()) return ExtractFilePath(std::string(path.data(), length));
    path.resize(path.size() * 2);
  }
}

}  // namespace vx
