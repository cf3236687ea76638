// harvex-batch: reports files as one confirmed choice of them in the window
// would, for servers and scripts. Memo lines go to standard output, message
// boxes and errors to standard error, rows to the results file.
#include <clocale>
#include <csignal>
#include <exception>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "BatchCheck.h"
#include "BatchCommandLine.h"
#include "BatchEnsemble.h"
#include "BatchMessages.h"
#include "BatchTable.h"
#include "BatchThermo.h"
#include "Destinations.h"
#include "FileStatus/StatusSummary.h"
#include "FolderWalk/PathCollection.h"
#include "ModelJson/ModelJson.h"
#include "ParallelLoad/BatchLoader.h"
#include "Progress.h"
#include "ReportedValues/ReportedValues.h"
#include "TerminalDesktop.h"
#include "Unit1/Unit1.h"
#include "rtl/EndSignals.h"
#include "rtl/RuntimeErrors.h"
#include "rtl/StandardHandles.h"

namespace harvex {
namespace {

// Takes a file or list that gave no report, and why.
using TUnreadable = std::function<void(const std::string& path, const std::string& reason)>;

// Reports each path as a choice of it alone; false when any failed or named
// no file. Stops at an end signal, and when the results file stops taking
// rows. An error ends only the choice it arose in; the file it arose in, or
// the list that named none, goes to the summary as unreadable.
bool ReportEachPath(TResultsRun& run, TDesktop& desktop, const std::vector<std::string>& paths,
                    const TBatchOptions& options, const int& reported, const TUnreadable& unreadable) {
  std::vector<TLoadItem> items;
  const std::vector<TBatchChoice> choices = PlanChoices(paths, run.ResultsIdentity(), items);
  TBatchLoader loader(items, options.Jobs);
  if (loader.StartedWorkers() < loader.WantedWorkers())
    ShowBatchMessage("--jobs " + std::to_string(options.Jobs) + ": " + std::to_string(loader.StartedWorkers()) +
                     " of " + std::to_string(loader.WantedWorkers()) + " loading threads could start (" +
                     loader.StartFailure() + "); the batch goes on with " +
                     (loader.StartedWorkers() > 0 ? "those" : "its own thread"));
  bool failed = false;
  TProgress progress(paths.size(), !options.Quiet);
  for (const TBatchChoice& choice : choices) {
    if (EndSignal() != 0) break;
    progress.Next(choice.Path);
    const int reportedBefore = reported;
    // The file being reported, or the list once its files are.
    std::string current;
    int reportedBeforeCurrent = reported;
    try {
      for (std::size_t item = choice.FirstItem; item < choice.FirstItem + choice.ItemCount; ++item) {
        current = items[item].Path;
        reportedBeforeCurrent = reported;
        ReportLoaded(run, desktop, current, loader.Take(item));
      }
      current = choice.Path;
      reportedBeforeCurrent = reported;
      if (choice.ListError) std::rethrow_exception(choice.ListError);
    } catch (const TEndRequested&) {
      break;
    } catch (const EResultsWriteError& error) {
      // No later row could be written either.
      ShowBatchMessage(error.what());
      failed = true;
      break;
    } catch (...) {
      const std::string message = CurrentExceptionMessage();
      ShowBatchMessage(choice.Path, message);
      if (reported == reportedBeforeCurrent) unreadable(current, message);
      failed = true;
      continue;
    }
    if (reported == reportedBefore) {
      ShowBatchMessage(choice.Path, "the list names no file");
      unreadable(choice.Path, "the list names no file");
      failed = true;
    }
  }
  return !failed;
}

// The files the run would write; "-" for a table stands for standard output.
std::vector<TDestination> Destinations(const TBatchOptions& options) {
  std::vector<TDestination> destinations = {{"results file", options.ResultsFile}};
  const auto addTable = [&](const char* role, const std::string& path) {
    if (!path.empty() && path != "-") destinations.push_back({role, path});
  };
  addTable("study table", options.Table.Destination);
  addTable("ensemble table", options.Ensemble.Destination);
  addTable("thermochemistry table", options.Thermo.Destination);
  addTable("check findings", options.Check.Destination);
  return destinations;
}

// Reports every path as a choice of that path alone in the window would: the
// relative names inside a .cdf (or inside a .cdf a list names) resolve
// against its folder. Success means every path reported at least one file,
// every reported file gave a row and nothing went wrong: no error, no box,
// no warning line.
int RunBatch(const TBatchOptions& options) {
  TBatchEnsemble ensemble(options.Ensemble, options.Thermo.Conditions, options.Json);
  TBatchThermo thermo(options.Thermo, options.Ensemble.Temperature, options.Json);
  TBatchStudyTable table(options.Table, thermo.Enabled() ? std::optional(thermo.RankingConditions()) : std::nullopt);
  TBatchCheck check(options.Check, !options.Ensemble.Destination.empty());
  TTerminalDesktop desktop(!options.Json && !table.ReplacesMemo());
  TResultsRun run(desktop);
  const TShownPaths shown(options.Paths);
  int reported = 0;
  TStatusSummary summary;
  run.SetReportedHook([&](const std::string& path, const TCoordinateFile_cdf& file) {
    ++reported;
    const std::string shownPath = shown(path);
    TStudyFacts facts = StudyFactsOf(shownPath, file);
    TStudyRow row = StudyRowOf(facts, file, desktop.TakeMessages());
    summary.Add(shownPath, row.Status);
    TThermoRows recomputed = thermo.Add(shownPath, file);
    TModelJson findings = check.Add(std::move(facts), row.Findings);
    if (options.Json) WriteModelJson(std::cout, path, file, std::move(recomputed.Json), std::move(findings));
    SetRecomputedFreeEnergy(row, file, recomputed.RankingEnergy);
    table.Add(std::move(row));
    if (!thermo.Enabled()) {
      ensemble.Add(shownPath, file);
    } else {
      ensemble.Add(shownPath, file, recomputed.RankingEnergy);
    }
  });
  const TUnreadable unreadable = [&](const std::string& path, const std::string& reason) {
    desktop.TakeMessages();
    TStudyRow row;
    row.Path = shown(path);
    row.Status = {TFileStatus::Unreadable, reason};
    row.Warnings = {reason};
    summary.Add(row.Path, row.Status);
    table.Add(std::move(row));
  };

  // The paths are taken against the folder the batch started in.
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
  const auto unreadableFolder = [&](const std::string& folder, const std::string& reason) {
    ShowBatchMessage(folder, reason);
    unreadable(folder, reason);
    failed = true;
  };
  const std::vector<std::string> paths = CollectPaths(arguments, unreadableFolder);
  failed |= !ReportEachPath(run, desktop, paths, options, reported, unreadable);
  run.CloseResultsFile();
  std::cout.flush();
  // A run cut short by a signal ends by it, without a thermochemistry table
  // or an ensemble of part of its files.
  EndByCaughtSignal();
  // A signal while the tables are built ends the run by it as well.
  failed |= !table.Finish(options.Json);
  failed |= !thermo.Finish(options.Json);
  EndByCaughtSignal();
  failed |= !ensemble.Finish();
  std::cout.flush();
  EndByCaughtSignal();
  failed |= !check.Finish(options.Json, summary);
  failed |= check.ErrorFound();
  std::cout.flush();
  EndByCaughtSignal();
  // After the progress line is gone and every table is written.
  std::cerr << ProgramName << ": " << summary.Text() << std::flush;
  const bool everyFileHasRow = run.RowCount() == reported;
  const bool clean = !failed && desktop.MessageCount() == 0 && run.WarningCount() == 0 && everyFileHasRow;
  return clean ? ExitSuccess : ExitProblem;
}

}  // namespace
}  // namespace harvex

int main(int argc, char** argv) {
  using namespace harvex;
  OpenStandardHandles();
  std::setlocale(LC_ALL, "");
  // A reader that closes standard output early ends the run as it ends any
  // filter, even when the caller ignored the signal; every row written so
  // far is complete in the results file.
  std::signal(SIGPIPE, SIG_DFL);
  CatchEndSignals();

  TBatchOptions options;
  if (const std::optional<int> status = ParseBatchCommandLine(argc, argv, options)) return *status;
  if (const std::optional<std::string> clash = DestinationClash(Destinations(options), options.Paths)) {
    ShowBatchMessage(*clash);
    return ExitUsage;
  }
  try {
    return RunBatch(options);
  } catch (const std::exception& error) {
    std::cerr << ProgramName << ": " << error.what() << '\n';
    return ExitProblem;
  }
}
