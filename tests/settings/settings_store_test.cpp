#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "settings/settings_test_util.h"
#include "support/file_contents.h"
#include "support/file_io.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class SettingsStore : public TSettingsStoreTest {
 protected:
  std::string File() const { return Folder + "UserMode.INI"; }
};

TEST_F(SettingsStore, TextsComeBackAsWritten) {
  struct Case {
    const char* value;
    const char* stored;
  } cases[] = {
      {"plain", "\"plain\""},
      {"He said \"hi\"", "\"He said \"\"hi\"\"\""},
      {"a;b ; c", "\"a;b ; c\""},
      {"  blanks  ", "\"  blanks  \""},
      {"", "\"\""},
      {"C:\\Users\\M\xfc" "ller\\", "\"C:\\Users\\M\xfc" "ller\\\""},
  };
  for (const Case& c : cases) {
    WriteModeString("key", c.value);
    EXPECT_EQ(ReadFileBytes(File()), std::string("[MODE]\r\nkey=") + c.stored + "\r\n") << c.value;
    EXPECT_EQ(ReadModeString("key", "default"), c.value);
  }
}

TEST_F(SettingsStore, QuotedTextRules) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"\"a\"\"b\"", "a\"b"}, {"\"open end", "open end"}, {"unquoted", "unquoted"},
      {"\"a\" rest", "a"},    {"\"\"", ""},               {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractQuotedText(c.text), c.expected) << c.text;
  EXPECT_EQ(QuoteText("a\"b"), "\"a\"\"b\"");
}

TEST_F(SettingsStore, Integers) {
  WriteFileBytes(File(), "[MODE]\r\nletters=abc\r\nhex=0x10\r\ndollar=$10\r\nquoted=\"5\"\r\n");
  EXPECT_EQ(ReadModeInteger("letters", 7), 7);
  EXPECT_EQ(ReadModeInteger("hex", 7), 16);
  EXPECT_EQ(ReadModeInteger("dollar", 7), 16);
  EXPECT_EQ(ReadModeInteger("quoted", 7), 7);
  EXPECT_EQ(ReadModeInteger("missing", 7), 7);
  WriteModeInteger("letters", -3);
  EXPECT_EQ(ReadModeInteger("letters", 7), -3);
  // Unquoted text reads back as it stands.
  EXPECT_EQ(ReadModeString("hex"), "0x10");
}

TEST_F(SettingsStore, EmptyKeyTouchesNothing) {
  WriteModeString("", "x");
  WriteModeInteger("", 1);
  EXPECT_EQ(ReadModeString("", "default", "", true), "");
  EXPECT_EQ(ReadModeInteger("", 5, "", true), 5);
  EXPECT_FALSE(FileIsPresent(File()));
}

TEST_F(SettingsStore, WriteBackStoresTheDefault) {
  EXPECT_EQ(ReadModeString("text", "d\"q", "", true), "d\"q");
  EXPECT_EQ(ReadModeInteger("number", 12, "", true), 12);
  EXPECT_EQ(ReadFileBytes(File()), "[MODE]\r\ntext=\"d\"\"q\"\r\nnumber=12\r\n");
  // Without the flag nothing is written.
  EXPECT_EQ(ReadModeInteger("other", 1), 1);
  EXPECT_EQ(ReadFileBytes(File()), "[MODE]\r\ntext=\"d\"\"q\"\r\nnumber=12\r\n");
}

TEST_F(SettingsStore, ExplicitFolderWins) {
  const std::string other = Folder + "other" + kPathDelim;
  WriteModeInteger("n", 1, other);
  EXPECT_EQ(ReadModeInteger("n", 0, other), 1);
  EXPECT_EQ(ReadModeInteger("n", 0), 0);
  EXPECT_EQ(OpenSettingsFile(other)->FileName, other + "UserMode.INI");
  EXPECT_EQ(OpenSettingsFile()->FileName, File());
}

TEST_F(SettingsStore, BrokenSettingsFileNeverDisturbs) {
  // The settings "folder" is a file: nothing can be read or written there.
  const std::string blocked = File();
  WriteFileBytes(blocked, "not a folder");
  SetSettingsFolder(blocked);
  WriteModeString("s", "v");
  WriteModeInteger("n", 3);
  EXPECT_EQ(ReadModeString("s", "def", "", true), "def");
  EXPECT_EQ(ReadModeInteger("n", 4, "", true), 4);
  EXPECT_EQ(ReadFileBytes(blocked), "not a folder");
  // Nothing there can pass by waiting, so nothing waited.
  EXPECT_EQ(Pauses, 0);
}

TEST_F(SettingsStore, WritersOneAfterTheOtherKeepEachOthersKeys) {
  WriteFileBytes(File(), "; by hand\r\n[MODE]\r\nold = 1\r\n");
  WriteModeString("a", "first");
  WriteModeInteger("b", 2);
  WriteModeString("a", "last");
  EXPECT_EQ(ReadFileBytes(File()), "; by hand\r\n[MODE]\r\nold = 1\r\na=\"last\"\r\nb=2\r\n");
}

TEST_F(SettingsStore, FirstStartCopiesTheProgramsSettings) {
  const std::string programCopy = ProgramFolder() + "UserMode.INI";
  ASSERT_FALSE(FileIsPresent(programCopy)) << "left over from an earlier run";
  WriteFileBytes(programCopy, "[MODE]\r\nfrom=program\r\n");
  const std::string fresh = Folder + "fresh" + kPathDelim;
  CreateFolderTree(fresh);
  SetSettingsFolder(fresh);
  EXPECT_EQ(ReadModeString("from"), "program");
  WriteModeString("from", "user");
  // A later start finds the file and leaves it.
  SetSettingsFolder(Folder);
  SetSettingsFolder(fresh);
  EXPECT_EQ(ReadModeString("from"), "user");
  // A copy that cannot be made is tried once, and the start goes on at once.
  const std::string blocked = Folder + "blocked";
  WriteFileBytes(blocked, "a file where the folder should be");
  SetSettingsFolder(blocked);
  EXPECT_EQ(SettingsFolder(), blocked);
  EXPECT_EQ(Pauses, 0);
  // No program copy: nothing to copy, no error.
  DeleteFileIfPresent(programCopy);
  const std::string second = Folder + "second" + kPathDelim;
  SetSettingsFolder(second);
  EXPECT_EQ(SettingsFolder(), second);
  EXPECT_FALSE(FileIsPresent(second + "UserMode.INI"));
}

}  // namespace
}  // namespace vx
