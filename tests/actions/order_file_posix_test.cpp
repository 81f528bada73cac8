// A save that fails while writing: the process's file size limit stands in
// for a disk that fills up part-way through the order file.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "documents/order_document.h"
#include "json/fast_json.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

// Files may grow to limit bytes while it lives; a write beyond fails with
// EFBIG instead of ending the process.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = FOld;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    signal(SIGXFSZ, FOldHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit FOld{};
  void (*FOldHandler)(int) = nullptr;
};

TEST(WriteOrderFile, FailingPartWayKeepsTheOlderFileAndTheAttachment) {
  TTempFolder folder;
  const std::string target = folder.File("order.json");
  const std::string attachment = folder.File("contract.pdf");
  WriteFileBytes(target, "the order saved yesterday");
  WriteFileBytes(attachment, std::string(300, 'x'));
  TVXJSONObject document;
  document.Load(R"({"Permissions":{},"Order":[{"Adress":[{}],"Parts":[{"L2":")" + EncodeJsonText(attachment) +
                    R"("}]}]})",
                true, false);
  {
    TFileSizeLimit limit(200);
    EXPECT_THROW(WriteOrderFile(document, target), Exception);
  }
  EXPECT_EQ(ReadFileBytes(target), "the order saved yesterday");
  EXPECT_EQ(ReadFileBytes(attachment), std::string(300, 'x'));
  // Nothing half-written is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);
}

}  // namespace
}  // namespace vx
