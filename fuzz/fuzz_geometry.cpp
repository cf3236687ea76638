// Arbitrary bytes loaded as an XYZ file, as a Gaussian input file and, behind
// an ORCA banner, as an ORCA output. Conversion and input/output errors are
// the expected end of a bad file; anything else is a fault.
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

constexpr std::string_view OrcaBanner = "                 * O   R   C   A *\n";

std::string ScratchPath(const char* extension) {
  return (std::filesystem::temp_directory_path() /
          ("harvex-fuzz-geometry-" + std::to_string(::getpid()) + extension))
      .string();
}

void Load(const char* extension, std::string_view prefix, std::string_view bytes) {
  const std::string path = ScratchPath(extension);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(prefix.data(), static_cast<std::streamsize>(prefix.size()));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  harvex::TCoordinateFile file;
  try {
    file.LoadFile(path, true);
  } catch (const harvex::ERuntimeError&) {
  }
  std::filesystem::remove(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Load(".xyz", {}, bytes);
  Load(".gjf", {}, bytes);
  Load(".out", OrcaBanner, bytes);
  return 0;
}
