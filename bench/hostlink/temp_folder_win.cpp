#include <windows.h>

#include "roundtrip_rig.h"

namespace vx {

// GetTempPath takes TMP first, then TEMP.
void PointTempFolderAt(const std::string& folder) {
  SetEnvironmentVariableA("TMP", folder.c_str());
  SetEnvironmentVariableA("TEMP", folder.c_str());
}

}  // namespace vx
