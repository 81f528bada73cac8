#include <unistd.h>

#include <climits>

#include "settings/settings_store.h"
#include "support/folders.h"

namespace vx {

std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0) return AddPathDelim(".");
  return ExtractFilePath(std::string(path, static_cast<size_t>(length)));
}

}  // namespace vx
