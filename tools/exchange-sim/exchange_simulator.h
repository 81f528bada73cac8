// A host exchange server for demos, tests and support staff: it answers
// the host's commands from its options and stores what is sent to it.
#pragma once

#include <atomic>
#include <cstdio>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hostlink/pipe_transport.h"
#include "hostlink/stream_storage.h"
#include "sim_options.h"

namespace vx::sim {

// Lists the server's name first in the local exchange-service file while
// it lives, keeping the other lines, and takes it out again. Simulators
// that start or end at the same moment update the file one after the
// other, and no name is ever written twice (a line left by a crashed run
// is moved, not repeated). Raises vx::Exception when the file stays locked
// by another simulator for 10 s.
class TServiceFileEntry {
 public:
  explicit TServiceFileEntry(const std::string& name);
  ~TServiceFileEntry();
  TServiceFileEntry(const TServiceFileEntry&) = delete;
  TServiceFileEntry& operator=(const TServiceFileEntry&) = delete;

 private:
  std::string FName;
};

class TExchangeSimulator {
 public:
  // Creates the pipe and lists it; raises vx::Exception when the pipe
  // cannot be created (for example when the name is taken). Each request,
  // and what became of each "OUTDATA" document, goes to log as one line.
  TExchangeSimulator(const TSimOptions& options, std::FILE* log);
  ~TExchangeSimulator();

  // Serves clients, each on a thread of its own, until Stop.
  void Run();
  // Serves while the program launch[0] runs as a child of this process, so
  // that it finds this server through its parent; returns the child's exit
  // code (1 when it could not be started, with the reason in the log).
  int RunLaunched(const std::vector<std::string>& launch);
  // Any thread; safe in a signal handler.
  void Stop() { FServer.Stop(); }

 private:
  struct TWorker {
    std::thread Thread;
    std::atomic<bool> Done{false};
  };

  void Serve(TPipeStream& client);
  // The "DATA" answer of a request; false for an answer without "DATA".
  bool AnswerOf(const std::string& command, TStreamStorage& request, std::string& answer);
  std::string CopyOrderFile();
  void StoreOutData(const std::string& document);
  // The highest number of the documents an earlier run stored in the
  // output folder; 0 when there are none.
  int LastStoredNumber() const;
  void Log(const std::string& line);
  void JoinFinishedWorkers(bool all);

  const TSimOptions FOptions;
  std::FILE* FLog;
  TPipeServer FServer;
  TServiceFileEntry FServiceEntry;
  std::mutex FLock;  // the log and the numbering of stored documents
  int FOutDataCount = 0;
  std::list<TWorker> FWorkers;
};

}  // namespace vx::sim
