// Arbitrary bytes read as a ".zip" file through the line source, as a load
// reads an archived output: the first ".out" member line by line to its end,
// then its CRC-32 verdict. Damaged data may show the reader's message box
// (the default desktop drops it); nothing may crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "CoordFiles/LineSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("harvex-fuzz-zip-" + std::to_string(::getpid()) + ".zip"))
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
  return 0;
}
