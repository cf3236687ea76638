// The Gaussian reader's line filter on a file: how many lines pass it, and
// how many of those hold no marker (a pass that runs no check). With
// --markers, prints the reader's markers one a line, for timing grep over
// the same texts.
#include <cstdio>
#include <cstring>
#include <string>

#include "CoordFiles/GaussianPass.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--markers") == 0) {
    for (const harvex::TGaussianRow& row : harvex::GaussianRows()) std::printf("%.*s\n", static_cast<int>(row.Marker.size()), row.Marker.data());
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.out | --markers\n", argv[0]);
    return 2;
  }
  const auto& registry = harvex::GaussianRegistry();
  harvex::TPlainTextFile file;
  if (!file.Open(argv[1])) return 1;
  std::string line;
  long lines = 0, passed = 0, fed = 0;
  while (!file.AtEnd()) {
    file.ReadLine(line);
    ++lines;
    if (registry.Candidates(line) == 0) continue;
    ++passed;
    if (registry.ChecksFor(line) != 0) ++fed;
  }
  std::printf("%ld lines, %ld pass the filter, %ld of them hold no marker (%.1f %%)\n", lines, passed, passed - fed,
              passed > 0 ? 100.0 * static_cast<double>(passed - fed) / static_cast<double>(passed) : 0.0);
  return 0;
}
