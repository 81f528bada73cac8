// Writing the number texts of the JSON model with 15 significant digits,
// correctly rounded: from a 128-bit product with a power of five, and by
// the C++ library's conversion only for an exact tie and beyond the table.
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "json/json_power_of_five.h"
#include "json/json_text.h"
#include "json/json_text_internal.h"

namespace vx {

namespace {

using json_wide::kHighestPower;
using json_wide::kLowestPower;
using json_wide::kPowersOfFive;
using json_wide::MultiplyWide;
using json_wide::TPowerOfFive;
using json_wide::TWideProduct;

// The writers give at most this many significant digits.
constexpr int kWrittenDigits = 15;
constexpr uint64_t kWrittenLimit = 1000000000000000;  // 10^15

// The 15 significant digits of a number, correctly rounded, without the
// zeros at their end: digit d0 d1 ... as d0.d1... × 10^Exponent.
struct TSignificantDigits {
  char Digits[kWrittenDigits];
  int Count = 0;
  int Exponent = 0;
};

// "00" to "99".
constexpr std::array<char, 200> MakeDigitPairs() {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}
constexpr std::array<char, 200> kDigitPairs = MakeDigitPairs();

void WriteFourDigits(char* out, uint32_t value) {
  std::memcpy(out, &kDigitPairs[2 * (value / 100)], 2);
  std::memcpy(out + 2, &kDigitPairs[2 * (value % 100)], 2);
}

// The 15 digits of a number below 10^15, with its leading zeros, in two
// halves that do not wait for each other.
void WriteFifteenDigits(char* out, uint64_t value) {
  const auto high = static_cast<uint32_t>(value / 100000000);
  const auto low = static_cast<uint32_t>(value % 100000000);
  out[0] = static_cast<char>('0' + high / 1000000);
  std::memcpy(out + 1, &kDigitPairs[2 * (high / 10000 % 100)], 2);
  WriteFourDigits(out + 3, high % 10000);
  WriteFourDigits(out + 7, low / 10000);
  WriteFourDigits(out + 11, low % 10000);
}

void SetSignificantDigits(uint64_t digits, int exponent, TSignificantDigits& significant) {
  WriteFifteenDigits(significant.Digits, digits);
  int count = kWrittenDigits;
  while (count > 1 && significant.Digits[count - 1] == '0') --count;
  significant.Count = count;
  significant.Exponent = exponent;
}

// The 15 digits of a positive normal double from the 128-bit product with
// a power of five; false when the product cannot tell which way to round
// (an exact tie among them), or the power lies beyond the table.
//
// magnitude × 10^s, for s = 14 - (its decimal exponent), lies between
// 10^14 and 10^15; the product P stands for it as P·2^-b, within P <= V <
// P + 2 (in units of its lowest bit), so the fraction's bits tell the
// rounding unless they lie within 2 of one half.
bool RoundToSignificantDigits(double magnitude, TSignificantDigits& significant) {
  uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  if (biased == 0) return false;  // below the normal doubles
  const uint64_t shifted = ((bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52)) << 11;
  const int binaryExponent = biased - 1023;  // magnitude lies in [2^e, 2^(e+1))
  // A first guess of the decimal exponent, off by one at most.
  int exponent = static_cast<int>(std::floor(binaryExponent * 0.30102999566398120));
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int power = kWrittenDigits - 1 - exponent;
    if (power < kLowestPower || power > kHighestPower) return false;
    const TPowerOfFive& five = kPowersOfFive[static_cast<size_t>(power - kLowestPower)];
    TWideProduct product = MultiplyWide(shifted, five.High);
    const uint64_t carry = MultiplyWide(shifted, five.Low).High;
    product.Low += carry;
    if (product.Low < carry) ++product.High;
    // magnitude × 10^power = product × 2^-below.
    const int below = five.Shift - binaryExponent - 1 - power;
    if (below <= 64 || below >= 128) return false;
    const uint64_t whole = product.High >> (below - 64);
    if (whole >= kWrittenLimit) {
      ++exponent;
      continue;
    }
    if (whole < kWrittenLimit / 10) {
      --exponent;
      continue;
    }
    const uint64_t fraction = product.High & ((uint64_t{1} << (below - 64)) - 1);
    const uint64_t half = uint64_t{1} << (below - 65);
    // At most half - 2 rounds down, at least half + 1 up.
    const bool down = fraction < half - 1 || (fraction == half - 1 && product.Low <= UINT64_MAX - 1);
    const bool up = fraction > half || (fraction == half && product.Low >= 1);
    if (!down && !up) return false;
    uint64_t digits = up ? whole + 1 : whole;
    if (digits == kWrittenLimit) {
      digits /= 10;
      ++exponent;
    }
    SetSignificantDigits(digits, exponent, significant);
    return true;
  }
  return false;
}

// The same by the library's conversion, for any positive finite double.
void RoundToSignificantDigitsByLibrary(double magnitude, TSignificantDigits& significant) {
  // "d.dddddddddddddde-xx"
  char scientific[32];
  const auto written =
      std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific, kWrittenDigits - 1);
  uint64_t digits = 0;
  const char* p = scientific;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits = digits * 10 + static_cast<uint64_t>(*p - '0');
  }
  int exponent = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), written.ptr, exponent);
  SetSignificantDigits(digits, exponent, significant);
}

}  // namespace

size_t JsonFloatToChars(double value, char* const buffer) {
  char* out = buffer;
  auto put = [&out](const char* text) {
    while (*text) *out++ = *text++;
  };
  if (std::isnan(value)) {
    put("NAN");
    return static_cast<size_t>(out - buffer);
  }
  if (std::isinf(value)) {
    put(value < 0 ? "-INF" : "INF");
    return static_cast<size_t>(out - buffer);
  }
  if (value == 0) {
    *out++ = '0';
    return 1;
  }
  // Whole numbers of up to 15 digits, the common case, need no rounding.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    return static_cast<size_t>(std::to_chars(buffer, buffer + kMostJsonFloatChars, static_cast<long long>(value)).ptr - buffer);
  }
  if (value < 0) *out++ = '-';
  TSignificantDigits significant;
  if (!RoundToSignificantDigits(std::fabs(value), significant)) RoundToSignificantDigitsByLibrary(std::fabs(value), significant);
  const char* const digits = significant.Digits;
  const int count = significant.Count;
  const int exponent = significant.Exponent;
  if (exponent >= -5 && exponent <= 14) {
    if (exponent >= 0) {
      for (int i = 0; i <= exponent; ++i) *out++ = i < count ? digits[i] : '0';
      if (count > exponent + 1) {
        *out++ = '.';
        for (int i = exponent + 1; i < count; ++i) *out++ = digits[i];
      }
    } else {
      *out++ = '0';
      *out++ = '.';
      for (int i = 0; i < -exponent - 1; ++i) *out++ = '0';
      for (int i = 0; i < count; ++i) *out++ = digits[i];
    }
    return static_cast<size_t>(out - buffer);
  }
  *out++ = digits[0];
  if (count > 1) {
    *out++ = '.';
    for (int i = 1; i < count; ++i) *out++ = digits[i];
  }
  *out++ = 'E';
  if (exponent < 0) *out++ = '-';
  out = std::to_chars(out, buffer + kMostJsonFloatChars, exponent < 0 ? -exponent : exponent).ptr;
  return static_cast<size_t>(out - buffer);
}

void AppendJsonFloat(std::string& out, double value) {
  char buffer[kMostJsonFloatChars];
  out.append(buffer, JsonFloatToChars(value, buffer));
}

std::string JsonFloatToText(double value) {
  std::string text;
  AppendJsonFloat(text, value);
  return text;
}

}  // namespace vx
