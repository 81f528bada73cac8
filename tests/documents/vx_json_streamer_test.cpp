#include "documents/vx_json_streamer.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

namespace vx {
namespace {

std::string StringText(const std::string& value) {
  TVXJSONstring node(value);
  return TVXJSONStreamer::GenerateText(&node);
}

TEST(TVXJSONStreamer, StringEncodingOfTheHost) {
  const struct {
    std::string Value;
    std::string Written;
  } cases[] = {
      {"a\tb\x1b", R"("a\tb\u001B")"},
      {"\b\f\n\r", R"("\b\f\n\r")"},
      {std::string(1, '\0') + "\x01\x1f", R"("\u0000\u0001\u001F")"},
      {"\"/\\", R"("\"\/\\")"},
      {"\x80", R"("\u20ac")"},
      {"Gr\xf6\xdf" "e \xe4\x81\x9f\xff\x7f", "\"Gr\xf6\xdf" "e \xe4\x81\x9f\xff\x7f\""},
      {"", R"("")"},
  };
  for (const auto& c : cases) EXPECT_EQ(StringText(c.Value), c.Written) << c.Written;
}

TEST(TVXJSONStreamer, NumbersInTheGeneralFormWith15Digits) {
  const struct {
    double Value;
    const char* Text;
  } cases[] = {
      {1, "1"},
      {2.5, "2.5"},
      {0.1, "0.1"},
      {-19.99, "-19.99"},
      {100, "100"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {-0.0, "0"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.4, "999999999999999"},
      {1e15, "1E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {1e20, "1E20"},
      {0.00001, "0.00001"},
      {0.000015, "0.000015"},
      {0.000001, "1E-6"},
      {1.5e-7, "1.5E-7"},
      {-2.5e-300, "-2.5E-300"},
      {std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const auto& c : cases) {
    TVXJSONnumber node(c.Value);
    EXPECT_EQ(TVXJSONStreamer::GenerateText(&node), c.Text) << c.Text;
  }
}

TEST(TVXJSONStreamer, EmptyContainersAndScalars) {
  TVXJSON object;
  TVXSONList list;
  TVXJSONnull null;
  TVXJSONboolean yes(true);
  TVXJSONnumber number(2.5);
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&object), "{}");
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&list), "[]");
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&null), "null");
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&yes), "true");
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&number), "2.5");
  EXPECT_EQ(TVXJSONStreamer::GenerateText(nullptr), "");
}

TEST(TVXJSONStreamer, NamesAreEncodedLikeStrings) {
  TVXJSON object;
  object.SetStringField("a\"b", "\x80");
  object.AddPair("n", std::make_unique<TVXJSONnull>());
  object.AddChild(std::make_unique<TVXJSONobjectmethod>("v", nullptr));
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&object), R"({"a\"b":"\u20ac","n":null,"v":null})");
}

// The skeleton of the import document, filled in the order its builder
// uses; pairs come out in insertion order, never sorted.
TEST(TVXJSONStreamer, ImportDocumentShape) {
  TVXJSON root;
  auto orderList = std::make_unique<TVXSONList>();
  auto order = std::make_unique<TVXJSON>();
  auto parts = std::make_unique<TVXSONList>();
  auto adressList = std::make_unique<TVXSONList>();
  adressList->AddChild(std::make_unique<TVXJSON>());
  auto part = std::make_unique<TVXJSON>();
  part->SetStringField("Quantity", "2.5");
  part->SetStringField("L2", "C:\\Temp\\VXTempDir\\123");
  part->SetBooleanField("DeleteL2", true);
  parts->AddChild(std::move(part));
  TVXJSON* orderObject = order.get();
  order->AddPair("Parts", std::move(parts));
  order->AddPair("Adress", std::move(adressList));
  orderList->AddChild(std::move(order));
  root.AddPair("Order", std::move(orderList));
  orderObject->SetBooleanField("NettoPrices", false);
  orderObject->SetBooleanField("TaxImport", true);
  orderObject->SetBooleanField("UpdateParts", false);
  orderObject->SetBooleanField("AppendMode", true);
  root.SetStringField("Description", "");

  const std::string expected =
      R"({"Order":[{"Parts":[{"Quantity":"2.5","L2":"C:\\Temp\\VXTempDir\\123","DeleteL2":true}],)"
      R"("Adress":[{}],"NettoPrices":false,"TaxImport":true,"UpdateParts":false,"AppendMode":true}],)"
      R"("Description":""})";
  EXPECT_EQ(TVXJSONStreamer::GenerateText(&root), expected);

  TMemoryStream stream;
  stream.WriteText("x");
  TVXJSONStreamer::SaveToStream(&root, &stream);
  EXPECT_EQ(stream.Data(), "x" + expected);
  TVXJSONStreamer::SaveToStream(nullptr, &stream);
  EXPECT_EQ(stream.Data(), "x" + expected);
}

}  // namespace
}  // namespace vx
