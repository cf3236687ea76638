#include "CoordFiles/CoordFiles.h"

namespace harvex {

// Placeholders until the GJF and XYZ readers land.
void TCoordinateFile::ParseAtomLine(std::string_view) {}
void TCoordinateFile::ReadXyzFile(const std::string&) {}
void TCoordinateFile::ReadGjfFile(const std::string&) {}

}  // namespace harvex
