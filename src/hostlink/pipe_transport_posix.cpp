#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "hostlink/pipe_transport.h"
#include "support/errors.h"
#include "support/folders.h"

namespace vx {

namespace {

constexpr int kErrorGenFailure = 31;
constexpr int kErrorNameTooLong = 206;
// A busy socket frees up when the server accepts; look again this often.
constexpr int kBusyPollMs = 5;

using TClock = std::chrono::steady_clock;

std::string SocketPathOfName(const std::string& name) { return GetTempFolder("pipe") + name; }

std::string SocketPathOfPipe(const std::string& pipePath) { return SocketPathOfName(PipeNameOfPath(pipePath)); }

// The socket file alone proves nothing about its server: a server of
// another user could collect the orders sent to it or name files of this
// user for the program to read and delete.
void RefuseServerOfAnotherUser(int fd, const std::string& pipePath) {
  ucred peer{};
  socklen_t size = sizeof peer;
  TPipePeer server;
  server.Known = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
  server.User = "uid " + std::to_string(peer.uid);
  TPipePeer self;
  self.Known = true;
  self.User = "uid " + std::to_string(geteuid());
  const std::string refusal = ServerRefusal(pipePath, server, self);
  if (!refusal.empty()) throw Exception(refusal);
}

int OpenErrorOf(int error) {
  switch (error) {
    case ENOENT:
    case ECONNREFUSED:  // a socket file left behind by a server that ended
    case ENOTSOCK:
    case ENOTDIR:
    case EISDIR:
      return kErrorFileNotFound;
    case EAGAIN:
      return kErrorPipeBusy;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    default:
      return kErrorGenFailure;
  }
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

int NewSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// Waits until fd is ready for events or the deadline passes.
bool WaitReady(int fd, short events, TDeadline deadline) {
  for (;;) {
    const auto now = TClock::now();
    if (deadline <= now) return false;
    // Rounded up, so that poll never returns just before the deadline.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    pollfd entry{fd, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(std::min<int64_t>(left, INT32_MAX)));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return true;  // the next call reports the error
  }
}

// A client's stream ends at its deadline; a server's gives each operation
// its own bound (ioTimeoutMs 0: none).
class TSocketStream : public TPipeStream {
 public:
  TSocketStream(int fd, int ioTimeoutMs, TDeadline deadline = TDeadline::max())
      : FFd(fd), FIoTimeoutMs(ioTimeoutMs), FDeadline(deadline) {}
  ~TSocketStream() override { close(FFd); }

  bool Write(const void* data, int64_t count) override {
    const auto deadline = Deadline();
    const auto* bytes = static_cast<const char*>(data);
    while (count > 0) {
      const ssize_t sent = send(FFd, bytes, static_cast<size_t>(count), MSG_NOSIGNAL);
      if (sent > 0) {
        bytes += sent;
        count -= sent;
      } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        if (!WaitReady(FFd, POLLOUT, deadline)) return Fail(kWaitTimeout);
      } else if (errno != EINTR) {
        return Fail(errno == EPIPE || errno == ECONNRESET ? kErrorNoData : kErrorGenFailure);
      }
    }
    return true;
  }

  bool Read(void* buffer, int64_t count, int64_t& done) override {
    done = 0;
    if (count <= 0) return true;
    const auto deadline = Deadline();
    for (;;) {
      const ssize_t received = recv(FFd, buffer, static_cast<size_t>(count), 0);
      if (received > 0) {
        done = received;
        return true;
      }
      if (received == 0) return Fail(kErrorBrokenPipe);
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        if (!WaitReady(FFd, POLLIN, deadline)) return Fail(kWaitTimeout);
      } else if (errno != EINTR) {
        return Fail(errno == ECONNRESET ? kErrorBrokenPipe : kErrorGenFailure);
      }
    }
  }

  int ErrorCode() const override { return FError; }

 private:
  TDeadline Deadline() const {
    if (FIoTimeoutMs <= 0) return FDeadline;
    return std::min(FDeadline, TClock::now() + std::chrono::milliseconds(FIoTimeoutMs));
  }
  bool Fail(int error) {
    FError = error;
    return false;
  }

  int FFd;
  int FIoTimeoutMs;
  TDeadline FDeadline;
  int FError = 0;
};

class TSocketConnector : public TPipeConnector {
 public:
  std::unique_ptr<TPipeStream> Open(const std::string& path, TDeadline deadline, int* error) override {
    sockaddr_un address;
    if (!FillAddress(SocketPathOfPipe(path), address)) return Fail(kErrorNameTooLong, error);
    const int fd = NewSocket();
    if (fd < 0) return Fail(kErrorGenFailure, error);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      const int reason = errno;
      close(fd);
      return Fail(OpenErrorOf(reason), error);
    }
    auto stream = std::make_unique<TSocketStream>(fd, 0, deadline);
    RefuseServerOfAnotherUser(fd, path);
    FLastError = 0;
    return stream;
  }

  // Sockets have no instances: a listening server takes every client unless
  // its backlog is full, so only a busy socket is worth waiting for.
  bool WaitForInstance(const std::string&, int timeoutMs, int* error) override {
    if (FLastError != kErrorPipeBusy) {
      *error = kErrorFileNotFound;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs > 0 && timeoutMs < kBusyPollMs ? timeoutMs : kBusyPollMs));
    return true;
  }

 private:
  std::unique_ptr<TPipeStream> Fail(int code, int* error) {
    FLastError = code;
    *error = code;
    return nullptr;
  }

  int FLastError = 0;
};

}  // namespace

std::unique_ptr<TPipeConnector> CreatePipeConnector() { return std::make_unique<TSocketConnector>(); }

struct TPipeServer::TImpl {
  std::string Path;
  int IoTimeoutMs = 0;
  int ListenFd = -1;
  int WakeFds[2] = {-1, -1};
  std::atomic<bool> Stopped{false};
};

TPipeServer::TPipeServer(const std::string& name, int ioTimeoutMs) : Name(name), FImpl(std::make_unique<TImpl>()) {
  FImpl->Path = SocketPathOfName(name);
  FImpl->IoTimeoutMs = ioTimeoutMs;
  sockaddr_un address;
  if (!FillAddress(FImpl->Path, address)) throw Exception("Pipe name too long: " + name);
  // A socket file that nobody listens on is left over from a server that
  // ended without clean-up; one that answers belongs to a running server.
  {
    int error = 0;
    const TDeadline probeDeadline = TClock::now() + std::chrono::milliseconds(ioTimeoutMs);
    if (CreatePipeConnector()->Open("\\\\.\\pipe\\" + name, probeDeadline, &error)) {
      throw Exception("Pipe " + name + " is already served by another process");
    }
  }
  unlink(FImpl->Path.c_str());
  FImpl->ListenFd = NewSocket();
  if (FImpl->ListenFd < 0 || bind(FImpl->ListenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(FImpl->ListenFd, SOMAXCONN) != 0 || pipe2(FImpl->WakeFds, O_CLOEXEC) != 0) {
    const std::string reason = SysErrorMessage(errno);
    if (FImpl->ListenFd >= 0) close(FImpl->ListenFd);
    throw Exception("Cannot create pipe " + name + ": " + reason);
  }
}

TPipeServer::~TPipeServer() {
  unlink(FImpl->Path.c_str());
  close(FImpl->ListenFd);
  close(FImpl->WakeFds[0]);
  close(FImpl->WakeFds[1]);
}

std::unique_ptr<TPipeStream> TPipeServer::Accept() {
  while (!FImpl->Stopped) {
    pollfd entries[2] = {{FImpl->ListenFd, POLLIN, 0}, {FImpl->WakeFds[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return nullptr;
    }
    if (FImpl->Stopped || entries[1].revents) return nullptr;
    const int fd = accept4(FImpl->ListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) return std::make_unique<TSocketStream>(fd, FImpl->IoTimeoutMs);
    // Out of descriptors or similar: do not spin while it lasts.
    if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return nullptr;
}

void TPipeServer::Stop() {
  FImpl->Stopped = true;
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = write(FImpl->WakeFds[1], &byte, 1);
}

}  // namespace vx
