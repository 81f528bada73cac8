#include "documents/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vx {
namespace {

using namespace std::literals;

struct Vector {
  std::string_view Bytes;
  std::string_view Text;
};

// RFC 4648, section 10, and every byte value at each position of a group.
const Vector kVectors[] = {
    {""sv, ""sv},
    {"f"sv, "Zg=="sv},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
    {"ABC", "QUJD"},
    {"\xff\xfe\xfd", "//79"},
    {"\xfb\xef\xbe", "++++"},
    {"\x00\x00\x00\x00"sv, "AAAAAA=="sv},
};

TEST(Base64, EncodesAndDecodesKnownVectors) {
  for (const Vector& v : kVectors) {
    EXPECT_EQ(EncodeBase64(v.Bytes), v.Text);
    EXPECT_EQ(DecodeBase64(v.Text), v.Bytes) << v.Text;
  }
}

TEST(Base64, DecoderSkipsCharactersOutsideTheAlphabet) {
  const struct {
    std::string_view Text;
    std::string_view Bytes;
  } cases[] = {
      {"Zm9v\r\nYmFy\r\n", "foobar"},
      {" Z m 9 v ", "foo"},
      {"Zm9vYg", "foob"},          // last group of 2 without padding
      {"Zm9vYmE", "fooba"},        // last group of 3 without padding
      {"Zm9vY", "foo"},            // a single left-over character gives nothing
      {"Zg==Zg==", "f\x06`"},      // padding inside is skipped, the groups run on
      {"Z\xe4m\x80\x00" "8"sv, "fo"},  // high and NUL bytes
      {"====", ""},
      {"-_.", ""},                 // the URL alphabet is not this one
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeBase64(c.Text), c.Bytes) << c.Text;
  }
}

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// The decoder takes whole clean groups on a fast path and falls back at a
// skipped character; every length and every place of a break must agree.
TEST(Base64, RoundTripsEveryLengthAndBreakPosition) {
  for (size_t size = 0; size < 70; ++size) {
    const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
    const std::string text = EncodeBase64(bytes);
    ASSERT_EQ(text.size(), (size + 2) / 3 * 4);
    ASSERT_EQ(DecodeBase64(text), bytes) << size;
    for (size_t at = 0; at <= text.size(); ++at) {
      std::string broken = text;
      broken.insert(at, "\r\n");
      ASSERT_EQ(DecodeBase64(broken), bytes) << size << " break at " << at;
    }
  }
}

TEST(Base64, RoundTripsAMegabyteWrappedInLines) {
  const std::string bytes = RandomBytes(1 << 20, 7);
  const std::string text = EncodeBase64(bytes);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  std::string wrapped;
  for (size_t i = 0; i < text.size(); i += 76) wrapped += text.substr(i, 76) + "\n";
  EXPECT_EQ(DecodeBase64(wrapped), bytes);
}

TEST(StartsWithBase64Tag, ExactTagAtTheStart) {
  EXPECT_TRUE(StartsWithBase64Tag("base64:"));
  EXPECT_TRUE(StartsWithBase64Tag("base64:QUJD"));
  for (const char* text : {"", "base64", "Base64:QUJD", "BASE64:", " base64:QUJD", "C:\\base64:x"}) {
    EXPECT_FALSE(StartsWithBase64Tag(text)) << text;
  }
}

}  // namespace
}  // namespace vx
