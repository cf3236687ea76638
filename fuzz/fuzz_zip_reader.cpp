// Arbitrary bytes read through the line source as a load reads an archived
// output: as a ".zip" file (its first ".out" member) and as a ".out.gz" file
// (its gzip members), each line by line to its end, then the check values'
// verdict. Damaged data may show the readers' message boxes (the default
// desktop drops them); nothing may crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "CoordFiles/LineSource.h"

namespace {

void ReadThroughLineSource(const std::uint8_t* data, std::size_t size, const std::string& extension) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("harvex-fuzz-archive-" + std::to_string(::getpid()) + extension))
                               .string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  harvex::TLineSource source;
  if (source.OpenSource(path)) {
    std::string line;
    while (!source.SourceAtEnd()) source.ReadSourceLine(line);
    source.CloseSource();
  }
  std::filesystem::remove(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadThroughLineSource(data, size, ".zip");
  ReadThroughLineSource(data, size, ".out.gz");
  return 0;
}
