// harvex-batch: reports files as one confirmed choice of them in the window
// would, for servers and scripts. Memo lines go to standard output, message
// boxes and errors to standard error, rows to the results file.
#include <CLI/CLI.hpp>
#include <clocale>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "BatchEnsemble.h"
#include "BatchMessages.h"
#include "BatchThermo.h"
#include "ModelJson.h"
#include "PathCollection.h"
#include "Progress.h"
#include "TerminalDesktop.h"
#include "Unit1/Unit1.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

constexpr int ExitSuccess = 0;
constexpr int ExitProblem = 1;
constexpr int ExitUsage = 2;


struct TBatchOptions {
  std::string ResultsFile = ResultsFileName;
  bool Json = false;
  bool Quiet = false;
  TEnsembleOptions Ensemble;
  TThermoOptions Thermo;
  std::vector<std::string> Paths;
};

// Rows name full paths, so that a results file can be fed back as a list.
std::string AbsolutePath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

// With --thermo the object carries the recomputed values too.
void PrintJson(const std::string& path, const TCoordinateFile_cdf& file, TModelJson thermo) {
  TModelJson object = ModelToJson(path, file);
  if (!thermo.is_null()) object["Thermo"] = std::move(thermo);
  // Paths and labels are single-byte text; bytes that are no UTF-8 are replaced.
  std::cout << object.dump(-1, ' ', false, TModelJson::error_handler_t::replace) << '\n';
}

// Reports every path as a choice of that path alone in the window would: its
// folder becomes the current directory, against which the relative names
// inside a .cdf (or inside a .cdf a list names) resolve. An error ends only
// the path it arose in. Success means every path reported at least one file,
// every reported file gave a row and nothing went wrong: no error, no box,
// no warning line.
int RunBatch(const TBatchOptions& options) {
  TTerminalDesktop desktop(!options.Json);
  TDesktopScope scope(desktop);
  TResultsRun run;
  TBatchEnsemble ensemble(options.Ensemble, options.Json);
  TBatchThermo thermo(options.Thermo, options.Ensemble.Temperature, options.Json);
  if (thermo.Enabled()) ensemble.SetFreeEnergyName(thermo.RankingName());
  int reported = 0;
  run.SetReportedHook([&](const std::string& path, const TCoordinateFile_cdf& file) {
    ++reported;
    TModelJson recomputed = thermo.Add(path, file);
    if (options.Json) PrintJson(path, file, std::move(recomputed));
    if (!thermo.Enabled()) {
      ensemble.Add(path, file);
    } else {
      ensemble.Add(path, file, thermo.RankingEnergy(file, options.Ensemble.Temperature));
    }
  });

  // The paths are taken against the folder the batch started in, before any
  // path's folder becomes current.
  std::vector<std::string> arguments;
  for (const std::string& path : options.Paths) arguments.push_back(AbsolutePath(path));
  try {
    run.CreateResultsFile(options.ResultsFile, MainWindowCaption);
  } catch (...) {
    // As in the window: without a results file no path is reported.
    ShowBatchMessage(options.ResultsFile, CurrentExceptionMessage());
    return ExitProblem;
  }
  bool failed = false;
  const auto unreadable = [&](const std::string& folder, const std::string& reason) {
    ShowBatchMessage(folder, reason);
    failed = true;
  };
  const std::vector<std::string> paths = CollectPaths(arguments, unreadable);
  TProgress progress(paths.size(), !options.Quiet);
  for (const std::string& path : paths) {
    progress.Next(path);
    const int reportedBefore = reported;
    try {
      run.ReportChoice({path});
    } catch (...) {
      ShowBatchMessage(path, CurrentExceptionMessage());
      failed = true;
      continue;
    }
    if (reported == reportedBefore) {
      ShowBatchMessage(path, "the list names no file");
      failed = true;
    }
  }
  run.CloseResultsFile();
  failed |= !thermo.Finish();
  failed |= !ensemble.Finish();
  std::cout.flush();
  const bool everyFileHasRow = run.RowCount() == reported;
  const bool clean = !failed && desktop.MessageCount() == 0 && run.WarningCount() == 0 && everyFileHasRow;
  return clean ? ExitSuccess : ExitProblem;
}

}  // namespace
}  // namespace harvex

int main(int argc, char** argv) {
  using namespace harvex;
  std::setlocale(LC_ALL, "");

  TBatchOptions options;
  CLI::App app{
      "Reports the electronic energy, modes, Gibbs energy and BSSE data of Gaussian and ORCA outputs "
      "(.out or .log, or .zip holding one) and conformer descriptions (.cdf): memo lines on standard output, "
      "one tab-separated row per file in the results file. A .txt path is a list of paths, such as an "
      "earlier results file.",
      ProgramName};
  app.add_option("--results", options.ResultsFile, "Results file to create (truncated)")
      ->capture_default_str()
      ->type_name("FILE");
  app.add_flag("--json", options.Json, "Print one JSON object per reported file instead of the memo lines");
  app.add_flag("--quiet", options.Quiet, "Show no progress line on a terminal");
  AddEnsembleOptions(app, options.Ensemble);
  AddThermoOptions(app, options.Thermo);
  app.add_option("PATH", options.Paths, "Files to report, in order; a folder stands for the outputs in and below it")
      ->required();
  app.set_version_flag("--version", std::string(ProgramName) + " " + HARVEX_VERSION + " (" + MainWindowCaption + ")");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? ExitSuccess : ExitUsage;
  }
  try {
    return RunBatch(options);
  } catch (const std::exception& error) {
    std::cerr << ProgramName << ": " << error.what() << '\n';
    return ExitProblem;
  }
}
