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

// True for a byte that a terminal may take as a command rather than as a
// character: the C0 controls, DEL, and what becomes a C1 control on the
// way to the screen. On POSIX that is every byte 0x80 to 0x9F, which goes
// to the terminal as it is (0x9B starts a sequence as ESC [ does); on
// Windows only the bytes the ANSI code page maps to C1 controls (0x81,
// 0x8D, 0x8F, 0x90, 0x9D in Windows-1252), the others being letters and
// signs such as the euro sign and the German quotes.
bool IsControlByte(unsigned char byte);

}  // namespace vx
