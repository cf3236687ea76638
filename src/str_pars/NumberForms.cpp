#include "str_pars/NumberForms.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace harvex {
namespace {

// Digits taken from a value before the shown digits are rounded off.
constexpr int TakenSignificantDigits = 18;
// Below this magnitude the fixed row form takes a fixed count of decimals.
constexpr long double FixedRowDecimalsLimit = 10;
constexpr int FixedRowTakenDecimals = 17;
constexpr int FixedRowDecimals = 10;
constexpr int ScientificDigits = 15;
constexpr std::size_t ScientificWidth = 23;
constexpr std::size_t FixedRowWidth = 10;

// A non-negative decimal number: its digits, with the point after the first
// IntegerDigits of them (IntegerDigits may be 0 or negative for values below
// 0.1, or exceed the digit count for large values).
struct TDecimalDigits {
  std::string Digits;
  int IntegerDigits = 0;
};

// The digits of a finite magnitude in the given form, rounded to nearest
// with ties to even. The conversion is exact and bound to no locale: the
// point stays a point whatever the user's locale says. A value that a double
// holds, as every energy read from a file, takes the double conversion, which
// gives the same digits many times faster.
std::string DigitText(long double magnitude, std::chars_format form, int precision) {
  char text[64];  // ample: at most 19 digits, a point and a 4-digit exponent
  const auto narrow = static_cast<double>(magnitude);
  const std::to_chars_result end = narrow == magnitude
                                       ? std::to_chars(text, text + sizeof text, narrow, form, precision)
                                       : std::to_chars(text, text + sizeof text, magnitude, form, precision);
  return std::string(text, end.ptr);
}

// Count significant digits of a finite magnitude.
TDecimalDigits SignificantDigitsOf(long double magnitude, int count) {
  const std::string text = DigitText(magnitude, std::chars_format::scientific, count - 1);
  // "d.ddd...e+XX"
  TDecimalDigits result;
  const std::size_t exponent = text.find('e');
  result.Digits = text.substr(0, 1) + text.substr(2, exponent - 2);
  result.IntegerDigits = std::atoi(text.c_str() + exponent + 1) + 1;
  return result;
}

// A finite magnitude below 10 with Count decimals.
TDecimalDigits DecimalsOf(long double magnitude, int count) {
  const std::string text = DigitText(magnitude, std::chars_format::fixed, count);
  // "i.ddd..."
  const std::size_t point = text.find('.');
  return {text.substr(0, point) + text.substr(point + 1), static_cast<int>(point)};
}

// Adds one unit in the last place; true when the carry ran out of the first
// digit (the digits are then all zero).
bool IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

// Keeps the first Keep digits (Keep >= 1), rounding half-up on the rest; a
// carry out of the first digit gives a leading "1" and one integer digit more.
void RoundHalfUp(TDecimalDigits& number, std::size_t keep) {
  if (number.Digits.size() <= keep) {
    number.Digits.append(keep - number.Digits.size(), '0');
    return;
  }
  const bool roundUp = number.Digits[keep] >= '5';
  number.Digits.resize(keep);
  if (roundUp && IncrementDigits(number.Digits)) {
    number.Digits.insert(number.Digits.begin(), '1');
    ++number.IntegerDigits;
  }
}

// "iii.ddd" with exactly Decimals decimals, the integer part without leading
// zeros but at least "0".
std::string FixedDigits(TDecimalDigits number, int decimals, std::string_view decimalSeparator) {
  if (number.IntegerDigits < 1) {
    number.Digits.insert(0, static_cast<std::size_t>(1 - number.IntegerDigits), '0');
    number.IntegerDigits = 1;
  }
  RoundHalfUp(number, static_cast<std::size_t>(number.IntegerDigits + decimals));
  const auto integerDigits = static_cast<std::size_t>(number.IntegerDigits);
  std::size_t first = 0;
  while (first + 1 < integerDigits && number.Digits[first] == '0') ++first;
  std::string text = number.Digits.substr(first, integerDigits - first);
  if (decimals > 0) {
    text += decimalSeparator;
    text.append(number.Digits, integerDigits, std::string::npos);
  }
  return text;
}

std::string NonFiniteText(long double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

std::string PadLeft(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string WithMinus(long double value, std::string text) {
  return value < 0 ? "-" + text : text;
}

}  // namespace

std::string ScientificRowForm(long double value) {
  if (!std::isfinite(value)) return PadLeft(NonFiniteText(value), ScientificWidth);
  TDecimalDigits number = SignificantDigitsOf(std::fabs(value), TakenSignificantDigits);
  RoundHalfUp(number, ScientificDigits);
  const int exponent = number.IntegerDigits - 1;
  char exponentText[16];
  std::snprintf(exponentText, sizeof exponentText, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));

  std::string text(1, std::signbit(value) ? '-' : ' ');
  text += number.Digits[0];
  text += '.';
  text.append(number.Digits, 1, ScientificDigits - 1);
  text += exponentText;
  return text;
}

std::string FixedRowForm(long double value) {
  if (!std::isfinite(value)) return PadLeft(NonFiniteText(value), FixedRowWidth);
  const long double magnitude = std::fabs(value);
  const TDecimalDigits number = magnitude < FixedRowDecimalsLimit
                                    ? DecimalsOf(magnitude, FixedRowTakenDecimals)
                                    : SignificantDigitsOf(magnitude, TakenSignificantDigits);
  return PadLeft(WithMinus(value, FixedDigits(number, FixedRowDecimals, ".")), FixedRowWidth);
}

std::string MemoFixed(long double value, int decimals, std::string_view decimalSeparator) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const TDecimalDigits number = SignificantDigitsOf(std::fabs(value), TakenSignificantDigits);
  return WithMinus(value, FixedDigits(number, decimals, decimalSeparator));
}

}  // namespace harvex
