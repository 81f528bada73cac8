#include "documents/client_root.h"

namespace vx {

void PointClientRootAt(const std::string&) {}

}  // namespace vx
