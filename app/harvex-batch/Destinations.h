// The files a run writes, kept apart from the files it reads: nothing is
// created or truncated before every destination has been compared with the
// inputs on the command line and with the other destinations.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "TextTable/TextTable.h"

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

// Writes tables after the batch to Destination in the form it wants
// (TableFormFor): "-" is standard output, after a blank line when
// BlankLineFirst (the memo lines or another table stand before it), where
// with --json the tables are left out (the JSON carries their values); any
// other the file, truncated. False, with the reason on standard error, when
// the file could not be written.
bool WriteTables(const std::string& destination, const std::vector<TTextTable>& tables, bool json,
                 const std::string& role, bool blankLineFirst = true);

// Whether standard output is a terminal, where tables are aligned for a
// reader.
bool StandardOutputIsTerminal();

}  // namespace harvex
