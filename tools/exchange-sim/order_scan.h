// Reads the customer of an order file with a plain text search, and writes
// the small JSON answer of "SIMPLEGETJSON".
#pragma once

#include <string>
#include <string_view>

namespace vx::sim {

// The text of the first member "key" whose value is a string or a number;
// empty when there is none. JSON escapes are decoded to Windows-1252.
std::string ScanMemberText(std::string_view json, std::string_view key);

// {"CustomerNumber":"...","AdressSmart":"..."}
std::string SimpleOrderJson(const std::string& customer, const std::string& address);

}  // namespace vx::sim
