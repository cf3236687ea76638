// Conformer ensembles: the reported files of one molecule ranked by energy,
// repeated conformers found by superposing their geometries, Boltzmann
// populations and the ensemble free energy. Pure computation: the caller
// collects the members and decides where the table goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CdfFiles/CdfFiles.h"
#include "Ensemble/Superposition.h"
#include "FileStatus/FileStatus.h"
#include "TextTable/TextTable.h"

namespace harvex {

inline constexpr double DefaultEnsembleTemperature = 298.15;  // Kelvin

// What the ensemble needs of one reported file; the loaded object itself is
// not kept.
struct TEnsembleMember {
  std::string Path;
  TStatusReason Status;                // only ok members with an energy are ranked
  bool HasEnergy = false;              // whether E was read (the file gave a results row)
  long double E = 0;                   // Hartree
  std::optional<long double> G;        // Hartree; none without a frequency job
  std::vector<std::int32_t> Elements;  // positions in AtomProps, in atom order
  std::vector<TPoint> Coordinates;     // in atom order; empty without a geometry
  std::optional<int> ImaginaryModes;  // none without a frequency job
  TTermination Termination = tmNotRead;
};

// The member that a reported file makes, with its status; a file that gave
// no results row has no energy.
TEnsembleMember EnsembleMember(const std::string& path, const TCoordinateFile_cdf& file);

// The Hill formula of the molecule a member belongs to; empty without a
// geometry.
std::string FormulaOf(const TEnsembleMember& member);

// Whether a member takes part in the ranking: ok, with an energy, and not
// set apart by ComputeEnsembles (which gives it a reason).
bool IsRanked(const TEnsembleMember& member);

// The member's warnings, in a fixed order: "failed job", "unfinished job",
// "no thermochemistry".
std::vector<std::string_view> MemberWarnings(const TEnsembleMember& member);

// One member in the ranked table.
struct TEnsembleRow {
  TEnsembleMember Member;
  long double DeltaE = 0;                 // kcal/mol, against the lowest member
  std::optional<long double> DeltaG;      // kcal/mol, against the lowest member with a G
  std::optional<long double> Population;  // percent
  int PopulationTenths = 0;               // the population in tenths of a percent, rounded so that they sum to 1000
  int DuplicateOf = 0;                    // the rank of the same conformer ranked earlier; 0 when none
};

struct TEnsemble {
  std::string Formula;  // the Hill formula of the members; empty when none has a geometry
  bool UsesG = false;   // G when every ranked member has one, otherwise E for all
  std::string FreeEnergyName = "G";  // what G stands for, in the table's header and last line
  double Temperature = DefaultEnsembleTemperature;
  std::vector<TEnsembleRow> Rows;  // by rank: energy used, lowest first, ties in the members' order
  // Members that are not ok or have no energy, in the members' order: listed,
  // never ranked.
  std::vector<TEnsembleMember> Excluded;
  // With E as the basis: the ranked members without a frequency job.
  std::vector<std::string> WithoutFrequencies;
  // -RT ln sum exp(-X/RT) over the members with a population, Hartree.
  std::optional<long double> FreeEnergy;
};

// Ranks the members of one molecule (in the order reported) that are ok and
// have an energy, lists the others, marks the duplicates and computes the
// populations at Temperature (Kelvin, above 0).
TEnsemble ComputeEnsemble(std::vector<TEnsembleMember> members, double temperature);

// One ensemble per molecular formula, in the order each formula first
// appears. A member without a geometry joins the only formula; among
// several it cannot tell its molecule: it stays ok with that reason and is
// listed, not ranked, with the first formula.
std::vector<TEnsemble> ComputeEnsembles(std::vector<TEnsembleMember> members, double temperature);

// The ensemble's table: notes naming the formula, the member counts, the
// energy ranked by, the temperature, the ensemble free energy with the
// lowest member's share and, when E is the basis, the warning; one row per
// member by rank, then one per member not ranked (its status and reason).
// Numbers with a point whatever the locale.
TTextTable EnsembleTable(const TEnsemble& ensemble);

// The warning when E is the basis, naming the members without frequencies;
// empty otherwise.
std::string BasisWarning(const TEnsemble& ensemble);

}  // namespace harvex
