#include <windows.h>

#include "hostlink/temp_root.h"

namespace vx::test {

void SetEnvironment(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

}  // namespace vx::test
