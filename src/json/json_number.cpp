// Number texts of the JSON model: reading them in one pass that checks the
// form and converts, and writing them with 15 significant digits.
//
// Reading is correctly rounded, as the C++ library's conversion is. Most
// numbers are converted here without it: whole numbers and decimals of up
// to 15 digits by one exact operation, and numbers of up to 19 digits by a
// 128-bit product with a power of five, which decides the rounding unless
// the product lies too close to the middle between two doubles. Every
// other number, and every number that comes too close to that middle, goes
// to the library's conversion, which also keeps the rules for numbers too
// small or too large to hold.
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "json/json_text.h"
#include "json/json_text_internal.h"
#include "support/text_utils.h"

namespace vx {

namespace {

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
// The writers give at most this many significant digits.
constexpr int kWrittenDigits = 15;
constexpr uint64_t kWrittenLimit = 1000000000000000;  // 10^15
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

// The powers of five for the 128-bit products: for each q from
// kLowestPower to kHighestPower, the 128 leading bits of 5^q (of 1/5^-q
// when q < 0), cut off below, and the power of two they were scaled by:
// High·2^64 + Low <= 5^q·2^Shift < High·2^64 + Low + 1, with the top bit
// of High set.
struct TPowerOfFive {
  uint64_t High;
  uint64_t Low;
  int Shift;
};

constexpr int kLowestPower = -100;
constexpr int kHighestPower = 100;

// A whole number of up to 640 bits, for making the table when compiling.
struct TWideNumber {
  static constexpr int kLimbs = 20;
  uint32_t Limbs[kLimbs] = {};  // the lowest 32 bits first

  constexpr void MultiplyBy5() {
    uint64_t carry = 0;
    for (uint32_t& limb : Limbs) {
      const uint64_t product = uint64_t{limb} * 5 + carry;
      limb = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
  }
  constexpr void DivideBy5() {
    uint64_t rest = 0;
    for (int i = kLimbs - 1; i >= 0; --i) {
      const uint64_t part = (rest << 32) | Limbs[i];
      Limbs[i] = static_cast<uint32_t>(part / 5);
      rest = part % 5;
    }
  }
  constexpr int BitLength() const {
    for (int i = kLimbs - 1; i >= 0; --i) {
      for (int bit = 31; bit >= 0; --bit) {
        if ((Limbs[i] >> bit) & 1) return i * 32 + bit + 1;
      }
    }
    return 0;
  }
  constexpr uint64_t Bit(int position) const {
    return position < 0 ? 0 : (Limbs[position / 32] >> (position % 32)) & 1;
  }
  // The 128 bits below the top bit (inclusive); bits below bit 0 are 0.
  constexpr TPowerOfFive Leading128() const {
    const int length = BitLength();
    TPowerOfFive power{0, 0, 128 - length};
    for (int i = 0; i < 64; ++i) {
      power.High = (power.High << 1) | Bit(length - 1 - i);
      power.Low = (power.Low << 1) | Bit(length - 65 - i);
    }
    return power;
  }
};

constexpr std::array<TPowerOfFive, kHighestPower - kLowestPower + 1> MakePowersOfFive() {
  std::array<TPowerOfFive, kHighestPower - kLowestPower + 1> powers{};
  TWideNumber power;
  power.Limbs[0] = 1;
  for (int q = 0; q <= kHighestPower; ++q) {
    powers[static_cast<size_t>(q - kLowestPower)] = power.Leading128();
    power.MultiplyBy5();
  }
  // 2^kScale / 5^n, cut off below: each division by 5 cuts off only what
  // the exact quotient would.
  constexpr int kScale = 512;
  TWideNumber reciprocal;
  reciprocal.Limbs[kScale / 32] = 1;
  for (int q = -1; q >= kLowestPower; --q) {
    reciprocal.DivideBy5();
    TPowerOfFive leading = reciprocal.Leading128();
    leading.Shift += kScale;
    powers[static_cast<size_t>(q - kLowestPower)] = leading;
  }
  return powers;
}

constexpr std::array<TPowerOfFive, kHighestPower - kLowestPower + 1> kPowersOfFive = MakePowersOfFive();

struct TWideProduct {
  uint64_t High;
  uint64_t Low;
};

// The compiler's 128-bit type does it in one instruction where there is
// one (GCC and Clang, both builds here); elsewhere four 32-bit products.
TWideProduct MultiplyWide(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
  const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  return {static_cast<uint64_t>(product >> 64), static_cast<uint64_t>(product)};
#else
  const uint64_t aLow = a & 0xFFFFFFFF;
  const uint64_t aHigh = a >> 32;
  const uint64_t bLow = b & 0xFFFFFFFF;
  const uint64_t bHigh = b >> 32;
  const uint64_t lowLow = aLow * bLow;
  const uint64_t highLow = aHigh * bLow;
  const uint64_t lowHigh = aLow * bHigh;
  const uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFF) + (lowHigh & 0xFFFFFFFF);
  return {aHigh * bHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32), (middle << 32) | (lowLow & 0xFFFFFFFF)};
#endif
}

// For a value that is not 0.
int LeadingZeros(uint64_t value) {
  int count = 0;
  for (int width = 32; width > 0; width /= 2) {
    if ((value >> (64 - width)) == 0) {
      count += width;
      value <<= width;
    }
  }
  return count;
}

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
