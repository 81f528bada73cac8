// A FIFO where a file is expected, for the tests of what a hostile host or
// user could put in the program's way.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace vx::testing {

// A reader that blocks in the FIFO's open is let go (the write end is
// opened and closed again), so that code which waits on a FIFO reads an
// empty file instead of hanging the test.
class TFifo {
 public:
  explicit TFifo(std::string path) : Path(std::move(path)) {
    ::mkfifo(Path.c_str(), 0600);
    FReleaser = std::thread([this] {
      while (!FStop) {
        const int fd = ::open(Path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  ~TFifo() {
    FStop = true;
    FReleaser.join();
  }
  TFifo(const TFifo&) = delete;
  TFifo& operator=(const TFifo&) = delete;

  const std::string Path;

 private:
  std::atomic<bool> FStop{false};
  std::thread FReleaser;
};

}  // namespace vx::testing
