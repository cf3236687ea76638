// The state of one forward pass of the Gaussian output reader, shared by its
// three groups of checks: energies and geometry (GaussianOutput.cpp),
// vibrations and thermochemistry (GaussianVibrations.cpp), population
// analyses and NBO (GaussianPopulation.cpp).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "CoordFiles/MarkerOpenings.h"
#include "str_pars/str_pars.h"

namespace harvex {

// One pass over one output. A check that reads further lines leaves the last
// line it read as the current line; the checks after it look at that line.
struct TGaussianPass {
  TGaussianPass(TLineSource& source, bool finalGeometry)
      : Source(source), FinalGeometry(finalGeometry) {}

  TLineSource& Source;
  const bool FinalGeometry;

  std::string Line;
  std::string PreviousLine;
  int PendingMCBSFragment = 0;  // fragment whose energy is not yet summed; 0 = none
  int PendingDCBSFragment = 0;
  bool FrequenciesSeen = false;
  bool FundamentalBandsDue = false;  // a harmonic table was read and no anharmonic listing after it
  bool HighPrecisionListing = false;
  // Set within one job (each ends at its termination line): the job's later
  // harmonic tables repeat modes already read; the job moves the geometry
  // (optimisation) or computes frequencies; the composite recipe whose
  // "(0 K)" energy was read.
  bool ModesRecovered = false;
  bool GeometryStepJob = false;
  std::string CompositeMethod;
  // The multiplicity of the last charge line, and whether the lines read are
  // within a thermochemistry block (from its conditions line to the job's end).
  int Multiplicity = 0;
  bool InThermochemistry = false;
  bool NBOSeen = false;
  bool Stop = false;
  std::vector<std::string> GeometryRows;  // rows of the last complete standard-orientation table
  // Rows of the last complete input-orientation table, the geometry of a
  // file without a standard one; no longer read once a standard one was.
  std::vector<std::string> InputGeometryRows;

  // The next line becomes the current line; false (the current line kept)
  // when the input is at its end.
  bool NextLine();
  // Reads lines until one holds the marker; the current line is not tested.
  // False when the input or the job (its termination line) ends first.
  bool SkipToLineWith(std::string_view marker);
  // The same, but the current line is tested first.
  bool AwaitLineWith(std::string_view marker);
};

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

// The checks that live beside the energy and geometry checks of
// GaussianOutput.cpp. Each looks at the current line and acts only when it
// holds its marker.
using TGaussianCheck = void (*)(TGaussianPass& pass, TOutInfo& info);

// GaussianVibrations.cpp
void NoteRecoveredModes(TGaussianPass& pass, TOutInfo& info);
void ReadHarmonicFrequencies(TGaussianPass& pass, TOutInfo& info);
void ReadMolecularMass(TGaussianPass& pass, TOutInfo& info);
void ReadSymmetryNumber(TGaussianPass& pass, TOutInfo& info);
void ReadLinearRotorTemperature(TGaussianPass& pass, TOutInfo& info);
void ReadRotationalTemperatures(TGaussianPass& pass, TOutInfo& info);
void ReadThermochemistry(TGaussianPass& pass, TOutInfo& info);
void ReadMultiplicity(TGaussianPass& pass, TOutInfo& info);
void ReadThermochemistryConditions(TGaussianPass& pass, TOutInfo& info);
void ReadAtomMass(TGaussianPass& pass, TOutInfo& info);
void ReadRotationalConstants(TGaussianPass& pass, TOutInfo& info);
void ReadPrintedEnthalpy(TGaussianPass& pass, TOutInfo& info);
void ReadAnharmonicSection(TGaussianPass& pass, TOutInfo& info);
std::span<const std::string_view> VibrationMarkers();

// GaussianPopulation.cpp
void StartNBOAnalysis(TGaussianPass& pass, TOutInfo& info);
void ReadNaturalCharges(TGaussianPass& pass, TOutInfo& info);
void ReadSecondOrderTable(TGaussianPass& pass, TOutInfo& info);
void ReadMullikenCharges(TGaussianPass& pass, TOutInfo& info);
void ReadAPTCharges(TGaussianPass& pass, TOutInfo& info);
void ReadESPCharges(TGaussianPass& pass, TOutInfo& info);
std::span<const std::string_view> PopulationMarkers();

}  // namespace harvex
