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

// Writes a table after the batch to Destination: "-" is standard output,
// after a blank line, where with --json the table is left out (the JSON
// carries its values); any other the file, truncated. False, with the reason
// on standard error, when the file could not be written.
bool WriteTable(const std::string& destination, const std::string& table, bool json, const std::string& role);

}  // namespace harvex
