// The workstation's local date and time, as the order files and the
// proposed file names show it (no time-zone conversion).
#pragma once

#include "json/fast_json.h"

namespace vx {

// Now, to the millisecond.
TJsonDateTime LocalDateTimeNow();

}  // namespace vx
