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

}  // namespace harvex
