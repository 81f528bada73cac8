// Escapes, number text (in a "." and a "," locale) and the date-time text.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string_view>

#include "json/fast_json.h"
#include "json_test_util.h"
#include "support/text_utils.h"

namespace vx {
namespace {

using testing::ErrorText;
using testing::TDecimalPointScope;

struct TTextCase {
  std::string Raw;
  std::string Text;
};

TEST(DecodeJsonText, Escapes) {
  const TTextCase cases[] = {
      {"plain", "plain"},
      {"\\\"\\\\\\/", "\"\\/"},
      {"\\b\\f\\n\\r\\t", "\x08\x0c\x0a\x0d\x09"},
      {"\\u20ac", "\x80"},
      {"\\u20AC", "\x80"},
      {"\\u00FC\\u00e4", "\xfc\xe4"},
      {"\\u0142", "\x42"},
      {"\\u0000x", std::string("\0x", 2)},
      {"\\q", "q"},
      {"a\\u12", "a12"},
      {"\\u1", "1"},
      {"\\u", ""},
      {"\\u\\n", "\\n"},
      {"ab\\", "ab"},
      {"\xe4\x80\x01", "\xe4\x80\x01"},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(DecodeJsonText(c.Raw), c.Text) << c.Raw;
  EXPECT_EQ(ErrorText([] { DecodeJsonText("\\u12G4"); }), "InvalidHexNumber");
  EXPECT_EQ(ErrorText([] { DecodeJsonText("x\\u-123"); }), "InvalidHexNumber");
}

TEST(DecodeJsonText, LongRunsOfEscapes) {
  std::string raw;
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    raw += "\\u00e4ab";
    text += "\xe4" "ab";
  }
  EXPECT_EQ(DecodeJsonText(raw), text);
}

TEST(EncodeJsonText, Escapes) {
  const TTextCase cases[] = {
      {"plain text 0-9", "plain text 0-9"},
      {"\"/\\", "\\\"\\/\\\\"},
      {"\x08\x09\x0a\x0c\x0d", "\\b\\t\\n\\f\\r"},
      {std::string("\0\x1b\x1f", 3), "\\u0000\\u001b\\u001f"},
      {"\x7f", "\x7f"},
      {"\x80", "\\u20ac"},
      {"\x81\xe4\xfc\xff", "\\u0081\\u00e4\\u00fc\\u00ff"},
  };
  for (const TTextCase& c : cases) EXPECT_EQ(EncodeJsonText(c.Raw), c.Text) << c.Text;
}

TEST(EncodeJsonText, RoundTripsEveryByte) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(DecodeJsonText(EncodeJsonText(all)), all);
  TFastJSON json;
  json.Values(all).SetAsString(all);
  TFastJSON back;
  back.Parse(json.Stringify());
  EXPECT_EQ(back.JsonObject()->Items(0).Name(), all);
  EXPECT_EQ(back.Values(all).AsString(), all);
}

struct TNumberCase {
  double Value;
  const char* Text;
};

TEST(JsonFloatToText, GeneralFormWith15Digits) {
  const TNumberCase cases[] = {
      {1, "1"},
      {2.5, "2.5"},
      {0.1, "0.1"},
      {-19.99, "-19.99"},
      {0, "0"},
      {-0.0, "0"},
      {100, "100"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {12345.678, "12345.678"},
      {3.14159265358979, "3.14159265358979"},
      {0.0001, "0.0001"},
      {0.00001, "0.00001"},
      {0.000012345, "0.000012345"},
      {-0.00001, "-0.00001"},
      {0.0000099, "9.9E-6"},
      {0.000001, "1E-6"},
      {1.5e-7, "1.5E-7"},
      {-1e-10, "-1E-10"},
      {999999999999999, "999999999999999"},
      {123456789012345.6, "123456789012346"},
      {1e15, "1E15"},
      {1234567890123456, "1.23456789012346E15"},
      {1e20, "1E20"},
      {-2.5e21, "-2.5E21"},
      {1e100, "1E100"},
      {1.5e300, "1.5E300"},
      {5e-324, "4.94065645841247E-324"},
      {9.9999999999999999e-6, "0.00001"},
      {0.1234567890123456, "0.123456789012346"},
      // Rounded at the 15th digit: a tie goes to the even digit, a carry
      // may reach the next power of ten.
      {1000000000000005, "1E15"},
      {1000000000000015, "1.00000000000002E15"},
      {999999999999999.9, "1E15"},
      {9.999999999999995, "9.99999999999999"},
      {-65.613616999999977, "-65.613617"},
      {1.2345678901234567e-90, "1.23456789012346E-90"},
      {1.2345678901234567e99, "1.23456789012346E99"},
  };
  for (const TNumberCase& c : cases) EXPECT_EQ(JsonFloatToText(c.Value), c.Text) << c.Text;
  EXPECT_EQ(JsonFloatToText(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(JsonFloatToText(std::nan("")), "NAN");
}

TEST(JsonTextToFloat, AcceptsTheDecimalForm) {
  const TNumberCase cases[] = {
      {1, "1"},       {-2.5, "-2.5"},  {2.5, "+2.5"},  {0.5, ".5"},      {5, "5."},   {1e20, "1E20"},
      {1.5e-7, "1.5e-7"}, {15, "1.5E+1"}, {7, "007"}, {3, " 3 "},       {0, "1e-999"},
  };
  for (const TNumberCase& c : cases) {
    double value = -1;
    EXPECT_TRUE(TryJsonTextToFloat(c.Text, value)) << c.Text;
    EXPECT_EQ(value, c.Value) << c.Text;
  }
  for (const char* text : {"", " ", "-", "+", ".", "e5", "1e", "1e+", "1.2.3", "1,5", "0x10", "inf", "nan", "1e999",
                           "--1", "1 2", "\t1", "1f"}) {
    double value = -1;
    EXPECT_FALSE(TryJsonTextToFloat(text, value)) << text;
    EXPECT_EQ(value, 0) << text;
    EXPECT_EQ(JsonTextToFloat(text), 0) << text;
  }
}

TEST(JsonTextToFloat, RoundsCorrectlyOnEveryPath) {
  // Up to 15 digits one exact operation converts; up to 19 a 128-bit
  // product, which leaves what lies too near the middle of two doubles,
  // and every longer number, to the library's conversion.
  const TNumberCase cases[] = {
      {-65.613616999999977, "-65.613616999999977"},
      {44.192869999999999, "44.192869999999999"},
      {0.1, "0.1000000000000000055511151231257827"},
      {9007199254740992, "9007199254740993"},  // the middle of two doubles: to the even one
      {9007199254740996, "9007199254740995"},
      {9007199254740994, "9007199254740994"},
      {9007199254740994, "9007199254740994.0000000001"},
      {9223372036854775808.0, "9223372036854775807"},
      {507980049791965763.0, "507980049791965763"},
      {1e23, "1e23"},
      {8.98846567431158e307, "8.98846567431158e307"},
      {1.2345678901234567e-90, "1.2345678901234567e-90"},
      {1.2345678901234567e99, "12345678901234567e83"},
      {2.2250738585072014e-308, "2.2250738585072014e-308"},
      {4.9406564584124654e-324, "4.9406564584124654e-324"},
      {0.3, "0.29999999999999998889776975"},
      {-0.0, "-0.000e5"},
  };
  for (const TNumberCase& c : cases) {
    double value = -1;
    EXPECT_TRUE(TryJsonTextToFloat(c.Text, value)) << c.Text;
    EXPECT_EQ(value, c.Value) << c.Text;
  }
  // Any double reads back from its 17 significant digits, and from its
  // shortest text, exactly.
  std::mt19937_64 random(20);
  for (int i = 0; i < 200000; ++i) {
    const uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    EXPECT_EQ(JsonTextToFloat(text), value) << text;
    const auto written = std::to_chars(text, text + sizeof text, value);
    EXPECT_EQ(JsonTextToFloat(std::string_view(text, static_cast<size_t>(written.ptr - text))), value) << value;
  }
}

TEST(JsonTextToFloat, RoundTripsWrittenNumbers) {
  for (double value : {0.1, 19.99, 1e-7, 123456.789, 1e22, 0.000123, 42.0, std::numeric_limits<double>::max(),
                       -std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()}) {
    EXPECT_EQ(JsonTextToFloat(JsonFloatToText(value)), value) << value;
  }
}

TEST(DecimalPoint, CommaLocaleReadsAndWritesDots) {
  TDecimalPointScope comma(',');
  EXPECT_EQ(JsonDecimalPoint(), ',');
  EXPECT_EQ(JsonTextToFloat("2.5"), 2.5);
  // The locale's own separator is read too, as the locale's conversion does.
  EXPECT_EQ(JsonTextToFloat("2,5"), 2.5);
  EXPECT_EQ(JsonFloatToText(-19.99), "-19.99");
  EXPECT_EQ(JsonFloatToText(1.5e-7), "1.5E-7");

  TFastJSON json;
  json.Parse("{\"a\":2.5,\"b\":[0.00001,1E20]}");
  EXPECT_EQ(json.Values("a").AsString(), "2.5");
  EXPECT_EQ(json.Values("a").NumberValue(), 2.5);
  EXPECT_EQ(json.Stringify(), "{\"a\":2.5,\"b\":[0.00001,1E20]}");
  // A comma still separates values.
  json.Parse("[1,5]");
  EXPECT_EQ(json.JsonArray()->Count(), 2);
}

TEST(DecimalPoint, DotLocaleRefusesCommas) {
  TDecimalPointScope dot('.');
  EXPECT_EQ(JsonTextToFloat("2,5"), 0);
  double value;
  EXPECT_FALSE(TryJsonTextToFloat("2,5", value));
  EXPECT_EQ(JsonFloatToText(2.5), "2.5");
}

TEST(DecimalPoint, ReadFromTheLocaleByDefault) {
  TDecimalPointScope reset(0);
  EXPECT_EQ(JsonDecimalPoint(), DecimalSeparator());
}

TEST(DateTimeToJsonText, PadsEachField) {
  EXPECT_EQ(DateTimeToJsonText({2024, 3, 5, 9, 7, 3, 45}), "2024-03-05T09:07:03.045Z");
  EXPECT_EQ(DateTimeToJsonText({999, 12, 31, 23, 59, 59, 999}), "0999-12-31T23:59:59.999Z");
}

TEST(JsonTrim, RemovesEveryByteUpTo0x20) {
  EXPECT_EQ(JsonTrim(std::string("\x01\t\r\n a b \x20\x1f", 10)), "a b");
  EXPECT_EQ(JsonTrim("   "), "");
  EXPECT_EQ(JsonTrim("\x7f"), "\x7f");
}

TEST(JsonValueTypeName, NamesInOrder) {
  EXPECT_STREQ(JsonValueTypeName(jvNone), "jvNone");
  EXPECT_STREQ(JsonValueTypeName(jvBoolean), "jvBoolean");
  EXPECT_STREQ(JsonValueTypeName(jvArray), "jvArray");
}

}  // namespace
}  // namespace vx
