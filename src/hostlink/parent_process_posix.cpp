#include <unistd.h>

#include "hostlink/parent_process.h"

namespace vx {

uint32_t GetParentProcessId() { return static_cast<uint32_t>(getppid()); }

}  // namespace vx
