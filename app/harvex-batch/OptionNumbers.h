// Numbers given on the command line, read with a point whatever the user's
// locale.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace harvex {

// from_chars, unlike the stream and strtod readers, ignores the locale; a
// "," is taken for the point, as in the numbers of input files. None unless
// the whole text is one finite number.
inline std::optional<double> OptionNumber(std::string_view text) {
  std::string number(text);
  std::replace(number.begin(), number.end(), ',', '.');
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
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
