// The set-up shared by the host-link round-trip benchmarks: the exchange
// simulator and a bare ping-pong server on the same transport, each
// listening in a private temporary folder, and one round trip through each.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "exchange_simulator.h"

namespace vx {

// The simulator's "DBPATH" answer.
extern const char* const kBenchDbPath;

// Points the process's temporary folder at folder, so the service file
// and, off Windows, the pipe sockets stay out of the machine's real one.
void PointTempFolderAt(const std::string& folder);

class TPingPongServer;

class TRoundTripRig {
 public:
  // Raises vx::Exception when a pipe cannot be created.
  TRoundTripRig();
  ~TRoundTripRig();
  TRoundTripRig(const TRoundTripRig&) = delete;
  TRoundTripRig& operator=(const TRoundTripRig&) = delete;

  // One "DBPATH" read through the whole host link; false for a wrong answer.
  bool FramedRoundTrip();
  // The same bytes to the ping-pong server with no framing code; false
  // when the pipe failed.
  bool BareRoundTrip();

 private:
  // Removes the private temporary folder last, after everything in it.
  struct TTempRoot {
    TTempRoot();
    ~TTempRoot();
    std::string Folder;
  };
  struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  TTempRoot FRoot;
  std::unique_ptr<std::FILE, TFileCloser> FLog;
  std::unique_ptr<sim::TExchangeSimulator> FSimulator;
  std::unique_ptr<TPingPongServer> FPingPong;
  std::thread FSimulatorThread;
  std::string FPingPongPath;
  std::string FRequest;
  std::string FMarker;
  std::string FAnswer;
};

}  // namespace vx
