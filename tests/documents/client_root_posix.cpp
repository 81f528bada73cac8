#include "documents/client_root.h"

#include <stdlib.h>

namespace vx {

void PointClientRootAt(const std::string& dataFolder) { setenv("XDG_DATA_HOME", dataFolder.c_str(), 1); }

}  // namespace vx
