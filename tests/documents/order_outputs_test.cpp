#include "documents/order_outputs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/import_document.h"
#include "documents/save_parser.h"
#include "support/file_contents.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

std::string ShortString(const std::string& text) { return std::string(1, static_cast<char>(text.size())) + text; }

std::string GridStreamOf(const std::string& orderText) {
  TVXJSONObject document;
  document.Load(orderText, true, false);
  TDataGridLines lines;
  FillDataGridLines(document, lines);
  TMemoryStream stream;
  WriteDataGridLinesStream(lines, stream);
  return stream.Data();
}

TEST(FillDataGridLines, ExamplesOfTheClipboardBlock) {
  const std::string head = "TPF0" + ShortString("TDataGridLinesWrapper") + '\0' + ShortString("DataGridLines") + '\x0e';
  const std::string tail = ShortString("Row") + std::string("\x02\xff\x00\x00", 4);

  const std::string empty = GridStreamOf(R"({"Order":[{"Adress":[{}]}]})");
  EXPECT_EQ(empty, head + '\0' + tail);
  EXPECT_EQ(empty.size(), 51u);

  const std::string one = GridStreamOf(R"({"UID":"","Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"}]}]})");
  EXPECT_EQ(one, head + '\x01' + ShortString("Stueck") +
                     "\x06\x01"
                     "1" +
                     ShortString("DM") + '\x08' + ShortString("Isnetto") + '\x08' + ShortString("Row") +
                     std::string("\x02\x00\x00\x00", 4) + tail);
  EXPECT_EQ(one.size(), 82u);
}

TEST(FillDataGridLines, EveryPositionKeyReachesItsColumn) {
  TVXJSONObject document;
  document.Load(R"({"UID":"U-1","NettoPrices":"TRUE","Order":[{"Adress":[{}],"Parts":[)"
                R"({"Quantity":1,"Unit":"Stk","Description1":"D1","Description2":"D2","DeliverNumber":"B",)"
                R"("SerialNumber":"S","Number":"N","Price":9.5,"TaxRate":"19","Intern":"I","Rabatt":"R",)"
                R"("LongText":"L","TypLine":"T","Position":"P","L2":"base64:QQ=="},{}]}]})",
                true, false);
  TDataGridLines lines;
  FillDataGridLines(document, lines);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.GUID, "U-1");
  const TDataGridLine& line = lines.Items(0);
  const struct {
    const std::string& Column;
    const char* Value;
  } cases[] = {
      {line.Stueck, "1"},        {line.Einheit, "Stk"},    {line.Bezeichnung1, "D1"}, {line.Bezeichnung2, "D2"},
      {line.BestellNummer, "B"}, {line.Seriennummer, "S"}, {line.Artikelnummer, "N"}, {line.Einzelbetrag, "9.5"},
      {line.Steuer, "19"},       {line.intern, "I"},       {line.Rabatt, "R"},        {line.Second, "L"},
      {line.TypeLine, "T"},      {line.Pos, "P"},          {line.L2, "base64:QQ=="},  {line.SummeBetrag, ""},
      {line.ID_Artikel, ""},     {line.User, ""},          {line.Rows, ""},           {line.Hash, ""},
      {line.ExtraData, ""}};
  for (const auto& c : cases) EXPECT_EQ(c.Column, c.Value);
  EXPECT_FALSE(line.DM);
  EXPECT_TRUE(line.Isnetto);
  EXPECT_TRUE(lines.Items(1).Isnetto);
  EXPECT_EQ(lines.Items(1).Stueck, "");
}

TEST(ProposeOrderFileName, ValuesComeFromTheDocument) {
  const TCalendarDate today{2026, 12, 6};
  const struct {
    const char* Template;
    const char* Order;  // the order's and the address's members
    const char* Adress;
    const char* Name;
  } cases[] = {
      {"[printname]-[printuid]", R"("PrintName":"Rechnung","PrintUID":17)", "", "Rechnung-17"},
      {"[PrintUID]", R"("PrintUID":"17")", "", "17"},
      {"[PrintUID]", R"("PrintUID":0)", "", "Neu"},
      {"[PrintUID]", R"("PrintUID":-3)", "", "Neu"},
      {"[PrintUID]", R"("PrintUID":"abc")", "", "Neu"},
      {"[PrintUID]", R"("PrintUID":17.5)", "", "Neu"},
      {"[PrintUID]", "", "", "Neu"},
      {"[AdressName] [CustomerNumber] [CurrentDate] [Kunde]", "",
       R"("AdressSmart":"M\u00fcller/S\u00f6hne: Bau","CustomerNumber":"4711")",
       "M\xfcllerS\xf6hne Bau 4711 [06.12.2026] [Kunde]"},
      {kDefaultFileNameTemplate, R"("PrintName":"Angebot","PrintUID":5)", R"("AdressSmart":"A","CustomerNumber":"1")",
       "Angebot 5 A 1 [06.12.2026]"},
  };
  for (const auto& c : cases) {
    TVXJSONObject document;
    const std::string order = *c.Order ? std::string(c.Order) + "," : "";
    document.Load(R"({"Order":[{)" + order + R"("Adress":[{)" + c.Adress + "}]}]}", true, false);
    EXPECT_EQ(ProposeOrderFileName(document, c.Template, today), c.Name) << c.Template << " " << c.Order;
  }
}

TEST(ProposeSaveFileName, FallsBackToTheDefaultTemplateWhenNothingIsLeft) {
  TVXJSONObject document;
  document.Load(R"({"Order":[{"PrintName":"Rechnung","PrintUID":17,"Adress":[{"AdressSmart":"/:*",)"
                R"("CustomerNumber":"4711"}]}]})",
                true, false);
  const TCalendarDate today{2026, 12, 6};
  EXPECT_EQ(ProposeSaveFileName(document, "[AdressName]", today), "Rechnung 17  4711 [06.12.2026]");
  EXPECT_EQ(ProposeSaveFileName(document, "", today), "Rechnung 17  4711 [06.12.2026]");
  EXPECT_EQ(ProposeSaveFileName(document, "Kunde [CustomerNumber]", today), "Kunde 4711");
}

TEST(Today, IsTheLocalDate) {
  const TCalendarDate today = Today();
  EXPECT_GE(today.Year, 2024);
  EXPECT_TRUE(today.Month >= 1 && today.Month <= 12);
  EXPECT_TRUE(today.Day >= 1 && today.Day <= 31);
}

// An order saved by the save path and sent back must give the host the
// same positions, with the same attachment bytes.
TEST(OrderRoundTrip, SavedOrderSentBackCarriesTextsAndAttachments) {
  TTempFolder folder;
  std::string allBytes;
  for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
  const std::string contract = folder.File("contract.pdf");
  const std::string note = folder.File("note.txt");
  WriteFileBytes(contract, allBytes + allBytes);
  WriteFileBytes(note, "x");

  const std::string hostOrder =
      R"({"UID":"h","Permissions":{},"NettoPrices":true,"Order":[{"PrintName":"Auftrag","PrintUID":3,)"
      R"("Adress":[{"CustomerNumber":"4711"}],"Parts":[)"
      R"({"Quantity":"2","Description1":"Gr\u00f6\u00dfe \u20ac 5\/6","Price":12.5,"L2":")" +
      EncodeJsonText(contract) +
      R"("},)"
      R"({"Quantity":"1","LongText":"Zeile 1\r\nZeile \"2\"","L2":")" +
      EncodeJsonText(note) +
      R"("},)"
      R"({"Quantity":"3","Description1":"ohne Anhang"}]}]})";
  const std::string hostFile = folder.File("host.json");
  WriteFileBytes(hostFile, hostOrder);

  TVXJSONObject saving;
  saving.Load(hostFile, false, true);
  const std::string saved = folder.File("out" + std::string(1, kPathDelim) + "Auftrag 3.json");
  WriteOrderFile(saving, saved);
  EXPECT_FALSE(FileIsPresent(contract));
  EXPECT_FALSE(FileIsPresent(note));
  EXPECT_NE(ReadFileBytes(saved).find("\r\n"), std::string::npos);

  TVXJSONObject sending;
  sending.Load(saved, false, false);
  TStringList tempFiles;
  ExtractL2Files(sending, tempFiles);
  ASSERT_EQ(tempFiles.Count(), 2);
  std::string sentText;
  TSaveParser parser;
  parser.OrderDocument = &sending;
  parser.SendFunction = [&sentText](const std::string& text, int32_t, const std::string&) {
    sentText = text;
    return true;
  };
  parser.Execute("", "", kImportAsText, 0);

  // The host's view of the document.
  TFastJSON sent;
  sent.Parse(sentText);
  TJsonObject& order = sent.Values("Order").AsArray().Items(0).AsObject();
  EXPECT_TRUE(order.Values("NettoPrices").AsBoolean());
  TJsonArray& parts = order.Values("Parts").AsArray();
  ASSERT_EQ(parts.Count(), 3);
  TVXJSONObject host;
  host.Load(hostOrder, true, false);
  for (int i = 0; i < 3; ++i) {
    for (const char* key : {"Quantity", "Description1", "LongText", "Price"}) {
      EXPECT_EQ(parts.Items(i).AsObject().Values(key).AsString(), host.Part(i).Values(key).AsString()) << i << key;
    }
    EXPECT_TRUE(parts.Items(i).AsObject().Values("DeleteL2").AsBoolean()) << i;
  }
  EXPECT_EQ(ReadFileBytes(parts.Items(0).AsObject().Values("L2").AsString()), allBytes + allBytes);
  EXPECT_EQ(ReadFileBytes(parts.Items(1).AsObject().Values("L2").AsString()), "x");
  EXPECT_EQ(parts.Items(2).AsObject().Values("L2").AsString(), "");
  for (const std::string& fileName : tempFiles.Lines()) DeleteFileIfPresent(fileName);
}

}  // namespace
}  // namespace vx
