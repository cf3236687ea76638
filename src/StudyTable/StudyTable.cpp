#include "StudyTable/StudyTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ReportedValues/ReportedValues.h"
#include "Thermochemistry/ThermoTable.h"

namespace harvex {
namespace {

// Decimals of each unit in a table's cells; Trim drops trailing zeros.
struct TDecimals {
  int Hartree;
  int Wavenumber;
  int Kcal;
  bool Trim;
};
constexpr TDecimals TerminalDecimals{6, 2, 2, false};
constexpr TDecimals ExactDecimals{12, 4, 6, true};

std::string ProgramText(const TOutInfo& info) {
  if (!info.ProgramVersion.empty()) return info.ProgramVersion;
  return info.Program == opGaussian ? "Gaussian" : info.Program == opOrca ? "ORCA" : "";
}

// A printed energy agrees with E when it is E as the program printed it
// again, to the digits of its thermochemistry block.
constexpr double SameEnergy = 1e-6;  // Hartree

// Whether an output's frequency job ran on another energy than the E it
// reports: a composite recipe's E (CBS-QB3, G4) or a later single point's.
// A conformer combines its jobs on purpose.
bool FrequenciesOnOtherEnergy(const TCoordinateFile_cdf& file, double energy) {
  const std::optional<double>& frequencyEnergy = file.Info.ThermoEnergy;
  return !file.IsCdf && frequencyEnergy && !(std::abs(*frequencyEnergy - energy) < SameEnergy);
}

// The enthalpy of a conformer is its energy plus the frequency job's thermal
// correction to it, as its G is. An output's printed H counts only when it
// is built on the output's E.
std::optional<double> Enthalpy(const TCoordinateFile_cdf& file, double energy) {
  const TOutInfo& info = file.Info;
  if (!info.PrintedEnthalpy || !info.ThermoEnergy || FrequenciesOnOtherEnergy(file, energy)) return std::nullopt;
  if (file.IsCdf) {
    if (!file.HasThermochemistry) return std::nullopt;
    return energy + (*info.PrintedEnthalpy - *info.ThermoEnergy);
  }
  return info.PrintedEnthalpy;
}

// The method as the report's label names it, without the brackets the memo
// line "E(RB3LYP) [Hartree]=" gives it.
std::string MethodName(const std::string& label) {
  if (label.size() >= 2 && label.front() == '(' && label.back() == ')') return label.substr(1, label.size() - 2);
  return label;
}

void AddWarning(std::vector<std::string>& warnings, const std::string& warning) {
  if (!warning.empty() && std::ranges::find(warnings, warning) == warnings.end()) warnings.push_back(warning);
}

// A value at Decimals, "-" only on a number that is not zero at them.
std::string Fixed(double value, int decimals, bool trim) {
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  std::string number = error == std::errc() ? std::string(text, end) : std::string();
  if (trim && number.find('.') != std::string::npos) {
    number.erase(number.find_last_not_of('0') + 1);
    if (number.ends_with('.')) number.pop_back();
  }
  if (number.starts_with('-') && number.find_first_of("123456789") == std::string::npos) number.erase(0, 1);
  return number;
}

std::string Cell(const std::optional<double>& value, int decimals, bool trim) {
  return value ? Fixed(*value, decimals, trim) : std::string();
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t index = 0; index < items.size(); ++index) (text += index > 0 ? "; " : "") += items[index];
  return text;
}

std::string Codes(const std::vector<TFinding>& findings) {
  std::vector<std::string> codes;
  for (const TFinding& finding : findings) AddWarning(codes, finding.Code);
  return Joined(codes);
}

// The recomputed free energy's column is named as the energy is ("qh-G", or
// "G" without a quasi-harmonic model); none without conditions.
std::vector<TTableColumn> Columns(const std::optional<TThermoConditions>& conditions) {
  std::vector<TTableColumn> columns = {{"file", false, true}, {"status"},     {"program"},
                                        {"method"},             {"basis"},      {"solvation"},
                                        {"dispersion"}};
  for (const char* name : {"E [Hartree]", "ZPE [Hartree]", "H [Hartree]", "G [Hartree]"}) columns.push_back({name, true});
  if (conditions) {
    const std::string name = RankingEnergyName(*conditions);
    columns.push_back({name.substr(0, name.find(" (")) + " [Hartree]", true});
  }
  columns.push_back({"imaginary modes", true});
  columns.push_back({"first frequency [cm-1]", true});
  columns.push_back({"BSSE [kcal/mol]", true});
  columns.push_back({"findings"});
  columns.push_back({"warnings"});
  return columns;
}

}  // namespace

TStudyRow StudyRowOf(const TStudyFacts& facts, const TCoordinateFile_cdf& file,
                     const std::vector<std::string>& messages) {
  TStudyRow row;
  row.Path = facts.Path;
  row.Status = ReportedStatusOf(file, facts.Path);
  const TOutInfo& info = file.Info;
  row.Program = ProgramText(info);
  row.Method = facts.Level.Method;
  row.Basis = facts.Level.Basis;
  row.Solvation = facts.Level.Solvation;
  row.Dispersion = facts.Level.Dispersion;
  const std::optional<TReportedValues> values = ReportedValuesOf(file);
  const bool energyRead = file.IsCdf ? file.EnergySource != esNone : info.EnergyRead;
  if (values && energyRead) {
    row.E = static_cast<double>(values->E);
    if (row.Method.empty()) row.Method = MethodName(info.EnergyLabel);
    if (values->G) row.G = static_cast<double>(*values->G);
    row.H = Enthalpy(file, *row.E);
  }
  if (ZPEKnown(info) && (!file.IsCdf || file.HasThermochemistry)) row.ZPE = info.ZPECorrection;
  row.ImaginaryModes = ImaginaryModeCount(info);
  if (row.ImaginaryModes) row.FirstFrequency = static_cast<double>(info.Modes->ModeAt(0).Frequency);
  if (info.HasCounterpoise) row.Bsse = static_cast<double>(info.BsseCorrection());
  row.Findings = FileFindings(facts);
  AddWarning(row.Warnings, row.Status.Reason);
  for (const std::string& message : messages) AddWarning(row.Warnings, message);
  for (const std::string& warning : info.ReadWarnings) AddWarning(row.Warnings, warning);
  return row;
}

void SetRecomputedFreeEnergy(TStudyRow& row, const TCoordinateFile_cdf& file,
                             const std::optional<long double>& qhG) {
  if (!qhG) return;
  row.QhG = static_cast<double>(*qhG);
  if (row.E && FrequenciesOnOtherEnergy(file, *row.E))
    AddWarning(row.Warnings, "qh-G from the frequency job's energy, not this E");
}

TTextTable StudyTable(const std::vector<TStudyRow>& rows, const std::optional<TThermoConditions>& conditions,
                      TTableForm form) {
  const TDecimals decimals = form == TTableForm::Terminal ? TerminalDecimals : ExactDecimals;
  TTextTable table{{}, Columns(conditions), {}};
  if (conditions) {
    char kelvin[32];
    const auto end = std::to_chars(kelvin, kelvin + sizeof kelvin, conditions->Temperature).ptr;
    table.Notes.push_back("recomputed: " + RankingEnergyName(*conditions) + " at " + std::string(kelvin, end) + " K");
  }
  const auto hartree = [&](const std::optional<double>& value) { return Cell(value, decimals.Hartree, decimals.Trim); };
  for (const TStudyRow& row : rows) {
    std::vector<std::string> cells = {row.Path,       std::string(StatusName(row.Status.Status)),
                                      row.Program,    row.Method,
                                      row.Basis,      row.Solvation,
                                      row.Dispersion, hartree(row.E),
                                      hartree(row.ZPE), hartree(row.H),
                                      hartree(row.G)};
    if (conditions) cells.push_back(hartree(row.QhG));
    cells.push_back(row.ImaginaryModes ? std::to_string(*row.ImaginaryModes) : std::string());
    cells.push_back(Cell(row.FirstFrequency, decimals.Wavenumber, decimals.Trim));
    cells.push_back(Cell(row.Bsse, decimals.Kcal, decimals.Trim));
    cells.push_back(Codes(row.Findings));
    cells.push_back(Joined(row.Warnings));
    table.Rows.push_back(std::move(cells));
  }
  return table;
}

}  // namespace harvex
