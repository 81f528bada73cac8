#include "documents/file_name_template.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "documents/client_root.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/pause.h"

namespace vx {
namespace {

std::string ReadFile(const std::string& fileName) {
  TMemoryStream stream;
  LoadStreamRetry(stream, fileName);
  return stream.Data();
}

void WriteFile(const std::string& fileName, const std::string& content) {
  TMemoryStream stream;
  stream.WriteText(content);
  ASSERT_TRUE(SaveStreamRetry(stream, fileName));
}

// Works on the template file of the client root and puts back whatever
// was there before.
class FileNameTemplateFile : public ::testing::Test {
 protected:
  void SetUp() override {
    FDataFolder = GetTempFolder("documents-tests") + ExtractFileName(NewTempFileName());
    PointClientRootAt(FDataFolder);
    FPreviousPause = SetPauseFunction([](int) {});
    FileName = GetTemplateFileName();
    FHadFile = FileIsPresent(FileName);
    if (FHadFile) FSaved = ReadFile(FileName);
    DeleteFileIfPresent(FileName);
  }
  void TearDown() override {
    DeleteFileIfPresent(FileName);
    if (FHadFile) WriteFile(FileName, FSaved);
    SetPauseFunction(FPreviousPause);
    std::error_code ignored;
    std::filesystem::remove_all(FDataFolder, ignored);
  }

  std::string FileName;

 private:
  std::string FDataFolder;
  bool FHadFile = false;
  std::string FSaved;
  TPauseFunction FPreviousPause = nullptr;
};

TEST_F(FileNameTemplateFile, PathBelowTheClientRoot) {
  EXPECT_EQ(FileName, GetClientRootFolder() + "kastelo.VXJSONObject" + kPathDelim + "TemplateFileName.txt");
}

TEST_F(FileNameTemplateFile, MissingOrBlankFileGetsTheDefault) {
  const std::string defaultLine = "[PrintName] [PrintUID] [AdressName] [CustomerNumber] [CurrentDate]";
  EXPECT_EQ(LoadFileNameTemplate(), defaultLine);
  EXPECT_EQ(ReadFile(FileName), defaultLine + "\r\n");

  WriteFile(FileName, "   \r\n\t\r\n \x01");
  EXPECT_EQ(LoadFileNameTemplate(), defaultLine);
  EXPECT_EQ(ReadFile(FileName), defaultLine + "\r\n");
}

TEST_F(FileNameTemplateFile, LinesAreJoinedAndTheEndsTrimmed) {
  const struct {
    const char* Content;
    const char* Template;
  } cases[] = {
      {"[PrintName]\r\n[PrintUID]\r\n", "[PrintName][PrintUID]"},
      {"  [A]\n[B]\r[C]  \r\n\r\n", "[A][B][C]"},
      {"[A] \r\n [B]", "[A]  [B]"},
      {"Auftrag-[PrintUID].json", "Auftrag-[PrintUID].json"},
  };
  for (const auto& c : cases) {
    WriteFile(FileName, c.Content);
    EXPECT_EQ(LoadFileNameTemplate(), c.Template) << c.Content;
    EXPECT_EQ(ReadFile(FileName), c.Content) << "an edited template is not rewritten";
  }
}

TEST_F(FileNameTemplateFile, DefaultThatCannotBeWrittenRaises) {
  const std::string folder = ExtractFilePath(FileName);
  // A folder that is there may be a user's, which this test must not touch.
  if (FolderIsPresent(folder)) GTEST_SKIP() << "the template folder exists";
  const std::string blocker = folder.substr(0, folder.size() - 1);
  WriteFile(blocker, "not a folder");
  EXPECT_THROW(LoadFileNameTemplate(), Exception);
  DeleteFileIfPresent(blocker);
}

TEST(ProposeOrderFileName, ReplacesPlaceholdersAndMakesTheNameSafe) {
  const TFileNameValues order{"M\xfcller/S\xf6hne: Bau", "K-1", "Rechnung", "17"};
  const TCalendarDate today{2026, 12, 6};
  const struct {
    const char* Template;
    const char* Name;
  } cases[] = {
      {kDefaultFileNameTemplate, "Rechnung 17 M\xfcllerS\xf6hne Bau K-1 [06.12.2026]"},
      {"[printname]-[PRINTUID]", "Rechnung-17"},
      {"Auftrag-[PrintUID].json", "Auftrag-17.json"},
      {"[Kunde] [CustomerNumber]", "[Kunde] K-1"},
      {"  [PrintName]\t", "Rechnung"},
      {"[PrintName]?*", "Rechnung"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProposeOrderFileName(c.Template, order, today), c.Name) << c.Template;
}

TEST(ProposeOrderFileName, PrintUidWithoutNumberIsNeu) {
  for (const char* uid : {"0", "-3", "", "abc", "17.5", "4294967313", "1e3", "+"}) {
    const TFileNameValues order{"", "", "", uid};
    EXPECT_EQ(ProposeOrderFileName("[PrintUID]", order, {2026, 1, 5}), "Neu") << uid;
  }
  for (const char* uid : {"1", "+8", " 42", "2147483647"}) {
    const TFileNameValues order{"", "", "", uid};
    EXPECT_EQ(ProposeOrderFileName("x[PrintUID]", order, {2026, 1, 5}), std::string("x") + uid) << uid;
  }
}

// The replacements run one after the other on the growing text.
TEST(ProposeOrderFileName, ValuesMayHoldLaterPlaceholders) {
  const TFileNameValues order{"[PrintName] [CurrentDate]", "", "Angebot", "3"};
  EXPECT_EQ(ProposeOrderFileName("[AdressName]", order, {2026, 1, 5}), "Angebot [05.01.2026]");
  const TFileNameValues reversed{"A", "", "[AdressName]", "3"};
  EXPECT_EQ(ProposeOrderFileName("[PrintName]", reversed, {2026, 1, 5}), "[AdressName]");
}

}  // namespace
}  // namespace vx
