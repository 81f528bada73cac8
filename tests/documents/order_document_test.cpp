#include "documents/order_document.h"

#include <gtest/gtest.h>

#include <string>

#include "support/file_contents.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

const std::string kListIndexError0 =
    "Der Index der Liste \xfc"
    "berschreitet das Maximum (0)";

// The error text of a call, or "" when it raised nothing.
template <typename TCall>
std::string ErrorOf(TCall call) {
  try {
    call();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}

// The text the model raises for a document text that does not parse.
std::string ParseErrorOf(const std::string& text) {
  TFastJSON json;
  return ErrorOf([&] { json.Parse(text); });
}

TEST(TVXJSONObject, LoadTextLocatesOrRaises) {
  const struct {
    const char* Text;
    const char* Error;  // "" when valid
    const char* Document;
  } cases[] = {
      {R"({"Order":[{"Adress":[{}]}]})", "", R"({"Order":[{"Adress":[{}],"Parts":[]}]})"},
      {R"({"order":[{"adress":[{"a":1}],"parts":[{}]}]})", "", R"({"order":[{"adress":[{"a":1}],"parts":[{}]}]})"},
      {"{}", kListIndexError0.c_str(), R"({"Order":[]})"},
      {R"({"Order":[]})", kListIndexError0.c_str(), R"({"Order":[]})"},
      {R"({"Order":[{}]})", kListIndexError0.c_str(), R"({"Order":[{"Adress":[]}]})"},
      {"[1]", "<TFastJSON>json struct type is not jsObject", "[1]"},
      {R"({"Order":"x"})", R"(<TJsonValue>"Order" value type error: jvString to jvArray)", R"({"Order":"x"})"},
      {R"({"Order":[{"Adress":[{}],"Parts":null}]})", R"(<TJsonValue>"Parts" value type error: jvNull to jvArray)",
       R"({"Order":[{"Adress":[{}],"Parts":null}]})"},
  };
  for (const auto& c : cases) {
    TVXJSONObject document;
    EXPECT_EQ(ErrorOf([&] { document.Load(c.Text, true, false); }), c.Error) << c.Text;
    EXPECT_EQ(document.IsValid(), *c.Error == '\0') << c.Text;
    EXPECT_EQ(document.JSON().Stringify(), c.Document) << c.Text;
  }
}

TEST(TVXJSONObject, EmptyDataOrBrokenTextIsNotValid) {
  TVXJSONObject document;
  document.Load(R"({"Order":[{"Adress":[{}]}]})", true, false);
  document.Load("", true, false);
  EXPECT_FALSE(document.IsValid());
  EXPECT_EQ(document.JSON().Stringify(), "");
  EXPECT_EQ(ErrorOf([&] { document.Parts(); }), "<TVXJSONObject>no order loaded");

  EXPECT_EQ(ErrorOf([&] { document.Load(R"({"a":tru})", true, false); }), R"(<TJsonValue>"a" parse error: tru ..)");
  EXPECT_FALSE(document.IsValid());
  EXPECT_EQ(document.JSON().Stringify(), "");
}

class OrderFile : public ::testing::Test {
 protected:
  TTempFolder Folder;
  const std::string FileName = Folder.File("order.json");
  const std::string BackupName = Folder.File("order.~json");
  const std::string Good = R"({"Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"},{"Quantity":"2"}]}]})";
  // Broken after the first position: locating what was parsed would give
  // an order with one position.
  const std::string Broken = R"({"Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"},{"Quantity":2x}]}]})";
};

TEST_F(OrderFile, MissingFileHasNoOrder) {
  TVXJSONObject document;
  EXPECT_EQ(ErrorOf([&] { document.Load(FileName, false, true); }), kListIndexError0);
  EXPECT_FALSE(document.IsValid());
}

TEST_F(OrderFile, BrokenFileIsAnErrorNotAPartialOrder) {
  WriteFileBytes(FileName, Broken);
  TVXJSONObject document;
  EXPECT_EQ(ErrorOf([&] { document.Load(FileName, false, false); }), ParseErrorOf(Broken));
  EXPECT_FALSE(document.IsValid());
  EXPECT_EQ(document.JSON().Stringify(), "");

  // A backup that is broken too does not hide the file's own error.
  WriteFileBytes(BackupName, "{");
  EXPECT_EQ(ErrorOf([&] { document.Load(FileName, false, true); }), ParseErrorOf(Broken));
  EXPECT_FALSE(document.IsValid());
}

TEST_F(OrderFile, IntactBackupStandsInWhenAllowed) {
  WriteFileBytes(FileName, Broken);
  WriteFileBytes(BackupName, Good);
  TVXJSONObject document;
  document.Load(FileName, false, true);
  ASSERT_TRUE(document.IsValid());
  EXPECT_EQ(document.Parts().Count(), 2);

  EXPECT_EQ(ErrorOf([&] { document.Load(FileName, false, false); }), ParseErrorOf(Broken));
}

TEST_F(OrderFile, GoodFileLoads) {
  WriteFileBytes(FileName, Good);
  TVXJSONObject document;
  document.Load(FileName, false, false);
  ASSERT_TRUE(document.IsValid());
  EXPECT_EQ(document.Part(1).Values("Quantity").AsString(), "2");
}

const char kHostOrder[] =
    R"({"UID":"host","Permissions":{"Edit":true},"Order":[{"PrintName":"Rechnung","PrintUID":17,)"
    R"("Adress":[{"CustomerNumber":"4711","AdressSmart":"M\u00fcller"}],"Parts":[{"Quantity":"1"}],)"
    R"("Extra":[1],"Closed":true}],"NettoPrices":true})";

TEST(PrepareForFile, StripsToTheArraysOfTheOrder) {
  TVXJSONObject document;
  document.Load(kHostOrder, true, false);
  TJsonDateTime now;
  now.Year = 2026, now.Month = 12, now.Day = 6, now.Hour = 9, now.Minute = 5, now.Second = 3, now.Millisecond = 7;
  PrepareForFile(document, now, 123);
  EXPECT_EQ(document.JSON().Stringify(),
            R"({"UID":"VX Datei Zwischenablage 2026-12-06T09:05:03.007Z 123",)"
            R"("Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"}],"Extra":[1]}],"NettoPrices":true,)"
            R"("Description":"VX Datei Zwischenablage"})");
}

TEST(PrepareForFile, StampsTheLocalTimeAndAGuidHash) {
  TVXJSONObject document;
  document.Load(kHostOrder, true, false);
  PrepareForFile(document);
  const std::string uid = document.JSON().Values("UID").AsString();
  // '9' stands for a digit; a decimal hash follows the mask.
  const std::string mask = "VX Datei Zwischenablage 9999-99-99T99:99:99.999Z ";
  ASSERT_GT(uid.size(), mask.size()) << uid;
  for (size_t i = 0; i < uid.size(); ++i) {
    const bool digit = uid[i] >= '0' && uid[i] <= '9';
    EXPECT_TRUE(i < mask.size() && mask[i] != '9' ? uid[i] == mask[i] : digit) << uid << " at " << i;
  }
}

TEST(PrepareForFile, WithoutPermissionsRaisesAfterStamping) {
  TVXJSONObject document;
  document.Load(R"({"Order":[{"Adress":[{"a":1}]}]})", true, false);
  EXPECT_EQ(ErrorOf([&] { PrepareForFile(document, TJsonDateTime(), 1); }), R"(<TJsonObject>"Permissions" not found)");
  EXPECT_EQ(document.JSON().Values("Description").AsString(), "VX Datei Zwischenablage");
  EXPECT_FALSE(document.JSON().Values("UID").AsString().empty());
  EXPECT_EQ(document.Adress().Count(), 1);
}

// An order whose positions carry the given "L2" texts (JSON-encoded here).
std::string OrderWithL2(const std::vector<std::string>& l2Texts) {
  std::string parts;
  for (const std::string& l2 : l2Texts) {
    if (!parts.empty()) parts += ",";
    parts += R"({"L2":")" + EncodeJsonText(l2) + "\"}";
  }
  return R"({"Permissions":0,"Order":[{"Adress":[{}],"Parts":[)" + parts + "]}]}";
}

class Attachments : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& fileName : TempFiles.Lines()) DeleteFileIfPresent(fileName);
  }

  TTempFolder Folder;
  TStringList TempFiles;
};

TEST_F(Attachments, ExtractWritesBase64ContentToATemporaryFile) {
  TVXJSONObject document;
  document.Load(OrderWithL2({"base64:QUJD", "C:\\x.pdf", "", "base64:", "Base64:QUJD"}), true, false);
  ExtractL2Files(document, TempFiles);

  ASSERT_EQ(TempFiles.Count(), 2);
  const std::string abc = TempFiles.Get(0);
  EXPECT_EQ(ExtractFilePath(abc), GetTempFolder());
  EXPECT_EQ(ReadFileBytes(abc), "ABC");
  EXPECT_EQ(document.Part(0).Values("L2").AsString(), abc);
  EXPECT_TRUE(document.Part(0).Values("DeleteL2").AsBoolean());
  EXPECT_TRUE(document.IsExtractedL2File(abc));

  // An empty attachment is still a file.
  EXPECT_EQ(ReadFileBytes(TempFiles.Get(1)), "");
  EXPECT_EQ(document.Part(3).Values("L2").AsString(), TempFiles.Get(1));

  for (int i : {1, 2, 4}) {
    EXPECT_EQ(document.Part(i).Find("DeleteL2"), -1) << i;
  }
  EXPECT_EQ(document.Part(1).Values("L2").AsString(), "C:\\x.pdf");
  EXPECT_EQ(document.Part(4).Values("L2").AsString(), "Base64:QUJD");
  EXPECT_FALSE(document.IsExtractedL2File("C:\\x.pdf"));

  // A new load forgets which files were extracted.
  document.Load(OrderWithL2({abc}), true, false);
  EXPECT_FALSE(document.IsExtractedL2File(abc));
}

TEST_F(Attachments, EmbedKeepsTheFilesUntilTheCallerDeletesThem) {
  const std::string file = Folder.File("four.bin");
  WriteFileBytes(file, std::string("\x00\xff\x10\x80", 4));
  TVXJSONObject document;
  document.Load(OrderWithL2({file, Folder.File("missing.pdf"), "base64:QUJD", "", file}), true, false);

  const std::vector<std::string> embedded = EmbedL2Files(document);
  EXPECT_EQ(embedded, std::vector<std::string>{file});
  for (int i : {0, 4}) {
    EXPECT_EQ(document.Part(i).Values("L2").AsString(), "base64:AP8QgA==") << i;
    EXPECT_TRUE(document.Part(i).Values("DeleteL2").AsBoolean()) << i;
  }
  EXPECT_EQ(document.Part(1).Values("L2").AsString(), Folder.File("missing.pdf"));
  EXPECT_EQ(document.Part(2).Values("L2").AsString(), "base64:QUJD");
  for (int i : {1, 2, 3}) EXPECT_EQ(document.Part(i).Find("DeleteL2"), -1) << i;
  EXPECT_TRUE(FileIsPresent(file));

  DeleteEmbeddedL2Files(embedded);
  EXPECT_FALSE(FileIsPresent(file));
}

TEST_F(Attachments, FailedOrderFileWriteKeepsTheAttachments) {
  const std::string file = Folder.File("contract.pdf");
  WriteFileBytes(file, "%PDF");
  WriteFileBytes(Folder.File("plain"), "");
  TVXJSONObject document;
  document.Load(OrderWithL2({file}), true, false);

  // A file where the target's folder should be: neither can be created.
  EXPECT_NE(ErrorOf([&] { WriteOrderFile(document, Folder.File("plain") + kPathDelim + "order.json"); }), "");
  EXPECT_EQ(ReadFileBytes(file), "%PDF");

  document.Load(OrderWithL2({file}), true, false);
  WriteOrderFile(document, Folder.File("saved.json"));
  EXPECT_FALSE(FileIsPresent(file));
}

TEST_F(Attachments, WriteOrderFileWithoutPermissionsWritesNothing) {
  const std::string file = Folder.File("contract.pdf");
  WriteFileBytes(file, "%PDF");
  TVXJSONObject document;
  document.Load(R"({"Order":[{"Adress":[{}],"Parts":[{"L2":")" + EncodeJsonText(file) + R"("}]}]})", true, false);
  EXPECT_EQ(ErrorOf([&] { WriteOrderFile(document, Folder.File("saved.json")); }),
            R"(<TJsonObject>"Permissions" not found)");
  EXPECT_FALSE(FileIsPresent(Folder.File("saved.json")));
  EXPECT_TRUE(FileIsPresent(file));
}

}  // namespace
}  // namespace vx
