#include "CdfFiles/CdfFiles.h"

#include "rtl/Desktop.h"

namespace harvex {

// Placeholder until the conformer loader lands: every path loads as it is.
void TConfDescrFile::Load(const std::string& fileName) { FileName = fileName; }

void TConfDescrFile::ShowError(const std::string& message) {
  Desktop().ShowMessage("TConformerDescription Error", message);
}

bool TCoordinateFile_cdf::LoadConformer(const std::string& fileName, bool finalGeometry) {
  return LoadFile(fileName, finalGeometry);
}

}  // namespace harvex
