#include "support/text_utils.h"

#include <array>
#include <cerrno>
#include <cstdlib>

#include "support/codepage.h"

namespace vx {

namespace {

// Case partners of Windows-1252: ASCII letters, the four pairs in 0x8A..0xFF
// and the Latin-1 letters 0xC0..0xDE / 0xE0..0xFE except the multiplication
// and division signs. 0xDF (sharp s) has no partner.
struct CaseTables {
  std::array<unsigned char, 256> upper;
  std::array<unsigned char, 256> lower;
  std::array<unsigned char, 256> swap;

  CaseTables() {
    for (int c = 0; c < 256; ++c) {
      upper[c] = lower[c] = swap[c] = static_cast<unsigned char>(c);
    }
    auto pair = [this](int big, int small) {
      upper[small] = static_cast<unsigned char>(big);
      lower[big] = static_cast<unsigned char>(small);
      swap[big] = static_cast<unsigned char>(small);
      swap[small] = static_cast<unsigned char>(big);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    pair(0x8A, 0x9A);
    pair(0x8C, 0x9C);
    pair(0x8E, 0x9E);
    pair(0x9F, 0xFF);
    for (int c = 0xC0; c <= 0xDE; ++c) {
      if (c != 0xD7) pair(c, c + 32);
    }
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

bool IsUnsafeFileNameChar(char c) {
  static const std::string_view kUnsafe = "\\?|><:/*\"";
  return kUnsafe.find(c) != std::string_view::npos;
}

// Drops the first folder level of a folder text ("\a\b\" -> "\...\b\").
std::string ShortenFolderOnce(std::string folder) {
  if (folder == "\\") return "";
  const bool leadingBackslash = !folder.empty() && folder[0] == '\\';
  if (leadingBackslash) folder.erase(0, 1);
  if (!folder.empty() && folder[0] == '.') folder.erase(0, 4);
  const size_t slash = folder.find('\\');
  folder = slash == std::string::npos ? "" : "...\\" + folder.substr(slash + 1);
  if (leadingBackslash) folder.insert(0, "\\");
  return folder;
}

}  // namespace

unsigned char AnsiUpperChar(unsigned char c) { return Tables().upper[c]; }
unsigned char AnsiLowerChar(unsigned char c) { return Tables().lower[c]; }

std::string_view TrimView(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string MakeFileNameSafe(std::string_view text, bool dropSpaces) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 1 && byte <= 31) continue;
    if (dropSpaces && c == ' ') continue;
    if (IsUnsafeFileNameChar(c)) continue;
    result += c;
  }
  return Trim(result);
}

std::string ShortenPath(const std::string& path, int maxLength) {
  if (maxLength <= 0) return path;
  const size_t lastSlash = path.find_last_of("\\:");
  std::string folderPart = lastSlash == std::string::npos ? "" : path.substr(0, lastSlash + 1);
  const std::string fileName = lastSlash == std::string::npos ? path : path.substr(lastSlash + 1);
  std::string drive;
  if (folderPart.size() >= 2 && folderPart[1] == ':') {
    drive = folderPart.substr(0, 2);
    folderPart.erase(0, 2);
  }
  std::string folder = folderPart;
  std::string result = path;
  while ((!folder.empty() || !drive.empty()) && result.size() > static_cast<size_t>(maxLength)) {
    if (folder == "\\...\\") {
      drive.clear();
      folder = "...\\";
    } else if (folder.empty()) {
      drive.clear();
    } else {
      folder = ShortenFolderOnce(folder);
    }
    result = drive + folder + fileName;
  }
  return result;
}

void ReplaceAllText(std::string& text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty() || text.empty() || pattern.size() > text.size()) return;
  const CaseTables& tables = Tables();
  const size_t textLength = text.size();
  const size_t patternLength = pattern.size();
  // Reserve the largest possible result once, then cut to the real length.
  size_t maxLength = textLength;
  if (replacement.size() > patternLength) {
    maxLength = replacement.size() * (textLength / patternLength) + textLength % patternLength;
  }
  std::string result;
  result.reserve(maxLength);
  const unsigned char firstUpper = tables.upper[static_cast<unsigned char>(pattern[0])];
  auto matchesAt = [&](size_t at) {
    if (tables.upper[static_cast<unsigned char>(text[at])] != firstUpper) return false;
    for (size_t k = 1; k < patternLength; ++k) {
      const auto t = static_cast<unsigned char>(text[at + k]);
      const auto p = static_cast<unsigned char>(pattern[k]);
      if (t != p && t != tables.swap[p]) return false;
    }
    return true;
  };
  size_t i = 0;
  while (i < textLength) {
    if (i + patternLength <= textLength && matchesAt(i)) {
      result.append(replacement);
      i += patternLength;
    } else {
      result += text[i];
      ++i;
    }
  }
  text = std::move(result);
}

bool TextIsTrue(std::string_view text) { return text == "1"; }

std::string ShownText(std::string_view text) { return ShownText(text, text.size()); }

std::string EscapeControlBytes(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsControlByte(byte)) {
      escaped += "\\x";
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 15];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string ShownText(std::string_view start, uint64_t wholeLength) {
  const std::string_view shown = start.substr(0, kShownTextLength);
  std::string result = EscapeControlBytes(shown);
  // Windows-1252: 0x85 is the ellipsis.
  if (shown.size() < wholeLength) result += "\x85 (" + std::to_string(wholeLength) + " bytes)";
  return result;
}

std::vector<std::string> SplitText(std::string_view delimiter, std::string_view text, int maxParts,
                                   int resultLength) {
  std::vector<std::string> parts;
  if (!text.empty() && maxParts >= 0) {
    if (delimiter.empty()) {
      parts.emplace_back(text);
    } else {
      size_t pos = 0;
      while (pos < text.size()) {
        const bool lastAllowed = maxParts > 0 && static_cast<int>(parts.size()) + 1 == maxParts;
        const size_t next = lastAllowed ? std::string_view::npos : text.find(delimiter, pos);
        if (next == std::string_view::npos) {
          parts.emplace_back(text.substr(pos));
          break;
        }
        parts.emplace_back(text.substr(pos, next - pos));
        pos = next + delimiter.size();
      }
    }
  }
  if (resultLength != 0) parts.resize(static_cast<size_t>(resultLength < 0 ? 0 : resultLength));
  return parts;
}

uint32_t ElfHash(std::string_view text) {
  uint32_t h = 0;
  for (char c : text) {
    h = (h << 4) + static_cast<unsigned char>(c);
    const uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h;
}

bool TextEquals(std::string_view a, std::string_view b) {
  if (a.data() == b.data() && a.size() == b.size()) return true;
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const CaseTables& tables = Tables();
  for (size_t i = 0; i < a.size(); ++i) {
    if (tables.upper[static_cast<unsigned char>(a[i])] != tables.upper[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

double TextToNumber(const std::string& text) {
  // The conversion runs in the "C" locale on "." text, so the locale's
  // separator is mapped to "." first; a "." in a ","-locale is not a number.
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return 0;
  std::string canonical = trimmed;
  const char separator = DecimalSeparator();
  if (separator != '.') {
    if (canonical.find('.') != std::string::npos) return 0;
    for (char& c : canonical) {
      if (c == separator) c = '.';
    }
  }
  const char* begin = canonical.c_str();
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(begin, &end);
  if (end == begin || *end != '\0' || errno == ERANGE) return 0;
  // strtod also takes hexadecimal numbers, "inf" and "nan"; the locale's
  // conversion does not.
  for (char c : canonical) {
    if (!(c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E' || (c >= '0' && c <= '9'))) return 0;
  }
  return value;
}

}  // namespace vx
