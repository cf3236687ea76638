#include "BatchEnsemble.h"

#include <filesystem>
#include <iostream>

#include "BatchMessages.h"
#include "Destinations.h"
#include "Ensemble/EnsembleJson.h"
#include "OptionNumbers.h"

namespace harvex {
namespace {

constexpr std::string_view StandardOutput = "-";

double ParseKelvin(const std::string& text) {
  const std::optional<double> kelvin = OptionNumber(text);
  if (!kelvin || !KelvinRange.Holds(*kelvin))
    throw CLI::ValidationError("--temperature", "needs a temperature from 1 to 10000 K, such as 310.15, not " + text);
  return *kelvin;
}

}  // namespace

void AddEnsembleOptions(CLI::App& app, TEnsembleOptions& options) {
  app.add_flag("--ensemble{-}", options.Destination,
               "After the batch, rank the reported files as conformers of one molecule: energies relative to the "
               "lowest, Boltzmann populations, duplicates; the table goes to standard output, or with "
               "--ensemble=FILE to FILE")
      ->option_text("[=FILE]");
  app.add_option_function<std::string>(
         "--temperature", [&options](const std::string& text) { options.Temperature = ParseKelvin(text); },
         "Temperature of the ensemble's populations in K, from 1 to 10000 (default 298.15); also that of "
         "--thermo without --temperatures")
      ->type_name("K");
}

TBatchEnsemble::TBatchEnsemble(const TEnsembleOptions& options, bool json) : Options(options), Json(json) {
  if (!Options.Destination.empty() && Options.Destination != StandardOutput)
    Options.Destination = std::filesystem::absolute(Options.Destination).string();
}

void TBatchEnsemble::Add(const std::string& path, const TCoordinateFile_cdf& file) {
  if (Options.Destination.empty()) return;
  if (std::optional<TEnsembleMember> member = EnsembleMember(path, file)) Members.push_back(std::move(*member));
}

void TBatchEnsemble::Add(const std::string& path, const TCoordinateFile_cdf& file,
                         std::optional<long double> freeEnergy) {
  if (Options.Destination.empty()) return;
  if (std::optional<TEnsembleMember> member = EnsembleMember(path, file)) {
    member->G = freeEnergy;
    Members.push_back(std::move(*member));
  }
}

bool TBatchEnsemble::Finish() {
  if (Options.Destination.empty()) return true;
  TEnsemble ensemble = ComputeEnsemble(std::move(Members), Options.Temperature);
  ensemble.FreeEnergyName = FreeEnergyName;
  const bool written = WriteTable(Options.Destination, EnsembleTable(ensemble), Json, "ensemble table");
  if (Json) WriteJsonLine(std::cout, EnsembleJson(ensemble));
  std::cout.flush();
  if (!ensemble.NotOneMolecule.empty()) ShowBatchMessage("no ensemble populations", ensemble.NotOneMolecule);
  return written && ensemble.NotOneMolecule.empty();
}

}  // namespace harvex
