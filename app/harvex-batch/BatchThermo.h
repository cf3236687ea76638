// Recomputed thermochemistry of a batch (TThermoTable) at the conditions the
// user chose: the table follows the batch on standard output or goes to a
// file; with --json each file's object carries the same values.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Thermochemistry/ThermoTable.h"

namespace harvex {

struct TThermoOptions {
  // Empty: no recomputation; "-": standard output; otherwise the table's file.
  std::string Destination;
  TThermoConditions Conditions;
  std::vector<double> Temperatures;  // Kelvin; empty: the ensemble's one
};

// --thermo[=FILE], --qs, --qh, --cutoff, --scale, --temperatures,
// --pressure, --concentration, --imaginary.
void AddThermoOptions(CLI::App& app, TThermoOptions& options);

class TBatchThermo {
 public:
  // The destination file is fixed now, against the current directory; the
  // temperature is the ensemble's, used when no list was given and for the
  // energy the ensemble ranks by.
  TBatchThermo(const TThermoOptions& options, double temperature, bool json);

  bool Enabled() const { return !Destination.empty(); }
  // The conditions with the ranking temperature: those of the free energy
  // the ensemble and the study table take.
  TThermoConditions RankingConditions() const { return Table.RankingConditions(); }

  // The table's rows of a reported file (TThermoTable::Add); nothing
  // without --thermo.
  TThermoRows Add(const std::string& path, const TCoordinateFile_cdf& file);

  // Prints or writes the table (with --json on standard output, not at
  // all); false when it could not be written, a self-check failed or a
  // recomputed value was not finite.
  bool Finish(bool json);

 private:
  std::string Destination;
  TThermoTable Table;
};

}  // namespace harvex
