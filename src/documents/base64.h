// Base64 (RFC 4648 alphabet) for the L2 attachments that travel inside order
// files as "base64:" text. Attachments reach megabytes, so both directions
// work through lookup tables without per-character branching.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// The tag in front of an embedded attachment's base64 text.
constexpr std::string_view kBase64Tag = "base64:";

// True when text begins with "base64:" (exact case, at the first character).
bool StartsWithBase64Tag(std::string_view text);

// The base64 text of the bytes: the last group filled up with "=", no line
// breaks; 4 * ceil(n / 3) characters.
std::string EncodeBase64(std::string_view bytes);

// The bytes of a base64 text. Every character outside the alphabet ("=",
// blanks, line breaks, anything else) is skipped; a last incomplete group of
// 3 or 2 characters gives 2 or 1 bytes, a single left-over character
// nothing. Never fails.
std::string DecodeBase64(std::string_view text);

}  // namespace vx
