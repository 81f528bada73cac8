// A server of another user behind this user's socket path. As root the test
// can be that user ("nobody") in a forked child; otherwise it is skipped.
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "hostlink/host_commands.h"
#include "hostlink/ipc_client.h"
#include "hostlink/pipe_transport.h"
#include "hostlink/temp_root.h"
#include "support/errors.h"
#include "support/folders.h"

namespace vx {
namespace {

using namespace test;

// Ends the forked server on every path out of the test.
struct TChildProcess {
  pid_t Pid = -1;
  ~TChildProcess() {
    if (Pid <= 0) return;
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
  }
};

TEST(PipeTransportPosix, AServerOfAnotherUserIsRefused) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs a second user id (run as root)";
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  UsePrivateTempRoot();
  const std::string name = UniquePipeName("vx-foreign");
  const std::string path = GetTempFolder("pipe") + name;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  TChildProcess child{::fork()};
  if (child.Pid == 0) {
    // A socket's server is whoever called listen(), so the child binds
    // nothing itself: it listens on this user's path as the other user.
    const bool listening = ::setgid(gid) == 0 && ::setuid(uid) == 0 && ::listen(fd, 4) == 0;
    const char byte = listening ? 1 : 0;
    [[maybe_unused]] const ssize_t written = ::write(ready[1], &byte, 1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char listening = 0;
  EXPECT_EQ(::read(ready[0], &listening, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(listening, 1);

  const std::string refused = "Pipe " + name + " is served by another user (uid " + std::to_string(uid) + ")";
  int error = 0;
  try {
    CreatePipeConnector()->Open("\\\\.\\pipe\\" + name, ExchangeDeadline(), &error);
    ADD_FAILURE() << "connected";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), refused);
  }
  SetServerName(name);
  try {
    ReadIPCValueSync("GETJSON");
    ADD_FAILURE() << "asked the server";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), refused);
  }
  SetServerName("");
  ::close(fd);
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace vx
