// The number forms the program writes: the results file's scientific and
// fixed columns (always with a point) and the memo's fixed-point numbers
// (with the locale's decimal separator), used by the report and the
// ensemble table alike.
//
// Every form rounds twice, as the report always has: the value is first
// turned into a decimal digit string (round to nearest, ties to even), and
// that string is then rounded half-up to the digits shown.
#pragma once

#include <string>
#include <string_view>

namespace harvex {

// 23 characters: a sign character (a space, or "-" when the sign bit is set,
// negative zero included), one digit, ".", 14 digits, "E", the exponent's
// sign and 4 exponent digits, e.g. "-1.25000000000000E+0001". The 15 digits
// come from 18 significant digits rounded half-up.
std::string ScientificRowForm(long double value);

// "-" for negative values, the integer digits, "." and exactly 10 decimals,
// e.g. "0.6275095000". The 10 decimals come from 17 decimals below 10 in
// magnitude, from 18 significant digits above, rounded half-up.
std::string FixedRowForm(long double value);

// The memo's "%.7f", "%.5f" and "%.2f": exactly Decimals decimals after
// DecimalSeparator (the locale's, whatever its length), "-" for negative
// values, no thousands separators; at most 18 significant digits are taken
// from the value.
std::string MemoFixed(long double value, int decimals, std::string_view decimalSeparator);

}  // namespace harvex
