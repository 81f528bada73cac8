#include <cstdlib>

#include "hostlink/temp_root.h"

namespace vx::test {

void SetEnvironment(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }

}  // namespace vx::test
