#include "hostlink/pipe_transport.h"

namespace vx {

bool ReadExact(TPipeStream& stream, void* buffer, int64_t count) {
  auto* bytes = static_cast<char*>(buffer);
  while (count > 0) {
    int64_t done = 0;
    if (!stream.Read(bytes, count, done)) return false;
    bytes += done;
    count -= done;
  }
  return true;
}

}  // namespace vx
