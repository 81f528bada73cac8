#include "support/console_output.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

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

// A file or a pipe gets the bytes exactly, so scripts see no change.
TEST(WriteConsoleText, FileGetsTheBytesUnchanged) {
  testing::TTempFolder folder;
  const std::string fileName = folder.File("out.txt");
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::string text = "M\xfcller \x84K\xf6ln\x93 \x80\n";
  EXPECT_TRUE(WriteConsoleText(file, text));
  std::fclose(file);
  EXPECT_EQ(testing::ReadFileBytes(fileName), text);
}

}  // namespace
}  // namespace vx
