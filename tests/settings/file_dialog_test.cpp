#include "settings/file_dialog.h"

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "settings/settings_test_util.h"
#include "support/file_contents.h"
#include "support/file_io.h"

namespace vx {
namespace {

using testing::ReadFileBytes;

class FileDialog : public TSettingsStoreTest {
 protected:
  std::string File() const { return Folder + "UserMode.INI"; }
};

TEST_F(FileDialog, Keys) {
  EXPECT_EQ(FilterIndexKey("kastelo.VXJSONObject"), "OSOpenSaveFile.kastelo.VXJSONObject.FI");
  EXPECT_EQ(DialogFolderKey("LastFolder"), "OSOpenSaveFile.LastFolder");
  EXPECT_EQ(DialogWidthKey("k"), "OSOpenSaveFile.k.SWidth");
  EXPECT_EQ(DialogHeightKey("k"), "OSOpenSaveFile.k.SHeigth");
  EXPECT_EQ(DialogWidthKey(""), "OSOpenSaveFile.Default.SWidth");
  EXPECT_EQ(DialogHeightKey(""), "OSOpenSaveFile.Default.SHeigth");
}

TEST_F(FileDialog, FileAfterOneSaveDialog) {
  ResetDialogFilterIndex("kastelo.VXJSONObject");
  ResetDialogFilterIndex("");
  TDialogOutcome outcome;
  outcome.SizeKnown = true;
  outcome.Width = 640;
  outcome.Height = 480;
  outcome.Confirmed = true;
  outcome.FileName = "x.json";
  RememberDialogOutcome("kastelo.VXJSONObject", "", outcome);
  EXPECT_EQ(ReadFileBytes(File()),
            "[MODE]\r\n"
            "OSOpenSaveFile.kastelo.VXJSONObject.FI=1\r\n"
            "OSOpenSaveFile.kastelo.VXJSONObject.SWidth=640\r\n"
            "OSOpenSaveFile.kastelo.VXJSONObject.SHeigth=480\r\n");
}

TEST_F(FileDialog, FilterIndexFallsBackToOne) {
  const std::string twoPairs = "JSON File|*.json|Kunde 4711|4711*.json";
  EXPECT_EQ(FilterPairCount("JSON File|*.json"), 1);
  EXPECT_EQ(FilterPairCount(twoPairs), 2);
  EXPECT_EQ(FilterPairCount(""), 0);
  struct Case {
    const char* key;
    int stored;
    std::string filter;
    int expected;
  } cases[] = {
      {"k", 2, "JSON File|*.json", 1}, {"k", 2, twoPairs, 2}, {"k", 3, twoPairs, 1},
      {"k", 0, twoPairs, 0},           {"", 2, twoPairs, 1},
  };
  for (const Case& c : cases) {
    WriteModeInteger(FilterIndexKey(c.key), c.stored);
    EXPECT_EQ(InitialFilterIndex(c.key, c.filter), c.expected) << c.stored << " " << c.filter;
  }
  // Nothing stored yet.
  EXPECT_EQ(InitialFilterIndex("new", twoPairs), 1);
}

TEST_F(FileDialog, SystemFilterText) {
  EXPECT_EQ(SystemFilterText("JSON File|*.json"), std::string("JSON File\0*.json\0\0", 18));
}

TEST_F(FileDialog, ConfirmedChoiceIsRemembered) {
  TDialogOutcome outcome;
  outcome.Confirmed = true;
  outcome.FilterIndex = 2;
  outcome.FileName = Folder + "orders" + kPathDelim + "a.json";
  RememberDialogOutcome("k", "Last", outcome);
  EXPECT_EQ(ReadModeInteger(FilterIndexKey("k"), 0), 2);
  EXPECT_EQ(ReadModeString(DialogFolderKey("Last")), Folder + "orders" + kPathDelim);
  // The remembered folder opens the next dialog.
  EXPECT_EQ(InitialDialogFolder("Last", "ignored", false), AddBackslash(Folder + "orders" + kPathDelim));
  EXPECT_EQ(InitialDialogFolder("", "", false), "");
  // Without keys nothing is written, nor without a choice.
  DeleteFileIfPresent(File());
  RememberDialogOutcome("", "", outcome);
  outcome.Confirmed = false;
  RememberDialogOutcome("k", "Last", outcome);
  EXPECT_FALSE(FileIsPresent(File()));
}

TEST_F(FileDialog, SaveDialogCreatesItsFolder) {
  const std::string missing = Folder + "new" + kPathDelim + "folder";
  InitialDialogFolder("", missing, false);
  EXPECT_FALSE(FolderIsPresent(missing));
  EXPECT_EQ(InitialDialogFolder("", missing, true), missing + "\\");
  EXPECT_TRUE(FolderIsPresent(missing));
}

TEST_F(FileDialog, SplitDialogResult) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(SplitDialogResult(std::string("C:\\a\\b.json\0\0", 13)), Names{"C:\\a\\b.json"});
  EXPECT_EQ(SplitDialogResult(std::string("C:\\a\0b.json\0c d.json\0\0junk", 26)),
            (Names{"C:\\a\\b.json", "C:\\a\\c d.json"}));
  EXPECT_EQ(SplitDialogResult(std::string("C:\\\0x.json\0y.json\0\0", 19)), (Names{"C:\\x.json", "C:\\y.json"}));
  EXPECT_EQ(SplitDialogResult(std::string("\0\0", 2)), Names{});
}

TEST_F(FileDialog, PlaceOnMonitor) {
  struct Case {
    TScreenRect monitor;
    int width, height, left, top;
  } cases[] = {
      {{0, 0, 1920, 1080}, 800, 600, 560, 160},
      {{-1920, 0, 0, 1080}, 800, 600, -1360, 160},
      {{1920, -200, 3200, 824}, 600, 400, 2260, 8},
      // Larger than the monitor: division rounds toward zero.
      {{0, 0, 800, 600}, 1001, 700, -100, -33},
  };
  for (const Case& c : cases) {
    int left = 0;
    int top = 0;
    PlaceOnMonitor(c.monitor, c.width, c.height, &left, &top);
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(top, c.top);
  }
}

}  // namespace
}  // namespace vx
