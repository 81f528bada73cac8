#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "process/child_process.h"
#include "support/errors.h"

namespace vx::sim {

struct TChildProcess::TImpl {
  pid_t Pid = -1;
};

TChildProcess::TChildProcess(const std::vector<std::string>& args) : FImpl(std::make_unique<TImpl>()) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // A pipe that closes on a successful exec tells the parent whether the
  // program could be started at all.
  int report[2];
  if (pipe(report) != 0) throw Exception("Cannot start " + args.at(0) + ": " + SysErrorMessage(errno));
  FImpl->Pid = fork();
  if (FImpl->Pid == 0) {
    close(report[0]);
    fcntl(report[1], F_SETFD, FD_CLOEXEC);
    execvp(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int error = 0;
  const bool failed = FImpl->Pid < 0 || read(report[0], &error, sizeof error) == sizeof error;
  if (FImpl->Pid < 0) error = errno;
  close(report[0]);
  if (failed) {
    if (FImpl->Pid > 0) waitpid(FImpl->Pid, nullptr, 0);
    FImpl->Pid = -1;
    throw Exception("Cannot start " + args.at(0) + ": " + SysErrorMessage(error));
  }
}

TChildProcess::~TChildProcess() = default;

int TChildProcess::Wait() {
  int status = 0;
  while (waitpid(FImpl->Pid, &status, 0) < 0) {
    if (errno != EINTR) return 1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

namespace {

void (*gStop)() = nullptr;

void HandleSignal(int) {
  if (gStop) gStop();
}

}  // namespace

void OnInterrupt(void (*stop)()) {
  gStop = stop;
  struct sigaction action {};
  action.sa_handler = &HandleSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace vx::sim
