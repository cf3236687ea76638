// Reads a file line by line through the line source and prints the
// throughput, for comparing against `wc -l` on the same cached file.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CoordFiles/LineSource.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const auto start = std::chrono::steady_clock::now();
  harvex::TLineSource source;
  if (!source.OpenSource(path)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  std::string line;
  std::size_t lines = 0;
  std::size_t textBytes = 0;
  while (!source.SourceAtEnd()) {
    source.ReadSourceLine(line);
    ++lines;
    textBytes += line.size();
  }
  source.CloseSource();
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::printf("line source: %zu lines, %zu text bytes, %.3f s, %.0f MB/s\n", lines, textBytes,
              seconds.count(), megabytes / seconds.count());
  return 0;
}
