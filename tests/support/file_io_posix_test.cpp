// Writes that fail after their file was created: the process's file size
// limit stands in for a disk that fills up.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/errors.h"
#include "support/file_io.h"
#include "support/file_size_limit.h"
#include "support/pause.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::TFileSizeLimit;
using testing::TTempFolder;

void NoPause(int) {}

TEST(SaveStreamUnique, FailedAttemptsLeaveNoFileBehind) {
  TTempFolder folder;
  const TPauseFunction previous = SetPauseFunction(&NoPause);
  TMemoryStream stream;
  stream.WriteText("RIFF....ACON");
  {
    TFileSizeLimit limit(4);
    EXPECT_THROW(SaveStreamUnique(stream, folder.File("cursor.ani")), Exception);
  }
  SetPauseFunction(previous);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 0);
}

}  // namespace
}  // namespace vx
