#include "doctor.h"

namespace vx::vxorder {

// The clipboard format and the window's placement exist only on Windows.
void AddPlatformChecks(TDoctorReport&, const std::string&) {}

}  // namespace vx::vxorder
