// The one conversion between the program's Windows-1252 bytes and UTF-16,
// used where texts cross the pipe to the host.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Windows: the ANSI code page of the system; elsewhere: Windows-1252.
std::u16string AnsiToUtf16(std::string_view text);

// Characters without an ANSI byte become "?".
std::string Utf16ToAnsi(std::u16string_view text);

// True where a terminal may take the bytes 0x80..0x9F for C1 controls
// (0x9B starts a sequence as ESC [ does); in Windows' ANSI code pages they
// are letters and signs (the euro sign, quotes, dashes).
extern const bool kHighBytesAreControls;

}  // namespace vx
