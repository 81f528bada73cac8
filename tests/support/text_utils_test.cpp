#include "support/text_utils.h"

#include <gtest/gtest.h>

#include "support/codepage.h"

namespace vx {
namespace {

TEST(MakeFileNameSafe, RemovesUnsafeCharactersAndTrims) {
  EXPECT_EQ(MakeFileNameSafe(" 12 M\xfcller/Meier: A*B? ", false), "12 M\xfcllerMeier AB");
  EXPECT_EQ(MakeFileNameSafe(" 12 M\xfcller/Meier: A*B? ", true), "12M\xfcllerMeierAB");
  EXPECT_EQ(MakeFileNameSafe("a\tb\x1f" "c|<>\"\\", false), "abc");
  EXPECT_EQ(MakeFileNameSafe("???", false), "");
}

TEST(TextIsTrue, OnlyExactlyOne) {
  EXPECT_TRUE(TextIsTrue("1"));
  for (const char* text : {"true", " 1", "01", "", "1 "}) EXPECT_FALSE(TextIsTrue(text)) << text;
}

// What both platforms agree on; the bytes 0x80 to 0x9F that are characters
// in Windows-1252 differ by platform (see the _win test).
TEST(EscapeControlBytes, KeepsTextAndEscapesEveryControl) {
  const struct {
    std::string Text;
    std::string Escaped;
  } cases[] = {
      {"M\xfcller GmbH, K\xf6ln [08.12.2026].json", "M\xfcller GmbH, K\xf6ln [08.12.2026].json"},
      {"\x1b[2Jforged", "\\x1B[2Jforged"},
      {"a\r\nsent 5 of 5 files", "a\\x0D\\x0Asent 5 of 5 files"},
      {"VX-EXCHANGE-SIM\x08" "3613", "VX-EXCHANGE-SIM\\x083613"},
      {std::string("nul\0tab\t", 8), "nul\\x00tab\\x09"},
      {"del\x7f", "del\\x7F"},
      // Unassigned in Windows-1252: a C1 control on every platform.
      {"\x81\x8d\x8f\x90\x9d", "\\x81\\x8D\\x8F\\x90\\x9D"},
      {"\xa0\xff", "\xa0\xff"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeControlBytes(c.Text), c.Escaped) << c.Escaped;
}

// What a hostile server or file sends must neither break a report's line
// nor reach the terminal as a control sequence, however long it is.
TEST(ShownText, EscapesControlBytesAndCutsLongTexts) {
  const auto high = [](const std::string& escaped, const std::string& raw) {
    return IsControlByte(0x80) ? escaped : raw;
  };
  struct TCase {
    std::string Text;
    std::string Shown;
  };
  const TCase cases[] = {
      {"C:\\VX\\M\xfcller \x80.fdb", "C:\\VX\\M\xfcller " + high("\\x80", "\x80") + ".fdb"},
      {"", ""},
      {"forged\r\n2026-01-01 line", "forged\\x0D\\x0A2026-01-01 line"},
      {"\x1b]0;title\x07\x1b[2J", "\\x1B]0;title\\x07\\x1B[2J"},
      {"pipe\x08" "42\x7f", "pipe\\x0842\\x7F"},
      {"\x9b" "31m\x9f\xa0", high("\\x9B31m\\x9F", "\x9b" "31m\x9f") + "\xa0"},
      {std::string(200, 'a'), std::string(200, 'a')},
      {std::string(201, 'a'), std::string(200, 'a') + "\x85 (201 bytes)"},
      {std::string(199, 'a') + "\n" + std::string(10000000, 'b'),
       std::string(199, 'a') + "\\x0A\x85 (10000200 bytes)"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ShownText(c.Text), c.Shown) << c.Text.substr(0, 30);
}

TEST(ReplaceAllText, IgnoresWindows1252Case) {
  std::string text = "[printname]-[PrintName]";
  ReplaceAllText(text, "[PrintName]", "X");
  EXPECT_EQ(text, "X-X");
  text = "\xc4" "BC";
  ReplaceAllText(text, "\xe4" "bc", "y");
  EXPECT_EQ(text, "y");
  // 0xDF has no partner, 0xD7/0xF7 are not letters.
  text = "\xdf\xd7";
  ReplaceAllText(text, "\xdf\xf7", "z");
  EXPECT_EQ(text, "\xdf\xd7");
}

TEST(ReplaceAllText, EdgeCases) {
  std::string text = "a\r\nb\r\n";
  ReplaceAllText(text, "\r\n", "");
  EXPECT_EQ(text, "ab");
  text = "";
  ReplaceAllText(text, "x", "y");
  EXPECT_EQ(text, "");
  text = "ab";
  ReplaceAllText(text, "abc", "y");
  EXPECT_EQ(text, "ab");
  ReplaceAllText(text, "", "y");
  EXPECT_EQ(text, "ab");
  text = "aaa";
  ReplaceAllText(text, "aa", "b");
  EXPECT_EQ(text, "ba");
  text = "xax";
  ReplaceAllText(text, "A", "long replacement");
  EXPECT_EQ(text, "xlong replacementx");
}

TEST(SplitText, Examples) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitText(",", "a,,b,"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitText(",", ",a"), (V{"", "a"}));
  EXPECT_EQ(SplitText(",", "1,2,3,4,5", 4, 4), (V{"1", "2", "3", "4,5"}));
  EXPECT_EQ(SplitText(",", "1,2", 4, 4), (V{"1", "2", "", ""}));
  EXPECT_EQ(SplitText(",", "1,2,3", 0, 2), (V{"1", "2"}));
  EXPECT_EQ(SplitText("", "abc"), (V{"abc"}));
  EXPECT_EQ(SplitText(",", ""), V{});
  EXPECT_EQ(SplitText(",", "a", -1), V{});
  EXPECT_EQ(SplitText("\x08", "pipe\x08" "42"), (V{"pipe", "42"}));
}

TEST(ShortenPath, DropsLeadingFoldersUntilItFits) {
  const std::string path = "C:\\Users\\Public\\Documents\\db\\file.fdb";
  EXPECT_EQ(ShortenPath(path, 30), "C:\\...\\Documents\\db\\file.fdb");
  EXPECT_EQ(ShortenPath(path, 35), "C:\\...\\Public\\Documents\\db\\file.fdb");
  EXPECT_EQ(ShortenPath(path, 0), path);
  EXPECT_EQ(ShortenPath(path, 100), path);
  EXPECT_EQ(ShortenPath(path, 5), "file.fdb");
  EXPECT_EQ(ShortenPath("server:\\a\\b", 3), "b");
}

TEST(ElfHash, KnownValuesAndRange) {
  EXPECT_EQ(ElfHash(""), 0u);
  EXPECT_EQ(ElfHash("A"), 0x41u);
  EXPECT_EQ(ElfHash("AB"), 0x41u * 16 + 0x42u);
  const std::string guid = "0F8FAD5B-D9CB-469F-A165-70867728950E";
  EXPECT_LT(ElfHash(guid), 1u << 28);
  EXPECT_LT(ElfHash(std::string(1000, '\xff')), 1u << 28);
}

TEST(TextEquals, AsciiCaseOnly) {
  EXPECT_TRUE(TextEquals("Order", "ORDER"));
  EXPECT_TRUE(TextEquals("", ""));
  EXPECT_FALSE(TextEquals("", "a"));
  EXPECT_FALSE(TextEquals("ab", "abc"));
  EXPECT_FALSE(TextEquals("\xe4", "\xc4"));
  EXPECT_TRUE(AnsiSameText("\xe4" "b", "\xc4" "B"));
}

TEST(TextToNumber, NumbersAndFailures) {
  EXPECT_DOUBLE_EQ(TextToNumber("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(TextToNumber("-1E3"), -1000);
  EXPECT_DOUBLE_EQ(TextToNumber(" 7 "), 7);
  for (const char* text : {"", "abc", "1.2.3", "0x10", "inf", "nan", "1e999"}) {
    EXPECT_EQ(TextToNumber(text), 0) << text;
  }
}

}  // namespace
}  // namespace vx
