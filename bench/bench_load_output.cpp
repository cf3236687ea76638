// Loads a Gaussian or ORCA output through LoadFile, as a report does, and
// prints the throughput, for comparing against grep over the reader's
// markers on the same cached file.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CoordFiles/CoordFiles.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.out\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const auto start = std::chrono::steady_clock::now();
  harvex::TCoordinateFile file;
  const bool loaded = file.LoadFile(path, true);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  const harvex::TOutInfo& info = file.Info;
  std::printf("loaded %d, E %.9f, %d modes, G %.6f, %d atoms; %.3f s, %.0f MB/s\n", loaded,
              info.Energy, info.Modes ? info.Modes->Count() : 0, info.GibbsEnergy, file.AtomCount(), seconds.count(),
              megabytes / seconds.count());
  return loaded ? 0 : 1;
}
