// The state of one forward pass of the Gaussian output reader, and the
// registry of its checks, in three groups: energies and geometry
// (GaussianOutput.cpp), vibrations and thermochemistry
// (GaussianVibrations.cpp), population analyses and NBO
// (GaussianPopulation.cpp).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "CoordFiles/MarkerRegistry.h"
#include "CoordFiles/ReaderPass.h"
#include "str_pars/str_pars.h"

namespace harvex {

// What the pass knows of the job in progress; it ends, as a whole, at the
// job's termination line.
struct TGaussianJob {
  // The job's route section, its lines joined; empty until read.
  std::string Route;
  bool HighPrecisionListing = false;
  // The job's later harmonic tables repeat modes already read.
  bool ModesRecovered = false;
  // The energies read belong to displaced geometries of a numerical
  // differentiation, not to the job's own.
  bool DisplacedGeometries = false;
  // The composite recipe whose "(0 K)" energy was read.
  std::string CompositeMethod;
  // The lines read are within the job's thermochemistry block, from its
  // conditions line on.
  bool InThermochemistry = false;
  // The route asks for an optimisation; or for frequencies without one,
  // whose own convergence table then says whether the geometry is
  // stationary.
  bool Optimises = false;
  bool FrequenciesOnly = false;
  // The continuum model the job's PCM block names ("SMD", "PCM", "CPCM").
  std::string SolvationModel;
};

// What the pass knows of the file so far, across its jobs.
struct TGaussianFileState {
  double Energy = 0;  // the energy in force, the last one read
  bool EnergyRead = false;
  int Multiplicity = 0;  // of the last charge and multiplicity line
  bool HasCounterpoise = false;
  int PendingMCBSFragment = 0;  // fragment whose energy is not yet summed; 0 = none
  int PendingDCBSFragment = 0;
  std::int32_t MCBSCount = 0;
  std::int32_t DCBSCount = 0;
  long double MCBSSum = 0;
  long double DCBSSum = 0;
  bool FrequenciesSeen = false;
  bool FundamentalBandsDue = false;  // a harmonic table was read and no anharmonic listing after it
  bool NBOSeen = false;
  bool NaturalChargesRead = false;  // of the current NBO analysis
  std::vector<std::string> GeometryRows;  // rows of the last complete standard-orientation table
  // Rows of the last complete input-orientation table, the geometry of a
  // file without a standard one; no longer read once a standard one was.
  std::vector<std::string> InputGeometryRows;
};

// One pass over one output. The loaded model only receives what the checks
// read; what steers the reading is kept here.
struct TGaussianPass : TReaderPass {
  TGaussianPass(TLineSource& source, bool finalGeometry) : TReaderPass(source), FinalGeometry(finalGeometry) {}

  const bool FinalGeometry;
  TGaussianJob Job;
  TGaussianFileState File;

  // Reads lines until one holds the marker; the current line is not tested.
  // False when the input or the job (its termination line) ends first.
  bool SkipToLineWith(std::string_view marker);
  // The same, but the current line is tested first.
  bool AwaitLineWith(std::string_view marker);
  // Reads the next line and tells whether it holds the marker: a block's
  // header line that must be what the block expects.
  bool NextLineHolds(std::string_view marker) { return NextLine() && Contains(Line, marker); }
  // The job's energy, with its method label, becomes the one in force;
  // the energy of a displaced geometry does not.
  void SetEnergy(TOutInfo& info, double energy, std::string_view label);
};

// What a job's route asks for. Keywords are matched in any letter case,
// with or without options: "opt", "Opt=(CalcFC,TS)", "FREQ=NoRaman".
bool RouteRequests(std::string_view route, std::string_view keyword);
// The coupled-cluster, QCI or CI method the route names, as the label of
// its converged energy ("CCSD" for UCCSD(T)/cc-pVTZ); empty when none.
std::string CorrelatedMethodOf(std::string_view route);

inline bool ContainsAny(std::string_view line, std::span<const std::string_view> markers) {
  for (std::string_view marker : markers)
    if (Contains(line, marker)) return true;
  return false;
}

// The 1-based position of the first match of the marker; 0 when none.
inline int PositionOf(std::string_view line, std::string_view marker) {
  const std::size_t found = line.find(marker);
  return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

// The cursor just after the first occurrence of c (1 when there is none).
inline int CursorAfter(std::string_view line, char c) {
  return PositionOf(line, std::string_view(&c, 1)) + 1;
}

// A check looks at the current line, which holds one of its markers.
using TGaussianCheck = void (*)(TGaussianPass& pass, TOutInfo& info);
using TGaussianRow = TMarkerRow<TGaussianCheck>;

// Reads the route of the job step whose first line is current, and takes
// from it what the job sets out to do and at which level of theory.
void ReadRoute(TGaussianPass& pass, TOutInfo& info);
// The banner's version line and the citation, both opening with " Gaussian ";
// the checks read the version from the banner's.
bool IsBannerLine(std::string_view line);
void ReadProgramVersion(TGaussianPass& pass, TOutInfo& info);
// The method named by an SCF energy's tag ("(RB3LYP)"), for a job whose
// route named none.
void NoteSCFMethod(TOutInfo& info, std::string_view tag);
// What the last job leaves to be decided once the file is read.
void FinishStudyValues(TOutInfo& info);

// The rows of each group, in the order their checks run.
std::span<const TGaussianRow> EnergyAndGeometryRows();
std::span<const TGaussianRow> VibrationRows();
std::span<const TGaussianRow> PopulationRows();
std::span<const TGaussianRow> JobEndRows();
std::span<const TGaussianRow> StudyRows();

// Every row of the reader: the groups in the order above. Where two checks
// fire on one line, the earlier one runs first: a counterpoise line sums the
// pending fragment's energy before it reads a new one, and the termination
// line ends the job after every other check has seen it.
std::span<const TGaussianRow> GaussianRows();
const TMarkerRegistry<TGaussianCheck>& GaussianRegistry();

}  // namespace harvex
