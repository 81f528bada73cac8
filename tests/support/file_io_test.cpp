#include "support/file_io.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/errors.h"
#include "support/file_contents.h"
#include "support/folders.h"
#include "support/os_file.h"
#include "support/pause.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

// Records the retry pauses instead of sleeping.
std::vector<int> gPauses;
void RecordPause(int milliseconds) { gPauses.push_back(milliseconds); }

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gPauses.clear();
    FPrevious = SetPauseFunction(&RecordPause);
  }
  void TearDown() override { SetPauseFunction(FPrevious); }

  TTempFolder FFolder;
  TPauseFunction FPrevious = nullptr;
};

TEST_F(FileIoTest, StringsRoundTripWithCrLfAndNewFolders) {
  TStringList list;
  list.Add("[PrintName]");
  list.Add("M\xfc" "ller");
  const std::string name = FFolder.File("a/b/list.txt");
  SaveStringsRetry(list, name);
  EXPECT_EQ(ReadFileBytes(name), "[PrintName]\r\nM\xfc" "ller\r\n");

  TStringList loaded;
  WriteFileBytes(name, "one\rtwo\nthree\r\n\r\nfive");
  LoadStringsRetry(loaded, name);
  EXPECT_EQ(loaded.Lines(), (std::vector<std::string>{"one", "two", "three", "", "five"}));
  EXPECT_TRUE(gPauses.empty());
}

// A file of a hostile writer, read line by line: the lines split as
// LoadStringsRetry splits them (a CR LF across two pieces of the read too),
// but never more of them, or of one, than the caller's bounds.
TEST_F(FileIoTest, BoundedLinesSplitAsStringListsDoAndKeepTheirBounds) {
  const std::string acrossPieces = std::string(61439, 'a') + "\r\nb";
  for (const std::string& text : {std::string("one\rtwo\nthree\r\n\r\nfive"), std::string("\r\r\n\n"),
                                  std::string("last\r"), std::string(""), acrossPieces}) {
    const std::string name = FFolder.File("lines.txt");
    WriteFileBytes(name, text);
    TStringList expected;
    expected.SetText(text);
    bool more = true;
    const std::vector<TBoundedLine> lines = LoadBoundedLinesRetry(name, 100000, 10, &more);
    ASSERT_EQ(static_cast<int>(lines.size()), expected.Count()) << text.substr(0, 20);
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].Text, expected.Get(static_cast<int>(i)));
      EXPECT_EQ(lines[i].Length, static_cast<int64_t>(lines[i].Text.size()));
    }
    EXPECT_FALSE(more);
  }

  const std::string name = FFolder.File("hostile.txt");
  WriteFileBytes(name, std::string(300000, 'n') + "\r\nshort\r\n3\n4\n5");
  bool more = false;
  std::vector<TBoundedLine> lines = LoadBoundedLinesRetry(name, 256, 3, &more);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].Text, std::string(256, 'n'));
  EXPECT_EQ(lines[0].Length, 300000);
  EXPECT_EQ(lines[1].Text, "short");
  EXPECT_EQ(lines[2].Text, "3");
  EXPECT_TRUE(more);
  lines = LoadBoundedLinesRetry(name, 256, 5, &more);
  EXPECT_EQ(lines.size(), 5u);
  EXPECT_FALSE(more);
  EXPECT_TRUE(LoadBoundedLinesRetry(FFolder.File("missing.txt"), 256, 5).empty());
}

TEST_F(FileIoTest, LoadingAMissingFileChangesNothing) {
  TStringList list;
  list.Add("kept");
  LoadStringsRetry(list, FFolder.File("missing.txt"));
  EXPECT_EQ(list.Text(), "kept\r\n");
  TMemoryStream stream;
  stream.WriteText("kept");
  LoadStreamRetry(stream, FFolder.File("missing.bin"));
  EXPECT_EQ(stream.Data(), "kept");
}

TEST_F(FileIoTest, SaveThatNeverSucceedsRaisesAfterAllAttempts) {
  // A folder in the way of the file makes every attempt fail.
  const std::string name = FFolder.File("blocked");
  CreateFolderTree(name);
  TMemoryStream stream;
  stream.WriteText("data");
  try {
    SaveStreamRetry(stream, name);
    FAIL() << "no error";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(error.Message(), "Datei " + name + " kann nicht erstellt werden");
  }
  EXPECT_EQ(gPauses, std::vector<int>(kFileAttempts - 1, kFileRetryPauseMs));
}

TEST_F(FileIoTest, SaveStreamUniqueFallsBackToNumberedNames) {
  const std::string name = FFolder.File("cursor.ani");
  CreateFolderTree(name);  // the plain name is taken by a folder
  TMemoryStream stream;
  stream.WriteText("RIFF");
  const std::string written = SaveStreamUnique(stream, name);
  EXPECT_EQ(written, FFolder.File("[1]cursor.ani"));
  EXPECT_EQ(ReadFileBytes(written), "RIFF");
  EXPECT_EQ(NumberedFileName(2, FFolder.File("a.ani")), FFolder.File("[2]a.ani"));
}

TEST_F(FileIoTest, SaveClearsAndRestoresReadOnly) {
  const std::string name = FFolder.File("ro.txt");
  WriteFileBytes(name, "old");
  ASSERT_TRUE(WriteFileAttributes(name, kAttrReadOnly));
  TMemoryStream stream;
  stream.WriteText("new");
  EXPECT_TRUE(SaveStreamRetry(stream, name));
  EXPECT_EQ(ReadFileBytes(name), "new");
  uint32_t attributes = 0;
  int error = 0;
  ASSERT_TRUE(ReadFileAttributes(name, &attributes, &error));
  EXPECT_TRUE(attributes & kAttrReadOnly);
  WriteFileAttributes(name, 0);
}

TEST_F(FileIoTest, DeleteHelpers) {
  const std::string name = FFolder.File("gone.txt");
  EXPECT_TRUE(DeleteFileRetry(name));
  EXPECT_TRUE(DeleteFileIfPresent(name));
  WriteFileBytes(name, "x");
  EXPECT_TRUE(DeleteFileRetry(name));
  EXPECT_FALSE(FileIsPresent(name));
  WriteFileBytes(name, "x");
  EXPECT_TRUE(DeleteFileIfPresent(name));
  EXPECT_FALSE(FileIsPresent(name));
}

TEST_F(FileIoTest, CopyFileRetryCopiesBigFilesExactly) {
  std::string content;
  for (int i = 0; i < 200000; ++i) content += static_cast<char>(i * 7);
  const std::string source = FFolder.File("src.bin");
  WriteFileBytes(source, content);
  const std::string target = FFolder.File("sub/dst.bin");
  WriteFileBytes(FFolder.File("dummy"), "");
  EXPECT_TRUE(CopyFileRetry(source, target));
  EXPECT_EQ(ReadFileBytes(target), content);
  // A shorter source replaces a longer target completely.
  WriteFileBytes(source, "short");
  EXPECT_TRUE(CopyFileRetry(source, target));
  EXPECT_EQ(ReadFileBytes(target), "short");
  WriteFileBytes(source, "");
  EXPECT_TRUE(CopyFileRetry(source, target));
  EXPECT_EQ(ReadFileBytes(target), "");
}

TEST_F(FileIoTest, CopyFileRetryFailures) {
  EXPECT_THROW(CopyFileRetry(FFolder.File("missing"), FFolder.File("t")), Exception);
  const std::string source = FFolder.File("src.txt");
  WriteFileBytes(source, "abc");
  const std::string blocked = FFolder.File("folder-in-the-way");
  CreateFolderTree(blocked);
  EXPECT_FALSE(CopyFileRetry(source, blocked));
  EXPECT_EQ(gPauses, (std::vector<int>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
}

TEST_F(FileIoTest, ReplaceFileContentKeepsOldFileOnFailure) {
  const std::string name = FFolder.File("settings.ini");
  ReplaceFileContent(name, "a=1\r\n");
  EXPECT_EQ(ReadFileBytes(name), "a=1\r\n");
  ReplaceFileContent(name, "a=2\r\n");
  EXPECT_EQ(ReadFileBytes(name), "a=2\r\n");
  const std::string blocked = FFolder.File("dir.ini");
  CreateFolderTree(blocked);
  try {
    ReplaceFileContent(blocked, "x");
    FAIL() << "no error";
  } catch (const EFCreateError& error) {
    // The system's reason follows the message, as the stream errors give it.
    const std::string prefix = "Datei " + blocked + " kann nicht erstellt werden  ";
    EXPECT_EQ(error.Message().rfind(prefix, 0), 0u) << error.Message();
    EXPECT_GT(error.Message().size(), prefix.size()) << error.Message();
  }
  EXPECT_TRUE(FolderIsPresent(blocked));
}

}  // namespace
}  // namespace vx
