// Helpers shared by the parser and the text functions of the JSON model.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vx {

// Eight bytes at a time. Each mask has the high bit of exactly those bytes
// of the word that match, with no carry from one byte into the next.
namespace json_words {

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// The bytes below n (n at most 0x80).
inline uint64_t BytesBelow(uint64_t word, uint8_t n) {
  return ~(((word & kLowBits) + kOnes * static_cast<uint8_t>(0x80 - n)) | word) & kHighBits;
}
inline uint64_t BytesEqual(uint64_t word, char c) { return BytesBelow(word ^ (kOnes * static_cast<uint8_t>(c)), 1); }

inline uint64_t Load(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline bool LittleEndian() {
  static const bool little = [] {
    const uint16_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
  }();
  return little;
}

// Not 0 when a byte of the word is 0; cheaper than BytesEqual, but its
// marks above the first 0 byte may be wrong, so it only tells whether.
inline uint64_t AnyZeroByte(uint64_t word) { return (word - kOnes) & ~word & kHighBits; }

// The first byte whose mark is set, of a word loaded at p; the lowest
// mark is the first byte in memory, and the multiplication turns its bit
// 8k+7 into the number k in the top byte.
inline const char* FirstMarked(const char* p, uint64_t marks) {
  const uint64_t lowest = marks & (~marks + 1);
  return p + (((lowest >> 7) * 0x0001020304050607ULL) >> 56);
}

// The first byte at or after p (before end) that TMarks marks in a word,
// or that isMarked accepts one by one near the end; end when none does.
template <typename TMarks, typename TIsMarked>
const char* FindMarked(const char* p, const char* end, TMarks marks, TIsMarked isMarked) {
  if (LittleEndian()) {
    for (; end - p >= 8; p += 8) {
      const uint64_t found = marks(Load(p));
      if (found != 0) return FirstMarked(p, found);
    }
  }
  while (p < end && !isMarked(*p)) ++p;
  return p;
}

}  // namespace json_words

// The first of the bytes TBytes at or after p, or end.
template <char... TBytes>
const char* FindJsonByte(const char* p, const char* end) {
  return json_words::FindMarked(
      p, end, [](uint64_t word) { return (json_words::BytesEqual(word, TBytes) | ...); },
      [](char c) { return ((c == TBytes) || ...); });
}

// The text up to its first NUL byte: every text of the model ends there.
inline std::string_view CutJsonTextAtNul(std::string_view text) {
  // Words at a time: the C library's memchr of the Windows build is a
  // plain byte loop. Almost no text holds a NUL, so four words are asked
  // together whether they do, and only the four that do are searched.
  const char* p = text.data();
  const char* const end = p + text.size();
  if (json_words::LittleEndian()) {
    using json_words::AnyZeroByte;
    using json_words::Load;
    for (; end - p >= 32; p += 32) {
      if ((AnyZeroByte(Load(p)) | AnyZeroByte(Load(p + 8)) | AnyZeroByte(Load(p + 16)) | AnyZeroByte(Load(p + 24))) != 0) {
        break;
      }
    }
  }
  const char* nul = FindJsonByte<'\0'>(p, end);
  return text.substr(0, static_cast<size_t>(nul - text.data()));
}

// The closing quote of a JSON string whose inner text starts at p (a
// backslash skips the byte after it); null when the text ends first.
const char* FindJsonStringEnd(const char* p, const char* end);

// What is known of a string's inner text as it stands in a JSON text.
struct TJsonStringForm {
  // It holds a backslash.
  bool Escaped = false;
  // Its escapes decode: DecodeJsonText raises nothing.
  bool Valid = true;
  // It stands exactly as EncodeJsonText writes its decoded bytes, so that a
  // writer may copy it.
  bool Canonical = true;
};

// FindJsonStringEnd for the single pass, which learns the inner text's form
// on the way.
const char* ScanJsonString(const char* p, const char* end, TJsonStringForm& form);

// The form of an inner text found otherwise (by the splitting rules).
TJsonStringForm InspectJsonText(std::string_view text);

// False when DecodeJsonText would raise "InvalidHexNumber" for the text.
bool JsonEscapesAreValid(std::string_view text);

// DecodeJsonText appended to out; false (with out partly appended) instead
// of raising for a bad "\uXXXX".
bool AppendDecodedJsonText(std::string& out, std::string_view text);

// The writer's output (json_output.h).
class TJsonOutput;

// EncodeJsonText(text) put to out.
void PutEncodedJsonText(TJsonOutput& out, std::string_view text);
// EncodeJsonText(DecodeJsonText(text)) put to out, without the decoded
// text in between; the text's escapes must be valid.
void PutReencodedJsonText(TJsonOutput& out, std::string_view text);

// A number that ReadJsonNumber read.
struct TJsonNumber {
  double Value = 0;
  // It was written as a whole number of at most 9 digits, and is not -0:
  // Value holds an int32.
  bool Whole = false;
};

// Reads a number from p on, as TryJsonTextToFloat reads a whole text with
// separator as the locale's decimal separator, and stops at the first byte
// that does not continue its form: where it stopped, with number set; null
// (and number 0) when no number starts at p or it is too large to hold.
const char* ReadJsonNumber(const char* p, const char* end, char separator, TJsonNumber& number);

// The longest text JsonFloatToText gives.
constexpr size_t kMostJsonFloatChars = 32;
// JsonFloatToText written at out, which has room for kMostJsonFloatChars
// bytes; the length written.
size_t JsonFloatToChars(double value, char* out);

}  // namespace vx
