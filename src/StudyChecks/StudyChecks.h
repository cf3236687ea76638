// Study checks: what makes a reported structure wrong (a minimum with an
// imaginary mode, an optimisation that did not converge, a spin-contaminated
// state) or two files' energies incomparable (different levels of theory,
// solvents, conditions), each found with its evidence. Pure computation over
// what the loaded files gave: per file from its own values, across files from
// the facts collected of each.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CdfFiles/CdfFiles.h"
#include "Ensemble/Ensemble.h"

namespace harvex {

enum class TFindingSeverity : std::uint8_t { Error, Warning };

// "error", "warning".
std::string_view SeverityName(TFindingSeverity severity);

struct TFinding {
  std::string Code;  // stable: "imaginary-minimum", "method-differs", ...
  TFindingSeverity Severity = TFindingSeverity::Warning;
  std::string File;  // the reported path; empty for a finding across files
  std::string Text;  // one line with the evidence
};

// What the checks need of one reported file; the loaded object is not kept.
// For a conformer the frequency job gives the structure's values (modes,
// optimisation, stationarity, spin, conditions) and the job that gave its
// energy (the single point when named) its level of theory.
struct TStudyFacts {
  std::string Path;
  bool Output = false;  // an output, or a conformer combining outputs
  std::string ProgramVersion;
  TStudyValues Level;     // the energy's job
  TStudyValues Structure;  // the frequency job's, else the energy's
  std::int32_t Multiplicity = 0;
  std::vector<double> Frequencies;  // cm-1, as listed
  int AtomCount = 0;
  bool Linear = false;
  std::optional<double> ThermoTemperature;  // of the printed thermochemistry
  std::optional<double> ThermoPressure;
  // A conformer's frequency and single-point geometries after superposition
  // (angstrom); none unless both were named and hold the same atoms.
  std::optional<double> GeometryRmsd;
  bool GeometryAtomsDiffer = false;
  TTermination Termination = tmNotRead;  // of the frequency job, else of the energy's
  TEnsembleMember Member;  // for the duplicates
};

TStudyFacts StudyFactsOf(const std::string& path, const TCoordinateFile_cdf& file);

// The findings of one file, in a fixed order of their codes.
std::vector<TFinding> FileFindings(const TStudyFacts& facts);

// The findings across the files, in a fixed order of their codes: the
// levels of theory, solvents and dispersion corrections that differ, the
// program versions and thermochemistry conditions, and the duplicates the
// ensemble finds among the members of each molecule. PerMolecule (a batch
// ranked as ensembles) compares the files of each molecular formula among
// themselves as well, each finding led by its formula ("C4H10: methods
// differ: ..."), when the batch holds more than one molecule.
std::vector<TFinding> StudyFindings(const std::vector<TStudyFacts>& files, bool perMolecule = false);

// Whether any finding is an error.
bool HasErrorFinding(const std::vector<TFinding>& findings);

// "SEVERITY<TAB>CODE<TAB>FILE<TAB>TEXT" lines, each ending with a line end;
// with Align, the first three columns padded with blanks to their widest
// entry instead (for a terminal).
std::string FindingLines(const std::vector<TFinding>& findings, bool align);

}  // namespace harvex
