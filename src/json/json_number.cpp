// Reading the number texts of the JSON model, in one pass that checks the
// form and converts.
//
// Reading is correctly rounded, as the C++ library's conversion is. Most
// numbers are converted here without it: whole numbers and decimals of up
// to 15 digits by one exact operation, and numbers of up to 19 digits by a
// 128-bit product with a power of five, which decides the rounding unless
// the product lies too close to the middle between two doubles. Every
// other number, and every number that comes too close to that middle, goes
// to the library's conversion, which also keeps the rules for numbers too
// small or too large to hold.
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "json/json_power_of_five.h"
#include "json/json_text.h"
#include "json/json_text_internal.h"
#include "support/text_utils.h"

namespace vx {

namespace {

using json_wide::kHighestPower;
using json_wide::kLowestPower;
using json_wide::kPowersOfFive;
using json_wide::LeadingZeros;
using json_wide::MultiplyWide;
using json_wide::TPowerOfFive;
using json_wide::TWideProduct;

char gDecimalPoint = 0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as the one pass reads it: Digits × 10^Exponent.
struct TDecimal {
  uint64_t Digits = 0;
  int64_t Exponent = 0;
  bool Negative = false;
  // Digits holds every significant digit: there were at most 19.
  bool Exact = true;
  // Digits alone, at most 9 of them that count: a whole int32.
  bool Whole = false;
};

constexpr int kMostExactDigits = 19;
constexpr int kMostWholeDigits = 9;
// An exponent's digits stop counting at this size, far beyond any double;
// the library's conversion decides such a number.
constexpr int64_t kExponentCap = 100000000;

// Reads digits from p on into digits (which wraps around past 19 of
// them); where they end. Two at a time, which halves the steps that wait
// for each other (measured: a word of eight at a time was slower).
const char* ReadDigits(const char* p, const char* end, uint64_t& digits) {
  uint64_t value = digits;
  for (; end - p >= 2; p += 2) {
    const unsigned first = static_cast<unsigned char>(p[0]) - '0';
    const unsigned second = static_cast<unsigned char>(p[1]) - '0';
    if (first > 9 || second > 9) break;
    value = value * 100 + first * 10 + second;
  }
  for (; p < end && IsDigit(*p); ++p) value = value * 10 + static_cast<uint64_t>(*p - '0');
  digits = value;
  return p;
}

// Reads optional sign, digits, an optional decimal separator ("." or
// separator) with digits, and an optional exponent, at least one digit
// before the exponent; the end of the form, or null when there is none at
// p. The reading stops at the first byte that does not continue the form.
const char* ScanDecimal(const char* p, const char* end, char separator, TDecimal& decimal) {
  if (p < end && (*p == '+' || *p == '-')) decimal.Negative = *p++ == '-';
  // Zeros before the first other digit are not significant.
  const char* const wholeStart = p;
  while (p < end && *p == '0') ++p;
  const char* const significantStart = p;
  p = ReadDigits(p, end, decimal.Digits);
  std::ptrdiff_t significant = p - significantStart;
  bool anyDigit = p > wholeStart;
  std::ptrdiff_t fractionDigits = 0;
  if (p < end && (*p == '.' || *p == separator)) {
    const char* const fractionStart = ++p;
    if (significant == 0) {
      while (p < end && *p == '0') ++p;
    }
    const char* const fractionSignificant = p;
    p = ReadDigits(p, end, decimal.Digits);
    significant += p - fractionSignificant;
    fractionDigits = p - fractionStart;
    anyDigit = anyDigit || fractionDigits > 0;
  }
  if (!anyDigit) return nullptr;
  decimal.Exact = significant <= kMostExactDigits;
  decimal.Whole = fractionDigits == 0 && significant <= kMostWholeDigits;
  int64_t exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* const first = p;
    for (; p < end && IsDigit(*p); ++p) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (*p - '0');
    }
    if (p == first) return nullptr;
    if (negative) exponent = -exponent;
    decimal.Whole = false;
  }
  decimal.Exponent = exponent - fractionDigits;
  return p;
}

// 10^0 to 10^22, the powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int64_t kMostExactPowerOfTen = 22;
constexpr uint64_t kMostExactInteger = uint64_t{1} << 53;

// digits × 10^exponent as a normal double, for digits not 0; false when the
// 128-bit product cannot tell which way to round, or the result is no
// normal double.
//
// The product P of the digits (shifted to fill 64 bits) and the power's 128
// bits stands for the exact value V within P <= V < P + 2 (in units of its
// lowest bit) once both halves of the power are used, and within
// P <= V < P + 2^64 with the high half alone. Its top 54 bits are the
// double's 53 and the rounding bit; they are those of V, and V lies off
// the middle, when the bits below them leave that much room.
bool ScaleByPowerOfTen(uint64_t digits, int64_t exponent, bool negative, double& value) {
  if (exponent < kLowestPower || exponent > kHighestPower) return false;
  const TPowerOfFive& power = kPowersOfFive[static_cast<size_t>(exponent - kLowestPower)];
  const int leadingZeros = LeadingZeros(digits);
  const uint64_t shifted = digits << leadingZeros;
  TWideProduct product = MultiplyWide(shifted, power.High);
  auto belowMask = [&product] { return (uint64_t{1} << (9 + (product.High >> 63))) - 1; };
  uint64_t mask = belowMask();
  if ((product.High & mask) == mask || (product.High & mask) == 0) {
    const uint64_t carry = MultiplyWide(shifted, power.Low).High;
    product.Low += carry;
    if (product.Low < carry) ++product.High;
    mask = belowMask();
    const uint64_t below = product.High & mask;
    if ((below == 0 && product.Low == 0) || (below == mask && product.Low == UINT64_MAX)) return false;
  }
  const int upper = static_cast<int>(product.High >> 63);
  const uint64_t leading54 = product.High >> (9 + upper);
  uint64_t mantissa = (leading54 >> 1) + (leading54 & 1);
  // value = mantissa × 2^binaryExponent, mantissa of 53 bits.
  int64_t binaryExponent = 126 + upper - 52 + 64 + exponent - power.Shift - leadingZeros;
  if (mantissa == uint64_t{1} << 53) {
    mantissa >>= 1;
    ++binaryExponent;
  }
  const int64_t biased = binaryExponent + 52 + 1023;
  if (biased < 1 || biased > 2046) return false;
  const uint64_t bits = (uint64_t{negative} << 63) | (static_cast<uint64_t>(biased) << 52) |
                        (mantissa & ((uint64_t{1} << 52) - 1));
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

// The decimal as a double when it can be converted here; false sends it
// to the library's conversion.
bool ConvertDecimal(const TDecimal& decimal, double& value) {
  if (!decimal.Exact) return false;
  if (decimal.Digits == 0) {
    value = decimal.Negative ? -0.0 : 0.0;
    return true;
  }
  const int64_t exponent = decimal.Exponent;
  if (decimal.Digits <= kMostExactInteger && exponent >= -kMostExactPowerOfTen && exponent <= kMostExactPowerOfTen) {
    // Both operands are exact, so the one operation of double arithmetic
    // (SSE2 on x86-64, not the wider x87 registers) rounds correctly.
    double result = static_cast<double>(decimal.Digits);
    if (exponent < 0) {
      result /= kExactPowersOfTen[-exponent];
    } else {
      result *= kExactPowersOfTen[exponent];
    }
    value = decimal.Negative ? -result : result;
    return true;
  }
  return ScaleByPowerOfTen(decimal.Digits, exponent, decimal.Negative, value);
}

// The parts of a number text of the decimal form, as positions in it.
struct TNumberForm {
  size_t Separator = std::string_view::npos;
  // The decimal exponent of the first digit that is not 0 (1 for 0.5e1 and
  // 1.5, 2 for 12): what decides between too large and too small.
  long long Magnitude = 0;
  bool AllZero = true;
};

// Reads an exponent's digits, stopping the value at a size no number needs.
long long ReadExponent(std::string_view digits) {
  long long value = 0;
  for (char c : digits) value = value < kExponentCap ? value * 10 + (c - '0') : value;
  return value;
}

// The form of a number text that ScanDecimal accepted whole with the
// separator, for the library's conversion.
void ReadNumberForm(std::string_view text, char separator, TNumberForm& form) {
  const size_t n = text.size();
  size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  long long digitsBeforeFirst = 0;
  bool afterSeparator = false;
  long long leadingFractionZeros = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      if (c != '0' && form.AllZero) {
        form.AllZero = false;
      } else if (form.AllZero && afterSeparator) {
        ++leadingFractionZeros;
      }
      if (!form.AllZero && !afterSeparator) ++digitsBeforeFirst;
    } else if ((c == '.' || c == separator) && !afterSeparator) {
      afterSeparator = true;
      form.Separator = i;
    } else {
      break;
    }
  }
  long long exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    exponent = ReadExponent(text.substr(i));
    if (negative) exponent = -exponent;
  }
  form.Magnitude = (digitsBeforeFirst > 0 ? digitsBeforeFirst : -leadingFractionZeros) + exponent;
}

// True for a number text (of the decimal form, too large for a double)
// that is no larger than 1.79769313486232E308: the 15 digits that the
// writers give the largest doubles, just above the largest's value.
bool AtMostLargestWrittenDouble(std::string_view text, const TNumberForm& form) {
  static const char kLargest[] = "179769313486232";
  if (form.Magnitude != 309) return false;
  size_t compared = 0;
  for (const char c : text) {
    if (c == 'e' || c == 'E') break;
    if (!IsDigit(c) || (compared == 0 && c == '0')) continue;
    if (compared == sizeof kLargest - 1) {
      if (c != '0') return false;  // more digits than the 15 make it larger
      continue;
    }
    if (c != kLargest[compared]) return c < kLargest[compared];
    ++compared;
  }
  return true;
}

// The library's conversion of a text of the decimal form; false for a
// number too large to hold, except up to what the writers give the
// largest doubles. A number too small to hold gives 0.
bool ConvertByLibrary(std::string_view text, char separator, double& value) {
  TNumberForm form;
  ReadNumberForm(text, separator, form);
  // The conversion takes no "+" and only "." as the separator, so a text
  // with the locale's own separator is read from a copy.
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (form.Separator != std::string_view::npos) --form.Separator;
  }
  std::string copy;
  if (form.Separator != std::string_view::npos && text[form.Separator] != '.') {
    copy.assign(text);
    copy[form.Separator] = '.';
    text = copy;
  }
  double result = 0;
  const char* const last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, result);
  if (error == std::errc::result_out_of_range) {
    // Too small to hold counts as 0. Too large is no number, except what the
    // writers give the largest doubles, which stands for the largest.
    if (form.Magnitude <= 0) {
      result = 0;
    } else if (AtMostLargestWrittenDouble(text, form)) {
      result = text.front() == '-' ? -DBL_MAX : DBL_MAX;
    } else {
      return false;
    }
  } else if (error != std::errc() || end != last) {
    return false;
  }
  value = result;
  return true;
}

}  // namespace

char JsonDecimalPoint() {
  if (gDecimalPoint == 0) gDecimalPoint = DecimalSeparator();
  return gDecimalPoint;
}

void SetJsonDecimalPoint(char separator) { gDecimalPoint = separator; }

const char* ReadJsonNumber(const char* p, const char* end, char separator, TJsonNumber& number) {
  number = TJsonNumber();
  TDecimal decimal;
  const char* const after = ScanDecimal(p, end, separator, decimal);
  if (after == nullptr) return nullptr;
  number.Whole = decimal.Whole && !(decimal.Negative && decimal.Digits == 0);
  if (ConvertDecimal(decimal, number.Value)) return after;
  return ConvertByLibrary(std::string_view(p, static_cast<size_t>(after - p)), separator, number.Value) ? after
                                                                                                          : nullptr;
}

bool TryJsonTextToFloat(std::string_view text, double& value) {
  value = 0;
  // Blanks around the number are allowed, as the locale's conversion does.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const char* const end = text.data() + text.size();
  TJsonNumber number;
  if (text.empty() || ReadJsonNumber(text.data(), end, JsonDecimalPoint(), number) != end) return false;
  value = number.Value;
  return true;
}

double JsonTextToFloat(std::string_view text) {
  double value;
  TryJsonTextToFloat(text, value);
  return value;
}

}  // namespace vx
