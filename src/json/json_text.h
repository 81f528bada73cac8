// Text pieces of the JSON model: trimming, string escapes, number text and
// the date-time text. All texts are Windows-1252 byte strings.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Bytes removed by the parser's trimming: every byte of 0x20 and below.
std::string_view JsonTrim(std::string_view text);

// Replaces the escapes of a JSON string's inner text. "\uXXXX" gives one
// byte: 0x80 for U+20AC, else the code's low 8 bits. Raises EJsonError
// "InvalidHexNumber" for a non-hexadecimal digit in "\uXXXX".
std::string DecodeJsonText(std::string_view text);
// Escapes a text for a JSON string (without the quotes): quote, slash and
// backslash get a backslash, control bytes their short escapes or \u00xx,
// 0x80 "\u20ac", bytes above 0x80 "\u00xx"; 0x20-0x7F stay.
std::string EncodeJsonText(std::string_view text);
void AppendEncodedJsonText(std::string& out, std::string_view text);

// The decimal separator of the user's locale (vx::DecimalSeparator), read
// on first use. Tests set another one to act as a different locale.
char JsonDecimalPoint();
void SetJsonDecimalPoint(char separator);

// The general number form with at most 15 significant digits: plain while
// the integer part has at most 15 digits and the magnitude is at least
// 0.00001, else like "1.5E-7" or "1E20". Always with "." as separator.
std::string JsonFloatToText(double value);
void AppendJsonFloat(std::string& out, double value);
// Reads optional sign, digits, an optional decimal separator ("." or the
// locale's) with digits, and an optional exponent, of any length; ".5" and
// "5." count as numbers. A number too small to hold gives 0. False (and
// value 0) for any other text and for a number too large to hold, except
// that up to 1.79769313486232E308, what JsonFloatToText gives the largest
// double, a number gives the largest double.
bool TryJsonTextToFloat(std::string_view text, double& value);
double JsonTextToFloat(std::string_view text);

// A calendar date and clock time, formatted as they are.
struct TJsonDateTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};
// "yyyy-mm-ddThh:nn:ss.zzzZ", with no time-zone conversion.
std::string DateTimeToJsonText(const TJsonDateTime& time);

}  // namespace vx
