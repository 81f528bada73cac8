// A write failure that appears only when the cache is written out.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "json/fast_json.h"
#include "json_test_util.h"

namespace vx {
namespace {

// Limits the size of files this process writes, like a full disk.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    signal(SIGXFSZ, FOldHandler);
  }

 private:
  rlimit FOld{};
  void (*FOldHandler)(int);
};

TEST(SaveToFile, FailedFinalWriteReachesTheCaller) {
  // The document is smaller than the cache, so the failure comes from the
  // last flush, after the writer has finished.
  testing::TTempFolder folder;
  const std::string name = folder.File("full.json");
  TFastJSON json;
  json.Parse("[\"" + std::string(100, 'x') + "\"]");
  std::string error;
  {
    TFileSizeLimit limit(10);
    error = testing::ErrorText([&] { json.SaveToFile(name); });
  }
  EXPECT_EQ(error.rfind("FileWrite failed for " + name + ".", 0), 0u) << error;
}

}  // namespace
}  // namespace vx
