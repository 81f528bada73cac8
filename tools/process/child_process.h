// The program the simulator launches, so that it finds the simulator as
// the server of its parent process; and the simulator's own process id.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx::sim {

class TChildProcess {
 public:
  // Starts args[0] with the other arguments. Raises vx::Exception when it
  // cannot be started.
  explicit TChildProcess(const std::vector<std::string>& args);
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Waits for the child to end; its exit code.
  int Wait();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

uint32_t CurrentProcessId();

// Calls stop (once) when the user interrupts the program (Ctrl+C) or it is
// asked to end; stop must only do what is safe in a signal handler.
void OnInterrupt(void (*stop)());

}  // namespace vx::sim
