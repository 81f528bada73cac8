// The one way the console tools put text out: Windows-1252 bytes, shown
// right in a console window whatever its code page, and passed on
// unchanged to a file or a pipe, so that scripts see the bytes they always
// saw.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vx {

// Writes the text to stream and flushes it. When stream is a console
// window (Windows), the text goes as UTF-16 through the console's
// wide-character output, so that "M\xfcller" shows as such in a console
// on code page 850; otherwise the bytes go unchanged. False when not all
// of it could be written.
bool WriteConsoleText(std::FILE* stream, std::string_view text);

// True for a byte that a terminal may take as a command rather than as a
// character: the C0 controls, DEL, and what becomes a C1 control on the
// way to the screen (on POSIX every byte 0x80 to 0x9F, which goes to the
// terminal as it is; on Windows only the bytes the ANSI code page maps to
// C1 controls).
bool IsControlByte(unsigned char byte);

// The text with every control byte (IsControlByte), the line feed
// included, written as "\xNN", so that a file name or a server's answer
// stays one line of plain text on a screen or in a log.
std::string EscapeControlBytes(std::string_view text);

}  // namespace vx
