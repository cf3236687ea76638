// The Gaussian reader's line filter, measured:
//   bench_marker_filter FILE             how many lines pass the filter, and
//                                        how many of those hold no marker
//   bench_marker_filter --markers [orca] the Gaussian (or ORCA) reader's
//                                        markers, one a line, each once (for
//                                        timing grep over the same texts)
//   bench_marker_filter --windows FILE...
//                                        for each marker text read from
//                                        standard input, its five-byte window
//                                        whose two quads the lines of the
//                                        files hold least often
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unordered_map>

#include "CoordFiles/GaussianPass.h"

namespace {

using TQuadCounts = std::unordered_map<std::string, long>;

void CountQuads(const char* fileName, TQuadCounts& counts) {
  harvex::TPlainTextFile file;
  if (!file.Open(fileName)) return;
  std::string line;
  while (!file.AtEnd()) {
    file.ReadLine(line);
    for (std::size_t i = 0; i + 4 <= line.size(); i += 2) ++counts[line.substr(i, 4)];
  }
}

int PrintWindows(int fileCount, char** fileNames) {
  TQuadCounts counts;
  for (int i = 0; i < fileCount; ++i) CountQuads(fileNames[i], counts);
  auto seen = [&counts](const std::string& quad) {
    const auto found = counts.find(quad);
    return found == counts.end() ? 0L : found->second;
  };
  std::string marker;
  while (std::getline(std::cin, marker)) {
    if (marker.size() < 5) continue;
    std::size_t best = 0;
    long bestCount = -1;
    for (std::size_t k = 0; k + 5 <= marker.size(); ++k) {
      const long count = seen(marker.substr(k, 4)) + seen(marker.substr(k + 1, 4));
      if (bestCount < 0 || count < bestCount) {
        best = k;
        bestCount = count;
      }
    }
    std::printf("\"%s\"  \"%s\"  %ld\n", marker.c_str(), marker.substr(best, 5).c_str(), bestCount);
  }
  return 0;
}

int PrintMarkers(bool orca) {
  std::vector<std::string_view> printed;
  for (std::string_view marker : orca ? harvex::OrcaMarkers() : harvex::GaussianMarkers()) {
    if (std::find(printed.begin(), printed.end(), marker) != printed.end()) continue;
    printed.push_back(marker);
    std::printf("%.*s\n", static_cast<int>(marker.size()), marker.data());
  }
  return 0;
}

int PrintFilterShare(const char* fileName) {
  const auto& registry = harvex::GaussianRegistry();
  harvex::TPlainTextFile file;
  if (!file.Open(fileName)) return 1;
  std::string line;
  long lines = 0, passed = 0, fed = 0;
  while (!file.AtEnd()) {
    file.ReadLine(line);
    ++lines;
    if (registry.Candidates(line) == 0) continue;
    ++passed;
    if (registry.ChecksFor(line) != 0) ++fed;
  }
  std::printf("%ld lines, %ld pass the filter, %ld of them hold no marker (%.2f %%)\n", lines, passed, passed - fed,
              passed > 0 ? 100.0 * static_cast<double>(passed - fed) / static_cast<double>(passed) : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--markers") == 0)
    return PrintMarkers(argc == 3 && std::strcmp(argv[2], "orca") == 0);
  if (argc >= 3 && std::strcmp(argv[1], "--windows") == 0) return PrintWindows(argc - 2, argv + 2);
  if (argc == 2) return PrintFilterShare(argv[1]);
  std::fprintf(stderr, "usage: %s FILE.out | --markers [orca] | --windows FILE... < MARKERS\n", argv[0]);
  return 2;
}
