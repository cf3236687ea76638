// The ensemble as a tab-separated table for other programs:
//
// rank by G (3 members)  path  E [Hartree]  G [Hartree]  dE [kcal/mol]  dG [kcal/mol]  population at 298.15 K [%]  ...
// 1  a.out  -40.5183829  -40.4918020  0.00  0.00  62.2  0  -  -
// ensemble free energy from G [Hartree]  -40.4922306  lowest member's share [%]  62.2
//
// "-" stands for a value a member does not have.
#include <charconv>

#include "Ensemble/Ensemble.h"
#include "Unit1/NumberForms.h"

namespace harvex {
namespace {

constexpr int HartreeDecimals = 7;
constexpr int KcalDecimals = 2;
constexpr char Point = '.';
constexpr std::string_view None = "-";

std::string Hartree(long double value) { return MemoFixed(value, HartreeDecimals, Point); }
std::string Kcal(long double value) { return MemoFixed(value, KcalDecimals, Point); }

std::string Optional(const std::optional<long double>& value, std::string (*form)(long double)) {
  return value ? form(*value) : std::string(None);
}

std::string Tenths(int tenths) { return std::to_string(tenths / 10) + Point + std::to_string(tenths % 10); }

// The shortest text that reads back as the same number: "298.15", "300".
std::string TemperatureText(double kelvin) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, kelvin).ptr;
  return std::string(text, end);
}

// A path with a tab or a line end would break the table's columns or rows.
std::string TableField(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

std::string Joined(const std::vector<std::string_view>& items) {
  if (items.empty()) return std::string(None);
  std::string text(items.front());
  for (std::size_t index = 1; index < items.size(); ++index) (text += ", ") += items[index];
  return text;
}

std::string EnergyName(const TEnsemble& ensemble) { return ensemble.UsesG ? "G" : "E"; }

std::string HeaderLine(const TEnsemble& ensemble) {
  return "rank by " + EnergyName(ensemble) + " (" + std::to_string(ensemble.Rows.size()) +
         " members)\tpath\tE [Hartree]\tG [Hartree]\tdE [kcal/mol]\tdG [kcal/mol]\tpopulation at " +
         TemperatureText(ensemble.Temperature) + " K [%]\timaginary modes\twarnings\tduplicate\n";
}

std::string MemberLine(const TEnsembleRow& row, std::size_t rank) {
  const TEnsembleMember& member = row.Member;
  return std::to_string(rank) + '\t' + TableField(member.Path) + '\t' + Hartree(member.E) + '\t' +
         Optional(member.G, Hartree) + '\t' + Kcal(row.DeltaE) + '\t' + Optional(row.DeltaG, Kcal) + '\t' +
         (row.Population ? Tenths(row.PopulationTenths) : std::string(None)) + '\t' +
         std::to_string(member.ImaginaryModes) + '\t' + Joined(MemberWarnings(member)) + '\t' +
         (row.DuplicateOf != 0 ? "duplicate of " + std::to_string(row.DuplicateOf) : std::string(None)) + '\n';
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
  for (std::size_t row = 0; row < ensemble.Rows.size(); ++row) table += MemberLine(ensemble.Rows[row], row + 1);
  return table + LastLine(ensemble);
}

}  // namespace harvex
