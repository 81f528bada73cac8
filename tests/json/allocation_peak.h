// Counts the bytes this test program holds from operator new, for the tests
// of how much memory parsing takes.
#pragma once

#include <cstddef>

namespace vx::testing {

// The most bytes held at once since the last ResetAllocationPeak.
size_t AllocationPeak();
void ResetAllocationPeak();

}  // namespace vx::testing
