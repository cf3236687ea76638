#include "BatchEnsemble.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "BatchMessages.h"
#include "ModelJson/ModelJson.h"
#include "OptionNumbers.h"

namespace harvex {
namespace {

constexpr std::string_view StandardOutput = "-";

using TEnsembleJson = TModelJson;

double ParseKelvin(const std::string& text) {
  const std::optional<double> kelvin = OptionNumber(text);
  if (!kelvin || !KelvinRange.Holds(*kelvin))
    throw CLI::ValidationError("--temperature", "needs a temperature from 1 to 10000 K, such as 310.15, not " + text);
  return *kelvin;
}

TEnsembleJson Optional(const std::optional<long double>& value) {
  return value ? TEnsembleJson(static_cast<double>(*value)) : TEnsembleJson(nullptr);
}

TEnsembleJson MemberJson(const TEnsembleRow& row, std::size_t rank) {
  const TEnsembleMember& member = row.Member;
  return {{"Rank", rank},
          {"Path", member.Path},
          {"E", static_cast<double>(member.E)},
          {"G", Optional(member.G)},
          {"DeltaE", static_cast<double>(row.DeltaE)},
          {"DeltaG", Optional(row.DeltaG)},
          {"Population", Optional(row.Population)},
          {"ImaginaryModes", member.ImaginaryModes},
          {"Warnings", MemberWarnings(member)},
          {"DuplicateOf", row.DuplicateOf != 0 ? TEnsembleJson(row.DuplicateOf) : TEnsembleJson(nullptr)}};
}

// Energies in Hartree, differences in kcal/mol, populations in percent as
// computed (the table rounds them).
TEnsembleJson EnsembleJson(const TEnsemble& ensemble) {
  TEnsembleJson members = TEnsembleJson::array();
  for (std::size_t row = 0; row < ensemble.Rows.size(); ++row)
    members.push_back(MemberJson(ensemble.Rows[row], row + 1));
  const bool populated = ensemble.FreeEnergy.has_value();
  return {{"Ensemble",
           {{"EnergyUsed", ensemble.UsesG ? ensemble.FreeEnergyName : "E"},
            {"Temperature", ensemble.Temperature},
            {"MemberCount", ensemble.Rows.size()},
            {"NotOneMolecule",
             ensemble.NotOneMolecule.empty() ? TEnsembleJson(nullptr) : TEnsembleJson(ensemble.NotOneMolecule)},
            {"Members", std::move(members)},
            {"FreeEnergy", Optional(ensemble.FreeEnergy)},
            {"LowestShare", populated ? Optional(ensemble.Rows.front().Population) : TEnsembleJson(nullptr)}}}};
}

}  // namespace

void AddEnsembleOptions(CLI::App& app, TEnsembleOptions& options) {
  app.add_flag("--ensemble{-}", options.Destination,
               "After the batch, rank the reported files as conformers of one molecule: energies relative to the "
               "lowest, Boltzmann populations, duplicates; the table goes to standard output, or with "
               "--ensemble=FILE to FILE");
  app.add_option_function<std::string>(
         "--temperature", [&options](const std::string& text) { options.Temperature = ParseKelvin(text); },
         "Temperature of the ensemble's populations in K, from 1 to 10000 (default 298.15)")
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
  bool written = true;
  if (Options.Destination != StandardOutput || !Json) written = WriteTable(EnsembleTable(ensemble));
  if (Json) WriteJsonLine(std::cout, EnsembleJson(ensemble));
  std::cout.flush();
  if (!ensemble.NotOneMolecule.empty()) ShowBatchMessage("no ensemble populations", ensemble.NotOneMolecule);
  return written && ensemble.NotOneMolecule.empty();
}

bool TBatchEnsemble::WriteTable(const std::string& table) const {
  if (Options.Destination == StandardOutput) {
    std::cout << '\n' << table;
    return true;
  }
  std::ofstream file(Options.Destination, std::ios::binary | std::ios::trunc);
  file << table;
  file.close();
  if (file) return true;
  ShowBatchMessage(Options.Destination, "cannot write the ensemble table");
  return false;
}

}  // namespace harvex
