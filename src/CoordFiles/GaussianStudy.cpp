// Checks of the Gaussian pass that read what a study needs to trust a job:
// the level of theory its archive entry and its PCM block name, its spin,
// how its optimisation ended and whether its frequencies stand at a
// stationary point.
#include <array>
#include <optional>
#include <vector>

#include "CoordFiles/GaussianPass.h"
#include "CoordFiles/LevelOfTheory.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A finished job's archive entry names its method and basis in its fifth
// and sixth fields, within its first two lines (70 characters each after a
// blank); "|" separates them where "\" cannot be written:
//  1\1\GINC-NODE33\FOpt\UB3LYP\CBSB7\C7H7(2)\LAITCL\16-Feb-2017\0\\# cbs-
//  1|1|UNPC-DESKTOP-8TQV1GH|FOpt|RM062X|3-21G|C1H4|JUANV|16-Jan-2022|0||#
constexpr std::string_view ArchiveMarker = " 1\\1\\";
constexpr std::string_view WindowsArchiveMarker = " 1|1|";
constexpr std::size_t ArchiveMethodField = 4;
constexpr std::size_t ArchiveBasisField = 5;

std::vector<std::string_view> SplitFields(std::string_view text, char separator) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (start <= text.size() && fields.size() <= ArchiveBasisField + 1) {
    const std::size_t end = std::min(text.find(separator, start), text.size());
    fields.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

void ReadArchiveEntry(TGaussianPass& pass, TOutInfo& info) {
  const char separator = pass.Line[2];
  std::string entry = pass.Line.substr(1);
  if (pass.NextLine() && pass.Line.starts_with(' ')) entry.append(pass.Line, 1);
  const std::vector<std::string_view> fields = SplitFields(entry, separator);
  // The field after the basis must have begun, or the basis may be cut.
  if (fields.size() <= ArchiveBasisField + 1) return;
  if (fields[ArchiveMethodField].empty() || fields[ArchiveBasisField].empty()) return;
  info.Method = WithoutReference(fields[ArchiveMethodField]);
  info.Basis = fields[ArchiveBasisField];
}

// Each job names its basis set when it builds it:
//  Standard basis: 6-31G(d) (6D, 7F)
//  General basis read from cards:  (5D, 7F)
constexpr std::string_view StandardBasisMarker = " Standard basis: ";
constexpr std::string_view GeneralBasisMarker = " General basis read from cards";
constexpr std::string_view GeneralBasisName = "Gen";

void ReadBasisLine(TGaussianPass& pass, TOutInfo& info) {
  if (pass.Match.Marker == GeneralBasisMarker) {
    info.Basis = GeneralBasisName;
    return;
  }
  const std::string_view name = std::string_view(pass.Line).substr(pass.Match.At + StandardBasisMarker.size());
  const std::size_t shells = name.rfind(" (");
  info.Basis = Trimmed(name.substr(0, shells));
}

// A solvated job prints its continuum model; SMD builds on the PCM cavity
// with its own radii:
//  Model                : PCM (using non-symmetric T matrix).
//  Atomic radii         : SMD-Coulomb.
//  Solvent              : Toluene, Eps=   2.374100 Eps(inf)=   2.238315
constexpr std::string_view ModelMarker = " Model                :";
constexpr std::string_view RadiiMarker = " Atomic radii         :";
constexpr std::string_view SolventMarker = " Solvent              :";
constexpr std::string_view SMDRadii = "SMD";

void ReadSolvationLine(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view value = Trimmed(std::string_view(pass.Line).substr(pass.Match.At + pass.Match.Marker.size()));
  const std::string_view word = value.substr(0, value.find_first_of(" .,"));
  if (pass.Match.Marker == ModelMarker) {
    pass.Job.SolvationModel = word;
  } else if (pass.Match.Marker == RadiiMarker) {
    if (word.starts_with(SMDRadii)) pass.Job.SolvationModel = SMDRadii;
  } else if (!pass.Job.SolvationModel.empty()) {
    info.Solvation = SolvationText(pass.Job.SolvationModel, value.substr(0, value.find(',')));
  }
}

// The spin after each SCF: Gaussian 16 prints the expectation value, the
// older versions the value before and after annihilation:
//  <Sx>= 0.0000 <Sy>= 0.0000 <Sz>= 0.5000 <S**2>= 0.7593 S= 0.5046
//  S**2 before annihilation     0.7532,   after     0.7500
// The guess's own value is not the job's:
//  Initial guess <Sx>= 0.0000 <Sy>= 0.0000 <Sz>= 0.5000 <S**2>= 0.7500 S= 0.5000
constexpr std::string_view SpinMarker = "<S**2>=";
constexpr std::string_view AnnihilationMarker = "S**2 before annihilation";
constexpr std::string_view GuessLead = " Initial guess";

void ReadSpin(TGaussianPass& pass, TOutInfo& info) {
  if (pass.Line.starts_with(GuessLead)) return;
  // The value before annihilation ends at its comma.
  const std::string_view line = std::string_view(pass.Line).substr(0, pass.Line.find(',', pass.Match.At));
  int cursor = static_cast<int>(pass.Match.At + pass.Match.Marker.size()) + 1;
  SkipBlanks(line, cursor);
  if (const std::optional<double> value = TryReadDouble(line, cursor)) info.S2 = value;
}

// How an optimisation ends:
//  Optimization completed.
//  Optimization completed on the basis of negligible forces.
//  Optimization stopped.
//     -- Number of steps exceeded,  NStep= 100
// A frequency job prints the first line too, of its own table: only an
// optimising job's lines count.
constexpr std::string_view CompletedMarker = " Optimization completed";
constexpr std::string_view StoppedMarker = " Optimization stopped";
constexpr std::string_view StepsExceededMarker = "-- Number of steps exceeded";

void ReadOptimisationEnd(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.Job.Optimises) return;
  info.OptimisationConverged = pass.Match.Marker == CompletedMarker;
  info.OptimisationStop = pass.Match.Marker == CompletedMarker ? std::string() : std::string(Trimmed(pass.Line));
}

// A frequency job checks its geometry by the optimiser's criteria; a NO
// means the frequencies belong to no stationary point:
//          Item               Value     Threshold  Converged?
//  Maximum Force            0.004468     0.000450     NO
//  RMS     Force            0.001437     0.000300     NO
constexpr std::string_view ConvergenceTableMarker = "Threshold  Converged?";
constexpr int ConvergenceItems = 4;

// "Maximum Force 0.004468 (threshold 0.000450)" for a row that says NO;
// empty for one that says YES. False for a line that is no row.
bool ReadConvergenceRow(std::string_view row, std::string& failed) {
  std::vector<std::string_view> words;
  for (std::size_t start = row.find_first_not_of(' '); start != std::string_view::npos;) {
    const std::size_t end = std::min(row.find(' ', start), row.size());
    words.push_back(row.substr(start, end - start));
    start = row.find_first_not_of(' ', end);
  }
  if (words.size() != 5 || (words[4] != "YES" && words[4] != "NO")) return false;
  failed.clear();
  if (words[4] == "NO")
    failed = std::string(words[0]) + " " + std::string(words[1]) + " " + std::string(words[2]) + " (threshold " +
             std::string(words[3]) + ")";
  return true;
}

void ReadConvergenceTable(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.Job.FrequenciesOnly) return;
  std::string items;
  std::string failed;
  for (int row = 0; row < ConvergenceItems && pass.NextLine() && ReadConvergenceRow(pass.Line, failed); ++row) {
    if (failed.empty()) continue;
    if (!items.empty()) items += ", ";
    items += failed;
  }
  info.NotStationaryItems = std::move(items);
}

constexpr std::array StudyRowList = {
    TGaussianRow{ArchiveMarker, ReadArchiveEntry, {}, TMarkerPlace::OpensLine},
    TGaussianRow{WindowsArchiveMarker, ReadArchiveEntry, {}, TMarkerPlace::OpensLine},
    TGaussianRow{StandardBasisMarker, ReadBasisLine, "sis: "},
    TGaussianRow{GeneralBasisMarker, ReadBasisLine, "om ca"},
    TGaussianRow{ModelMarker, ReadSolvationLine, " Mode"},
    TGaussianRow{RadiiMarker, ReadSolvationLine, "c rad"},
    TGaussianRow{SolventMarker, ReadSolvationLine, "Solve"},
    TGaussianRow{SpinMarker, ReadSpin, "S**2>"},
    TGaussianRow{AnnihilationMarker, ReadSpin, "e ann"},
    TGaussianRow{CompletedMarker, ReadOptimisationEnd, "plete"},
    TGaussianRow{StoppedMarker, ReadOptimisationEnd, "n sto"},
    TGaussianRow{StepsExceededMarker, ReadOptimisationEnd, "s exc"},
    TGaussianRow{ConvergenceTableMarker, ReadConvergenceTable, "rged?"},
};

}  // namespace

std::span<const TGaussianRow> StudyRows() { return StudyRowList; }

}  // namespace harvex
