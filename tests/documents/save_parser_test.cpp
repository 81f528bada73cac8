#include "documents/save_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/import_document.h"
#include "hostlink/host_commands.h"
#include "support/file_io.h"
#include "support/folders.h"

namespace vx {
namespace {

struct TSentDocument {
  std::string Text;
  int32_t TypeCode = 0;
  std::string Command;
};

// Runs the send action's converter on an order text and records what it
// would send to the host.
class SaveParser : public ::testing::Test {
 protected:
  void SetUp() override { TJSON::ResetImportDocument(); }
  void TearDown() override { TJSON::ResetImportDocument(); }

  void Load(const std::string& orderText) { Document.Load(orderText, true, false); }

  void Run() {
    TSaveParser parser;
    parser.OrderDocument = &Document;
    parser.SendFunction = [this](const std::string& text, int32_t typeCode, const std::string& command) {
      Sent.push_back({text, typeCode, command});
      return true;
    };
    parser.Execute("", "", kImportAsText, 0);
  }

  std::string RunAndGetText(const std::string& orderText) {
    Load(orderText);
    Run();
    return Sent.empty() ? "" : Sent.back().Text;
  }

  TVXJSONObject Document;
  std::vector<TSentDocument> Sent;
};

// The import document around the given position objects.
std::string ImportText(const std::string& parts, bool netto = false) {
  return R"({"Order":[{"Parts":[)" + parts + R"(],"Adress":[{}],"NettoPrices":)" + (netto ? "true" : "false") +
         R"(,"TaxImport":true,"UpdateParts":false,"AppendMode":true}],"Description":""})";
}

// A position object as sent: every key in the host's order, "" unless given.
std::string PartText(const std::vector<std::pair<std::string, std::string>>& values, bool deleteL2 = true) {
  std::string text = "{";
  for (const char* key : {"Intern", "Price", "TypLine", "Position", "Unit", "Quantity", "Description1", "Description2",
                          "Number", "TaxRate", "LongText", "DeliverNumber", "SerialNumber", "Rabatt", "L2"}) {
    std::string value;
    for (const auto& given : values) {
      if (given.first == key) value = given.second;
    }
    text += std::string("\"") + key + "\":\"" + value + "\",";
  }
  return text + "\"DeleteL2\":" + (deleteL2 ? "true" : "false") + "}";
}

TEST_F(SaveParser, OrderWithoutPositionsSendsTheSkeletonWithTheSwitches) {
  EXPECT_EQ(RunAndGetText(R"({"Order":[{"Adress":[{"CustomerNumber":"1"}]}]})"), ImportText(""));
  ASSERT_EQ(Sent.size(), 1u);
  EXPECT_EQ(Sent[0].TypeCode, 11);
  EXPECT_EQ(Sent[0].Command, "OUTDATA");
  EXPECT_FALSE(TJSON::HasImportDocument());
}

TEST_F(SaveParser, PositionValuesAreSentAsTexts) {
  const std::string order =
      R"({"Order":[{"Adress":[{}],"Parts":[)"
      R"({"Quantity":2.5,"Intern":true,"Unit":null,"Description1":"Gr\u00f6\u00dfe \u20ac\t\u001b","Extra":"x"},)"
      R"({"Price":"9,90","Number":"A/1"}]}]})";
  EXPECT_EQ(RunAndGetText(order), ImportText(PartText({{"Quantity", "2.5"},
                                                       {"Intern", "true"},
                                                       {"Description1",
                                                        "Gr\xf6\xdf"
                                                        "e \\u20ac\\t\\u001B"}}) +
                                             "," + PartText({{"Price", "9,90"}, {"Number", "A\\/1"}})));
  // The lookups added the missing keys to the order document.
  EXPECT_EQ(Document.Part(1).Values("Price").AsString(), "9,90");
  EXPECT_NE(Document.Part(1).Find("Rabatt"), -1);
}

TEST_F(SaveParser, NettoPricesIsReadAsAFlag) {
  const struct {
    const char* Value;  // JSON, or nullptr for a missing key
    bool Netto;
  } cases[] = {{"true", true},    {"\"TRUE\"", true}, {"1", true},     {"0", false},
               {"\"ja\"", false}, {"null", false},    {nullptr, false}};
  for (const auto& c : cases) {
    const std::string netto = c.Value ? std::string(R"("NettoPrices":)") + c.Value + "," : "";
    EXPECT_EQ(RunAndGetText("{" + netto + R"("Order":[{"Adress":[{}]}]})"), ImportText("", c.Netto))
        << (c.Value ? c.Value : "missing");
  }
}

TEST_F(SaveParser, HostMayDeleteOnlyFilesExtractedForThisDocument) {
  TStringList tempFiles;
  Load(R"({"Order":[{"Adress":[{}],"Parts":[{"L2":"base64:QUJD"},{"L2":"C:\\Users\\Anna\\contract.pdf"},{}]}]})");
  ExtractL2Files(Document, tempFiles);
  ASSERT_EQ(tempFiles.Count(), 1);
  Run();
  const std::string extracted = EncodeJsonText(tempFiles.Get(0));
  DeleteFileIfPresent(tempFiles.Get(0));
  ASSERT_EQ(Sent.size(), 1u);
  EXPECT_EQ(Sent[0].Text,
            ImportText(PartText({{"L2", extracted}}) + "," +
                       PartText({{"L2", "C:\\\\Users\\\\Anna\\\\contract.pdf"}}, false) + "," + PartText({})));
}

TEST_F(SaveParser, FailedFillIsDiscardedAndNothingSent) {
  const struct {
    const char* Order;
    const char* Error;
  } cases[] = {
      {R"({"Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"},"oops"]}]})",
       R"(<TJsonValue>"Parts" value type error: jvString to jvObject)"},
      {R"({"Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"},{"Price":{"a":1}}]}]})",
       R"(<TJsonValue>"Price" value type error: jvObject to jvString)"},
      {R"({"NettoPrices":[],"Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"}]}]})",
       R"(<TJsonValue>"NettoPrices" value type error: jvArray to jvBoolean)"},
  };
  for (const auto& c : cases) {
    Load(c.Order);
    try {
      Run();
      ADD_FAILURE() << "no error for " << c.Order;
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), c.Error);
    }
    EXPECT_TRUE(Sent.empty()) << c.Order;
    EXPECT_FALSE(TJSON::HasImportDocument()) << c.Order;
  }
  // The next order is sent on a new skeleton, with only its own position.
  EXPECT_EQ(RunAndGetText(R"({"Order":[{"Adress":[{}],"Parts":[{"Quantity":"7"}]}]})"),
            ImportText(PartText({{"Quantity", "7"}})));
}

TEST_F(SaveParser, EachRunSendsOnlyItsOwnPositions) {
  RunAndGetText(R"({"Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"},{"Quantity":"2"}]}]})");
  RunAndGetText(R"({"NettoPrices":true,"Order":[{"Adress":[{}],"Parts":[{"Quantity":"3"}]}]})");
  ASSERT_EQ(Sent.size(), 2u);
  EXPECT_EQ(Sent[0].Text, ImportText(PartText({{"Quantity", "1"}}) + "," + PartText({{"Quantity", "2"}})));
  EXPECT_EQ(Sent[1].Text, ImportText(PartText({{"Quantity", "3"}}), true));
}

TEST_F(SaveParser, NoOrderDocumentIsAnError) {
  TSaveParser parser;
  parser.SendFunction = [this](const std::string& text, int32_t, const std::string&) {
    Sent.push_back({text, 0, ""});
    return true;
  };
  EXPECT_THROW(parser.Execute("", "", kImportAsText, 0), Exception);
  parser.OrderDocument = &Document;  // not loaded
  EXPECT_THROW(parser.Execute("", "", kImportAsText, 0), Exception);
  EXPECT_TRUE(Sent.empty());
  EXPECT_FALSE(TJSON::HasImportDocument());
}

TEST(ImportDocument, LevelsAndEmit) {
  TJSON::ResetImportDocument();
  // Nothing to write to yet: a position add before NewPart, an unknown level.
  TJSON::AddImportString(ilPart, "Lost", "x");
  TJSON::AddImportString(7, "Lost", "x");
  TJSON::AddImportString(ilAdress, "CustomerNumber", "4711");
  TJSON::AddImportBoolean(ilOrder, "AppendMode", false);
  TJSON::AddImportBoolean(ilOrder, "AppendMode", true);
  TJSON::NewPart();
  TJSON::AddImportString(ilPart, "Quantity", "1");
  TJSONImport().SetDescription("Test");
  EXPECT_EQ(TJSON::Emit(kImportAsText),
            R"({"Order":[{"Parts":[{"Quantity":"1"}],"Adress":[{"CustomerNumber":"4711"}],"AppendMode":true}],)"
            R"("Description":"Test"})");
  EXPECT_FALSE(TJSON::HasImportDocument());
  EXPECT_EQ(TJSON::Emit(kImportAsText), "");

  // Without the text flag nothing is generated, but the document goes too.
  TJSON::NewPart();
  EXPECT_EQ(TJSON::Emit(0), "");
  EXPECT_FALSE(TJSON::HasImportDocument());
  EXPECT_EQ(TJSON::Emit(kImportAsText), "");
}

}  // namespace
}  // namespace vx
