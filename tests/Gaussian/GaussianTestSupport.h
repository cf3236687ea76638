// What the Gaussian reader tests share: fixture texts become ".out" files
// behind a Gaussian banner, held in memory, and are loaded as a report loads
// them, with a desktop that records the message boxes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "CoordFiles/CoordFiles.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex::testing {

// The banner line by which the loader hands a file to the Gaussian reader.
constexpr std::string_view GaussianBanner = " This is part of the Gaussian(R) 16 program.  It is based on\n";

// A "Standard orientation:" table around the given rows.
inline std::string StandardOrientation(std::string_view rows) {
  return std::string(R"(                         Standard orientation:
 ---------------------------------------------------------------------
 Center     Atomic      Atomic             Coordinates (Angstroms)
 Number     Number       Type             X           Y           Z
 ---------------------------------------------------------------------
)") + std::string(rows) +
         " ---------------------------------------------------------------------\n";
}

// An "Input orientation:" table around the given rows.
inline std::string InputOrientation(std::string_view rows) {
  std::string table = StandardOrientation(rows);
  return table.replace(table.find("Standard"), 8, "Input");
}

class GaussianReaderTest : public ::testing::Test {
 protected:
  // Loads the banner and the text as the file "job.out".
  bool Load(std::string_view text, bool finalGeometry = true) {
    File.Context = WithMemoryFile(File.Context, "job.out", std::string(GaussianBanner) + std::string(text));
    return File.LoadFile("job.out", finalGeometry);
  }
  // Loads the text into an object of its own, for table rows that must not
  // see each other's values.
  std::unique_ptr<TCoordinateFile> LoadFresh(std::string_view text) {
    auto file = std::make_unique<TCoordinateFile>(
        WithMemoryFile(Desktop, "fresh.out", std::string(GaussianBanner) + std::string(text)));
    file->LoadFile("fresh.out", true);
    return file;
  }
  const TOutInfo& Info() const { return File.Info; }
  const TOscModes& Modes() const { return *File.Info.Modes; }

  TRecordingDesktop Desktop;
  TTempDir Folder;
  TCoordinateFile File{Desktop};
};

}  // namespace harvex::testing
