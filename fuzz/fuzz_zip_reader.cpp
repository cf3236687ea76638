// Arbitrary bytes, held in memory, read through the line source as a load
// reads an archived output: as a ".zip" file (its first ".out" member) and as
// a ".out.gz" file (its gzip members), each line by line to its end, then the
// check values' verdict. Damaged data may show the readers' message boxes
// (the default desktop drops them); nothing may crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "CoordFiles/LineSource.h"
#include "rtl/Desktop.h"

namespace {

void ReadThroughLineSource(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const harvex::TLoadContext context =
      harvex::WithMemoryFile({}, name, std::string(reinterpret_cast<const char*>(data), size));
  harvex::TLineSource source(context);
  if (source.OpenSource(name)) {
    std::string line;
    while (!source.SourceAtEnd()) source.ReadSourceLine(line);
    source.CloseSource();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadThroughLineSource(data, size, "fuzz.zip");
  ReadThroughLineSource(data, size, "fuzz.out.gz");
  return 0;
}
