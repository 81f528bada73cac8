#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "binary_output.h"

namespace vx::vxorder {

void SetBinaryOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace vx::vxorder
