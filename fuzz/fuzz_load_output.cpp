// Arbitrary bytes behind a Gaussian banner, written to a ".out" file and
// loaded as a report loads it, keeping the last and the first geometry.
// Conversion, list-index and input/output errors are the expected end of a
// bad file; anything else is a fault.
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
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(GaussianBanner.data(), static_cast<std::streamsize>(GaussianBanner.size()));
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Load(path, true);
  Load(path, false);
  std::filesystem::remove(path);
  return 0;
}
