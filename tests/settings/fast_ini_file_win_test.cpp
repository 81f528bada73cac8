#include <windows.h>

#include <gtest/gtest.h>

#include "settings/fast_ini_file.h"
#include "settings/settings_test_util.h"
#include "support/errors.h"
#include "support/file_contents.h"
#include "support/os_file.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class FastIniFileWin : public TSettingsTest {
 protected:
  std::string Name() const { return Folder + "UserMode.INI"; }
};

TEST_F(FastIniFileWin, FileHeldByAWriterCannotBeOpened) {
  WriteFileBytes(Name(), "[MODE]\r\nn=1\r\n");
  TOsFile writer;
  ASSERT_TRUE(writer.Open(Name(), TOpenMode::OpenAlways));
  TFastIniFile ini(Name());
  try {
    ini.ReadString("MODE", "n", "");
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Datei " + Name() + " kann nicht ge\xf6" "ffnet werden");
  }
  EXPECT_EQ(Pauses, 1000);
}

// The file is released after a few retries, as when another instance ends
// its read.
TOsFile* gReader = nullptr;
void ReleaseAfterThreePauses(int) {
  if (++TSettingsTest::Pauses == 3 && gReader) gReader->Close();
}

TEST_F(FastIniFileWin, SaveWaitsWhileAReaderHoldsTheFile) {
  WriteFileBytes(Name(), "[MODE]\r\nn=1\r\n");
  TOsFile reader;
  ASSERT_TRUE(reader.Open(Name(), TOpenMode::ReadShared));
  gReader = &reader;
  const TPauseFunction previous = SetPauseFunction(&ReleaseAfterThreePauses);
  {
    TFastIniFile ini(Name());
    ini.WriteInteger("MODE", "n", 2);
    ini.UpdateFile();
  }
  SetPauseFunction(previous);
  gReader = nullptr;
  EXPECT_EQ(Pauses, 3);
  EXPECT_EQ(ReadFileBytes(Name()), "[MODE]\r\nn=2\r\n");
}

TEST_F(FastIniFileWin, SaveKeepsHiddenAndSystemAttributes) {
  WriteFileBytes(Name(), "[MODE]\r\nn=1\r\n");
  ASSERT_TRUE(SetFileAttributesA(Name().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  {
    TFastIniFile ini(Name());
    ini.WriteInteger("MODE", "n", 2);
  }
  EXPECT_EQ(ReadFileBytes(Name()), "[MODE]\r\nn=2\r\n");
  const DWORD attributes = GetFileAttributesA(Name().c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
}

}  // namespace
}  // namespace vx
