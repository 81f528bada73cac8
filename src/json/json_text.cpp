#include "json/json_text.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "json/json_error.h"
#include "json/json_output.h"
#include "json/json_text_internal.h"

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

using json_words::BytesBelow;
using json_words::BytesEqual;
using json_words::kHighBits;

// The bytes that a JSON string cannot hold as they are: what kEscapes marks.
uint64_t SpecialBytes(uint64_t word) {
  return (word & kHighBits) | BytesBelow(word, 0x20) | BytesEqual(word, '"') | BytesEqual(word, '/') |
         BytesEqual(word, '\\');
}

// The first byte at or after p that kEscapes marks, or end.
inline const char* NextSpecialByte(const char* p, const char* end) {
  return json_words::FindMarked(p, end, SpecialBytes,
                                [](char c) { return kEscapes[static_cast<unsigned char>(c)] != 0; });
}

// The value of each byte as a hexadecimal digit, -1 for any other byte.
constexpr std::array<int8_t, 256> MakeHexTable() {
  std::array<int8_t, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = -1;
  for (int c = 0; c < 10; ++c) table['0' + c] = static_cast<int8_t>(c);
  for (int c = 0; c < 6; ++c) {
    table['a' + c] = static_cast<int8_t>(10 + c);
    table['A' + c] = static_cast<int8_t>(10 + c);
  }
  return table;
}
constexpr std::array<int8_t, 256> kHexDigits = MakeHexTable();

// One byte from four hexadecimal digits; false for another byte.
bool DecodeHex4(const char* digits, char& result) {
  unsigned code = 0;
  for (int i = 0; i < 4; ++i) {
    const int value = kHexDigits[static_cast<unsigned char>(digits[i])];
    if (value < 0) return false;
    code = code * 16 + static_cast<unsigned>(value);
  }
  // The euro sign is the one character beyond Latin-1 that Windows-1252
  // texts of the host use; every other code keeps its low byte.
  result = static_cast<char>(code == 0x20AC ? 0x80 : code & 0xFF);
  return true;
}

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

// Reads the escapes of a string's inner text the way DecodeJsonText does:
// the runs between escapes go to sink.Run(first, last), each escape to
// sink.Byte(decoded). False at a "\u" escape with a byte that is not a
// hexadecimal digit.
template <typename TSink>
bool WalkJsonEscapes(std::string_view text, TSink& sink) {
  const char* p = text.data();
  const char* const end = p + text.size();
  for (const char* backslash = NextBackslash(p, end); backslash != nullptr; backslash = NextBackslash(p, end)) {
    sink.Run(p, backslash);
    p = backslash + 1;
    if (p == end) return true;  // a final backslash is dropped
    const char c = *p++;
    switch (c) {
      case 'b': sink.Byte('\x08'); break;
      case 'f': sink.Byte('\x0C'); break;
      case 'n': sink.Byte('\x0A'); break;
      case 'r': sink.Byte('\x0D'); break;
      case 't': sink.Byte('\x09'); break;
      case 'u':
        if (end - p >= 4) {
          char decoded;
          if (!DecodeHex4(p, decoded)) return false;
          sink.Byte(decoded);
          p += 4;
        } else {
          // Too short for a code: the escape is dropped, the rest kept as it is.
          sink.Run(p, end);
          p = end;
        }
        break;
      default:  // the quote, backslash, slash and every other byte stand for themselves
        sink.Byte(c);
        break;
    }
  }
  sink.Run(p, end);
  return true;
}

struct TCheckSink {
  void Run(const char*, const char*) {}
  void Byte(char) {}
};

struct TDecodeSink {
  std::string& Out;
  void Run(const char* first, const char* last) { Out.append(first, static_cast<size_t>(last - first)); }
  void Byte(char c) { Out += c; }
};

// The encoders put their bytes to a text or to the writer's output.
struct TTextOutput {
  std::string& Text;
  void Put(char c) { Text += c; }
  void Put(std::string_view bytes) { Text.append(bytes); }
};

// What EncodeJsonText writes for each byte, from kEscapes. A table, not
// bytes put together at the time: a piece made up on the stack and read
// back at once stalls the processor.
struct TEncodedByte {
  char Text[6];
  uint8_t Length;
};

constexpr std::array<TEncodedByte, 256> MakeEncodedBytes() {
  constexpr char kHex[] = "0123456789abcdef";
  std::array<TEncodedByte, 256> table{};
  for (int c = 0; c < 256; ++c) {
    TEncodedByte& encoded = table[static_cast<size_t>(c)];
    const char escape = kEscapes[static_cast<size_t>(c)];
    if (escape == 0) {
      encoded = {{static_cast<char>(c)}, 1};
    } else if (escape == 'u') {
      encoded = {{'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]}, 6};
    } else if (escape == 'E') {
      encoded = {{'\\', 'u', '2', '0', 'a', 'c'}, 6};
    } else {
      encoded = {{'\\', escape}, 2};
    }
  }
  return table;
}
constexpr std::array<TEncodedByte, 256> kEncodedBytes = MakeEncodedBytes();

template <typename TOutput>
void PutEncodedByte(TOutput& out, unsigned char c) {
  const TEncodedByte& encoded = kEncodedBytes[c];
  out.Put(std::string_view(encoded.Text, encoded.Length));
}

template <typename TOutput>
void PutEncoded(TOutput& out, std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* run = p;
    p = NextSpecialByte(p, end);
    if (p > run) out.Put(std::string_view(run, static_cast<size_t>(p - run)));
    // Such bytes come in runs: a UTF-8 letter is two to four of them.
    for (; p < end && kEscapes[static_cast<unsigned char>(*p)] != 0; ++p) {
      PutEncodedByte(out, static_cast<unsigned char>(*p));
    }
  }
}

template <typename TOutput>
struct TReencodeSink {
  TOutput& Out;
  void Run(const char* first, const char* last) { PutEncoded(Out, std::string_view(first, static_cast<size_t>(last - first))); }
  void Byte(char c) { PutEncodedByte(Out, static_cast<unsigned char>(c)); }
};

}  // namespace

std::string_view JsonTrim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return text.substr(begin, end - begin);
}

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
      // A backslash skips the byte after it; escapes often come in runs.
      do {
        q += 2;
      } while (q < end && *q == '\\');
      p = q;
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

namespace {

// A short escape ("\\n") that EncodeJsonText writes as it stands.
bool ShortEscapeIsCanonical(char c) {
  switch (c) {
    case '"':
    case '\\':
    case '/':
    case 'b':
    case 'f':
    case 'n':
    case 'r':
    case 't':
      return true;
    default:
      return false;
  }
}

// The four digits of a "\u" escape that decoded to byte are exactly what
// EncodeJsonText writes for it.
bool UnicodeEscapeIsCanonical(const char* digits, char byte) {
  static const char kLowerHex[] = "0123456789abcdef";
  const auto c = static_cast<unsigned char>(byte);
  if (kEscapes[c] == 'E') return std::memcmp(digits, "20ac", 4) == 0;
  return kEscapes[c] == 'u' && digits[0] == '0' && digits[1] == '0' && digits[2] == kLowerHex[c >> 4] &&
         digits[3] == kLowerHex[c & 15];
}

// Learns the form of the escape at backslash (at least 2 bytes before
// end) and returns where the next byte to look at is.
const char* InspectEscape(const char* backslash, const char* end, TJsonStringForm& form, bool& unsure) {
  form.Escaped = true;
  if (backslash[1] != 'u') {
    // Short escapes often come in runs ("\\\\\\"); they need no more than a look.
    const char* p = backslash;
    do {
      if (!ShortEscapeIsCanonical(p[1])) form.Canonical = false;
      p += 2;
    } while (end - p >= 2 && p[0] == '\\' && p[1] != 'u');
    return p;
  }
  char decoded;
  if (end - backslash >= 6 && DecodeHex4(backslash + 2, decoded)) {
    if (!UnicodeEscapeIsCanonical(backslash + 2, decoded)) form.Canonical = false;
    return backslash + 6;
  }
  // Too short or not hexadecimal: whether it decodes depends on where the
  // text ends.
  form.Canonical = false;
  unsure = true;
  return backslash + 2;
}

}  // namespace

const char* ScanJsonString(const char* p, const char* end, TJsonStringForm& form) {
  const char* const start = p;
  form = TJsonStringForm();
  bool unsure = false;
  for (;;) {
    // A quote ends the string, a backslash starts an escape, any other such
    // byte would be written escaped; once one was, only the first two
    // matter.
    p = form.Canonical ? NextSpecialByte(p, end) : FindJsonByte<'"', '\\'>(p, end);
    if (p == end) return nullptr;
    if (*p == '"') break;
    if (*p != '\\') {
      form.Canonical = false;
      ++p;
      continue;
    }
    if (end - p < 2) return nullptr;  // the closing quote would be escaped
    p = InspectEscape(p, end, form, unsure);
  }
  form.Valid = !unsure || JsonEscapesAreValid(std::string_view(start, static_cast<size_t>(p - start)));
  return p;
}

TJsonStringForm InspectJsonText(std::string_view text) {
  TJsonStringForm form;
  bool unsure = false;
  const char* p = text.data();
  const char* const end = p + text.size();
  for (p = NextSpecialByte(p, end); p < end; p = NextSpecialByte(p, end)) {
    if (*p != '\\') {
      form.Canonical = false;
      ++p;
    } else if (end - p < 2) {
      form.Escaped = true;
      form.Canonical = false;
      break;
    } else {
      p = InspectEscape(p, end, form, unsure);
    }
  }
  form.Valid = !unsure || JsonEscapesAreValid(text);
  return form;
}

bool JsonEscapesAreValid(std::string_view text) {
  TCheckSink sink;
  return WalkJsonEscapes(text, sink);
}

bool AppendDecodedJsonText(std::string& out, std::string_view text) {
  TDecodeSink sink{out};
  return WalkJsonEscapes(text, sink);
}

void PutReencodedJsonText(TJsonOutput& out, std::string_view text) {
  TReencodeSink<TJsonOutput> sink{out};
  WalkJsonEscapes(text, sink);
}

std::string DecodeJsonText(std::string_view text) {
  std::string out;
  // Every escape is at least as long as what it stands for.
  out.reserve(text.size());
  if (!AppendDecodedJsonText(out, text)) throw EJsonError("InvalidHexNumber");
  return out;
}

void AppendEncodedJsonText(std::string& out, std::string_view text) {
  TTextOutput output{out};
  PutEncoded(output, text);
}

void PutEncodedJsonText(TJsonOutput& out, std::string_view text) { PutEncoded(out, text); }

std::string EncodeJsonText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  AppendEncodedJsonText(out, text);
  return out;
}

std::string DateTimeToJsonText(const TJsonDateTime& time) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", time.Year, time.Month, time.Day,
                time.Hour, time.Minute, time.Second, time.Millisecond);
  return buffer;
}

}  // namespace vx
