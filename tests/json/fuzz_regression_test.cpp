// Replays the fuzz target's seeds and every input it once failed on.
#include <gtest/gtest.h>

#include <filesystem>

#include "json_fuzz_check.h"
#include "json_test_util.h"

namespace vx {
namespace {

TEST(FuzzRegressions, EveryKeptInputKeepsTheProperties) {
  int count = 0;
  for (const char* folder : {VX_FUZZ_REGRESSIONS, VX_FUZZ_CORPUS}) {
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string input = testing::ReadBytes(entry.path().string());
      EXPECT_EQ(testing::CheckJsonInput(input), "") << entry.path().string();
      ++count;
    }
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace vx
