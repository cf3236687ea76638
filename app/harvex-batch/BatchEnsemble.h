// The conformer ensembles of a batch: every reported file is a member of the
// ensemble of its molecular formula, ranked when it is ok and has an energy;
// after the batch one table per formula goes to standard output or to a
// file, and with --json one more JSON object per formula follows the files'
// ones.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Ensemble/Ensemble.h"
#include "Thermochemistry/Thermochemistry.h"

namespace harvex {

struct TEnsembleOptions {
  // Empty: no ensemble; "-": standard output; otherwise the table's file.
  std::string Destination;
  double Temperature = DefaultEnsembleTemperature;  // Kelvin
};

// --ensemble[=FILE] and --temperature K. The temperature is read with a
// point whatever the user's locale.
void AddEnsembleOptions(CLI::App& app, TEnsembleOptions& options);

class TBatchEnsemble {
 public:
  // The destination file is fixed now, against the current directory. The
  // members rank by the free energy recomputed at the --thermo conditions
  // (their defaults without --thermo) and the ensemble's temperature.
  TBatchEnsemble(const TEnsembleOptions& options, const TThermoConditions& conditions, bool json);

  // Takes what the ensemble needs of a reported file, its free energy
  // recomputed here; nothing without --ensemble.
  void Add(const std::string& path, const TCoordinateFile_cdf& file);
  // The same with the free energy the thermochemistry table recomputed for
  // the file (none when it has none).
  void Add(const std::string& path, const TCoordinateFile_cdf& file, std::optional<long double> freeEnergy);

  // Prints the ensembles; false when one ranks by E for want of frequencies
  // (the warning on standard error) or a table could not be written.
  bool Finish();

 private:
  TEnsembleOptions Options;
  bool Json;
  TThermoConditions Conditions;
  std::vector<TEnsembleMember> Members;
};

}  // namespace harvex
