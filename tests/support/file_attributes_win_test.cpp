// Windows behaviour of the file helpers: attributes, sharing and mapping.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/errors.h"
#include "support/file_contents.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/guid.h"
#include "support/os_file.h"
#include "support/pause.h"
#include "support/streams.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

TEST(WindowsFiles, SaveRestoresReadOnlyAndHiddenTogether) {
  TTempFolder folder;
  const std::string name = folder.File("template.txt");
  WriteFileBytes(name, "old");
  ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  TStringList list;
  list.Add("new");
  SaveStringsRetry(list, name);
  EXPECT_EQ(ReadFileBytes(name), "new\r\n");
  const DWORD attributes = GetFileAttributesA(name.c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsFiles, WriteStreamRefusesOtherOpenersButFileStaysPresent) {
  TTempFolder folder;
  const std::string name = folder.File("locked.json");
  TWriteCachedFileStream stream(name);
  TOsFile other;
  EXPECT_FALSE(other.Open(name, TOpenMode::ReadShared));
  EXPECT_EQ(other.LastError, kErrorSharingViolation);
  EXPECT_TRUE(FileIsPresent(name));
  stream.Close();
  EXPECT_TRUE(other.Open(name, TOpenMode::ReadShared));
}

TEST(WindowsFiles, MappedFileCanBeReadByOthersWhileOpen) {
  TTempFolder folder;
  const std::string name = folder.File("mapped.json");
  WriteFileBytes(name, "{\"a\":1}");
  TMappedFileStream stream(name);
  EXPECT_EQ(stream.View(), "{\"a\":1}");
  EXPECT_EQ(ReadFileBytes(name), "{\"a\":1}");
  // The mapping shares reading only, so a writer is refused while it lives.
  TOsFile writer;
  EXPECT_FALSE(writer.Open(name, TOpenMode::CreateAlways));
}

TEST(WindowsFiles, MissingNetworkShareIsNoFolder) {
  EXPECT_FALSE(FolderIsPresent("\\\\vx-no-such-server\\share\\folder"));
  EXPECT_FALSE(FileIsPresent("C:\\no\\such\\folder\\file.txt"));
  EXPECT_FALSE(FileIsPresent("C:\\bad<name>.txt"));
}

TEST(WindowsFiles, LockedFileIsStillDeletedByRetryOnceReleased) {
  TTempFolder folder;
  const std::string name = folder.File("held.tmp");
  WriteFileBytes(name, "x");
  {
    TOsFile holder;
    ASSERT_TRUE(holder.Open(name, TOpenMode::ReadShared));
    EXPECT_FALSE(DeleteFileIfPresent(name));
  }
  EXPECT_TRUE(DeleteFileIfPresent(name));
}

// A named pipe or a device opens like a file, but reading it may wait for
// ever; the readers refuse it at once, and no retry tries it again.
TEST(WindowsFiles, PipesAndDevicesAreNoFiles) {
  const std::string pipe = "\\\\.\\pipe\\vx-not-a-file-" + std::to_string(NewGuidHash());
  // Each open takes an instance of its own.
  HANDLE instances[2];
  for (HANDLE& instance : instances) {
    instance = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    ASSERT_NE(instance, INVALID_HANDLE_VALUE);
  }
  static int pauses = 0;
  const TPauseFunction previous = SetPauseFunction([](int) { ++pauses; });
  for (const std::string& name : {pipe, std::string("NUL")}) {
    TOsFile file;
    EXPECT_FALSE(file.Open(name, TOpenMode::ReadShared)) << name;
    EXPECT_EQ(file.LastError, kErrorBadFileType) << name;
    EXPECT_THROW(TMappedFileStream stream(name), ENotRegularFile) << name;
  }
  try {
    TMemoryStream stream;
    LoadStreamRetry(stream, "NUL");
    ADD_FAILURE() << "no error";
  } catch (const ENotRegularFile& error) {
    EXPECT_EQ(error.Message(), "Datei NUL ist keine regul\xe4re Datei");
  }
  EXPECT_EQ(pauses, 0);
  SetPauseFunction(previous);
  for (HANDLE instance : instances) CloseHandle(instance);
}

}  // namespace
}  // namespace vx
