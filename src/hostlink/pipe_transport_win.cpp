#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "hostlink/pipe_transport.h"
#include "support/errors.h"
#include "support/handles_win.h"

namespace vx {

namespace {

// Both ends need a message-size buffer; the framing writes pieces of 64 KiB.
constexpr DWORD kPipeBufferSize = 65536;

std::string PipePathOfName(const std::string& name) { return "\\\\.\\pipe\\" + name; }

// The handle is opened for overlapped input and output only so that each
// operation can be given up after the time bound; the calls themselves
// still complete one after the other. A client's stream ends at its
// deadline; a server's gives each operation its own bound (ioTimeoutMs 0:
// none).
class TNamedPipeStream : public TPipeStream {
 public:
  TNamedPipeStream(HANDLE handle, int ioTimeoutMs, TDeadline deadline = TDeadline::max())
      : FHandle(handle),
        FEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        FIoTimeoutMs(ioTimeoutMs),
        FDeadline(deadline) {}

  bool Write(const void* data, int64_t count) override {
    if (count <= 0) return true;
    OVERLAPPED overlapped = NewOverlapped();
    DWORD written = 0;
    const auto size = static_cast<DWORD>(count);
    const BOOL done = WriteFile(FHandle.Get(), data, size, nullptr, &overlapped);
    if (!Finish(done, overlapped, written)) return false;
    if (written != size) return Fail(kErrorNoData);
    return true;
  }

  bool Read(void* buffer, int64_t count, int64_t& done) override {
    done = 0;
    if (count <= 0) return true;
    OVERLAPPED overlapped = NewOverlapped();
    DWORD received = 0;
    const auto size = static_cast<DWORD>(count > MAXDWORD ? MAXDWORD : count);
    const BOOL ok = ReadFile(FHandle.Get(), buffer, size, nullptr, &overlapped);
    const bool success = Finish(ok, overlapped, received) || FError == kErrorMoreData;
    done = received;
    return success;
  }

  int ErrorCode() const override { return FError; }

 private:
  OVERLAPPED NewOverlapped() {
    OVERLAPPED overlapped{};
    overlapped.hEvent = FEvent.Get();
    ResetEvent(FEvent.Get());
    return overlapped;
  }

  // Waits for the operation within the time bound; on time-out it is
  // cancelled and waited for, so the buffer is free again on return.
  bool Finish(BOOL started, OVERLAPPED& overlapped, DWORD& transferred) {
    FError = 0;
    if (!started) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        GetOverlappedResult(FHandle.Get(), &overlapped, &transferred, FALSE);
        return Fail(static_cast<int>(error));
      }
      if (WaitForSingleObject(overlapped.hEvent, MillisecondsLeft()) != WAIT_OBJECT_0) {
        CancelIoEx(FHandle.Get(), &overlapped);
        GetOverlappedResult(FHandle.Get(), &overlapped, &transferred, TRUE);
        transferred = 0;
        return Fail(kWaitTimeout);
      }
    }
    if (!GetOverlappedResult(FHandle.Get(), &overlapped, &transferred, FALSE)) {
      return Fail(static_cast<int>(GetLastError()));
    }
    return true;
  }

  // What is left of this operation's time, rounded up.
  DWORD MillisecondsLeft() const {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    TDeadline deadline = FDeadline;
    if (FIoTimeoutMs > 0) deadline = std::min(deadline, now + milliseconds(FIoTimeoutMs));
    if (deadline <= now) return 0;
    const auto left = ceil<milliseconds>(deadline - now).count();
    // INFINITE itself would mean no bound at all.
    return static_cast<DWORD>(std::min<long long>(left, INFINITE - 1));
  }

  bool Fail(int error) {
    FError = error;
    return false;
  }

  THandle FHandle;
  THandle FEvent;
  int FIoTimeoutMs;
  TDeadline FDeadline;
  int FError = 0;
};

// The user (its SID as text) and session of a process; not known when the
// system does not tell them to this program.
TPipePeer PeerOfProcess(DWORD processId) {
  TPipePeer peer;
  DWORD session = 0;
  if (!ProcessIdToSessionId(processId, &session)) return peer;
  THandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  HANDLE tokenHandle = nullptr;
  if (!process.Valid() || !OpenProcessToken(process.Get(), TOKEN_QUERY, &tokenHandle)) return peer;
  THandle token(tokenHandle);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return peer;
  std::vector<BYTE> user(size);
  TLocalMemory<char> sid;
  if (!GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size) ||
      !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, sid.Receive())) {
    return peer;
  }
  peer.User = sid.Get();
  peer.Session = session;
  peer.Known = true;
  return peer;
}

// Pipe names belong to the whole machine: on a terminal server another
// user could serve the name in this user's service file, collect the orders
// sent to it and name files of this user for the program to read and
// delete. The process that serves the pipe must run as this user, in this
// session.
void RefuseServerOfAnotherUser(HANDLE pipe, const std::string& pipePath) {
  ULONG serverProcessId = 0;
  const TPipePeer server =
      GetNamedPipeServerProcessId(pipe, &serverProcessId) ? PeerOfProcess(serverProcessId) : TPipePeer();
  const std::string refusal = ServerRefusal(pipePath, server, PeerOfProcess(GetCurrentProcessId()));
  if (!refusal.empty()) throw Exception(refusal);
}

class TNamedPipeConnector : public TPipeConnector {
 public:
  std::unique_ptr<TPipeStream> Open(const std::string& path, TDeadline deadline, int* error) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      *error = static_cast<int>(GetLastError());
      return nullptr;
    }
    auto stream = std::make_unique<TNamedPipeStream>(handle, 0, deadline);
    // A path without a pipe's name ("\\.\pipe\") opens the pipes' folder.
    if (GetFileType(handle) != FILE_TYPE_PIPE) {
      *error = kErrorFileNotFound;
      return nullptr;
    }
    RefuseServerOfAnotherUser(handle, path);
    return stream;
  }

  bool WaitForInstance(const std::string& path, int timeoutMs, int* error) override {
    if (WaitNamedPipeA(path.c_str(), static_cast<DWORD>(timeoutMs))) return true;
    *error = static_cast<int>(GetLastError());
    return false;
  }
};

}  // namespace

std::unique_ptr<TPipeConnector> CreatePipeConnector() { return std::make_unique<TNamedPipeConnector>(); }

struct TPipeServer::TImpl {
  std::string Path;
  int IoTimeoutMs = 0;
  THandle Listening;  // the free instance that the next client gets
  THandle StopEvent;
  THandle ConnectEvent;
  std::atomic<bool> Stopped{false};

  // The host's server is for programs on this machine only: a client on
  // another machine is refused by the system before it sends a byte.
  HANDLE NewInstance(bool first) {
    const DWORD openMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    const DWORD pipeMode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
    return CreateNamedPipeA(Path.c_str(), openMode, pipeMode, PIPE_UNLIMITED_INSTANCES, kPipeBufferSize,
                            kPipeBufferSize, 0, nullptr);
  }
};

TPipeServer::TPipeServer(const std::string& name, int ioTimeoutMs) : Name(name), FImpl(std::make_unique<TImpl>()) {
  FImpl->Path = PipePathOfName(name);
  FImpl->IoTimeoutMs = ioTimeoutMs;
  FImpl->StopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  FImpl->ConnectEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  // The first-instance flag alone is not honoured everywhere (wine); a pipe
  // that can be waited for already has a server.
  if (WaitNamedPipeA(FImpl->Path.c_str(), 1) || GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw Exception("Pipe " + name + " is already served by another process");
  }
  FImpl->Listening.Reset(FImpl->NewInstance(true));
  if (!FImpl->Listening.Valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) throw Exception("Pipe " + name + " is already served by another process");
    throw Exception("Cannot create pipe " + name + ": " + SysErrorMessage(static_cast<int>(error)));
  }
}

TPipeServer::~TPipeServer() = default;

std::unique_ptr<TPipeStream> TPipeServer::Accept() {
  while (!FImpl->Stopped) {
    if (!FImpl->Listening.Valid()) {
      FImpl->Listening.Reset(FImpl->NewInstance(false));
      if (!FImpl->Listening.Valid()) {
        // Out of resources for the moment; try again shortly unless stopped.
        if (WaitForSingleObject(FImpl->StopEvent.Get(), 100) == WAIT_OBJECT_0) return nullptr;
        continue;
      }
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = FImpl->ConnectEvent.Get();
    ResetEvent(overlapped.hEvent);
    bool connected = ConnectNamedPipe(FImpl->Listening.Get(), &overlapped) != FALSE;
    const DWORD error = connected ? 0 : GetLastError();
    if (error == ERROR_PIPE_CONNECTED) {
      connected = true;
    } else if (error == ERROR_IO_PENDING) {
      const HANDLE events[2] = {overlapped.hEvent, FImpl->StopEvent.Get()};
      if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        DWORD ignored = 0;
        CancelIoEx(FImpl->Listening.Get(), &overlapped);
        GetOverlappedResult(FImpl->Listening.Get(), &overlapped, &ignored, TRUE);
        return nullptr;
      }
      DWORD ignored = 0;
      connected = GetOverlappedResult(FImpl->Listening.Get(), &overlapped, &ignored, FALSE) != FALSE;
    }
    if (!connected) {
      // A client that came and went before we saw it; serve the next one.
      DisconnectNamedPipe(FImpl->Listening.Get());
      continue;
    }
    HANDLE client = FImpl->Listening.Release();
    // A free instance must exist before this client is served, or a client
    // arriving meanwhile finds no pipe at all and gives up at once.
    FImpl->Listening.Reset(FImpl->NewInstance(false));
    return std::make_unique<TNamedPipeStream>(client, FImpl->IoTimeoutMs);
  }
  return nullptr;
}

void TPipeServer::Stop() {
  FImpl->Stopped = true;
  SetEvent(FImpl->StopEvent.Get());
}

}  // namespace vx
