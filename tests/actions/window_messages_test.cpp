// LIESMICH.txt explains every text the window can show, quoted exactly as
// the user reads it.
#include "actions/window_messages.h"

#include <gtest/gtest.h>

#include <string>

#include "support/file_contents.h"

namespace vx {
namespace {

// Blanks and line ends as one blank each run, so that a quote may wrap
// and be indented in the text.
std::string OneSpaced(const std::string& text) {
  std::string result;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\r' || c == '\n';
    if (!blank) {
      result += c;
    } else if (!result.empty() && result.back() != ' ') {
      result += ' ';
    }
  }
  return result;
}

// The package's LIESMICH.txt, Windows-1252 with CR LF, made by the
// package's own script (VX_LIESMICH, written by the build).
TEST(WindowMessages, LiesmichQuotesEachOneExactly) {
  const std::string liesmich = OneSpaced(testing::ReadFileBytes(VX_LIESMICH));
  ASSERT_FALSE(liesmich.empty()) << VX_LIESMICH;
  for (const TWindowMessage& message : WindowMessages()) {
    // Windows-1252: 0x84 and 0x93 are the German quotes.
    const std::string quoted = "\x84" + OneSpaced(ReadableText(message)) + "\x93";
    EXPECT_NE(liesmich.find(quoted), std::string::npos) << "LIESMICH.txt lacks " << quoted;
  }
}

}  // namespace
}  // namespace vx
