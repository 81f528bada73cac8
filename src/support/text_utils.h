// Short text operations on Windows-1252 byte strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Removes control characters 1..31 (and every space when dropSpaces is set)
// and the characters \ ? | > < : / * " ; then trims blanks and control
// characters. Nothing is put in place of a removed character.
std::string MakeFileNameSafe(std::string_view text, bool dropSpaces);

// Shortens a Windows path for display by replacing leading folder levels
// with "...\". A maximum of 0 or less returns the path unchanged; when no
// folder is left to drop only the file name remains.
std::string ShortenPath(const std::string& path, int maxLength);

// Replaces every non-overlapping occurrence of pattern, ignoring the
// Windows-1252 letter case. An empty pattern or text changes nothing.
void ReplaceAllText(std::string& text, std::string_view pattern, std::string_view replacement);

// True only for exactly "1".
bool TextIsTrue(std::string_view text);

// Splits at each delimiter. maxParts > 0 lets the last allowed part run to
// the end; resultLength != 0 cuts or pads the result to that many elements.
std::vector<std::string> SplitText(std::string_view delimiter, std::string_view text, int maxParts = 0,
                                   int resultLength = 0);

// The classic ELF symbol hash; always below 2^28.
uint32_t ElfHash(std::string_view text);

// Equality ignoring the case of the ASCII letters only.
bool TextEquals(std::string_view a, std::string_view b);

// Equality ignoring the Windows-1252 letter case (umlauts included).
bool AnsiSameText(std::string_view a, std::string_view b);

// The number in text, read with the locale's decimal separator; 0 when the
// text is not a number.
double TextToNumber(const std::string& text);

// The user's decimal separator, read once.
char DecimalSeparator();

// A text from outside the program (a server's answer, a path or a name
// from a file) shows at most this many bytes in a report or log line:
// enough to recognise any real path or name, while one of a hundred
// million bytes can fill neither the screen, nor the log, nor the memory.
constexpr size_t kShownTextLength = 200;

// The text with every control byte (IsControlByte of codepage.h), the
// line feed included, written as "\xNN", so that a file name or a server's
// answer stays one line of plain text on a screen or in a log.
std::string EscapeControlBytes(std::string_view text);

// text made safe for one line of a report or log: cut after
// kShownTextLength bytes and then followed by the ellipsis (0x85) and
// " (N bytes)" with its whole length, its control bytes escaped as
// EscapeControlBytes does. So the text can neither break the line nor
// steer the terminal, however long it is.
std::string ShownText(std::string_view text);
// The same for the start of a text of wholeLength bytes.
std::string ShownText(std::string_view start, uint64_t wholeLength);

// Removes leading and trailing bytes of 0x20 and below.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

// Windows-1252 case mapping of one byte.
unsigned char AnsiUpperChar(unsigned char c);
unsigned char AnsiLowerChar(unsigned char c);

}  // namespace vx
