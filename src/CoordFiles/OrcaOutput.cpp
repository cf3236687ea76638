#include "CoordFiles/CoordFiles.h"

namespace harvex {

// Placeholder until the ORCA reader lands.
bool TCoordinateFile::ReadOrcaOutput(const std::string&) { return false; }

}  // namespace harvex
