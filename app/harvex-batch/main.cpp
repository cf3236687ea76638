// harvex-batch: reports files as one confirmed choice of them in the window
// would, for servers and scripts. Memo lines go to standard output, message
// boxes and errors to standard error, rows to the results file.
#include <clocale>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "BatchCommandLine.h"
#include "BatchEnsemble.h"
#include "BatchMessages.h"
#include "BatchThermo.h"
#include "ModelJson.h"
#include "PathCollection.h"
#include "Progress.h"
#include "TerminalDesktop.h"
#include "Unit1/Unit1.h"
#include "rtl/EndSignals.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

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
  // A run cut short by a signal ends by it, without a thermochemistry table
  // or an ensemble of part of its files.
  EndByCaughtSignal();
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
  // A reader that closes standard output early ends the run as it ends any
  // filter, even when the caller ignored the signal; every row written so
  // far is complete in the results file.
  std::signal(SIGPIPE, SIG_DFL);
  CatchEndSignals();

  TBatchOptions options;
  if (const std::optional<int> status = ParseBatchCommandLine(argc, argv, options)) return *status;
  try {
    return RunBatch(options);
  } catch (const std::exception& error) {
    std::cerr << ProgramName << ": " << error.what() << '\n';
    return ExitProblem;
  }
}
