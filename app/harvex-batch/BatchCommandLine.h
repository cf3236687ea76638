// The command line of harvex-batch, in one place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "BatchEnsemble.h"
#include "BatchTable.h"
#include "BatchThermo.h"
#include "Unit1/Unit1.h"

namespace harvex {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitProblem = 1;
inline constexpr int ExitUsage = 2;

struct TBatchOptions {
  std::string ResultsFile = ResultsFileName;
  bool Json = false;
  bool Quiet = false;
  // Files loaded at once; 0 on the command line stands for the cores.
  std::size_t Jobs = 1;
  TEnsembleOptions Ensemble;
  TThermoOptions Thermo;
  TTableOptions Table;
  std::vector<std::string> Paths;
};

// Reads the arguments into Options. On --help or --version (printed on
// standard output) and on bad usage (the reason on standard error) the
// command ends: the exit status it ends with is given back.
std::optional<int> ParseBatchCommandLine(int argc, char** argv, TBatchOptions& options);

}  // namespace harvex
