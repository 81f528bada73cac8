#include "documents/base64.h"

#include <array>
#include <cstdint>

namespace vx {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters for every 12-bit input value, so that three bytes
// need two table reads instead of four.
struct EncodeTable {
  std::array<char, 4096 * 2> Pairs{};
  constexpr EncodeTable() {
    for (int v = 0; v < 4096; ++v) {
      Pairs[2 * v] = kAlphabet[v >> 6];
      Pairs[2 * v + 1] = kAlphabet[v & 63];
    }
  }
};

// One table per position in a group of four characters, each holding the
// character's 6 bits already shifted into place in the 3 output bytes
// (byte 0 in bits 0-7, byte 1 in bits 8-15, byte 2 in bits 16-23). A
// character outside the alphabet sets bit 24 and up, so one comparison of
// the ORed group tells whether the fast path may take it.
constexpr uint32_t kInvalid = 0x01FFFFFF;

struct DecodeTables {
  std::array<uint8_t, 256> Sextet{};  // 0xFF outside the alphabet
  std::array<uint32_t, 256> Place[4]{};
  constexpr DecodeTables() {
    for (int c = 0; c < 256; ++c) {
      Sextet[c] = 0xFF;
      for (auto& place : Place) place[c] = kInvalid;
    }
    for (uint32_t v = 0; v < 64; ++v) {
      const auto c = static_cast<uint8_t>(kAlphabet[v]);
      Sextet[c] = static_cast<uint8_t>(v);
      Place[0][c] = v << 2;
      Place[1][c] = (v >> 4) | ((v & 0x0F) << 12);
      Place[2][c] = ((v >> 2) << 8) | ((v & 0x03) << 22);
      Place[3][c] = v << 16;
    }
  }
};

constexpr EncodeTable kEncode;
constexpr DecodeTables kDecode;

inline void PutGroup(char* out, uint32_t group) {
  out[0] = static_cast<char>(group & 0xFF);
  out[1] = static_cast<char>((group >> 8) & 0xFF);
  out[2] = static_cast<char>((group >> 16) & 0xFF);
}

inline void PutQuad(char* out, uint32_t triple) {
  const char* hi = &kEncode.Pairs[2 * (triple >> 12)];
  const char* lo = &kEncode.Pairs[2 * (triple & 0xFFF)];
  out[0] = hi[0];
  out[1] = hi[1];
  out[2] = lo[0];
  out[3] = lo[1];
}

}  // namespace

bool StartsWithBase64Tag(std::string_view text) { return text.substr(0, kBase64Tag.size()) == kBase64Tag; }

std::string EncodeBase64(std::string_view bytes) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t n = bytes.size();
  std::string result((n + 2) / 3 * 4, '=');
  char* out = result.data();
  size_t i = 0;
  for (; i + 3 <= n; i += 3, out += 4) {
    PutQuad(out, (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2]);
  }
  // The padding "=" is already in place.
  if (n - i == 1) {
    const uint32_t v = uint32_t{in[i]} << 16;
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[(v >> 12) & 63];
  } else if (n - i == 2) {
    const uint32_t v = (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8);
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[(v >> 12) & 63];
    out[2] = kAlphabet[(v >> 6) & 63];
  }
  return result;
}

std::string DecodeBase64(std::string_view text) {
  const auto* in = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  std::string result(n / 4 * 3 + 3, '\0');
  char* const begin = result.data();
  char* out = begin;
  uint32_t bits = 0;
  int pending = 0;
  size_t i = 0;
  while (i < n) {
    // Whole groups of clean text go through the tables four characters at
    // a time; only a group with a skipped character takes the slow path.
    if (pending == 0) {
      while (i + 4 <= n) {
        const uint32_t group = kDecode.Place[0][in[i]] | kDecode.Place[1][in[i + 1]] |
                               kDecode.Place[2][in[i + 2]] | kDecode.Place[3][in[i + 3]];
        if (group >= kInvalid) break;
        PutGroup(out, group);
        out += 3;
        i += 4;
      }
      if (i == n) break;
    }
    const uint8_t sextet = kDecode.Sextet[in[i++]];
    if (sextet == 0xFF) continue;
    bits = (bits << 6) | sextet;
    if (++pending == 4) {
      *out++ = static_cast<char>((bits >> 16) & 0xFF);
      *out++ = static_cast<char>((bits >> 8) & 0xFF);
      *out++ = static_cast<char>(bits & 0xFF);
      bits = 0;
      pending = 0;
    }
  }
  if (pending == 3) {
    *out++ = static_cast<char>((bits >> 10) & 0xFF);
    *out++ = static_cast<char>((bits >> 2) & 0xFF);
  } else if (pending == 2) {
    *out++ = static_cast<char>((bits >> 4) & 0xFF);
  }
  result.resize(static_cast<size_t>(out - begin));
  return result;
}

}  // namespace vx
