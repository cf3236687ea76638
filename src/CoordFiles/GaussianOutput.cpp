#include "CoordFiles/CoordFiles.h"

namespace harvex {

// Placeholder until the Gaussian reader lands.
bool TCoordinateFile::ParseGaussianOutput(const std::string&, bool) { return false; }

}  // namespace harvex
