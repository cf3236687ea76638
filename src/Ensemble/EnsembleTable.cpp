// The ensemble as a table for other programs and for the terminal:
//
// # CH4: 3 members ranked by G at 298.15 K, 1 not ranked
// # ensemble free energy from G: -40.4922306 Hartree; lowest member's share: 62.2 %
// rank  status  path   E [Hartree]  G [Hartree]  dE [kcal/mol]  dG [kcal/mol]  population [%]  ...
// 1     ok      a.out  -40.5183829  -40.4918020  0.00           0.00           62.2            ...
//       failed  d.out  -40.5100000                                                             ...
//
// An empty cell is a value a member does not have. Members that are not
// ranked follow the ranked ones, with their reason in place of the warnings.
#include <charconv>
#include <cmath>

#include "Ensemble/Ensemble.h"
#include "str_pars/NumberForms.h"

namespace harvex {
namespace {

constexpr int HartreeDecimals = 7;
constexpr int KcalDecimals = 2;
constexpr std::string_view Point = ".";

std::string Hartree(long double value) { return MemoFixed(value, HartreeDecimals, Point); }
// Differences, which no memo line shows, are rounded once from double
// precision, with std::to_chars: exact, independent of the locale and much
// faster than the memo's two-step rounding. A difference that rounds to
// zero is no negative number.
std::string Kcal(long double value) {
  if (!std::isfinite(value)) return MemoFixed(value, KcalDecimals, Point);
  char text[64];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, KcalDecimals);
  if (error != std::errc()) return MemoFixed(value, KcalDecimals, Point);
  std::string kcal(text, end);
  if (kcal.starts_with('-') && kcal.find_first_of("123456789") == std::string::npos) kcal.erase(0, 1);
  return kcal;
}

std::string Optional(const std::optional<long double>& value, std::string (*form)(long double)) {
  return value ? form(*value) : std::string();
}

std::string ModeCount(const TEnsembleMember& member) {
  return member.ImaginaryModes ? std::to_string(*member.ImaginaryModes) : std::string();
}

std::string Tenths(int tenths) { return std::to_string(tenths / 10) + std::string(Point) + std::to_string(tenths % 10); }

// The shortest text that reads back as the same number: "298.15", "300".
std::string TemperatureText(double kelvin) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, kelvin).ptr;
  return std::string(text, end);
}

std::string Joined(const std::vector<std::string_view>& items) {
  std::string text;
  for (std::size_t index = 0; index < items.size(); ++index) (text += index > 0 ? ", " : "") += items[index];
  return text;
}

std::string EnergyName(const TEnsemble& ensemble) { return ensemble.UsesG ? ensemble.FreeEnergyName : "E"; }

// The free energy's name without its conditions, for the column names:
// "qh-G" for "qh-G (Grimme, 100 cm-1, 1 atm)".
std::string ShortFreeEnergyName(const TEnsemble& ensemble) {
  return ensemble.FreeEnergyName.substr(0, ensemble.FreeEnergyName.find(" ("));
}

std::string Members(std::size_t count) { return std::to_string(count) + (count == 1 ? " member" : " members"); }

std::vector<std::string> Notes(const TEnsemble& ensemble) {
  const std::string formula = ensemble.Formula.empty() ? std::string() : ensemble.Formula + ": ";
  std::string ranked = formula + Members(ensemble.Rows.size()) + " ranked by " + EnergyName(ensemble) + " at " +
                       TemperatureText(ensemble.Temperature) + " K";
  if (!ensemble.Excluded.empty()) ranked += ", " + std::to_string(ensemble.Excluded.size()) + " not ranked";
  std::vector<std::string> notes = {ranked};
  if (ensemble.FreeEnergy)
    notes.push_back("ensemble free energy from " + EnergyName(ensemble) + ": " + Hartree(*ensemble.FreeEnergy) +
                    " Hartree; lowest member's share: " + Tenths(ensemble.Rows.front().PopulationTenths) + " %");
  if (const std::string warning = BasisWarning(ensemble); !warning.empty()) notes.push_back(warning);
  return notes;
}

std::vector<TTableColumn> Columns(const TEnsemble& ensemble) {
  const std::string g = ShortFreeEnergyName(ensemble);
  return {{"rank", true},
          {"status"},
          {"path", false, true},
          {"E [Hartree]", true},
          {g + " [Hartree]", true},
          {"dE [kcal/mol]", true},
          {"d" + g + " [kcal/mol]", true},
          {"population [%]", true},
          {"imaginary modes", true},
          {"warnings"},
          {"duplicate of", true}};
}

void AddMemberRow(TTextTable& table, const TEnsembleRow& row, std::size_t rank) {
  const TEnsembleMember& member = row.Member;
  table.Rows.push_back({std::to_string(rank), std::string(StatusName(member.Status.Status)), member.Path,
                        Hartree(member.E), Optional(member.G, Hartree), Kcal(row.DeltaE),
                        Optional(row.DeltaG, Kcal), row.Population ? Tenths(row.PopulationTenths) : std::string(),
                        ModeCount(member), Joined(MemberWarnings(member)),
                        row.DuplicateOf != 0 ? std::to_string(row.DuplicateOf) : std::string()});
}

void AddExcludedRow(TTextTable& table, const TEnsembleMember& member) {
  std::vector<std::string>& cells = table.AddRow();
  cells[1] = StatusName(member.Status.Status);
  cells[2] = member.Path;
  if (member.HasEnergy) cells[3] = Hartree(member.E);
  cells[4] = Optional(member.G, Hartree);
  cells[8] = ModeCount(member);
  cells[9] = member.Status.Reason;
}

}  // namespace

TTextTable EnsembleTable(const TEnsemble& ensemble) {
  TTextTable table{Notes(ensemble), Columns(ensemble), {}};
  for (std::size_t row = 0; row < ensemble.Rows.size(); ++row) AddMemberRow(table, ensemble.Rows[row], row + 1);
  for (const TEnsembleMember& member : ensemble.Excluded) AddExcludedRow(table, member);
  return table;
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
