// Arbitrary bytes loaded from memory as an XYZ file, as a Gaussian input file
// and, behind an ORCA banner, as an ORCA output. Conversion and input/output
// errors are the expected end of a bad file; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CoordFiles/CoordFiles.h"
#include "rtl/RuntimeErrors.h"

namespace {

constexpr std::string_view OrcaBanner = "                 * O   R   C   A *\n";

void Load(const std::string& name, std::string_view prefix, std::string_view bytes) {
  harvex::TCoordinateFile file(harvex::WithMemoryFile({}, name, std::string(prefix) += bytes));
  try {
    file.LoadFile(name, true);
  } catch (const harvex::ERuntimeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Load("fuzz.xyz", {}, bytes);
  Load("fuzz.gjf", {}, bytes);
  Load("fuzz.out", OrcaBanner, bytes);
  return 0;
}
