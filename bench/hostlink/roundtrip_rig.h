// The set-up shared by the host-link round-trip benchmarks: the exchange
// simulator and a bare ping-pong server on the same transport, each
// listening in a private temporary folder, and one round trip through each.
#pragma once

#include <memory>
#include <string>

#include "simulator_thread.h"

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
  TTempRoot FRoot;
  std::unique_ptr<sim::TSimulatorThread> FSimulator;
  std::unique_ptr<TPingPongServer> FPingPong;
  std::string FPingPongPath;
  std::string FRequest;
  std::string FMarker;
  std::string FAnswer;
};

}  // namespace vx
