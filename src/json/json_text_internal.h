// Helpers shared by the parser and the text functions of the JSON model.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// The closing quote of a JSON string whose inner text starts at p (a
// backslash skips the byte after it); null when the text ends first.
const char* FindJsonStringEnd(const char* p, const char* end);

// DecodeJsonText into out; false instead of raising for a bad "\uXXXX".
bool DecodeJsonTextTo(std::string& out, std::string_view text);

}  // namespace vx
