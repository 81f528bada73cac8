// Loading with the backup rule and saving through the write cache.
#include <gtest/gtest.h>

#include "json/fast_json.h"
#include "json/json_formatter.h"
#include "json_test_util.h"
#include "support/folders.h"

namespace vx {
namespace {

using testing::ErrorText;
using testing::ReadBytes;
using testing::TTempFolder;
using testing::WriteBytes;

TEST(BackupFileName, ReplacesOrAddsTheExtension) {
  const std::string d(1, kPathDelim);
  EXPECT_EQ(BackupFileName("order.json"), "order.~json");
  EXPECT_EQ(BackupFileName("a" + d + "order"), "a" + d + "order.~json");
  EXPECT_EQ(BackupFileName("a.b" + d + "order"), "a.b" + d + "order.~json");
  EXPECT_EQ(BackupFileName("a" + d + "x.tar.gz"), "a" + d + "x.tar.~json");
}

TEST(LoadFromFile, MissingFileLeavesAnEmptyDocument) {
  TTempFolder folder;
  TFastJSON json;
  json.Parse("[1]");
  json.LoadFromFile(folder.File("missing.json"), true, true);
  EXPECT_EQ(json.StructType(), jsNone);
}

TEST(LoadFromFile, ReadsTheFileUpToANul) {
  TTempFolder folder;
  WriteBytes(folder.File("a.json"), std::string("{\"a\":\"\xe4\"}\0trailing", 19));
  TFastJSON json;
  json.LoadFromFile(folder.File("a.json"), false, true);
  EXPECT_EQ(json.Values("a").AsString(), "\xe4");
}

TEST(LoadFromFile, EmptyFileIsAParseError) {
  TTempFolder folder;
  WriteBytes(folder.File("empty.json"), "");
  TFastJSON json;
  EXPECT_EQ(ErrorText([&] { json.LoadFromFile(folder.File("empty.json"), false, true); }),
            "<TFastJSON>\"\" parse error:  ..");
  json.LoadFromFile(folder.File("empty.json"), false, false);
  EXPECT_EQ(json.StructType(), jsNone);
}

TEST(LoadFromFile, BrokenFileFallsBackToTheBackup) {
  TTempFolder folder;
  const std::string name = folder.File("order.json");
  WriteBytes(name, "{\"a\":1,\"b\":tru}");
  WriteBytes(folder.File("order.~json"), "{\"backup\":true}");
  TFastJSON json;
  json.LoadFromFile(name, true, false);
  EXPECT_EQ(json.Stringify(), "{\"backup\":true}");

  // reRaise raises the first error even though the backup was read.
  EXPECT_EQ(ErrorText([&] { json.LoadFromFile(name, true, true); }), "<TJsonValue>\"b\" parse error: tru ..");
  EXPECT_EQ(json.Stringify(), "{\"backup\":true}");

  // Without tryBackup the partly built tree stays.
  json.LoadFromFile(name, false, false);
  EXPECT_EQ(json.Stringify(), "{\"a\":1,\"b\":null}");
}

TEST(LoadFromFile, ErrorsOfTheBackupAreSuppressed) {
  TTempFolder folder;
  const std::string name = folder.File("order.json");
  WriteBytes(name, "[x]");
  WriteBytes(folder.File("order.~json"), "[1,y]");
  TFastJSON json;
  EXPECT_EQ(ErrorText([&] { json.LoadFromFile(name, true, true); }), "<TJsonValue>\"\" parse error: x ..");
  EXPECT_EQ(json.Stringify(), "[1,null]");
  json.LoadFromFile(name, true, false);
  EXPECT_EQ(json.Stringify(), "[1,null]");
}

TEST(LoadFromFile, BrokenFileWithoutBackup) {
  TTempFolder folder;
  const std::string name = folder.File("order.json");
  WriteBytes(name, "[x]");
  TFastJSON json;
  json.LoadFromFile(name, true, false);
  EXPECT_EQ(json.Stringify(), "[null]");
}

TEST(SaveToFile, WritesCompactOrFormatted) {
  TTempFolder folder;
  TFastJSON json;
  json.Parse("{\"Order\":[{\"Name\":\"M\xfcller \x80\",\"Quantity\":1.5}]}");
  const std::string compact = folder.File("compact.json");
  json.SaveToFile(compact);
  EXPECT_EQ(ReadBytes(compact), "{\"Order\":[{\"Name\":\"M\\u00fcller \\u20ac\",\"Quantity\":1.5}]}");

  const std::string formatted = folder.File("formatted.json");
  json.SaveToFile(formatted, false, TJSONFormatter::Create);
  EXPECT_EQ(ReadBytes(formatted),
            "  {\r\n"
            "  \"Order\":[\r\n"
            "   {\r\n"
            "   \"Name\":\"M\\u00fcller \\u20ac\",\r\n"
            "   \"Quantity\":1.5\r\n"
            "   }\r\n"
            "   ]\r\n"
            "\r\n"
            "  }");
  EXPECT_FALSE(FileIsPresent(folder.File("formatted.~json")));

  TFastJSON back;
  back.LoadFromFile(formatted, false, true);
  EXPECT_EQ(back.Stringify(), json.Stringify());
}

TEST(SaveToFile, CreatesTheFolderAndReplacesTheFile) {
  TTempFolder folder;
  const std::string d(1, kPathDelim);
  const std::string name = folder.File("new" + d + "deeper" + d + "order.json");
  TFastJSON json;
  json.Parse("[1,2,3]");
  json.SaveToFile(name);
  json.Parse("[]");
  json.SaveToFile(name);
  EXPECT_EQ(ReadBytes(name), "[]");
}

TEST(SaveToFile, MakesABackupCopy) {
  TTempFolder folder;
  const std::string name = folder.File("order.json");
  TFastJSON json;
  json.Parse("{\"a\":[1]}");
  json.SaveToFile(name, true, TJSONFormatter::Create);
  EXPECT_EQ(ReadBytes(folder.File("order.~json")), ReadBytes(name));
}

TEST(SaveToFile, EmptyDocumentGivesAnEmptyFile) {
  TTempFolder folder;
  const std::string name = folder.File("empty.json");
  TFastJSON json;
  json.SaveToFile(name, false, TJSONFormatter::Create);
  EXPECT_TRUE(FileIsPresent(name));
  EXPECT_EQ(ReadBytes(name), "");
}

TEST(SaveToFile, StreamErrorsReachTheCaller) {
  TTempFolder folder;
  // A folder of that name cannot be replaced by a file.
  const std::string name = folder.File("taken");
  std::filesystem::create_directories(name);
  TFastJSON json;
  json.Parse("[1]");
  const std::string error = ErrorText([&] { json.SaveToFile(name); });
  EXPECT_EQ(error.rfind("Cannot create " + name + ".", 0), 0u) << error;
}

}  // namespace
}  // namespace vx
