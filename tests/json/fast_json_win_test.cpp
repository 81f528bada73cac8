// The model under the user's real Windows locale. Runs only when the test
// run set the locale's decimal separator and names it in
// VX_TEST_DECIMAL_SEPARATOR (comma_locale_test.cmake sets "," in the wine
// prefix's registry); other runs skip it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "json/fast_json.h"
#include "support/text_utils.h"

namespace vx {
namespace {

TEST(UserLocale, NumbersKeepTheirDotWithTheLocalesSeparator) {
  const char* expected = std::getenv("VX_TEST_DECIMAL_SEPARATOR");
  if (expected == nullptr || expected[0] == 0) GTEST_SKIP() << "the locale's separator is not set for this run";
  ASSERT_EQ(DecimalSeparator(), expected[0]);
  ASSERT_EQ(JsonDecimalPoint(), expected[0]);

  TFastJSON json;
  json.Parse("{\"Price\":19.99,\"Tiny\":1.5E-7,\"List\":[0.5,2]}");
  EXPECT_EQ(json.Values("Price").NumberValue(), 19.99);
  EXPECT_EQ(json.Values("Price").AsString(), "19.99");
  EXPECT_EQ(json.Stringify(), "{\"Price\":19.99,\"Tiny\":1.5E-7,\"List\":[0.5,2]}");
  EXPECT_EQ(JsonTextToFloat(std::string("2") + expected[0] + "5"), 2.5);
  EXPECT_EQ(JsonFloatToText(-0.25), "-0.25");
}

}  // namespace
}  // namespace vx
