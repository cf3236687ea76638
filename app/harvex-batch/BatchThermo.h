// Recomputed thermochemistry of a batch: for every reported file with a
// frequency job, one table row per temperature at the conditions the user
// chose, and a self-check of the recomputation against the G the program
// printed. The table follows the batch on standard output or goes to a file;
// with --json each file's object carries the same values.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "ModelJson/ModelJson.h"
#include "Thermochemistry/Thermochemistry.h"

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
  // temperature is the ensemble's, used when no list was given.
  TBatchThermo(const TThermoOptions& options, double temperature, bool json);

  bool Enabled() const { return !Options.Destination.empty(); }

  // Recomputes a reported file: its table rows, its self-check warning on
  // standard error, and its JSON values (an array, one object per
  // temperature; null without --thermo).
  TModelJson Add(const std::string& path, const TCoordinateFile_cdf& file);

  // The free energy an ensemble ranks by at Temperature: qh-G, G without a
  // quasi-harmonic entropy; none when the file has no recomputed values.
  std::optional<long double> RankingEnergy(const TCoordinateFile_cdf& file, double temperature) const;
  // That energy's name for the ensemble's header, with its conditions.
  std::string RankingName() const;

  // Prints or writes the table; false when it could not be written, a
  // self-check failed or a recomputed value was not finite.
  bool Finish();

 private:
  TThermoOptions Options;
  bool Json;
  std::string Table;
  int FileCount = 0;
  bool SelfCheckFailed = false;
  bool NotFiniteValue = false;  // a recomputed quantity overflowed
};

}  // namespace harvex
