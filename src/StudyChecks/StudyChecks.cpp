#include "StudyChecks/StudyChecks.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "Ensemble/Superposition.h"
#include "str_pars/NumberForms.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

// An imaginary mode smaller than this (cm-1, in magnitude) is numerical
// noise of a loose grid or convergence, not a saddle point: it is named on
// its own and counts for none of the other checks.
constexpr double SmallImaginaryLimit = 50;
// <S**2> may stray from s(s+1) by this share of it, and a singlet by the
// absolute amount.
constexpr double SpinShare = 0.10;
constexpr double SingletSpinLimit = 0.10;
// Geometries of two jobs of a conformer further apart than this (angstrom,
// after superposition) are not the same structure.
constexpr double GeometryRmsdLimit = 0.01;
// Across files, a group names at most this many files.
constexpr std::size_t NamedFilesPerGroup = 5;

std::string Number(double value, int decimals) { return MemoFixed(value, decimals, "."); }

TFinding MakeFinding(std::string_view code, TFindingSeverity severity, const std::string& file, std::string text) {
  return {std::string(code), severity, file, std::move(text)};
}

std::string ModeList(const std::vector<double>& modes) {
  std::string text;
  for (double mode : modes) text += (text.empty() ? "" : ", ") + Number(mode, 2);
  return text + " cm-1";
}

std::string ModeCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " imaginary mode" : " imaginary modes");
}

void CheckImaginaryModes(const TStudyFacts& facts, std::vector<TFinding>& findings) {
  std::vector<double> large;
  std::vector<double> small;
  for (double frequency : facts.Frequencies) {
    if (frequency >= 0) continue;
    (frequency > -SmallImaginaryLimit ? small : large).push_back(frequency);
  }
  const TStudyValues& structure = facts.Structure;
  const bool optimised = structure.OptimisationConverged.has_value();
  if (optimised && structure.TransitionState && !facts.Frequencies.empty() && large.size() != 1) {
    findings.push_back(MakeFinding("ts-imaginary-count", TFindingSeverity::Error, facts.Path,
                                   "transition-state search with " + ModeCount(large.size()) +
                                       (large.empty() ? "" : ": " + ModeList(large)) + " (one expected)"));
  } else if (optimised && !structure.TransitionState && !large.empty()) {
    findings.push_back(MakeFinding("imaginary-minimum", TFindingSeverity::Error, facts.Path,
                                   "optimised as a minimum but has " + ModeCount(large.size()) + ": " + ModeList(large)));
  } else if (!optimised && !large.empty()) {
    findings.push_back(MakeFinding("imaginary-modes", TFindingSeverity::Warning, facts.Path,
                                   "frequency job without an optimisation has " + ModeCount(large.size()) + ": " +
                                       ModeList(large)));
  }
  if (!small.empty())
    findings.push_back(MakeFinding("small-imaginary", TFindingSeverity::Warning, facts.Path,
                                   ModeCount(small.size()) + " below " + Number(SmallImaginaryLimit, 0) +
                                       " cm-1 in magnitude (numerical noise to be tightened): " + ModeList(small)));
}

// Why an optimisation did not converge: the program's line, else how its
// job ended. None for a job still running, whose status says so already.
std::optional<std::string> OptimisationEvidence(const TStudyFacts& facts) {
  const TStudyValues& structure = facts.Structure;
  if (structure.OptimisationConverged != false) return std::nullopt;
  if (!structure.OptimisationStop.empty()) return structure.OptimisationStop;
  if (facts.Termination == tmError) return "the job ended in an error first";
  if (facts.Termination == tmNormal) return "the job ended without saying it converged";
  return std::nullopt;
}

void CheckOptimisation(const TStudyFacts& facts, std::vector<TFinding>& findings) {
  const TStudyValues& structure = facts.Structure;
  if (const std::optional<std::string> evidence = OptimisationEvidence(facts))
    findings.push_back(MakeFinding("opt-not-converged", TFindingSeverity::Error, facts.Path,
                                   "the last optimisation did not converge: " + *evidence));
  if (!structure.NotStationaryItems.empty())
    findings.push_back(MakeFinding("not-stationary", TFindingSeverity::Warning, facts.Path,
                                   "the frequency job's geometry is not a stationary point: " +
                                       structure.NotStationaryItems + " not converged"));
}

void CheckSpin(const TStudyFacts& facts, std::vector<TFinding>& findings) {
  const std::optional<double> s2 = facts.Structure.S2;
  if (!s2 || facts.Multiplicity < 1) return;
  const double spin = (facts.Multiplicity - 1) / 2.0;
  const double expected = spin * (spin + 1);
  const double limit = facts.Multiplicity == 1 ? SingletSpinLimit : SpinShare * expected;
  if (std::fabs(*s2 - expected) <= limit) return;
  findings.push_back(MakeFinding("spin-contamination", TFindingSeverity::Warning, facts.Path,
                                 "<S**2> = " + Number(*s2, 4) + " for multiplicity " +
                                     std::to_string(facts.Multiplicity) + ", s(s+1) = " + Number(expected, 4)));
}

void CheckModeCount(const TStudyFacts& facts, std::vector<TFinding>& findings) {
  if (facts.Frequencies.empty() || facts.AtomCount < 2) return;
  const int expected = 3 * facts.AtomCount - (facts.Linear || facts.AtomCount == 2 ? 5 : 6);
  const auto count = static_cast<int>(facts.Frequencies.size());
  if (count == expected) return;
  findings.push_back(MakeFinding("mode-count", TFindingSeverity::Warning, facts.Path,
                                 std::to_string(count) + " modes for " + std::to_string(facts.AtomCount) + " atoms, " +
                                     std::to_string(expected) + " expected (3N-" +
                                     (facts.Linear || facts.AtomCount == 2 ? "5, linear)" : "6)")));
}

void CheckGeometry(const TStudyFacts& facts, std::vector<TFinding>& findings) {
  if (facts.GeometryAtomsDiffer) {
    findings.push_back(MakeFinding("geometry-differs", TFindingSeverity::Warning, facts.Path,
                                   "the frequency job and the single point hold different atoms"));
  } else if (facts.GeometryRmsd && *facts.GeometryRmsd > GeometryRmsdLimit) {
    findings.push_back(MakeFinding("geometry-differs", TFindingSeverity::Warning, facts.Path,
                                   "the frequency job's and the single point's geometries differ by RMSD " +
                                       Number(*facts.GeometryRmsd, 4) + " A after superposition"));
  }
}

std::vector<TPoint> PointsOf(const TJobGeometry& geometry) {
  return {geometry.Coordinates.begin(), geometry.Coordinates.end()};
}

void CompareGeometries(const TCoordinateFile_cdf& file, TStudyFacts& facts) {
  if (!file.SinglePointGeometry || !file.FrequencyGeometry) return;
  const TJobGeometry& single = *file.SinglePointGeometry;
  const TJobGeometry& frequency = *file.FrequencyGeometry;
  if (single.Coordinates.empty() || frequency.Coordinates.empty()) return;
  if (single.Elements != frequency.Elements) {
    facts.GeometryAtomsDiffer = true;
    return;
  }
  facts.GeometryRmsd = SuperposedRmsd(PointsOf(frequency), PointsOf(single));
}

// One value of each file across a batch, grouped by its spelling in any
// letter case and with or without hyphens, as Gaussian and ORCA spell one
// level differently ("M062X/Def2TZVP", "M06-2X def2-TZVP"); files without
// the value take no part.
struct TGroup {
  std::string Value;
  std::vector<std::string> Files;
};

std::string SpellingKey(const std::string& value) {
  std::string key = UpperAscii(value);
  std::erase(key, '-');
  return key;
}

template <typename TValueOf>
std::vector<TGroup> GroupFiles(const std::vector<TStudyFacts>& files, TValueOf valueOf) {
  std::vector<TGroup> groups;
  std::map<std::string, std::size_t> byKey;
  for (const TStudyFacts& facts : files) {
    const std::optional<std::string> value = valueOf(facts);
    if (!value || value->empty()) continue;
    const auto [at, added] = byKey.try_emplace(SpellingKey(*value), groups.size());
    if (added) groups.push_back({*value, {}});
    groups[at->second].Files.push_back(facts.Path);
  }
  return groups;
}

// "B3LYP: a.out, b.out; M062X: c.out, and 3 more".
std::string GroupsText(const std::vector<TGroup>& groups) {
  std::string text;
  for (const TGroup& group : groups) {
    if (!text.empty()) text += "; ";
    text += group.Value + ": ";
    for (std::size_t index = 0; index < std::min(group.Files.size(), NamedFilesPerGroup); ++index)
      text += (index == 0 ? "" : ", ") + group.Files[index];
    if (group.Files.size() > NamedFilesPerGroup)
      text += ", and " + std::to_string(group.Files.size() - NamedFilesPerGroup) + " more";
  }
  return text;
}

// Where the files compared stand: the batch, or one molecule of it, whose
// formula leads the finding's text.
struct TComparison {
  const std::vector<TStudyFacts>& Files;
  std::string Lead;  // "C4H10: ", or empty for the batch
};

template <typename TValueOf>
void CheckSame(const TComparison& comparison, std::string_view code, TFindingSeverity severity, std::string_view what,
               TValueOf valueOf, std::vector<TFinding>& findings) {
  const std::vector<TGroup> groups = GroupFiles(comparison.Files, valueOf);
  if (groups.size() < 2) return;
  findings.push_back(
      MakeFinding(code, severity, {}, comparison.Lead + std::string(what) + " differ: " + GroupsText(groups)));
}

std::optional<std::string> Known(const std::string& value) {
  return value.empty() ? std::nullopt : std::optional<std::string>(value);
}

std::optional<std::string> Condition(const std::optional<double>& value, int decimals, std::string_view unit) {
  if (!value) return std::nullopt;
  return Number(*value, decimals) + std::string(unit);
}

void CheckDuplicates(const std::vector<TStudyFacts>& files, std::vector<TFinding>& findings) {
  std::vector<TEnsembleMember> members;
  for (const TStudyFacts& facts : files)
    if (facts.Output) members.push_back(facts.Member);
  for (const TEnsemble& ensemble : ComputeEnsembles(std::move(members), DefaultEnsembleTemperature)) {
    for (const TEnsembleRow& row : ensemble.Rows) {
      if (row.DuplicateOf == 0) continue;
      const TEnsembleRow& first = ensemble.Rows[static_cast<std::size_t>(row.DuplicateOf) - 1];
      const long double delta = ensemble.UsesG ? row.DeltaG.value_or(0) - first.DeltaG.value_or(0)
                                               : row.DeltaE - first.DeltaE;
      findings.push_back(MakeFinding("duplicate", TFindingSeverity::Warning, {},
                                     row.Member.Path + " repeats " + first.Member.Path + " (" +
                                         (ensemble.UsesG ? "G" : "E") + " " + Number(static_cast<double>(delta), 3) +
                                         " kcal/mol apart, the same geometry)"));
    }
  }
}

// The levels of theory, program versions and thermochemistry conditions
// that differ among the files compared.
void CheckComparable(const TComparison& comparison, std::vector<TFinding>& findings) {
  constexpr auto Error = TFindingSeverity::Error;
  constexpr auto Warning = TFindingSeverity::Warning;
  CheckSame(comparison, "method-differs", Error, "methods",
            [](const TStudyFacts& f) { return Known(f.Level.Method); }, findings);
  CheckSame(comparison, "basis-differs", Error, "basis sets",
            [](const TStudyFacts& f) { return Known(f.Level.Basis); }, findings);
  CheckSame(comparison, "solvent-differs", Error, "solvation models",
            [](const TStudyFacts& f) { return Known(f.Level.Solvation); }, findings);
  CheckSame(comparison, "dispersion-differs", Error, "dispersion corrections",
            [](const TStudyFacts& f) { return Known(f.Level.Dispersion); }, findings);
  CheckSame(comparison, "version-differs", Warning, "program versions",
            [](const TStudyFacts& f) { return Known(f.ProgramVersion); }, findings);
  CheckSame(comparison, "conditions-differ", Warning, "thermochemistry temperatures",
            [](const TStudyFacts& f) { return Condition(f.ThermoTemperature, 2, " K"); }, findings);
  CheckSame(comparison, "conditions-differ", Warning, "thermochemistry pressures",
            [](const TStudyFacts& f) { return Condition(f.ThermoPressure, 5, " atm"); }, findings);
  CheckSame(comparison, "conditions-differ", Warning, "frequency scale factors",
            [](const TStudyFacts& f) { return Condition(f.Structure.ScaleFactor, 4, ""); }, findings);
}

// The files of each molecule (by formula, in the order first met); files
// without a geometry belong to none.
std::vector<std::pair<std::string, std::vector<TStudyFacts>>> Molecules(const std::vector<TStudyFacts>& files) {
  std::vector<std::pair<std::string, std::vector<TStudyFacts>>> molecules;
  std::map<std::string, std::size_t> byFormula;
  for (const TStudyFacts& facts : files) {
    std::string formula = FormulaOf(facts.Member);
    if (formula.empty()) continue;
    const auto [at, added] = byFormula.try_emplace(formula, molecules.size());
    if (added) molecules.emplace_back(std::move(formula), std::vector<TStudyFacts>{});
    molecules[at->second].second.push_back(facts);
  }
  return molecules;
}

}  // namespace

std::string_view SeverityName(TFindingSeverity severity) {
  return severity == TFindingSeverity::Error ? "error" : "warning";
}

TStudyFacts StudyFactsOf(const std::string& path, const TCoordinateFile_cdf& file) {
  TStudyFacts facts;
  const TOutInfo& info = file.Info;
  facts.Path = path;
  facts.Output = info.Program != opNone || file.IsCdf;
  facts.ProgramVersion = info.ProgramVersion;
  facts.Structure = static_cast<const TStudyValues&>(info);
  facts.Level = file.SinglePointLevel.value_or(facts.Structure);
  facts.Multiplicity = info.Multiplicity;
  if (info.Modes)
    for (int index = 0; index < info.Modes->Count(); ++index)
      facts.Frequencies.push_back(static_cast<double>(info.Modes->ModeAt(index).Frequency));
  facts.AtomCount = file.AtomCount();
  facts.Linear = info.LinearRotor;
  facts.ThermoTemperature = info.ThermoTemperature;
  facts.ThermoPressure = info.ThermoPressure;
  facts.Termination = info.Termination;
  CompareGeometries(file, facts);
  facts.Member = EnsembleMember(path, file);
  return facts;
}

std::vector<TFinding> FileFindings(const TStudyFacts& facts) {
  std::vector<TFinding> findings;
  if (!facts.Output) return findings;
  CheckImaginaryModes(facts, findings);
  CheckOptimisation(facts, findings);
  CheckSpin(facts, findings);
  CheckModeCount(facts, findings);
  CheckGeometry(facts, findings);
  return findings;
}

std::vector<TFinding> StudyFindings(const std::vector<TStudyFacts>& files, bool perMolecule) {
  std::vector<TFinding> findings;
  CheckComparable({files, {}}, findings);
  // With one molecule its findings are the batch's.
  if (perMolecule) {
    const auto molecules = Molecules(files);
    if (molecules.size() > 1)
      for (const auto& [formula, members] : molecules) CheckComparable({members, formula + ": "}, findings);
  }
  CheckDuplicates(files, findings);
  return findings;
}

bool HasErrorFinding(const std::vector<TFinding>& findings) {
  return std::ranges::any_of(findings,
                             [](const TFinding& finding) { return finding.Severity == TFindingSeverity::Error; });
}

std::string FindingLines(const std::vector<TFinding>& findings, bool align) {
  std::array<std::size_t, 3> widths{};
  const auto columns = [](const TFinding& finding) {
    return std::array<std::string_view, 3>{SeverityName(finding.Severity), finding.Code, finding.File};
  };
  if (align)
    for (const TFinding& finding : findings) {
      const auto cells = columns(finding);
      for (std::size_t column = 0; column < cells.size(); ++column)
        widths[column] = std::max(widths[column], cells[column].size());
    }
  std::string text;
  for (const TFinding& finding : findings) {
    const auto cells = columns(finding);
    for (std::size_t column = 0; column < cells.size(); ++column) {
      text += cells[column];
      if (align) {
        text.append(widths[column] - cells[column].size() + 2, ' ');
      } else {
        text += '\t';
      }
    }
    text += finding.Text + '\n';
  }
  return text;
}

}  // namespace harvex
