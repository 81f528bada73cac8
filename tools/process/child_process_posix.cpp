#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "process/child_process.h"
#include "support/errors.h"

extern char** environ;

namespace vx {

namespace {

// The spawn's file actions, destroyed with the owner.
class TFileActions {
 public:
  TFileActions() { posix_spawn_file_actions_init(&FActions); }
  ~TFileActions() { posix_spawn_file_actions_destroy(&FActions); }
  TFileActions(const TFileActions&) = delete;
  TFileActions& operator=(const TFileActions&) = delete;

  posix_spawn_file_actions_t* Get() { return &FActions; }

 private:
  posix_spawn_file_actions_t FActions;
};

// Creates or empties the file here, so that a file that cannot be made is
// reported as such and not as a program that cannot start.
void RedirectToFile(TFileActions& actions, int fd, const std::string& name) {
  const int file = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) throw Exception("Cannot create " + name + ": " + SysErrorMessage(errno));
  close(file);
  posix_spawn_file_actions_addopen(actions.Get(), fd, name.c_str(), O_WRONLY | O_TRUNC, 0);
}

}  // namespace

struct TChildProcess::TImpl {
  pid_t Pid = -1;
  long PeakKilobytes = 0;
};

TChildProcess::TChildProcess(const std::vector<std::string>& args, const TChildOptions& options)
    : FImpl(std::make_unique<TImpl>()) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  TFileActions actions;
  if (options.EmptyInput) posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
  if (!options.OutputFile.empty()) RedirectToFile(actions, 1, options.OutputFile);
  if (!options.ErrorFile.empty()) RedirectToFile(actions, 2, options.ErrorFile);
  // The spawn reports a program that cannot be executed as its own error.
  const int error = posix_spawnp(&FImpl->Pid, argv[0], actions.Get(), nullptr, argv.data(), environ);
  if (error != 0) {
    FImpl->Pid = -1;
    throw Exception("Cannot start " + args.at(0) + ": " + SysErrorMessage(error));
  }
}

TChildProcess::~TChildProcess() = default;

int TChildProcess::Wait() {
  int status = 0;
  rusage usage{};
  while (wait4(FImpl->Pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) return -1;
  }
  FImpl->PeakKilobytes = usage.ru_maxrss;  // kilobytes on Linux
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

double TChildProcess::PeakMegabytes() const { return static_cast<double>(FImpl->PeakKilobytes) / 1024.0; }

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

}  // namespace vx
