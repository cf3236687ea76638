#include "BatchCommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <thread>

#include "BatchMessages.h"

namespace harvex {
namespace {

// More loads at once than this only wait on the disk and hold memory.
constexpr std::size_t MaxJobs = 1024;

std::size_t JobCount(const std::string& text) {
  std::size_t jobs = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || jobs > MaxJobs)
    throw CLI::ValidationError("--jobs", "needs a number from 0 to " + std::to_string(MaxJobs) + ", not " + text);
  return jobs;
}

}  // namespace

std::optional<int> ParseBatchCommandLine(int argc, char** argv, TBatchOptions& options) {
  CLI::App app{
      "Reports the electronic energy, modes, Gibbs energy and BSSE data of Gaussian and ORCA outputs "
      "(.out or .log, gzipped or not, or .zip holding one) and conformer descriptions (.cdf): memo lines on "
      "standard output, one tab-separated row per file in the results file. A .txt path is a list of paths, "
      "such as an earlier results file.",
      ProgramName};
  app.add_option("--results", options.ResultsFile, "Results file to create (truncated)")
      ->capture_default_str()
      ->type_name("FILE");
  app.add_flag("--json", options.Json, "Print one JSON object per reported file instead of the memo lines");
  app.add_flag("--quiet", options.Quiet, "Show no progress line on a terminal");
  app.add_option_function<std::string>(
         "--jobs", [&options](const std::string& text) { options.Jobs = JobCount(text); },
         "Load up to N files at once, N from 0 (one per core) to " + std::to_string(MaxJobs) +
             "; the report is the same for any N")
      ->default_str(std::to_string(options.Jobs))
      ->type_name("N");
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
  if (options.Jobs == 0) options.Jobs = std::max(1U, std::thread::hardware_concurrency());
  return std::nullopt;
}

}  // namespace harvex
