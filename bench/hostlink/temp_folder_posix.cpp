#include <cstdlib>

#include "roundtrip_rig.h"

namespace vx {

void PointTempFolderAt(const std::string& folder) { setenv("TMPDIR", folder.c_str(), 1); }

}  // namespace vx
