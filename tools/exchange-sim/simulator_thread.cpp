#include "simulator_thread.h"

#include "support/errors.h"

namespace vx::sim {

TSimulatorThread::TSimulatorThread(const TSimOptions& options, const std::string& logFile)
    : FLog(std::fopen(logFile.c_str(), "w")) {
  if (!FLog) throw Exception("The simulator's log cannot be created: " + logFile);
  FSimulator = std::make_unique<TExchangeSimulator>(options, FLog.get());
  FThread = std::thread([this] { FSimulator->Run(); });
}

TSimulatorThread::~TSimulatorThread() {
  FSimulator->Stop();
  FThread.join();
}

}  // namespace vx::sim
