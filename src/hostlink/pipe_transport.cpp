#include "hostlink/pipe_transport.h"

namespace vx {

std::string PipeNameOfPath(const std::string& pipePath) {
  static const std::string kMarker = "\\pipe\\";
  const size_t at = pipePath.find(kMarker);
  return at == std::string::npos ? pipePath : pipePath.substr(at + kMarker.size());
}

std::string ServerRefusal(const std::string& pipePath, const TPipePeer& server, const TPipePeer& self) {
  const std::string pipe = "Pipe " + PipeNameOfPath(pipePath);
  if (!server.Known) return pipe + " is served by another user";
  if (server.User != self.User) return pipe + " is served by another user (" + server.User + ")";
  if (server.Session != self.Session) {
    return pipe + " is served in another session (session " + std::to_string(server.Session) + ")";
  }
  return "";
}

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
