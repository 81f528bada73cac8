#include "hostlink/temp_root.h"

#include <cstdlib>
#include <filesystem>

#include "support/folders.h"
#include "support/guid.h"

namespace vx::test {

namespace {

std::string gRoot;

void RemoveRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(gRoot, ignored);
}

}  // namespace

std::string UsePrivateTempRoot() {
  static const std::string root = [] {
    // The system's temporary folder takes a sub-folder of its own; both the
    // Windows and the POSIX lookup honour these variables.
    const std::string folder = GetTempFolder("hostlink-test-" + std::to_string(NewGuidHash()));
    SetEnvironment("TMPDIR", folder);
    SetEnvironment("TMP", folder);
    SetEnvironment("TEMP", folder);
    gRoot = folder;
    std::atexit(&RemoveRoot);
    return folder;
  }();
  return root;
}

std::string UniquePipeName(const std::string& prefix) { return prefix + "-" + std::to_string(NewGuidHash()); }

}  // namespace vx::test
