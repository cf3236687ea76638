// Arbitrary bytes behind a Gaussian banner, written to a ".out" file and
// loaded as a report loads it, keeping the last and the first geometry; then
// the same bytes behind an ORCA banner. Conversion, list-index and
// input/output errors are the expected end of a bad file; anything else is a
// fault.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "CoordFiles/CoordFiles.h"
#include "rtl/RuntimeErrors.h"

namespace {

constexpr std::string_view GaussianBanner = " This is part of the Gaussian(R) 16 program.  It is based on\n";
constexpr std::string_view OrcaBanner = "                                 * O   R   C   A *\n";

void WriteOutput(const std::string& path, std::string_view banner, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(banner.data(), static_cast<std::streamsize>(banner.size()));
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void Load(const std::string& path, bool finalGeometry) {
  harvex::TCoordinateFile file;
  try {
    file.LoadFile(path, finalGeometry);
  } catch (const harvex::ERuntimeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("harvex-fuzz-output-" + std::to_string(::getpid()) + ".out"))
          .string();
  WriteOutput(path, GaussianBanner, data, size);
  Load(path, true);
  Load(path, false);
  WriteOutput(path, OrcaBanner, data, size);
  Load(path, true);
  std::filesystem::remove(path);
  return 0;
}
