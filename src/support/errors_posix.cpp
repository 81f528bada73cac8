#include <cerrno>
#include <cstring>

#include "support/errors.h"

namespace vx {

std::string SysErrorMessage(int code) {
  char buffer[256];
  // The GNU strerror_r may return a static text instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return text ? text : "";
}

int LastOsError() { return errno; }

}  // namespace vx
