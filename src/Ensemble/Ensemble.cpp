#include "Ensemble/Ensemble.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "ReportedValues/ReportedValues.h"
#include "chembase/Units.h"

namespace harvex {
namespace {

// Differences and populations use CODATA, as the recomputed thermochemistry
// does; only the results file keeps its own kcal/mol per Hartree.
constexpr long double KcalPerHartreeCodata = codata::KcalPerMolePerHartree;

// Two members closer than both limits are one conformer found twice.
constexpr long double DuplicateEnergyKcal = 0.05L;
constexpr double DuplicateRmsd = 0.05;  // angstrom

constexpr int PercentTenths = 1000;

long double UsedEnergy(const TEnsembleMember& member, bool usesG) { return usesG ? *member.G : member.E; }

// Ranking order: finite energies ascending, then every non-finite one, so
// that a damaged value can neither break the sort nor become the reference.
bool RanksBefore(long double a, long double b) {
  if (!std::isfinite(a)) return false;
  if (!std::isfinite(b)) return true;
  return a < b;
}

// Sorts positions rather than the members, so that each member moves once.
std::vector<TEnsembleRow> RankedRows(std::vector<TEnsembleMember> members, bool usesG) {
  std::vector<std::size_t> order(members.size());
  for (std::size_t index = 0; index < order.size(); ++index) order[index] = index;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return RanksBefore(UsedEnergy(members[a], usesG), UsedEnergy(members[b], usesG));
  });
  std::vector<TEnsembleRow> rows(members.size());
  for (std::size_t rank = 0; rank < order.size(); ++rank) rows[rank].Member = std::move(members[order[rank]]);
  return rows;
}

// Differences against the lowest-ranked member that has the value.
void ComputeDeltas(std::vector<TEnsembleRow>& rows) {
  if (rows.empty()) return;
  const long double lowestE = rows.front().Member.E;
  const auto withG = std::find_if(rows.begin(), rows.end(), [](const TEnsembleRow& row) { return row.Member.G; });
  for (TEnsembleRow& row : rows) {
    row.DeltaE = (row.Member.E - lowestE) * KcalPerHartreeCodata;
    if (row.Member.G) row.DeltaG = (*row.Member.G - *withG->Member.G) * KcalPerHartreeCodata;
  }
}

// Only members within the energy window of each other can be one conformer,
// and the rows are sorted by energy: each row is compared with the earlier
// distinct conformers inside its window, never with the whole table.
void MarkDuplicates(std::vector<TEnsembleRow>& rows, bool usesG) {
  std::vector<TShape> shapes;
  shapes.reserve(rows.size());
  for (const TEnsembleRow& row : rows) shapes.push_back(ShapeOf(row.Member.Coordinates));
  std::vector<std::size_t> distinct;  // rows that are no duplicate, by rank
  std::size_t windowStart = 0;        // in distinct
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const long double energy = UsedEnergy(rows[row].Member, usesG);
    const auto inWindow = [&](std::size_t earlier) {
      return (energy - UsedEnergy(rows[earlier].Member, usesG)) * KcalPerHartreeCodata < DuplicateEnergyKcal;
    };
    while (windowStart < distinct.size() && !inWindow(distinct[windowStart])) ++windowStart;
    for (std::size_t index = windowStart; index < distinct.size() && rows[row].DuplicateOf == 0; ++index) {
      const std::size_t earlier = distinct[index];
      if (rows[earlier].Member.Elements == rows[row].Member.Elements &&
          ShapesMatch(shapes[earlier], shapes[row], DuplicateRmsd))
        rows[row].DuplicateOf = static_cast<int>(earlier) + 1;
    }
    if (rows[row].DuplicateOf == 0) distinct.push_back(row);
  }
}

// Element counts as a Hill formula: C and H first when there is carbon, then
// the symbols alphabetically; unknown elements as "X".
std::string HillFormula(const std::vector<std::int32_t>& elements) {
  std::map<std::string, int> counts;
  for (const std::int32_t element : elements)
    ++counts[element > 0 && element <= ElementCount ? std::string(AtomProps[element].Symbol) : "X"];
  std::string formula;
  const auto take = [&](const std::string& symbol) {
    const auto found = counts.find(symbol);
    if (found == counts.end()) return;
    formula += symbol + (found->second > 1 ? std::to_string(found->second) : "");
    counts.erase(found);
  };
  if (counts.contains("C")) {
    take("C");
    take("H");
  }
  while (!counts.empty()) take(counts.begin()->first);
  return formula;
}

// Largest remainders: every population is rounded down or up to a tenth of a
// percent so that the rounded values sum to exactly 100.0.
void RoundPopulations(std::vector<TEnsembleRow>& rows) {
  std::vector<std::pair<long double, std::size_t>> remainders;
  int total = 0;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (!rows[row].Population) continue;
    const long double tenths = *rows[row].Population * 10;
    const long double whole = std::floor(tenths);
    rows[row].PopulationTenths = static_cast<int>(whole);
    total += rows[row].PopulationTenths;
    remainders.emplace_back(tenths - whole, row);
  }
  std::stable_sort(remainders.begin(), remainders.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  const std::size_t missing = static_cast<std::size_t>(std::max(PercentTenths - total, 0));
  for (std::size_t index = 0; index < std::min(missing, remainders.size()); ++index)
    ++rows[remainders[index].second].PopulationTenths;
}

// Boltzmann weights relative to the lowest member, so that the exponentials
// neither overflow nor lose the small members; duplicates and non-finite
// energies get no population.
void ComputePopulations(TEnsemble& ensemble) {
  const long double lowest = UsedEnergy(ensemble.Rows.front().Member, ensemble.UsesG);
  const long double thermalEnergy =
      static_cast<long double>(codata::GasConstant) * ensemble.Temperature / codata::JoulePerMolePerHartree;  // Hartree
  if (!std::isfinite(lowest) || !(thermalEnergy > 0) || !std::isfinite(thermalEnergy)) return;
  long double weightSum = 0;
  for (TEnsembleRow& row : ensemble.Rows) {
    const long double energy = UsedEnergy(row.Member, ensemble.UsesG);
    if (row.DuplicateOf != 0 || !std::isfinite(energy)) continue;
    row.Population = std::exp(-(energy - lowest) / thermalEnergy);
    weightSum += *row.Population;
  }
  for (TEnsembleRow& row : ensemble.Rows)
    if (row.Population) *row.Population *= 100 / weightSum;
  RoundPopulations(ensemble.Rows);
  ensemble.FreeEnergy = lowest - thermalEnergy * std::log(weightSum);
}

}  // namespace

std::string FormulaOf(const TEnsembleMember& member) {
  return member.Elements.empty() ? std::string() : HillFormula(member.Elements);
}

TEnsembleMember EnsembleMember(const std::string& path, const TCoordinateFile_cdf& file) {
  TEnsembleMember member;
  member.Path = path;
  member.Status = ReportedStatusOf(file, path);
  // The E of a file that could not be read or has no energy line is no
  // value, even where the results row shows 0.
  const bool energyRead = member.Status.Status != TFileStatus::NoEnergy &&
                          member.Status.Status != TFileStatus::Unreadable && (file.IsCdf || file.Info.EnergyRead);
  if (const std::optional<TReportedValues> values = ReportedValuesOf(file); values && energyRead) {
    member.HasEnergy = true;
    member.E = values->E;
    member.G = values->G;
  }
  member.Elements.reserve(static_cast<std::size_t>(file.AtomCount()));
  member.Coordinates.reserve(static_cast<std::size_t>(file.AtomCount()));
  for (int number = 1; number <= file.AtomCount(); ++number) {
    const TAtom& atom = file.Atoms.AtomAt(number);
    member.Elements.push_back(atom.Element);
    member.Coordinates.push_back({atom.X, atom.Y, atom.Z});
  }
  member.ImaginaryModes = ImaginaryModeCount(file.Info);
  member.Termination = file.Info.Termination;
  return member;
}

bool IsRanked(const TEnsembleMember& member) {
  // An ok member with a reason was set apart by the ensemble itself.
  return member.HasEnergy && member.Status.Status == TFileStatus::Ok && member.Status.Reason.empty();
}

std::vector<std::string_view> MemberWarnings(const TEnsembleMember& member) {
  std::vector<std::string_view> warnings;
  if (member.Termination == tmError) warnings.emplace_back("failed job");
  if (member.Termination == tmMissing) warnings.emplace_back("unfinished job");
  if (!member.G) warnings.emplace_back("no thermochemistry");
  return warnings;
}

TEnsemble ComputeEnsemble(std::vector<TEnsembleMember> members, double temperature) {
  TEnsemble ensemble;
  ensemble.Temperature = temperature;
  std::vector<TEnsembleMember> ranked;
  for (TEnsembleMember& member : members) {
    if (ensemble.Formula.empty()) ensemble.Formula = FormulaOf(member);
    if (IsRanked(member)) {
      ranked.push_back(std::move(member));
    } else {
      if (!member.HasEnergy && member.Status.Status == TFileStatus::Ok)
        member.Status = {TFileStatus::NoEnergy, "no energy was read"};
      ensemble.Excluded.push_back(std::move(member));
    }
  }
  ensemble.UsesG =
      !ranked.empty() && std::all_of(ranked.begin(), ranked.end(), [](const TEnsembleMember& m) { return m.G; });
  if (!ensemble.UsesG)
    for (const TEnsembleMember& member : ranked)
      if (!member.G) ensemble.WithoutFrequencies.push_back(member.Path);
  ensemble.Rows = RankedRows(std::move(ranked), ensemble.UsesG);
  if (ensemble.Rows.empty()) return ensemble;
  ComputeDeltas(ensemble.Rows);
  MarkDuplicates(ensemble.Rows, ensemble.UsesG);
  ComputePopulations(ensemble);
  return ensemble;
}

std::vector<TEnsemble> ComputeEnsembles(std::vector<TEnsembleMember> members, double temperature) {
  std::vector<std::string> formulas;  // in the order they first appear
  std::map<std::string, std::vector<TEnsembleMember>> groups;
  std::vector<TEnsembleMember> withoutGeometry;
  for (TEnsembleMember& member : members) {
    const std::string formula = FormulaOf(member);
    if (formula.empty()) {
      withoutGeometry.push_back(std::move(member));
      continue;
    }
    std::vector<TEnsembleMember>& group = groups[formula];
    if (group.empty()) formulas.push_back(formula);
    group.push_back(std::move(member));
  }
  if (formulas.empty()) formulas.emplace_back();
  std::vector<TEnsembleMember>& first = groups[formulas.front()];
  for (TEnsembleMember& member : withoutGeometry) {
    if (formulas.size() > 1 && IsRanked(member))
      member.Status.Reason = "no geometry to tell which of the molecules it is";
    first.push_back(std::move(member));
  }
  std::vector<TEnsemble> ensembles;
  for (const std::string& formula : formulas) {
    ensembles.push_back(ComputeEnsemble(std::move(groups[formula]), temperature));
    ensembles.back().Formula = formula;
  }
  return ensembles;
}

}  // namespace harvex
