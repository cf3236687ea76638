#include "Unit1/NumberForms.h"

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

// Count significant digits of a finite magnitude, rounded to nearest with
// ties to even. Both conversions are exact; a value that a double holds,
// as every energy read from a file, takes the much faster to_chars.
TDecimalDigits SignificantDigitsOf(long double magnitude, int count) {
  char text[64];
  if (const auto narrow = static_cast<double>(magnitude); narrow == magnitude) {
    *std::to_chars(text, text + sizeof text - 1, narrow, std::chars_format::scientific, count - 1).ptr = '\0';
  } else {
    std::snprintf(text, sizeof text, "%.*Le", count - 1, magnitude);
  }
  // "d.ddd...e+XX"
  TDecimalDigits result;
  result.Digits.push_back(text[0]);
  const char* p = text + 2;
  while (*p != 'e') result.Digits.push_back(*p++);
  result.IntegerDigits = std::atoi(p + 1) + 1;
  return result;
}

// A finite magnitude below 10 with Count decimals, rounded to nearest with
// ties to even.
TDecimalDigits DecimalsOf(long double magnitude, int count) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*Lf", count, magnitude);
  // "i.ddd..."
  TDecimalDigits result;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '.') {
      result.IntegerDigits = static_cast<int>(p - text);
    } else {
      result.Digits.push_back(*p);
    }
  }
  return result;
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
std::string FixedDigits(TDecimalDigits number, int decimals, char decimalSeparator) {
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
    text.push_back(decimalSeparator);
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
  return PadLeft(WithMinus(value, FixedDigits(number, FixedRowDecimals, '.')), FixedRowWidth);
}

std::string MemoFixed(long double value, int decimals, char decimalSeparator) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const TDecimalDigits number = SignificantDigitsOf(std::fabs(value), TakenSignificantDigits);
  return WithMinus(value, FixedDigits(number, decimals, decimalSeparator));
}

}  // namespace harvex
