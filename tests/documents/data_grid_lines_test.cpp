#include "documents/data_grid_lines.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "documents/component_stream.h"
#include "support/errors.h"

namespace vx {
namespace {

std::string Short(const std::string& text) { return std::string(1, static_cast<char>(text.size())) + text; }

std::string StreamOf(const TDataGridLines& lines) {
  TMemoryStream stream;
  WriteDataGridLinesStream(lines, stream);
  EXPECT_EQ(stream.Position(), 0);
  return stream.Data();
}

const std::string kHead = "TPF0" + Short("TDataGridLinesWrapper") + std::string(1, '\0') + Short("DataGridLines");
const std::string kTail = Short("Row") + std::string("\x02\xff\x00\x00", 4);

TEST(WriteDataGridLinesStream, NoPositionsGive51Bytes) {
  TDataGridLines lines;
  const std::string stream = StreamOf(lines);
  EXPECT_EQ(stream, kHead + std::string("\x0e\x00", 2) + kTail);
  EXPECT_EQ(stream.size(), 51u);

  TMemoryStream source;
  source.WriteText(stream);
  const std::string block = MakeClipboardBlock(source);
  EXPECT_EQ(block, std::string("\x33\x00\x00\x00", 4) + stream);
}

TEST(WriteDataGridLinesStream, OnePositionWithAQuantityGives82Bytes) {
  TDataGridLines lines;
  lines.Add().Stueck = "1";
  const std::string stream = StreamOf(lines);
  const std::string item = std::string("\x01", 1) + Short("Stueck") + "\x06\x01" "1" + Short("DM") + "\x08" +
                           Short("Isnetto") + "\x08" + Short("Row") + std::string("\x02\x00\x00", 3);
  EXPECT_EQ(stream, kHead + "\x0e" + item + std::string(1, '\0') + kTail);
  EXPECT_EQ(stream.size(), 82u);
}

TEST(WriteDataGridLinesStream, EveryPropertyInOrderWithGuid) {
  TDataGridLines lines;
  lines.GUID = "VX Datei Zwischenablage 1";
  TDataGridLine& line = lines.Add();
  const std::vector<std::pair<std::string, std::string*>> texts = {
      {"Stueck", &line.Stueck},           {"Einheit", &line.Einheit},     {"Bezeichnung1", &line.Bezeichnung1},
      {"Bezeichnung2", &line.Bezeichnung2}, {"BestellNummer", &line.BestellNummer},
      {"Seriennummer", &line.Seriennummer}, {"Artikelnummer", &line.Artikelnummer},
      {"Einzelbetrag", &line.Einzelbetrag}, {"Steuer", &line.Steuer},   {"SummeBetrag", &line.SummeBetrag},
      {"intern", &line.intern},           {"ID_Artikel", &line.ID_Artikel}, {"Rabatt", &line.Rabatt},
      {"Second", &line.Second},           {"TypeLine", &line.TypeLine},   {"User", &line.User},
      {"Rows", &line.Rows},               {"Hash", &line.Hash},           {"Pos", &line.Pos},
      {"ExtraData", &line.ExtraData},     {"L2", &line.L2}};
  for (const auto& [name, field] : texts) *field = name.substr(0, 1);
  line.DM = true;
  line.Isnetto = true;
  line.Row = 300;

  auto prop = [](const std::string& name) { return Short(name) + "\x06\x01" + name.substr(0, 1); };
  std::string item = "\x01";
  for (const char* name : {"Stueck", "Einheit", "Bezeichnung1", "Bezeichnung2", "BestellNummer", "Seriennummer",
                           "Artikelnummer", "Einzelbetrag", "Steuer", "SummeBetrag", "intern", "ID_Artikel",
                           "Rabatt", "Second"}) {
    item += prop(name);
  }
  item += Short("DM") + "\x09" + prop("TypeLine") + Short("Isnetto") + "\x09" + prop("User") + Short("Row") +
          "\x03\x2c\x01" + prop("Rows") + prop("Hash") + prop("Pos") + prop("ExtraData") + prop("L2");
  item += std::string(1, '\0');
  const std::string expected = kHead + "\x0e" + item + std::string(1, '\0') + Short("GUID") + "\x06" +
                               Short(lines.GUID) + kTail;
  EXPECT_EQ(StreamOf(lines), expected);
}

TEST(TComponentStreamWriter, TextLengthsChooseTheValueType) {
  const struct {
    size_t Length;
    std::string Head;
  } cases[] = {
      {0, std::string("\x06\x00", 2)},
      {255, "\x06\xff"},
      {256, std::string("\x0c\x00\x01\x00\x00", 5)},
      {70000, std::string("\x0c\x70\x11\x01\x00", 5)},
  };
  for (const auto& c : cases) {
    TComponentStreamWriter writer;
    writer.WriteTextValue(std::string(c.Length, 'a'));
    EXPECT_EQ(writer.Data(), c.Head + std::string(c.Length, 'a')) << c.Length;
  }
}

TEST(TComponentStreamWriter, IntegersTakeTheFewestBytes) {
  const struct {
    int32_t Value;
    std::string Bytes;
  } cases[] = {
      {0, std::string("\x02\x00", 2)},
      {-1, "\x02\xff"},
      {127, "\x02\x7f"},
      {-128, "\x02\x80"},
      {128, std::string("\x03\x80\x00", 3)},
      {-129, "\x03\x7f\xff"},
      {32767, "\x03\xff\x7f"},
      {-32768, std::string("\x03\x00\x80", 3)},
      {32768, std::string("\x04\x00\x80\x00\x00", 5)},
      {-32769, "\x04\xff\x7f\xff\xff"},
      {INT32_MIN, std::string("\x04\x00\x00\x00\x80", 5)},
  };
  for (const auto& c : cases) {
    TComponentStreamWriter writer;
    writer.WriteIntegerValue(c.Value);
    EXPECT_EQ(writer.Data(), c.Bytes) << c.Value;
  }
}

TEST(FillDataGridLine, MapsPositionKeysInLineOrder) {
  const std::map<std::string, std::string> position = {
      {"Quantity", "2.5"},     {"Unit", "Stk"},          {"Description1", "D1"}, {"Description2", "D2"},
      {"DeliverNumber", "B7"}, {"SerialNumber", "S9"},   {"Number", "A1"},       {"Price", "19.99"},
      {"TaxRate", "19"},       {"Intern", "i"},          {"Rabatt", "5"},        {"LongText", "Lang"},
      {"TypLine", "0"},        {"Position", "1.1"},      {"L2", "base64:QUJD"},  {"SummeBetrag", "never"}};
  std::vector<std::string> read;
  TDataGridLine line;
  line.DM = true;
  FillDataGridLine(line, true, [&](const std::string& key) {
    read.push_back(key);
    const auto found = position.find(key);
    return found == position.end() ? std::string() : found->second;
  });
  EXPECT_EQ(read, (std::vector<std::string>{"Quantity", "Unit", "Description1", "Description2", "DeliverNumber",
                                            "SerialNumber", "Number", "Price", "TaxRate", "Intern", "Rabatt",
                                            "LongText", "TypLine", "Position", "L2"}));
  EXPECT_FALSE(line.DM);
  EXPECT_TRUE(line.Isnetto);
  const std::vector<std::string> got = {line.Stueck,        line.Einheit, line.Bezeichnung1, line.Bezeichnung2,
                                        line.BestellNummer, line.Seriennummer, line.Artikelnummer,
                                        line.Einzelbetrag,  line.Steuer,  line.intern,       line.Rabatt,
                                        line.Second,        line.TypeLine, line.Pos,         line.L2};
  EXPECT_EQ(got, (std::vector<std::string>{"2.5", "Stk", "D1", "D2", "B7", "S9", "A1", "19.99", "19", "i", "5",
                                           "Lang", "0", "1.1", "base64:QUJD"}));
  EXPECT_EQ(line.SummeBetrag + line.ID_Artikel + line.User + line.Rows + line.Hash + line.ExtraData, "");
  EXPECT_EQ(line.Row, 0);
}

TEST(TDataGridLines, IndexOutsideRaisesTheListError) {
  TDataGridLines lines;
  lines.Add();
  EXPECT_NO_THROW(lines.Items(0));
  EXPECT_THROW(lines.Items(1), EStringListError);
  EXPECT_THROW(lines.Items(-1), EStringListError);
}

}  // namespace
}  // namespace vx
