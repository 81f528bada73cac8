#include <windows.h>

#include "actions/program_run.h"
#include "support/folders.h"

namespace vx::testing {

// Beside the test programs in the build folder.
std::string VxorderProgram() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFilePath(path) + "..\\..\\tools\\vxorder\\vxorder.exe";
}

std::vector<std::string> PlatformDoctorChecks() { return {"clipboard format", "work area"}; }

}  // namespace vx::testing
