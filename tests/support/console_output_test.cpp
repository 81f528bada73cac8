#include "support/console_output.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

// A file or a pipe gets the bytes exactly, so scripts see no change.
TEST(WriteConsoleText, FileGetsTheBytesUnchanged) {
  testing::TTempFolder folder;
  const std::string fileName = folder.File("out.txt");
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::string text = "M\xfcller \x84K\xf6ln\x93 \x80\n";
  EXPECT_TRUE(WriteConsoleText(file, text));
  std::fclose(file);
  EXPECT_EQ(testing::ReadFileBytes(fileName), text);
}

}  // namespace
}  // namespace vx
