// Arbitrary bytes read as a list file: every path it names must lie inside
// one line and hold no tab (it is empty when a tab stands before ":\").
// Input/output errors are the expected end of an unreadable file; anything
// else is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "Unit1/ListFile.h"
#include "rtl/RuntimeErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("harvex-fuzz-list-" + std::to_string(::getpid()) + ".txt")).string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    harvex::ForEachListedPath(path, std::nullopt, [](const std::string& listed) {
      if (listed.find_first_of("\t\n\r") != std::string::npos) std::abort();
    });
  } catch (const harvex::ERuntimeError&) {
  }
  std::filesystem::remove(path);
  return 0;
}
