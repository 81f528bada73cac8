#include "support/streams.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

TEST(WriteCachedFileStream, ManySmallWritesMakeOneFile) {
  TTempFolder folder;
  const std::string name = folder.File("out.bin");
  std::string expected;
  {
    TWriteCachedFileStream stream(name);
    for (int i = 0; i < 40000; ++i) {
      const char c = static_cast<char>('a' + i % 26);
      expected += c;
      stream.WriteBuffer(&c, 1);
    }
    EXPECT_EQ(stream.Size(), 40000);
    stream.Close();
  }
  EXPECT_EQ(ReadFileBytes(name), expected);
}

TEST(WriteCachedFileStream, NewFileReplacesOldAndEmptyStreamLeavesEmptyFile) {
  TTempFolder folder;
  const std::string name = folder.File("old.txt");
  WriteFileBytes(name, "previous content");
  { TWriteCachedFileStream stream(name); }
  EXPECT_EQ(ReadFileBytes(name), "");
}

TEST(WriteCachedFileStream, SeekBackRewritesCachedBytes) {
  TTempFolder folder;
  const std::string name = folder.File("seek.txt");
  {
    TWriteCachedFileStream stream(name);
    stream.WriteText("0123456789");
    EXPECT_EQ(stream.Seek(0, soBeginning), 0);
    stream.WriteText("ab");
    EXPECT_EQ(stream.Seek(0, soEnd), 10);
    stream.Close();
  }
  EXPECT_EQ(ReadFileBytes(name), "ab23456789");
}

TEST(WriteCachedFileStream, SeekOutsideCacheFlushesFirst) {
  TTempFolder folder;
  const std::string name = folder.File("far.txt");
  {
    TWriteCachedFileStream stream(name, 4);
    stream.WriteText("abcdef");  // "abcd" flushed, "ef" cached
    stream.Seek(1, soBeginning);
    stream.WriteText("X");
    stream.Close();
  }
  EXPECT_EQ(ReadFileBytes(name), "aXcdef");
}

TEST(WriteCachedFileStream, MissingFolderRaisesStreamErrorWithName) {
  TTempFolder folder;
  const std::string name = folder.File("no/such/folder/x.json");
  try {
    TWriteCachedFileStream stream(name);
    FAIL() << "no error";
  } catch (const EStreamError& error) {
    EXPECT_EQ(error.Message().rfind("Cannot create " + name + ".  ", 0), 0u) << error.Message();
  }
}

TEST(MappedFileStream, ReadsAndSeeksWithinTheFile) {
  TTempFolder folder;
  const std::string name = folder.File("in.txt");
  WriteFileBytes(name, "hello world");
  TMappedFileStream stream(name);
  EXPECT_EQ(stream.Size(), 11);
  EXPECT_EQ(stream.View(), "hello world");
  char buffer[32] = {};
  EXPECT_EQ(stream.Seek(6, soBeginning), 6);
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  EXPECT_EQ(stream.Seek(100, soCurrent), 11);
  EXPECT_EQ(stream.Seek(-1, soEnd), 10);
  // A position before the start stays at the start, so a read never leaves the mapping.
  EXPECT_EQ(stream.Seek(-5, soBeginning), 0);
  EXPECT_EQ(stream.Seek(-100, soEnd), 0);
  EXPECT_EQ(stream.Read(buffer, 5), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(stream.Seek(-50, soCurrent), 0);
  EXPECT_THROW(stream.WriteText("x"), Exception);
}

TEST(MappedFileStream, EmptyAndMissingFiles) {
  TTempFolder folder;
  const std::string empty = folder.File("empty.txt");
  WriteFileBytes(empty, "");
  TMappedFileStream stream(empty);
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Memory(), nullptr);
  char c;
  EXPECT_EQ(stream.Read(&c, 1), 0);
  try {
    TMappedFileStream missing(folder.File("missing.txt"));
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "OSError");
  }
}

TEST(MemoryStream, WritesGrowAndReadsStopAtTheEnd) {
  TMemoryStream stream;
  stream.WriteText("abc");
  stream.Seek(1, soBeginning);
  stream.WriteText("XYZ");
  EXPECT_EQ(stream.Data(), "aXYZ");
  stream.Seek(2, soBeginning);
  char buffer[8];
  EXPECT_EQ(stream.Read(buffer, 8), 2);
}

}  // namespace
}  // namespace vx
