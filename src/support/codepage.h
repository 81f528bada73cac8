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

}  // namespace vx
