#include "BatchEnsemble.h"

#include <filesystem>
#include <iostream>

#include "BatchMessages.h"
#include "Destinations.h"
#include "Ensemble/EnsembleJson.h"
#include "str_pars/OptionNumbers.h"
#include "Thermochemistry/ThermoTable.h"

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
               "After the batch, rank the reported files as conformers, one table per molecular formula: energies "
               "relative to the lowest, Boltzmann populations, duplicates; the tables go to standard output, or with "
               "--ensemble=FILE to FILE")
      ->option_text("[=FILE]");
  app.add_option_function<std::string>(
         "--temperature", [&options](const std::string& text) { options.Temperature = ParseKelvin(text); },
         "Temperature of the ensemble's populations in K, from 1 to 10000 (default 298.15); also that of "
         "--thermo without --temperatures")
      ->type_name("K");
}

TBatchEnsemble::TBatchEnsemble(const TEnsembleOptions& options, const TThermoConditions& conditions, bool json)
    : Options(options), Json(json), Conditions(conditions) {
  Conditions.Temperature = Options.Temperature;
  if (!Options.Destination.empty() && Options.Destination != StandardOutput)
    Options.Destination = std::filesystem::absolute(Options.Destination).string();
}

void TBatchEnsemble::Add(const std::string& path, const TCoordinateFile_cdf& file) {
  if (Options.Destination.empty()) return;
  Add(path, file, RankingEnergyOf(file, Conditions));
}

void TBatchEnsemble::Add(const std::string& path, const TCoordinateFile_cdf& file,
                         std::optional<long double> freeEnergy) {
  if (Options.Destination.empty()) return;
  TEnsembleMember member = EnsembleMember(path, file);
  member.G = freeEnergy;
  Members.push_back(std::move(member));
}

bool TBatchEnsemble::Finish() {
  if (Options.Destination.empty()) return true;
  std::vector<TEnsemble> ensembles = ComputeEnsembles(std::move(Members), Options.Temperature);
  std::vector<TTextTable> tables;
  bool warned = false;
  for (TEnsemble& ensemble : ensembles) {
    ensemble.FreeEnergyName = RankingEnergyName(Conditions);
    tables.push_back(EnsembleTable(ensemble));
    if (const std::string warning = BasisWarning(ensemble); !warning.empty()) {
      ShowBatchMessage(ensemble.Formula.empty() ? "ensemble" : "ensemble of " + ensemble.Formula, warning);
      warned = true;
    }
  }
  const bool written = WriteTables(Options.Destination, tables, Json, "ensemble table");
  if (Json)
    for (const TEnsemble& ensemble : ensembles) WriteJsonLine(std::cout, EnsembleJson(ensemble));
  std::cout.flush();
  return written && !warned;
}

}  // namespace harvex
