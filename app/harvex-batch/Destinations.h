// The files a run writes, kept apart from the files it reads: nothing is
// created or truncated before every destination has been compared with the
// inputs on the command line and with the other destinations.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harvex {

struct TDestination {
  std::string Role;  // "results file", "ensemble table", ...
  std::string Path;
};

// The first clash, as one line that names both files: a destination that is
// one of the inputs or another destination (the same file, however spelt),
// or that is an existing Gaussian or ORCA output. None when all are apart.
std::optional<std::string> DestinationClash(const std::vector<TDestination>& destinations,
                                            const std::vector<std::string>& inputs);

}  // namespace harvex
