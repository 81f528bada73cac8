// A write failure that appears only when the cache is written out.
#include <gtest/gtest.h>

#include "json/fast_json.h"
#include "json_test_util.h"
#include "support/file_size_limit.h"

namespace vx {
namespace {

using testing::TFileSizeLimit;

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
