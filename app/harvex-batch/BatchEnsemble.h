// The conformer ensemble of a batch: every reported file that gave a results
// row is a member; after the batch the ranked table goes to standard output
// or to a file, and with --json one more JSON object follows the files' ones.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Ensemble/Ensemble.h"

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
  // The destination file is fixed now, against the current directory.
  TBatchEnsemble(const TEnsembleOptions& options, bool json);

  // Takes what the ensemble needs of a reported file; nothing without
  // --ensemble or for a file that gave no row.
  void Add(const std::string& path, const TCoordinateFile_cdf& file);
  // The same with the free energy recomputed for the file (none when it has
  // none) in place of the one it printed.
  void Add(const std::string& path, const TCoordinateFile_cdf& file, std::optional<long double> freeEnergy);
  // The name of that free energy in the table and JSON ("G" unless set).
  void SetFreeEnergyName(std::string name) { FreeEnergyName = std::move(name); }

  // Prints the ensemble; false (the reason on standard error) when the
  // members are not one molecule or the table could not be written.
  bool Finish();

 private:
  TEnsembleOptions Options;
  bool Json;
  std::vector<TEnsembleMember> Members;
  std::string FreeEnergyName = "G";
};

}  // namespace harvex
