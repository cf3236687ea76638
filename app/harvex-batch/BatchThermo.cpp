#include "BatchThermo.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>

#include "BatchMessages.h"
#include "OptionNumbers.h"

namespace harvex {
namespace {

constexpr std::string_view StandardOutput = "-";
constexpr std::string_view None = "-";
constexpr int HartreeDecimals = 7;
// A recomputation further than this from the printed G is reported.
constexpr double SelfCheckLimit = 1e-5;  // Hartree
// A temperature range longer than this is taken for a typing error.
constexpr std::size_t MaxTemperatures = 10000;
constexpr TOptionRange PositiveStep{std::numeric_limits<double>::min(), KelvinRange.High};

double CheckedNumber(const std::string& option, const std::string& text, TOptionRange range, std::string_view what) {
  const std::optional<double> value = OptionNumber(text);
  if (!value || !range.Holds(*value)) throw CLI::ValidationError(option, "needs " + std::string(what) + ", not " + text);
  return *value;
}

// "298.15,310" or "200:400:50" (the end included when reached).
std::vector<double> ParseTemperatures(const std::string& text) {
  constexpr std::string_view Option = "--temperatures";
  constexpr std::string_view What = "temperatures from 1 to 10000 K as T1,T2,... or START:STOP:STEP";
  std::vector<std::string> parts;
  const char separator = text.find(':') != std::string::npos ? ':' : ',';
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<double> kelvins;
  for (std::size_t index = 0; index < parts.size(); ++index) {
    if (parts[index].empty())
      throw CLI::ValidationError(std::string(Option), "piece " + std::to_string(index + 1) + " of " + text +
                                                          " is empty; it needs " + std::string(What));
    // A step is no temperature: any positive one will do.
    const bool step = separator == ':' && index == 2;
    kelvins.push_back(CheckedNumber(std::string(Option), parts[index], step ? PositiveStep : KelvinRange, What));
  }
  if (separator == ',') return kelvins;
  if (kelvins.size() != 3 || kelvins[1] < kelvins[0] || (kelvins[1] - kelvins[0]) / kelvins[2] >= MaxTemperatures)
    throw CLI::ValidationError(std::string(Option), "needs " + std::string(What) + ", not " + text);
  std::vector<double> range;
  for (std::size_t step = 0; kelvins[0] + static_cast<double>(step) * kelvins[2] <= kelvins[1] * (1 + 1e-12); ++step)
    range.push_back(kelvins[0] + static_cast<double>(step) * kelvins[2]);
  return range;
}

TEntropyModel ParseEntropyModel(const std::string& text) {
  if (text == "grimme") return TEntropyModel::Grimme;
  if (text == "truhlar") return TEntropyModel::Truhlar;
  if (text == "none") return TEntropyModel::Harmonic;
  throw CLI::ValidationError("--qs", "needs grimme, truhlar or none, not " + text);
}

// "drop", "invert" or "invert:-30".
void ParseImaginary(const std::string& text, TThermoConditions& conditions) {
  constexpr std::string_view Invert = "invert";
  const auto fail = [&text] {
    throw CLI::ValidationError("--imaginary", "needs drop, invert or invert:CM with CM below 0, not " + text);
  };
  if (text == "drop") {
    conditions.Imaginary = TImaginaryModes::Drop;
    return;
  }
  if (!text.starts_with(Invert)) fail();
  conditions.Imaginary = TImaginaryModes::Invert;
  if (text.size() == Invert.size()) return;
  const std::optional<double> threshold = text[Invert.size()] == ':' ? OptionNumber(text.substr(Invert.size() + 1))
                                                                       : std::nullopt;
  if (!threshold || *threshold >= 0) fail();
  conditions.InvertThreshold = *threshold;
}

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
  return program == opGaussian ? "Gaussian" : program == opOrca ? "ORCA" : None;
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

std::string HeaderLine(const TThermoConditions& conditions) {
  const std::string imaginary = conditions.Imaginary == TImaginaryModes::Drop
                                    ? "imaginary modes left out"
                                    : "imaginary modes above " + Shortest(conditions.InvertThreshold) +
                                          " cm-1 inverted";
  const std::string state = conditions.Concentration ? "c [mol/L]" : "p [atm]";
  return "thermochemistry (S: " + EntropyName(conditions) + "; " + EnthalpyName(conditions) + ScaleName(conditions) +
         "; " + imaginary + ")\tpath\tprogram\tT [K]\t" + state +
         "\tsymmetry number\tmultiplicity\trotor\tmodes used\timaginary modes\tscale\tE [Hartree]\tZPE [Hartree]"
         "\tH [Hartree]\tqh-H [Hartree]\tT*S [Hartree]\tT*qh-S [Hartree]\tG [Hartree]\tqh-G [Hartree]"
         "\tprinted G [Hartree]\tself-check [Hartree]\twarnings\n";
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

// A path with a tab or a line end would break the table: those become blanks.
std::string TableCell(std::string_view text) {
  std::string cell(text);
  for (char& c : cell)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return cell;
}

std::string Joined(const std::vector<std::string>& items) {
  if (items.empty()) return std::string(None);
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

TFileThermo Recompute(const std::string& path, const TCoordinateFile_cdf& file, bool& selfCheckFailed) {
  TFileThermo thermo{ThermoSourceOf(file), std::nullopt, {}};
  thermo.SelfCheck = SelfCheckDifference(thermo.Source);
  thermo.Warnings = thermo.Source.Warnings;
  if (!thermo.Source.Molecule) thermo.Warnings.insert(thermo.Warnings.begin(), thermo.Source.Missing);
  if (thermo.SelfCheck && !(std::abs(*thermo.SelfCheck) <= SelfCheckLimit)) {
    const std::string message = "printed G " + Shortest(*thermo.Source.PrintedG) + " but recomputed " +
                                Hartree(*thermo.Source.PrintedG + *thermo.SelfCheck) + " (" +
                                Difference(*thermo.SelfCheck) + " Hartree apart)";
    ShowBatchMessage(path, message);
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
bool CheckFinite(const std::string& path, double temperature, const TThermoResult& result) {
  bool finite = true;
  for (const auto& [name, value] : Quantities(result)) {
    if (std::isfinite(value)) continue;
    ShowBatchMessage(path, "the recomputed " + std::string(name) + " at " + Shortest(temperature) + " K is " +
                               std::string(NotFinite));
    finite = false;
  }
  return finite;
}

void AppendRow(std::string& table, int number, const std::string& path, const TFileThermo& thermo,
               const TThermoConditions& conditions, const std::optional<TThermoResult>& result) {
  const TThermoMolecule* molecule = thermo.Source.Molecule ? &*thermo.Source.Molecule : nullptr;
  std::vector<std::string> cells = {std::to_string(number), TableCell(path), std::string(ProgramName(thermo.Source.Program)),
                                    Shortest(conditions.Temperature),
                                    Shortest(conditions.Concentration.value_or(conditions.Pressure))};
  if (molecule && result) {
    cells.insert(cells.end(), {std::to_string(molecule->SymmetryNumber), std::to_string(molecule->Multiplicity),
                               std::string(RotorName(molecule->Rotor)), std::to_string(result->ModesUsed),
                               ImaginaryText(*result), Shortest(conditions.Scale), Hartree(molecule->Energy),
                               Hartree(result->ZPE), Hartree(result->H),
                               conditions.HeadGordon ? Hartree(result->QhH) : std::string(None), Hartree(result->TS),
                               Hartree(result->TQhS), Hartree(result->G), Hartree(result->QhG)});
  } else {
    cells.insert(cells.end(), 14, std::string(None));
  }
  cells.push_back(thermo.Source.PrintedG ? Hartree(*thermo.Source.PrintedG) : std::string(None));
  cells.push_back(thermo.SelfCheck ? Difference(*thermo.SelfCheck) : "not checked");
  cells.push_back(TableCell(Joined(thermo.Warnings)));
  for (std::size_t index = 0; index < cells.size(); ++index) (table += index > 0 ? "\t" : "") += cells[index];
  table += '\n';
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
          {"Rotor", fromMolecule(molecule ? RotorName(molecule->Rotor) : None)},
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

}  // namespace

void AddThermoOptions(CLI::App& app, TThermoOptions& options) {
  TThermoConditions& conditions = options.Conditions;
  app.add_flag("--thermo{-}", options.Destination,
               "After the batch, recompute the thermochemistry of every frequency job at the conditions below; the "
               "table goes to standard output, or with --thermo=FILE to FILE");
  app.add_option_function<std::string>(
         "--qs", [&conditions](const std::string& text) { conditions.Entropy = ParseEntropyModel(text); },
         "Quasi-harmonic entropy: grimme (default), truhlar or none")
      ->type_name("MODEL");
  app.add_flag("--qh", conditions.HeadGordon, "Also the quasi-harmonic enthalpy of Head-Gordon; qh-G is built on it");
  app.add_option_function<std::string>(
         "--cutoff",
         [&conditions](const std::string& text) {
           conditions.EntropyCutoff = CheckedNumber("--cutoff", text, CutoffRange, "a frequency from 0 to 10000 cm-1");
           conditions.EnthalpyCutoff = conditions.EntropyCutoff;
         },
         "Cutoff frequency of the quasi-harmonic entropy and enthalpy in cm-1, from 0 to 10000 (default 100)")
      ->type_name("CM");
  app.add_option_function<std::string>(
         "--scale",
         [&conditions](const std::string& text) { conditions.Scale = CheckedNumber("--scale", text, ScaleRange, "a factor from 0.1 to 10"); },
         "Frequency scale factor, from 0.1 to 10 (default 1)")
      ->type_name("S");
  app.add_option_function<std::string>(
         "--temperatures", [&options](const std::string& text) { options.Temperatures = ParseTemperatures(text); },
         "Thermochemistry rows at each of these temperatures in K, from 1 to 10000: T1,T2,... or START:STOP:STEP")
      ->type_name("LIST");
  auto* pressure = app.add_option_function<std::string>(
                          "--pressure",
                          [&conditions](const std::string& text) {
                            conditions.Pressure = CheckedNumber("--pressure", text, StandardStateRange, "a pressure from 1e-9 to 1e9 atm");
                          },
                          "Standard state at this pressure in atm, from 1e-9 to 1e9 (default 1)")
                       ->type_name("ATM");
  app.add_option_function<std::string>(
         "--concentration",
         [&conditions](const std::string& text) {
           conditions.Concentration = CheckedNumber("--concentration", text, StandardStateRange, "a concentration from 1e-9 to 1e9 mol/L");
         },
         "Standard state at this concentration in mol/L, from 1e-9 to 1e9, instead of a pressure")
      ->type_name("MOL_PER_L")
      ->excludes(pressure);
  app.add_option_function<std::string>(
         "--imaginary", [&conditions](const std::string& text) { ParseImaginary(text, conditions); },
         "Imaginary modes: drop (default), or invert those above CM cm-1 (default -50) with invert[:CM]")
      ->type_name("MODE");
}

TBatchThermo::TBatchThermo(const TThermoOptions& options, double temperature, bool json)
    : Options(options), Json(json) {
  if (Options.Temperatures.empty()) Options.Temperatures = {temperature};
  if (Enabled() && Options.Destination != StandardOutput)
    Options.Destination = std::filesystem::absolute(Options.Destination).string();
  if (Enabled()) Table = HeaderLine(Options.Conditions);
}

TModelJson TBatchThermo::Add(const std::string& path, const TCoordinateFile_cdf& file) {
  if (!Enabled()) return nullptr;
  const TFileThermo thermo = Recompute(path, file, SelfCheckFailed);
  ++FileCount;
  TModelJson rows = TModelJson::array();
  for (const double temperature : Options.Temperatures) {
    TThermoConditions conditions = Options.Conditions;
    conditions.Temperature = temperature;
    std::optional<TThermoResult> result;
    if (thermo.Source.Molecule) result = ComputeThermochemistry(*thermo.Source.Molecule, conditions);
    if (result && !CheckFinite(path, temperature, *result)) NotFiniteValue = true;
    AppendRow(Table, FileCount, path, thermo, conditions, result);
    if (Json) rows.push_back(ThermoJson(thermo, conditions, result));
  }
  return rows;
}

std::optional<long double> TBatchThermo::RankingEnergy(const TCoordinateFile_cdf& file, double temperature) const {
  const TThermoSource source = ThermoSourceOf(file);
  if (!source.Molecule) return std::nullopt;
  TThermoConditions conditions = Options.Conditions;
  conditions.Temperature = temperature;
  const double energy = ComputeThermochemistry(*source.Molecule, conditions).QhG;
  if (!std::isfinite(energy)) return std::nullopt;
  return energy;
}

std::string TBatchThermo::RankingName() const {
  const TThermoConditions& conditions = Options.Conditions;
  const bool quasiHarmonic = conditions.Entropy != TEntropyModel::Harmonic || conditions.HeadGordon;
  std::string name = quasiHarmonic ? "qh-G (" : "G (";
  name += EntropyName(conditions);
  if (conditions.HeadGordon) name += ", " + EnthalpyName(conditions);
  return name + ScaleName(conditions) + ", " + StandardState(conditions) + ")";
}

bool TBatchThermo::Finish() {
  if (!Enabled()) return true;
  if (Options.Destination == StandardOutput) {
    if (!Json) std::cout << '\n' << Table;
    std::cout.flush();
    return !SelfCheckFailed && !NotFiniteValue;
  }
  std::ofstream out(Options.Destination, std::ios::binary | std::ios::trunc);
  out << Table;
  out.close();
  if (!out) ShowBatchMessage(Options.Destination, "cannot write the thermochemistry table");
  return out && !SelfCheckFailed && !NotFiniteValue;
}

}  // namespace harvex
