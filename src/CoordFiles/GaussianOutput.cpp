// The Gaussian output reader: one forward pass over the lines, each line
// looked at by a fixed series of checks. This file holds the pass, the
// checks for energies, counterpoise fragments, the dipole and the geometry,
// and the order of all checks.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "CoordFiles/GaussianPass.h"
#include "rtl/Desktop.h"

namespace harvex {

bool TGaussianPass::NextLine() {
  if (Source.SourceAtEnd()) return false;
  Source.ReadSourceLine(Line);
  return true;
}

bool TGaussianPass::SkipToLineWith(std::string_view marker) {
  while (NextLine())
    if (Contains(Line, marker)) return true;
  return false;
}

bool TGaussianPass::AwaitLineWith(std::string_view marker) {
  return Contains(Line, marker) || SkipToLineWith(marker);
}

namespace {

// Counterpoise runs compute the complex, then each fragment in the basis of
// the complex (DCBS) and in its own basis (MCBS):
//  Counterpoise: doing DCBS calculation for fragment   1 NewBq=T
//  Counterpoise: doing MCBS calculation for fragment   2
//  Counterpoise: corrected energy =   -4670.408589411856
constexpr std::string_view MCBSFragmentMarker = "Counterpoise: doing MCBS calculation for fragment";
constexpr std::string_view DCBSFragmentMarker = "Counterpoise: doing DCBS calculation for fragment";
constexpr std::string_view CorrectedEnergyMarker = "Counterpoise: corrected energy";
constexpr std::array CounterpoiseMarkers = {MCBSFragmentMarker, DCBSFragmentMarker, CorrectedEnergyMarker};

// The energy in force when the next counterpoise line comes is the last one
// of the pending fragment's calculation. Fragment 1 starts a new series, so
// a counterpoise optimisation keeps the sums of its last series.
void FoldInto(int& pendingFragment, std::int32_t& count, long double& sum, double energy) {
  if (pendingFragment == 1) {
    count = 0;
    sum = 0;
  }
  if (pendingFragment != 0) {
    ++count;
    sum += energy;
  }
  pendingFragment = 0;
}

void FoldFragmentEnergy(TGaussianPass& pass, TOutInfo& info) {
  if (!ContainsAny(pass.Line, CounterpoiseMarkers)) return;
  if (!info.HasCounterpoise || (pass.PendingMCBSFragment == 0 && pass.PendingDCBSFragment == 0)) return;
  FoldInto(pass.PendingMCBSFragment, info.MCBSCount, info.MCBSSum, info.Energy);
  FoldInto(pass.PendingDCBSFragment, info.DCBSCount, info.DCBSSum, info.Energy);
}

void ReadCorrectedEnergy(TGaussianPass& pass, TOutInfo& info) {
  const int position = PositionOf(pass.Line, CorrectedEnergyMarker);
  if (position == 0) return;
  int cursor = position + 30;
  SkipBlanks(pass.Line, cursor);
  ReadChar(pass.Line, cursor);  // "="
  SkipBlanks(pass.Line, cursor);
  info.Energy = ReadDouble(pass.Line, cursor);
  info.EnergyRead = true;
  info.EnergyLabel = CorrectedEnergyMarker;
}

// The number of the fragment whose calculation this line opens.
void ReadFragmentStart(TGaussianPass& pass, TOutInfo& info, std::string_view marker, int& pendingFragment) {
  const int position = PositionOf(pass.Line, marker);
  if (position == 0) return;
  int cursor = position + 49;
  SkipBlanks(pass.Line, cursor);
  pendingFragment = ReadInt(pass.Line, cursor);
  info.HasCounterpoise = true;
}

void ReadMCBSFragmentStart(TGaussianPass& pass, TOutInfo& info) {
  ReadFragmentStart(pass, info, MCBSFragmentMarker, pass.PendingMCBSFragment);
}

void ReadDCBSFragmentStart(TGaussianPass& pass, TOutInfo& info) {
  ReadFragmentStart(pass, info, DCBSFragmentMarker, pass.PendingDCBSFragment);
}

// The label is the method tag from its parenthesis on, so that a leading E
// rebuilds E(RB3LYP):
//  SCF Done:  E(RB3LYP) =  -382.294279146     A.U. after   12 cycles
//  SCF Done:  E(UHF) =  -37.5803405847     A.U. after    9 cycles
constexpr std::string_view SCFDoneMarker = "SCF Done:";
constexpr std::string_view MethodTagStart = "E(";

void ReadSCFEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  if (!Contains(line, SCFDoneMarker)) return;
  const std::size_t tag = line.find(MethodTagStart);
  const std::size_t close = line.find(')');
  const std::size_t start = tag == std::string_view::npos ? 0 : tag + 1;
  if (close != std::string_view::npos && close >= start) {
    info.EnergyLabel = line.substr(start, close - start + 1);
  } else {
    info.EnergyLabel.clear();
  }
  int cursor = CursorAfter(line, '=');
  SkipBlanks(line, cursor);
  info.Energy = ReadDouble(line, cursor);
  info.EnergyRead = true;
}

// Printed after the SCF energy of an MP2 run, with a Fortran exponent and,
// in some steps, no blank before the "=":
//  E2 =    -0.3795333610D-01 EUMP2 =    -0.75002282127454D+02
//  E2=       -0.8292409265D+00 EUMP2=       -0.26997188088328D+03
constexpr std::string_view MP2EnergyMarker = "EUMP2";

void ReadMP2Energy(TGaussianPass& pass, TOutInfo& info) {
  const std::size_t at = pass.Line.find(MP2EnergyMarker);
  if (at == std::string::npos || pass.Line.find('=') == std::string::npos) return;
  std::string tail = pass.Line.substr(at);
  int cursor = CursorAfter(tail, '=');
  SkipBlanks(tail, cursor);
  if (const std::size_t exponent = tail.find('D'); exponent != std::string::npos) tail[exponent] = 'E';
  info.Energy = ReadDouble(tail, cursor);
  info.EnergyRead = true;
  info.EnergyLabel = MP2EnergyMarker;
}

//  Dipole moment (field-independent basis, Debye):
//     X=             -0.0000    Y=              0.0000    Z=             -1.6735  Tot=              1.6735
constexpr std::string_view DipoleMarker = "Dipole moment (field-independent basis, Debye):";

void ReadDipoleMoment(TGaussianPass& pass, TOutInfo& info) {
  if (!Contains(pass.Line, DipoleMarker) || !pass.NextLine()) return;
  info.HasDipole = true;
  int cursor = 1;
  for (long double& component : info.Dipole) {
    SkipBlanks(pass.Line, cursor);
    cursor += 2;  // the axis tag and its "="
    SkipBlanks(pass.Line, cursor);
    component = ReadReal(pass.Line, cursor);
  }
}

// Only the table under "Standard orientation:" is read; it fires on the rule
// right under that title. Each complete table replaces the rows of the one
// before; one cut off by the end of the input does not count.
//                          Standard orientation:
//  ---------------------------------------------------------------------
//  Center     Atomic      Atomic             Coordinates (Angstroms)
//  Number     Number       Type             X           Y           Z
//  ---------------------------------------------------------------------
//       1          6           0        1.205666    0.676891   -0.000000
//  ---------------------------------------------------------------------
constexpr std::string_view OrientationRule = "---------------------------------------------------------------------";
constexpr std::string_view StandardOrientationMarker = "Standard orientation:";
constexpr int OrientationHeaderLines = 3;

void ReadStandardOrientation(TGaussianPass& pass, TOutInfo&) {
  if (!Contains(pass.Line, OrientationRule) || !Contains(pass.PreviousLine, StandardOrientationMarker)) return;
  for (int header = 0; header < OrientationHeaderLines; ++header)
    if (!pass.NextLine()) return;
  std::vector<std::string> rows;
  for (;;) {
    if (!pass.NextLine()) return;
    if (Contains(pass.Line, OrientationRule)) break;
    rows.push_back(pass.Line);
  }
  pass.GeometryRows = std::move(rows);
  if (!pass.FinalGeometry) pass.Stop = true;
}

// A row of the orientation table: center number, atomic number, atomic type,
// x, y, z in angstrom. An atomic number the element table lacks is shown and
// the atom kept without an element.
void AddAtomFromRow(std::string_view row, TAtomicArray& atoms) {
  int cursor = 1;
  SkipBlanks(row, cursor);
  ReadInt(row, cursor);  // center number
  SkipBlanks(row, cursor);
  const std::int32_t atomicNumber = ReadInt(row, cursor);
  TAtom& atom = atoms.AddAtom();
  const int element = ElementByNumber(atomicNumber);
  if (element == 0) {
    Desktop().ShowMessage("Error", "Unknown atom! (z=" + std::to_string(atomicNumber) + ")");
  } else {
    atom.Element = element;
    atom.Symbol = AtomProps[static_cast<std::size_t>(element)].Symbol;
  }
  SkipBlanks(row, cursor);
  ReadInt(row, cursor);  // atomic type
  for (double* coordinate : {&atom.X, &atom.Y, &atom.Z}) {
    SkipBlanks(row, cursor);
    *coordinate = ReadDouble(row, cursor);
  }
}

// A row that does not convert leaves no half-built geometry behind.
void BuildAtoms(const std::vector<std::string>& rows, TAtomicArray& atoms) {
  atoms.ClearAtoms();
  try {
    for (const std::string& row : rows) AddAtomFromRow(row, atoms);
  } catch (...) {
    atoms.ClearAtoms();
    throw;
  }
}

// Every check of the pass, in the order applied to each line.
constexpr std::array<TGaussianCheck, 21> GaussianChecks = {
    FoldFragmentEnergy,      ReadCorrectedEnergy,     ReadMCBSFragmentStart,      ReadDCBSFragmentStart,
    ReadSCFEnergy,           ReadMP2Energy,           ReadDipoleMoment,           ReadHarmonicFrequencies,
    ReadMolecularMass,       ReadSymmetryNumber,      ReadLinearRotorTemperature, ReadRotationalTemperatures,
    ReadThermochemistry,     ReadStandardOrientation, ReadAnharmonicSection,      StartNBOAnalysis,
    ReadNaturalCharges,      ReadSecondOrderTable,    ReadMullikenCharges,        ReadAPTCharges,
    ReadESPCharges,
};

constexpr std::array EnergyAndGeometryMarkers = {
    MCBSFragmentMarker, DCBSFragmentMarker, CorrectedEnergyMarker, SCFDoneMarker,
    MP2EnergyMarker,    DipoleMarker,       OrientationRule,
};

// Every check fires only on a line that holds one of its markers, so a line
// that can hold none is passed over without running the checks. Every
// marker is at least five bytes long, so wherever one stands, the four
// bytes at an even position hold either its bytes 0-3 or its bytes 1-4. One
// pass over the even positions of the line tests the four bytes there
// against a hashed bit table of those openings; most lines of an output
// (numbers, blanks, other text) fail at every position.
class TMarkerOpenings {
 public:
  TMarkerOpenings() {
    for (std::span<const std::string_view> markers :
         {std::span<const std::string_view>(EnergyAndGeometryMarkers), VibrationMarkers(), PopulationMarkers()}) {
      for (std::string_view marker : markers) {
        if (marker.size() < MinimumMarkerLength) throw std::logic_error("marker too short for the line filter");
        for (std::size_t offset = 0; offset < Stride; ++offset) Set(QuadBucket(marker.data() + offset));
      }
    }
  }

  bool MayHoldMarker(std::string_view line) const {
    const char* const text = line.data();
    for (std::size_t i = 0; i + sizeof(std::uint32_t) <= line.size(); i += Stride)
      if (Test(QuadBucket(text + i))) return true;
    return false;
  }

 private:
  static constexpr std::size_t Stride = 2;
  static constexpr std::size_t MinimumMarkerLength = Stride + sizeof(std::uint32_t) - 1;

  static unsigned QuadBucket(const char* text) {
    std::uint32_t quad = 0;
    std::memcpy(&quad, text, sizeof quad);
    return (quad * 2654435761u) >> 16;
  }
  void Set(unsigned bucket) { Buckets[bucket / 64] |= std::uint64_t{1} << (bucket % 64); }
  bool Test(unsigned bucket) const { return (Buckets[bucket / 64] >> (bucket % 64)) & 1u; }

  std::array<std::uint64_t, 65536 / 64> Buckets{};
};

}  // namespace

bool TCoordinateFile::ParseGaussianOutput(const std::string& fileName, bool finalGeometry) {
  static const TMarkerOpenings markerOpenings;
  TLineSource source;
  if (!source.OpenSource(fileName)) {
    ShowError("Can not open file " + fileName);
    return false;
  }
  ResetOutInfo();
  Info.GeometryState = 2;
  TGaussianPass pass(source, finalGeometry);
  while (!pass.Stop && !source.SourceAtEnd()) {
    source.ReadSourceLine(pass.Line);
    if (markerOpenings.MayHoldMarker(pass.Line))
      for (TGaussianCheck check : GaussianChecks) check(pass, Info);
    std::swap(pass.Line, pass.PreviousLine);
  }
  if (!source.CloseSource()) ShowError("WARNING: there was an error reading " + fileName);
  BuildAtoms(pass.GeometryRows, Atoms);
  if (pass.GeometryRows.empty()) return false;
  Info.GeometryState = finalGeometry ? 1 : 0;
  FileName = fileName;
  return true;
}

}  // namespace harvex
