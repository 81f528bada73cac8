#include "actions/program_run.h"

namespace vx::testing {

std::string VxorderProgram() { return VX_VXORDER; }

std::vector<std::string> PlatformDoctorChecks() { return {}; }

}  // namespace vx::testing
