#include "Thermochemistry/ThermoTable.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr int HartreeDecimals = 7;
// A recomputation further than this from the printed G is reported.
constexpr double SelfCheckLimit = 1e-5;  // Hartree

std::string Shortest(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// A value the formulas could not hold is shown as such, never as a number.
constexpr std::string_view NotFinite = "not finite";

std::string Hartree(double value) {
  if (!std::isfinite(value)) return std::string(NotFinite);
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, HartreeDecimals);
  return error == std::errc() ? std::string(text, end) : Shortest(value);
}

std::string Difference(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 1).ptr);
}

std::string_view ProgramName(TOutputProgram program) {
  return program == opGaussian ? "Gaussian" : program == opOrca ? "ORCA" : "";
}

std::string_view RotorName(TRotor rotor) {
  return rotor == TRotor::Atom ? "atom" : rotor == TRotor::Linear ? "linear" : "nonlinear";
}

std::string StandardState(const TThermoConditions& conditions) {
  return conditions.Concentration ? Shortest(*conditions.Concentration) + " mol/L"
                                  : Shortest(conditions.Pressure) + " atm";
}

std::string EntropyName(const TThermoConditions& conditions) {
  const std::string cutoff = Shortest(conditions.EntropyCutoff) + " cm-1";
  switch (conditions.Entropy) {
    case TEntropyModel::Grimme:
      return "Grimme, " + cutoff;
    case TEntropyModel::Truhlar:
      return "Truhlar, " + cutoff;
    case TEntropyModel::Harmonic:
      break;
  }
  return "harmonic";
}

std::string EnthalpyName(const TThermoConditions& conditions) {
  return conditions.HeadGordon ? "Head-Gordon H, " + Shortest(conditions.EnthalpyCutoff) + " cm-1" : "harmonic H";
}

std::string ScaleName(const TThermoConditions& conditions) {
  return conditions.Scale == 1 ? std::string() : ", scale " + Shortest(conditions.Scale);
}

// What the recomputation assumed, for the notes above the header.
std::string ConditionsNote(const TThermoConditions& conditions) {
  const std::string imaginary = conditions.Imaginary == TImaginaryModes::Drop
                                    ? "imaginary modes left out"
                                    : "imaginary modes above " + Shortest(conditions.InvertThreshold) +
                                          " cm-1 inverted";
  return "thermochemistry recomputed with S: " + EntropyName(conditions) + "; " + EnthalpyName(conditions) +
         ScaleName(conditions) + "; " + imaginary;
}

std::vector<TTableColumn> Columns(const TThermoConditions& conditions) {
  std::vector<TTableColumn> columns = {{"path", false, true}, {"program"}, {"T [K]", true},
                                       {conditions.Concentration ? "c [mol/L]" : "p [atm]", true}};
  for (const char* name : {"symmetry number", "multiplicity"}) columns.push_back({name, true});
  columns.push_back({"rotor"});
  columns.push_back({"modes used", true});
  columns.push_back({"imaginary modes"});
  columns.push_back({"scale", true});
  for (const char* name : {"E [Hartree]", "ZPE [Hartree]", "H [Hartree]", "qh-H [Hartree]", "T*S [Hartree]",
                           "T*qh-S [Hartree]", "G [Hartree]", "qh-G [Hartree]", "printed G [Hartree]",
                           "self-check [Hartree]"})
    columns.push_back({name, true});
  columns.push_back({"warnings"});
  return columns;
}

// "1 left out", "0 left out, 2 inverted (-31.2, -12.5)".
std::string ImaginaryText(const TThermoResult& result) {
  std::string text = std::to_string(result.ImaginaryModes) + " left out";
  if (result.InvertedModes.empty()) return text;
  text += ", " + std::to_string(result.InvertedModes.size()) + " inverted (";
  for (std::size_t index = 0; index < result.InvertedModes.size(); ++index)
    (text += index > 0 ? ", " : "") += Shortest(result.InvertedModes[index]);
  return text + ")";
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t index = 0; index < items.size(); ++index) (text += index > 0 ? ", " : "") += items[index];
  return text;
}

// What one file gives at every temperature.
struct TFileThermo {
  TThermoSource Source;
  std::optional<double> SelfCheck;
  std::vector<std::string> Warnings;
};

TFileThermo Recompute(const std::string& path, const TCoordinateFile_cdf& file, const TThermoNotice& notice,
                      bool& selfCheckFailed) {
  TFileThermo thermo{ThermoSourceOf(file), std::nullopt, {}};
  thermo.SelfCheck = SelfCheckDifference(thermo.Source);
  thermo.Warnings = thermo.Source.Warnings;
  if (!thermo.Source.Molecule) thermo.Warnings.insert(thermo.Warnings.begin(), thermo.Source.Missing);
  if (thermo.SelfCheck && !(std::abs(*thermo.SelfCheck) <= SelfCheckLimit)) {
    const std::string message = "printed G " + Shortest(*thermo.Source.PrintedG) + " but recomputed " +
                                Hartree(*thermo.Source.PrintedG + *thermo.SelfCheck) + " (" +
                                Difference(*thermo.SelfCheck) + " Hartree apart)";
    notice(path, message);
    thermo.Warnings.push_back("self-check: " + message);
    selfCheckFailed = true;
  }
  return thermo;
}

// The recomputed quantities by their names in the table.
std::vector<std::pair<std::string_view, double>> Quantities(const TThermoResult& result) {
  return {{"ZPE", result.ZPE}, {"H", result.H},       {"qh-H", result.QhH}, {"T*S", result.TS},
          {"T*qh-S", result.TQhS}, {"G", result.G}, {"qh-G", result.QhG}};
}

// Names each recomputed quantity that is not finite on standard error;
// false when there was one.
bool CheckFinite(const std::string& path, double temperature, const TThermoResult& result,
                 const TThermoNotice& notice) {
  bool finite = true;
  for (const auto& [name, value] : Quantities(result)) {
    if (std::isfinite(value)) continue;
    notice(path, "the recomputed " + std::string(name) + " at " + Shortest(temperature) + " K is " +
                     std::string(NotFinite));
    finite = false;
  }
  return finite;
}

void AppendRow(TTextTable& table, const std::string& path, const TFileThermo& thermo,
               const TThermoConditions& conditions, const std::optional<TThermoResult>& result) {
  const TThermoMolecule* molecule = thermo.Source.Molecule ? &*thermo.Source.Molecule : nullptr;
  std::vector<std::string> cells = {path, std::string(ProgramName(thermo.Source.Program)),
                                    Shortest(conditions.Temperature),
                                    Shortest(conditions.Concentration.value_or(conditions.Pressure))};
  if (molecule && result) {
    cells.insert(cells.end(), {std::to_string(molecule->SymmetryNumber), std::to_string(molecule->Multiplicity),
                               std::string(RotorName(molecule->Rotor)), std::to_string(result->ModesUsed),
                               ImaginaryText(*result), Shortest(conditions.Scale), Hartree(molecule->Energy),
                               Hartree(result->ZPE), Hartree(result->H),
                               conditions.HeadGordon ? Hartree(result->QhH) : std::string(), Hartree(result->TS),
                               Hartree(result->TQhS), Hartree(result->G), Hartree(result->QhG)});
  } else {
    cells.insert(cells.end(), 14, std::string());
  }
  cells.push_back(thermo.Source.PrintedG ? Hartree(*thermo.Source.PrintedG) : std::string());
  cells.push_back(thermo.SelfCheck ? Difference(*thermo.SelfCheck) : std::string());
  cells.push_back(Joined(thermo.Warnings));
  table.Rows.push_back(std::move(cells));
}

TModelJson Nullable(const std::optional<double>& value) { return value ? TModelJson(*value) : TModelJson(nullptr); }

TModelJson ThermoJson(const TFileThermo& thermo, const TThermoConditions& conditions,
                      const std::optional<TThermoResult>& result) {
  const TThermoMolecule* molecule = thermo.Source.Molecule ? &*thermo.Source.Molecule : nullptr;
  const auto computed = [&](double TThermoResult::*field) {
    return result ? TModelJson((*result).*field) : TModelJson(nullptr);
  };
  const auto fromMolecule = [&](auto value) { return molecule ? TModelJson(value) : TModelJson(nullptr); };
  return {{"Temperature", conditions.Temperature},
          {"Pressure", conditions.Concentration ? TModelJson(nullptr) : TModelJson(conditions.Pressure)},
          {"Concentration", Nullable(conditions.Concentration)},
          {"SymmetryNumber", fromMolecule(molecule ? molecule->SymmetryNumber : 0)},
          {"Multiplicity", fromMolecule(molecule ? molecule->Multiplicity : 0)},
          {"Rotor", fromMolecule(molecule ? RotorName(molecule->Rotor) : "")},
          {"ModesUsed", result ? TModelJson(result->ModesUsed) : TModelJson(nullptr)},
          {"ImaginaryModes", result ? TModelJson(result->ImaginaryModes) : TModelJson(nullptr)},
          {"InvertedModes", result ? TModelJson(result->InvertedModes) : TModelJson(nullptr)},
          {"Scale", conditions.Scale},
          {"E", fromMolecule(molecule ? molecule->Energy : 0)},
          {"ZPE", computed(&TThermoResult::ZPE)},
          {"H", computed(&TThermoResult::H)},
          {"QhH", conditions.HeadGordon ? computed(&TThermoResult::QhH) : TModelJson(nullptr)},
          {"TS", computed(&TThermoResult::TS)},
          {"TQhS", computed(&TThermoResult::TQhS)},
          {"G", computed(&TThermoResult::G)},
          {"QhG", computed(&TThermoResult::QhG)},
          {"PrintedG", Nullable(thermo.Source.PrintedG)},
          {"SelfCheck", Nullable(thermo.SelfCheck)},
          {"Warnings", thermo.Warnings}};
}

std::optional<long double> FiniteRankingEnergy(const TThermoMolecule& molecule, const TThermoConditions& conditions) {
  const double energy = ComputeThermochemistry(molecule, conditions).QhG;
  return std::isfinite(energy) ? std::optional<long double>(energy) : std::nullopt;
}

}  // namespace

TThermoTable::TThermoTable(const TThermoConditions& conditions, std::vector<double> temperatures,
                           double rankingTemperature, bool json, TThermoNotice notice)
    : Conditions(conditions),
      Temperatures(std::move(temperatures)),
      RankingTemperature(rankingTemperature),
      Json(json),
      Notice(std::move(notice)),
      Cells{{ConditionsNote(conditions)}, Columns(conditions), {}} {
  if (Temperatures.empty()) Temperatures = {rankingTemperature};
}

TThermoRows TThermoTable::Add(const std::string& path, const TCoordinateFile_cdf& file) {
  const TFileThermo thermo = Recompute(path, file, Notice, SelfCheckFailed);
  TThermoRows rows{Json ? TModelJson::array() : TModelJson(nullptr), std::nullopt};
  for (const double temperature : Temperatures) {
    TThermoConditions conditions = Conditions;
    conditions.Temperature = temperature;
    std::optional<TThermoResult> result;
    if (thermo.Source.Molecule) result = ComputeThermochemistry(*thermo.Source.Molecule, conditions);
    if (result && !CheckFinite(path, temperature, *result, Notice)) NotFiniteValue = true;
    AppendRow(Cells, path, thermo, conditions, result);
    if (Json) rows.Json.push_back(ThermoJson(thermo, conditions, result));
  }
  if (thermo.Source.Molecule) rows.RankingEnergy = FiniteRankingEnergy(*thermo.Source.Molecule, RankingConditions());
  return rows;
}

std::optional<long double> RankingEnergyOf(const TCoordinateFile_cdf& file, const TThermoConditions& conditions) {
  const TThermoSource source = ThermoSourceOf(file);
  if (!source.Molecule) return std::nullopt;
  return FiniteRankingEnergy(*source.Molecule, conditions);
}

std::string RankingEnergyName(const TThermoConditions& conditions) {
  const bool quasiHarmonic = conditions.Entropy != TEntropyModel::Harmonic || conditions.HeadGordon;
  std::string name = quasiHarmonic ? "qh-G (" : "G (";
  name += EntropyName(conditions);
  if (conditions.HeadGordon) name += ", " + EnthalpyName(conditions);
  return name + ScaleName(conditions) + ", " + StandardState(conditions) + ")";
}

TThermoConditions TThermoTable::RankingConditions() const {
  TThermoConditions conditions = Conditions;
  conditions.Temperature = RankingTemperature;
  return conditions;
}

}  // namespace harvex
