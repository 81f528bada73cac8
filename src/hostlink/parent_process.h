// The process that started this program.
#pragma once

#include <cstdint>

namespace vx {

// Its process id; 0 when it cannot be found.
uint32_t GetParentProcessId();

}  // namespace vx
