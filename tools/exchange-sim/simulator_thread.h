// The simulator serving on a thread of this process from creation to
// destruction, for the tests and benchmarks that reach it through the host
// link of the same process.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "exchange_simulator.h"

namespace vx::sim {

class TSimulatorThread {
 public:
  // Creates the simulator and starts serving; its lines go to logFile.
  // Raises vx::Exception when the log cannot be created or the simulator
  // not (a pipe name that is taken).
  TSimulatorThread(const TSimOptions& options, const std::string& logFile);
  // Stops serving and waits for the thread; the simulator and its log go.
  ~TSimulatorThread();
  TSimulatorThread(const TSimulatorThread&) = delete;
  TSimulatorThread& operator=(const TSimulatorThread&) = delete;

 private:
  struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::unique_ptr<std::FILE, TFileCloser> FLog;
  std::unique_ptr<TExchangeSimulator> FSimulator;
  std::thread FThread;
};

}  // namespace vx::sim
