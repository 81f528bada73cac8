#include "json/json_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "json/json_error.h"
#include "json/json_text_internal.h"
#include "support/text_utils.h"

namespace vx {

namespace {

// The escape of each byte in a JSON string: 0 keeps the byte, a letter is
// the short escape after a backslash, 'u' stands for "\u00xx" and 'E' for
// the euro sign's "\u20ac".
constexpr std::array<char, 256> MakeEscapeTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 0x20; ++c) table[c] = 'u';
  for (int c = 0x81; c < 0x100; ++c) table[c] = 'u';
  table[0x08] = 'b';
  table[0x09] = 't';
  table[0x0A] = 'n';
  table[0x0C] = 'f';
  table[0x0D] = 'r';
  table['"'] = '"';
  table['/'] = '/';
  table['\\'] = '\\';
  table[0x80] = 'E';
  return table;
}
constexpr std::array<char, 256> kEscapes = MakeEscapeTable();

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One byte from four hexadecimal digits; false for another byte.
bool DecodeHex4(const char* digits, char& result) {
  unsigned code = 0;
  for (int i = 0; i < 4; ++i) {
    const int value = HexDigitValue(digits[i]);
    if (value < 0) return false;
    code = code * 16 + static_cast<unsigned>(value);
  }
  // The euro sign is the one character beyond Latin-1 that Windows-1252
  // texts of the host use; every other code keeps its low byte.
  result = static_cast<char>(code == 0x20AC ? 0x80 : code & 0xFF);
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char gDecimalPoint = 0;

}  // namespace

std::string_view JsonTrim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return text.substr(begin, end - begin);
}

namespace {

// Short runs are looked at byte by byte; beyond this many bytes memchr is
// quicker, which matters for attachments of a megabyte.
constexpr ptrdiff_t kScalarRun = 16;

const char* NextBackslash(const char* p, const char* end) {
  const char* const limit = end - p > kScalarRun ? p + kScalarRun : end;
  for (; p < limit; ++p) {
    if (*p == '\\') return p;
  }
  if (p == end) return nullptr;
  return static_cast<const char*>(std::memchr(p, '\\', static_cast<size_t>(end - p)));
}

}  // namespace

const char* FindJsonStringEnd(const char* p, const char* end) {
  // The next quote found by memchr is remembered (it stays the first quote
  // after p until p passes it), so a long string full of escapes is not
  // searched to its end again after each backslash.
  const char* quote = nullptr;
  while (p < end) {
    const char* const limit = end - p > kScalarRun ? p + kScalarRun : end;
    const char* q = p;
    while (q < limit && *q != '"' && *q != '\\') ++q;
    if (q < limit) {
      if (*q == '"') return q;
      p = q + 2;  // a backslash skips the byte after it
      continue;
    }
    if (q == end) return nullptr;
    if (quote == nullptr || quote < q) {
      quote = static_cast<const char*>(std::memchr(q, '"', static_cast<size_t>(end - q)));
      if (quote == nullptr) return nullptr;
    }
    const char* backslash = static_cast<const char*>(std::memchr(q, '\\', static_cast<size_t>(quote - q)));
    if (backslash == nullptr) return quote;
    p = backslash + 2;
  }
  return nullptr;
}

bool DecodeJsonTextTo(std::string& out, std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const char* backslash = NextBackslash(p, end);
  if (backslash == nullptr) {
    out.assign(p, text.size());
    return true;
  }
  // Every escape is at least as long as what it stands for, so the result
  // fits in the length of the text.
  out.clear();
  out.resize(text.size());
  char* const start = &out[0];
  char* o = start;
  while (backslash != nullptr) {
    std::memcpy(o, p, static_cast<size_t>(backslash - p));
    o += backslash - p;
    p = backslash + 1;
    if (p == end) break;  // a final backslash is dropped
    const char c = *p++;
    switch (c) {
      case 'b': *o++ = '\x08'; break;
      case 'f': *o++ = '\x0C'; break;
      case 'n': *o++ = '\x0A'; break;
      case 'r': *o++ = '\x0D'; break;
      case 't': *o++ = '\x09'; break;
      case 'u':
        if (end - p >= 4) {
          if (!DecodeHex4(p, *o++)) return false;
          p += 4;
        } else {
          // Too short for a code: the escape is dropped, the rest kept as it is.
          std::memcpy(o, p, static_cast<size_t>(end - p));
          o += end - p;
          p = end;
        }
        break;
      default:  // the quote, backslash, slash and every other byte stand for themselves
        *o++ = c;
        break;
    }
    backslash = NextBackslash(p, end);
  }
  std::memcpy(o, p, static_cast<size_t>(end - p));
  o += end - p;
  out.resize(static_cast<size_t>(o - start));
  return true;
}

std::string DecodeJsonText(std::string_view text) {
  std::string out;
  if (!DecodeJsonTextTo(out, text)) throw EJsonError("InvalidHexNumber");
  return out;
}

void AppendEncodedJsonText(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    const auto* run = p;
    while (p < end && kEscapes[*p] == 0) ++p;
    if (p > run) out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
    if (p == end) break;
    const char escape = kEscapes[*p];
    if (escape == 'u') {
      const char code[6] = {'\\', 'u', '0', '0', kHex[*p >> 4], kHex[*p & 15]};
      out.append(code, 6);
    } else if (escape == 'E') {
      out.append("\\u20ac", 6);
    } else {
      const char code[2] = {'\\', escape};
      out.append(code, 2);
    }
    ++p;
  }
}

std::string EncodeJsonText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  AppendEncodedJsonText(out, text);
  return out;
}

char JsonDecimalPoint() {
  if (gDecimalPoint == 0) gDecimalPoint = DecimalSeparator();
  return gDecimalPoint;
}

void SetJsonDecimalPoint(char separator) { gDecimalPoint = separator; }

bool TryJsonTextToFloat(std::string_view text, double& value) {
  value = 0;
  // Blanks around the number are allowed, as the locale's conversion does.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const char separator = JsonDecimalPoint();
  // Numbers this long are not written by anyone; refusing them keeps the
  // copy below on the stack.
  char buffer[128];
  if (text.empty() || text.size() >= sizeof buffer) return false;
  size_t i = 0;
  size_t out = 0;
  const size_t n = text.size();
  if (text[i] == '+' || text[i] == '-') {
    if (text[i] == '-') buffer[out++] = '-';
    ++i;
  }
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) buffer[out++] = text[i++], ++digits;
  if (i < n && (text[i] == '.' || text[i] == separator)) {
    buffer[out++] = '.';
    ++i;
    while (i < n && IsDigit(text[i])) buffer[out++] = text[i++], ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    buffer[out++] = 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) buffer[out++] = text[i++];
    size_t exponentDigits = 0;
    while (i < n && IsDigit(text[i])) buffer[out++] = text[i++], ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != n) return false;
  buffer[out] = 0;
  double result = 0;
  const auto [end, error] = std::from_chars(buffer, buffer + out, result);
  if (error == std::errc::result_out_of_range) {
    // Too small to hold counts as 0; too large is no number.
    result = std::strtod(buffer, nullptr);
    if (std::isinf(result)) return false;
  } else if (error != std::errc() || end != buffer + out) {
    return false;
  }
  value = result;
  return true;
}

double JsonTextToFloat(std::string_view text) {
  double value;
  TryJsonTextToFloat(text, value);
  return value;
}

void AppendJsonFloat(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "NAN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-INF" : "INF";
    return;
  }
  if (value == 0) {
    out += '0';
    return;
  }
  char buffer[40];
  // Whole numbers of up to 15 digits, the common case, need no rounding.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    out.append(buffer, result.ptr);
    return;
  }
  // 15 significant digits, correctly rounded: "-d.ddddddddddddddde-xx".
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const char* p = buffer;
  if (*p == '-') {
    out += '-';
    ++p;
  }
  char digits[16];
  int count = 0;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits[count++] = *p;
  }
  *result.ptr = 0;
  const int exponent = std::atoi(p + 1);
  while (count > 1 && digits[count - 1] == '0') --count;
  if (exponent >= -5 && exponent <= 14) {
    if (exponent >= 0) {
      for (int i = 0; i <= exponent; ++i) out += i < count ? digits[i] : '0';
      if (count > exponent + 1) {
        out += '.';
        out.append(digits + exponent + 1, static_cast<size_t>(count - exponent - 1));
      }
    } else {
      out += "0.";
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out.append(digits, static_cast<size_t>(count));
    }
    return;
  }
  out += digits[0];
  if (count > 1) {
    out += '.';
    out.append(digits + 1, static_cast<size_t>(count - 1));
  }
  out += 'E';
  if (exponent < 0) out += '-';
  out += std::to_string(exponent < 0 ? -exponent : exponent);
}

std::string JsonFloatToText(double value) {
  std::string text;
  AppendJsonFloat(text, value);
  return text;
}

std::string DateTimeToJsonText(const TJsonDateTime& time) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", time.Year, time.Month, time.Day,
                time.Hour, time.Minute, time.Second, time.Millisecond);
  return buffer;
}

}  // namespace vx
