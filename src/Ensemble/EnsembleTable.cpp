// The ensemble as a tab-separated table for other programs:
//
// CH4: rank by G (3 members)  path  E [Hartree]  G [Hartree]  dE [kcal/mol]  dG [kcal/mol]  population at ...
// 1  a.out  -40.5183829  -40.4918020  0.00  0.00  62.2  0  -  -
// failed  d.out  -40.5100000  -  -  -  -  0  Error termination  -
// ensemble free energy from G [Hartree]  -40.4922306  lowest member's share [%]  62.2
//
// "-" stands for a value a member does not have. Members that are not ranked
// follow the ranked ones with their status in place of a rank and their
// reason in place of the warnings.
#include <charconv>
#include <cmath>

#include "Ensemble/Ensemble.h"
#include "str_pars/NumberForms.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr int HartreeDecimals = 7;
constexpr int KcalDecimals = 2;
constexpr std::string_view Point = ".";
constexpr std::string_view None = "-";

std::string Hartree(long double value) { return MemoFixed(value, HartreeDecimals, Point); }
// Differences, which no memo line shows, are rounded once from double
// precision, with std::to_chars: exact, independent of the locale and much
// faster than the memo's two-step rounding.
std::string Kcal(long double value) {
  if (!std::isfinite(value)) return MemoFixed(value, KcalDecimals, Point);
  char text[64];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, KcalDecimals);
  return error == std::errc() ? std::string(text, end) : MemoFixed(value, KcalDecimals, Point);
}

std::string Optional(const std::optional<long double>& value, std::string (*form)(long double)) {
  return value ? form(*value) : std::string(None);
}

std::string Tenths(int tenths) { return std::to_string(tenths / 10) + std::string(Point) + std::to_string(tenths % 10); }

// The shortest text that reads back as the same number: "298.15", "300".
std::string TemperatureText(double kelvin) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, kelvin).ptr;
  return std::string(text, end);
}

void AppendJoined(std::string& text, const std::vector<std::string_view>& items) {
  if (items.empty()) text += None;
  for (std::size_t index = 0; index < items.size(); ++index) (text += index > 0 ? ", " : "") += items[index];
}

std::string EnergyName(const TEnsemble& ensemble) { return ensemble.UsesG ? ensemble.FreeEnergyName : "E"; }

std::string HeaderLine(const TEnsemble& ensemble) {
  const std::string formula = ensemble.Formula.empty() ? std::string() : ensemble.Formula + ": ";
  return formula + "rank by " + EnergyName(ensemble) + " (" + std::to_string(ensemble.Rows.size()) +
         " members)\tpath\tE [Hartree]\tG [Hartree]\tdE [kcal/mol]\tdG [kcal/mol]\tpopulation at " +
         TemperatureText(ensemble.Temperature) + " K [%]\timaginary modes\twarnings\tduplicate\n";
}

// Appended field by field: a table of many thousand members is built
// without a temporary line per member.
void AppendMemberLine(std::string& table, const TEnsembleRow& row, std::size_t rank) {
  const TEnsembleMember& member = row.Member;
  (table += std::to_string(rank)) += '\t';
  table += TableCell(member.Path);
  ((table += '\t') += Hartree(member.E)) += '\t';
  (table += Optional(member.G, Hartree)) += '\t';
  (table += Kcal(row.DeltaE)) += '\t';
  (table += Optional(row.DeltaG, Kcal)) += '\t';
  (table += row.Population ? Tenths(row.PopulationTenths) : std::string(None)) += '\t';
  (table += std::to_string(member.ImaginaryModes)) += '\t';
  AppendJoined(table, MemberWarnings(member));
  table += '\t';
  table += row.DuplicateOf != 0 ? "duplicate of " + std::to_string(row.DuplicateOf) : std::string(None);
  table += '\n';
}

void AppendExcludedLine(std::string& table, const TEnsembleMember& member) {
  ((table += StatusName(member.Status.Status)) += '\t') += TableCell(member.Path);
  ((table += '\t') += member.HasEnergy ? Hartree(member.E) : std::string(None)) += '\t';
  (table += Optional(member.G, Hartree)) += "\t-\t-\t-\t";
  (table += std::to_string(member.ImaginaryModes)) += '\t';
  (table += TableCell(member.Status.Reason.empty() ? std::string(None) : member.Status.Reason)) += "\t-\n";
}

std::string LastLine(const TEnsemble& ensemble) {
  const bool populated = ensemble.FreeEnergy.has_value();
  return "ensemble free energy from " + EnergyName(ensemble) + " [Hartree]\t" + Optional(ensemble.FreeEnergy, Hartree) +
         "\tlowest member's share [%]\t" +
         (populated ? Tenths(ensemble.Rows.front().PopulationTenths) : std::string(None)) + '\n';
}

}  // namespace

std::string EnsembleTable(const TEnsemble& ensemble) {
  std::string table = HeaderLine(ensemble);
  for (std::size_t row = 0; row < ensemble.Rows.size(); ++row) AppendMemberLine(table, ensemble.Rows[row], row + 1);
  for (const TEnsembleMember& member : ensemble.Excluded) AppendExcludedLine(table, member);
  if (const std::string warning = BasisWarning(ensemble); !warning.empty()) (table += TableCell(warning)) += '\n';
  return table += LastLine(ensemble);
}

std::string BasisWarning(const TEnsemble& ensemble) {
  if (ensemble.WithoutFrequencies.empty()) return {};
  std::string warning =
      "warning: ranked by E, not " + ensemble.FreeEnergyName + ": no frequencies to recompute it from in ";
  for (std::size_t index = 0; index < ensemble.WithoutFrequencies.size(); ++index)
    (warning += index > 0 ? ", " : "") += ensemble.WithoutFrequencies[index];
  return warning;
}

}  // namespace harvex
