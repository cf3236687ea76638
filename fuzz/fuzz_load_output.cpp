// Arbitrary bytes behind a Gaussian banner, loaded from memory as a ".out"
// file the way a report loads it, keeping the last and the first geometry;
// then the same bytes behind an ORCA banner. Conversion, list-index and
// input/output errors are the expected end of a bad file; anything else is a
// fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CoordFiles/CoordFiles.h"
#include "rtl/RuntimeErrors.h"

namespace {

constexpr std::string_view GaussianBanner = " This is part of the Gaussian(R) 16 program.  It is based on\n";
constexpr std::string_view OrcaBanner = "                                 * O   R   C   A *\n";
constexpr const char* Name = "fuzz.out";

void Load(std::string_view banner, std::string_view bytes, bool finalGeometry) {
  harvex::TCoordinateFile file(harvex::WithMemoryFile({}, Name, std::string(banner) += bytes));
  try {
    file.LoadFile(Name, finalGeometry);
  } catch (const harvex::ERuntimeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Load(GaussianBanner, bytes, true);
  Load(GaussianBanner, bytes, false);
  Load(OrcaBanner, bytes, true);
  return 0;
}
