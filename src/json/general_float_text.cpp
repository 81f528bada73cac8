#include "json/general_float_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vx {

namespace {

constexpr int kSignificantDigits = 15;
// Below this decimal exponent of the first digit the text turns scientific.
constexpr int kSmallestPlainExponent = -5;

}  // namespace

std::string GeneralFloatText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";

  // to_chars ignores the C locale, so the separator is always ".".
  char buffer[40];
  const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific, kSignificantDigits - 1);
  const std::string scientific(buffer, converted.ptr);
  const size_t e = scientific.find('e');
  std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  digits.erase(digits.find_last_not_of('0') + 1);

  std::string result = value < 0 ? "-" : "";
  if (exponent >= kSignificantDigits || exponent < kSmallestPlainExponent) {
    result += digits[0];
    if (digits.size() > 1) result += "." + digits.substr(1);
    result += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    result += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    const auto integerDigits = static_cast<size_t>(exponent + 1);
    if (digits.size() <= integerDigits) {
      result += digits + std::string(integerDigits - digits.size(), '0');
    } else {
      result += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    }
  }
  return result;
}

}  // namespace vx
