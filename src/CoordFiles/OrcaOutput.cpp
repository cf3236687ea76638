// The ORCA output reader: the last Cartesian geometry in angstrom and the last
// final single-point energy. Nothing else of an ORCA output is read.
#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

// ---------------------------------
// CARTESIAN COORDINATES (ANGSTROEM)
// ---------------------------------
//   O      1.784914    1.262422    0.511985
//   H      2.648237    1.072929    0.131631
// (empty line)
// The block titled "CARTESIAN COORDINATES (A.U.)" does not hold this marker.
constexpr std::string_view GeometryMarker = "CARTESIAN COORDINATES (ANGSTROEM)";

// FINAL SINGLE POINT ENERGY       -76.328211149543
constexpr std::string_view EnergyMarker = "FINAL SINGLE POINT ENERGY";

}  // namespace

bool TCoordinateFile::ReadOrcaOutput(const std::string& fileName) {
  TLineSource source;
  if (!source.OpenSource(fileName)) return false;
  ResetOutInfo();
  std::string line;
  while (!source.SourceAtEnd()) {
    source.ReadSourceLine(line);
    if (line.find(GeometryMarker) != std::string::npos) {
      std::string underline;
      source.ReadSourceLine(underline);
      Atoms.ClearAtoms();
      // Each block replaces the atoms, so an optimisation keeps its last one.
      // The line that ends the block stays current and is checked for the
      // energy marker below.
      while (!source.SourceAtEnd()) {
        source.ReadSourceLine(line);
        if (line.empty()) break;
        ParseAtomLine(line);
      }
    }
    if (const std::size_t marker = line.find(EnergyMarker); marker != std::string::npos) {
      Info.EnergyLabel.clear();
      int cursor = static_cast<int>(marker + EnergyMarker.size()) + 1;
      SkipBlanks(line, cursor);
      Info.Energy = ReadDouble(line, cursor);
      Info.EnergyRead = true;
    }
  }
  source.CloseSource();
  return true;
}

}  // namespace harvex
