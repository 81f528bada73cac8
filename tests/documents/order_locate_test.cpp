// The locate step of the order document.
#include "documents/order_locate.h"

#include <gtest/gtest.h>

#include "json/json_test_util.h"

namespace vx {
namespace {

using testing::ErrorText;

std::string LocateResult(const std::string& text) {
  TFastJSON json;
  if (!text.empty()) json.Parse(text);
  TOrderLocation location;
  try {
    LocateOrder(json, location);
  } catch (const std::exception& error) {
    return std::string("error ") + error.what();
  }
  return "parts " + std::to_string(location.Parts->Count());
}

TEST(LocateOrder, Table) {
  const std::pair<const char*, const char*> cases[] = {
      {"{\"Order\":[{\"Adress\":[{}],\"Parts\":[{},{}]}]}", "parts 2"},
      {"{\"order\":[{\"ADRESS\":[{\"Name\":\"x\"}],\"parts\":[{}]}]}", "parts 1"},
      {"{\"Order\":[{\"Adress\":[{}]}]}", "parts 0"},
      {"", "error Der Index der Liste \xfc" "berschreitet das Maximum (0)"},
      {"{}", "error Der Index der Liste \xfc" "berschreitet das Maximum (0)"},
      {"{\"Order\":[]}", "error Der Index der Liste \xfc" "berschreitet das Maximum (0)"},
      {"{\"Order\":[{}]}", "error Der Index der Liste \xfc" "berschreitet das Maximum (0)"},
      {"[1]", "error <TFastJSON>json struct type is not jsObject"},
      {"{\"Order\":null}", "error <TJsonValue>\"Order\" value type error: jvNull to jvArray"},
      {"{\"Order\":{}}", "error <TJsonValue>\"Order\" value type error: jvObject to jvArray"},
      {"{\"Order\":[\"x\"]}", "error <TJsonValue>\"Order\" value type error: jvString to jvObject"},
      {"{\"Order\":[{\"Adress\":\"x\"}]}", "error <TJsonValue>\"Adress\" value type error: jvString to jvArray"},
      {"{\"Order\":[{\"Adress\":[{}],\"Parts\":{}}]}",
       "error <TJsonValue>\"Parts\" value type error: jvObject to jvArray"},
  };
  for (const auto& [text, result] : cases) EXPECT_EQ(LocateResult(text), result) << text;
}

TEST(LocateOrder, AddsAMissingPartsArrayAndKeepsWhatWasFound) {
  TFastJSON json;
  json.Parse("{\"Order\":[{\"Adress\":[{}]}]}");
  TOrderLocation location;
  LocateOrder(json, location);
  EXPECT_TRUE(location.IsValid());
  EXPECT_EQ(json.Stringify(), "{\"Order\":[{\"Adress\":[{}],\"Parts\":[]}]}");
  EXPECT_EQ(location.Order, &json.Values("Order").AsArray().Items(0));

  json.Parse("{\"Order\":[{\"Adress\":[]}]}");
  EXPECT_THROW(LocateOrder(json, location), EStringListError);
  EXPECT_NE(location.Order, nullptr);
  EXPECT_EQ(location.Adress, nullptr);
  EXPECT_FALSE(location.IsValid());
}

}  // namespace
}  // namespace vx
