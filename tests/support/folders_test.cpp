#include "support/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/errors.h"
#include "support/file_contents.h"
#include "support/guid.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::TTempFolder;
using testing::WriteFileBytes;

TEST(AddBackslash, WindowsRules) {
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("d"), "d:\\");
  EXPECT_EQ(AddBackslash("Z"), "Z:\\");
  EXPECT_EQ(AddBackslash("1"), "1\\");
  EXPECT_EQ(AddBackslash("C:"), "C:");
  EXPECT_EQ(AddBackslash("C:\\a"), "C:\\a\\");
  EXPECT_EQ(AddBackslash("C:\\a\\"), "C:\\a\\");
}

TEST(FileNameParts, SplitAtTheLocalDelimiter) {
  const std::string d(1, kPathDelim);
  const std::string name = "base" + d + "sub" + d + "order.v2.json";
  EXPECT_EQ(ExtractFilePath(name), "base" + d + "sub" + d);
  EXPECT_EQ(ExtractFileName(name), "order.v2.json");
  EXPECT_EQ(ExtractFileExt(name), ".json");
  EXPECT_EQ(ChangeFileExt(name, ".~json"), "base" + d + "sub" + d + "order.v2.~json");
  EXPECT_EQ(ChangeFileExt("noext", ".txt"), "noext.txt");
  EXPECT_EQ(ExtractFileExt("plain"), "");
  EXPECT_EQ(RemoveBackslash("a" + d), "a");
  EXPECT_EQ(RemoveBackslash("a"), "a");
}

TEST(Presence, FilesAndFoldersAreToldApart) {
  TTempFolder folder;
  const std::string file = folder.File("f.txt");
  WriteFileBytes(file, "x");
  EXPECT_TRUE(FileIsPresent(file));
  EXPECT_FALSE(FolderIsPresent(file));
  EXPECT_TRUE(FolderIsPresent(folder.Path()));
  EXPECT_FALSE(FileIsPresent(folder.Path()));
  EXPECT_FALSE(FileIsPresent(folder.File("missing")));
  EXPECT_FALSE(FolderIsPresent(folder.File("missing")));
  EXPECT_FALSE(FileIsPresent(folder.File("missing") + kPathDelim + "deeper.txt"));
}

TEST(CreateFolderTree, CreatesParentsAndRejectsEmptyPath) {
  TTempFolder folder;
  const std::string deep = folder.File("a") + kPathDelim + "b" + kPathDelim + "c" + kPathDelim;
  EXPECT_TRUE(CreateFolderTree(deep));
  EXPECT_TRUE(FolderIsPresent(deep));
  EXPECT_TRUE(CreateFolderTree(deep));
  try {
    CreateFolderTree("");
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode, 3);
    EXPECT_EQ(error.Message(), "Verzeichnis kann nicht erstellt werden");
  }
  // A file in the way gives false, not an exception.
  const std::string file = folder.File("file");
  WriteFileBytes(file, "");
  EXPECT_FALSE(CreateFolderTree(file + kPathDelim + "sub"));
  EXPECT_FALSE(CreateFolderTree(file));
  EXPECT_FALSE(CreateOneFolder(file));
  EnsureFileFolder(folder.File("x") + kPathDelim + "y.txt");
  EXPECT_TRUE(FolderIsPresent(folder.File("x")));
}

TEST(CreateFolderTree, RelativePathsGoBelowTheCurrentFolder) {
  TTempFolder folder;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  const std::string relative = std::string("out") + kPathDelim + "sub" + kPathDelim;
  const bool created = CreateFolderTree(relative);
  std::filesystem::current_path(previous);
  EXPECT_TRUE(created);
  EXPECT_TRUE(FolderIsPresent(folder.File(relative)));
}

TEST(WellKnownFolders, EndWithTheirFixedNames) {
  const std::string d(1, kPathDelim);
  const std::string root = GetClientRootFolder();
  EXPECT_NE(root.find("VX-ClientRoot" + d + "default" + d), std::string::npos) << root;
  EXPECT_TRUE(FolderIsPresent(root));
  const std::string temp = GetTempFolder();
  // POSIX adds the user id when it has no user's folder to put it in; its
  // own test has the exact rules.
  const std::string tempName = ExtractFileName(RemoveBackslash(temp));
  EXPECT_EQ(tempName.substr(0, 9), "VXTempDir") << temp;
  EXPECT_EQ(temp.back(), kPathDelim);
  EXPECT_EQ(GetTempFolder("XCURSOR"), temp + "XCURSOR" + d);
  const std::string name = NewTempFileName();
  EXPECT_EQ(ExtractFilePath(name), temp);
  EXPECT_EQ(std::to_string(std::stoul(ExtractFileName(name))), ExtractFileName(name));
}

// Whether a file a server names lies in a folder: resolved, not read off
// the text, so that ".." or a link cannot lead out of it.
TEST(IsInsideFolder, ResolvesBeforeItCompares) {
  TTempFolder base;
  const std::string d(1, kPathDelim);
  const std::string folder = base.File("temp") + d;
  const std::string outside = base.File("outside") + d;
  CreateFolderTree(folder + "sub" + d);
  CreateFolderTree(outside);
  CreateFolderTree(base.File("temp2"));
  struct TCase {
    std::string Path;
    bool Inside;
  };
  std::vector<TCase> cases = {
      {folder + "order.json", true},
      {folder + "sub" + d + "order.json", true},
      {folder + "missing" + d + "order.json", false},
      {outside + "order.json", false},
      {folder + ".." + d + "outside" + d + "order.json", false},
      {folder + "sub" + d + ".." + d + "order.json", true},
      {base.File("temp2") + d + "order.json", false},
      {folder, false},
      {folder + "..", false},
      {"", false},
  };
  std::error_code linkError;
  std::filesystem::create_directory_symlink(RemoveBackslash(outside), folder + "link", linkError);
  if (!linkError) cases.push_back({folder + "link" + d + "order.json", false});
  for (const TCase& c : cases) EXPECT_EQ(IsInsideFolder(c.Path, folder), c.Inside) << c.Path;
}

TEST(Guid, TextLayoutAndHashRange) {
  const std::string guid = NewGuidText();
  ASSERT_EQ(guid.size(), 36u);
  for (size_t i = 0; i < guid.size(); ++i) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      EXPECT_EQ(guid[i], '-');
    } else {
      EXPECT_TRUE((guid[i] >= '0' && guid[i] <= '9') || (guid[i] >= 'A' && guid[i] <= 'F')) << guid;
    }
  }
  EXPECT_NE(NewGuidText(), guid);
  EXPECT_LT(NewGuidHash(), 1u << 28);
}

}  // namespace
}  // namespace vx
