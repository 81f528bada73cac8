#include "order_scan.h"

#include <algorithm>
#include <cstdio>

#include "support/codepage.h"

namespace vx::sim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes the string that starts after its opening quote at json[at].
std::string DecodeString(std::string_view json, size_t at) {
  std::string text;
  while (at < json.size() && json[at] != '"') {
    char c = json[at++];
    if (c != '\\' || at >= json.size()) {
      text += c;
      continue;
    }
    c = json[at++];
    switch (c) {
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'b': text += '\b'; break;
      case 'f': text += '\f'; break;
      case 'u': {
        int unit = 0;
        for (int i = 0; i < 4 && at < json.size(); ++i) unit = unit * 16 + std::max(HexValue(json[at++]), 0);
        text += Utf16ToAnsi(std::u16string(1, static_cast<char16_t>(unit)));
        break;
      }
      default: text += c;
    }
  }
  return text;
}

}  // namespace

std::string ScanMemberText(std::string_view json, std::string_view key) {
  const std::string quoted = "\"" + std::string(key) + "\"";
  for (size_t found = json.find(quoted); found != std::string_view::npos; found = json.find(quoted, found + 1)) {
    size_t at = found + quoted.size();
    while (at < json.size() && IsBlank(json[at])) ++at;
    if (at >= json.size() || json[at] != ':') continue;
    ++at;
    while (at < json.size() && IsBlank(json[at])) ++at;
    if (at < json.size() && json[at] == '"') return DecodeString(json, at + 1);
    const size_t end = json.find_first_of(",}] \t\r\n", at);
    const std::string_view literal = json.substr(at, end == std::string_view::npos ? json.npos : end - at);
    if (!literal.empty() && (literal[0] == '-' || (literal[0] >= '0' && literal[0] <= '9'))) {
      return std::string(literal);
    }
  }
  return "";
}

namespace {

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace

std::string SimpleOrderJson(const std::string& customer, const std::string& address) {
  return "{\"CustomerNumber\":" + JsonString(customer) + ",\"AdressSmart\":" + JsonString(address) + "}";
}

}  // namespace vx::sim
