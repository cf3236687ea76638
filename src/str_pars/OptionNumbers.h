// Numbers a front end is given (an option, a keyword argument), read with a
// point whatever the user's locale, and the ranges they must fall in.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "str_pars/str_pars.h"

namespace harvex {

// The number syntax of input files (ReadDouble), which ignores the locale:
// a "," is taken for the point and a Fortran "D" for the exponent's "E".
// None unless the whole text is one number a double holds; a text without a
// digit (".", ",") is no number here, though an input file's field reads it as 0.
inline std::optional<double> OptionNumber(std::string_view text) {
  if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  int cursor = 1;
  const std::optional<double> value = TryReadDouble(text, cursor);
  if (!value || static_cast<std::size_t>(cursor) != text.size() + 1) return std::nullopt;
  return value;
}

// The values an option takes, both ends included.
struct TOptionRange {
  double Low;
  double High;
  bool Holds(double value) const { return value >= Low && value <= High; }
};

// The ranges in which the ideal-gas formulas of the thermochemistry and the
// Boltzmann populations stay finite and describe a gas: below 1 K the
// rotational and translational terms take the logarithm of numbers that
// underflow; pressures and concentrations outside 1e-9 to 1e9 give number
// densities a double cannot hold next to thermal volumes.
inline constexpr TOptionRange KelvinRange{1, 10000};
inline constexpr TOptionRange ScaleRange{0.1, 10};
inline constexpr TOptionRange CutoffRange{0, 10000};  // cm-1
inline constexpr TOptionRange StandardStateRange{1e-9, 1e9};  // atm or mol/L

}  // namespace harvex
