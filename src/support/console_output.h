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

}  // namespace vx
