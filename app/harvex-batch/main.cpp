// harvex-batch: reports files as one confirmed choice of them in the window
// would, for servers and scripts. Memo lines go to standard output, message
// boxes and errors to standard error, rows to the results file.
#include <CLI/CLI.hpp>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "BatchEnsemble.h"
#include "BatchMessages.h"
#include "ModelJson.h"
#include "PathCollection.h"
#include "Progress.h"
#include "TerminalDesktop.h"
#include "Unit1/Unit1.h"
#include "rtl/EndSignals.h"
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
  std::vector<std::string> Paths;
};

// Rows name full paths, so that a results file can be fed back as a list.
std::string AbsolutePath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

void PrintJson(const std::string& path, const TCoordinateFile_cdf& file) {
  // Paths and labels are single-byte text; bytes that are no UTF-8 are replaced.
  std::cout << ModelToJson(path, file).dump(-1, ' ', false, TModelJson::error_handler_t::replace) << '\n';
}

// Reports each path as a choice of it alone; false when any failed or named
// no file. Stops at an end signal, and when the results file stops taking
// rows.
bool ReportEachPath(TResultsRun& run, const std::vector<std::string>& paths, const int& reported, bool showProgress) {
  bool failed = false;
  TProgress progress(paths.size(), showProgress);
  for (const std::string& path : paths) {
    if (EndSignal() != 0) break;
    progress.Next(path);
    const int reportedBefore = reported;
    try {
      run.ReportChoice({path});
    } catch (const TEndRequested&) {
      break;
    } catch (const EResultsWriteError& error) {
      // No later row could be written either.
      ShowBatchMessage(error.what());
      failed = true;
      break;
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
  return !failed;
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
  int reported = 0;
  run.SetReportedHook([&](const std::string& path, const TCoordinateFile_cdf& file) {
    ++reported;
    if (options.Json) PrintJson(path, file);
    ensemble.Add(path, file);
  });

  // The paths are taken against the folder the batch started in, before any
  // path's folder becomes current.
  std::vector<std::string> arguments;
  for (const std::string& path : options.Paths) arguments.push_back(AbsolutePath(path));
  try {
    run.CreateResultsFile(options.ResultsFile, MainWindowCaption);
  } catch (const EResultsWriteError& error) {
    ShowBatchMessage(error.what());
    return ExitProblem;
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
  failed |= !ReportEachPath(run, paths, reported, !options.Quiet);
  run.CloseResultsFile();
  std::cout.flush();
  // A run cut short by a signal ends by it, without an ensemble of part of
  // its files.
  EndByCaughtSignal();
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
  // A reader that closes standard output early ends the run as it ends any
  // filter, even when the caller ignored the signal; every row written so
  // far is complete in the results file.
  std::signal(SIGPIPE, SIG_DFL);
  CatchEndSignals();

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
