#include "binary_output.h"

namespace vx::vxorder {

// POSIX streams never translate bytes.
void SetBinaryOutput() {}

}  // namespace vx::vxorder
