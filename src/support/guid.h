// New GUIDs and the number names of temporary files made from them.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// A new GUID as 36 characters: upper-case hex groups 8-4-4-4-12 without
// braces. Raises the general error when no GUID can be made.
std::string NewGuidText();

// ElfHash of NewGuidText: a number below 2^28.
uint32_t NewGuidHash();

}  // namespace vx
