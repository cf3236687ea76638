#include "BatchCommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <sstream>

#include "BatchMessages.h"
#include "ParallelLoad/BatchLoader.h"

namespace harvex {
namespace {

// The help fits a terminal of the usual 80 columns: option names and their
// values on the left, descriptions from this column on.
constexpr std::size_t HelpWidth = 80;
constexpr std::size_t HelpColumn = 26;

// The headings of the help, in the order the options are added under them.
constexpr const char* ReportGroup = "Report";
constexpr const char* ThermoGroup = "Thermochemistry";
constexpr const char* EnsembleGroup = "Ensemble";
constexpr const char* TableGroup = "Table";
constexpr const char* CheckGroup = "Checks";
constexpr const char* OtherGroup = "Other";

std::size_t JobCount(const std::string& text) {
  std::size_t jobs = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || jobs > MaxJobs)
    throw CLI::ValidationError("--jobs", "needs a number from 0 to " + std::to_string(MaxJobs) + ", not " + text);
  return jobs;
}

// The words of Text in lines of at most Width characters (a longer word
// stands alone), joined by line ends.
std::string Wrapped(const std::string& text, std::size_t width) {
  std::istringstream words(text);
  std::string wrapped;
  std::size_t lineLength = 0;
  for (std::string word; words >> word;) {
    if (lineLength > 0 && lineLength + 1 + word.size() > width) {
      wrapped += '\n';
      lineLength = 0;
    } else if (lineLength > 0) {
      wrapped += ' ';
      ++lineLength;
    }
    wrapped += word;
    lineLength += word.size();
  }
  return wrapped;
}

// The help as a reader wants it: the options under the headings of their
// groups, the paths among the report's options, each option once with the
// name of its value, and the descriptions wrapped. The option library's own
// notes (flag values in braces, "Excludes:", "REQUIRED", types) stay out:
// the descriptions say what they mean.
class THelpFormatter : public CLI::Formatter {
 public:
  THelpFormatter() { column_width(HelpColumn); }

  std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode) const override {
    std::string help = make_description(app) + make_usage(app, std::move(name));
    for (const std::string& group : app->get_groups()) {
      const std::vector<const CLI::Option*> options =
          app->get_options([&group](const CLI::Option* option) { return option->get_group() == group; });
      if (group.empty() || options.empty()) continue;
      help += "\n" + group + ":\n";
      for (const CLI::Option* option : options) help += make_option(option, option->get_positional());
    }
    return help + "\n" + make_footer(app);
  }

  std::string make_description(const CLI::App* app) const override {
    return Wrapped(app->get_description(), HelpWidth) + "\n\n";
  }

  std::string make_footer(const CLI::App* app) const override {
    return app->get_footer().empty() ? std::string() : Wrapped(app->get_footer(), HelpWidth) + "\n";
  }

  std::string make_option_name(const CLI::Option* option, bool positional) const override {
    if (positional) return option->get_name(true, false);
    std::string names;
    for (const std::string& name : option->get_snames()) names += (names.empty() ? "-" : ", -") + name;
    for (const std::string& name : option->get_lnames()) names += (names.empty() ? "--" : ", --") + name;
    return names;
  }

  // "[=FILE]" directly after the name when the option says so, " VALUE"
  // for an option that takes one, "..." after the paths.
  std::string make_option_opts(const CLI::Option* option) const override {
    if (!option->get_option_text().empty()) return option->get_option_text();
    if (option->get_positional()) return "...";
    return option->get_type_size() == 0 ? std::string() : " " + option->get_type_name();
  }

  std::string make_option_desc(const CLI::Option* option) const override {
    return Wrapped(option->get_description(), HelpWidth - HelpColumn);
  }
};

// A file the run writes is named by a path: "-" would be standard output,
// which carries the memo lines (or the JSON), and an empty name no file.
void CheckResultsName(const std::string& path) {
  if (path == "-")
    throw CLI::ValidationError("--results", "needs a file name, not - (standard output carries the memo lines)");
  if (path.empty()) throw CLI::ValidationError("--results", "needs a file name, not an empty one");
}

}  // namespace

std::optional<int> ParseBatchCommandLine(int argc, char** argv, TBatchOptions& options) {
  CLI::App app{
      "Reports the electronic energy, modes, Gibbs energy and BSSE data of Gaussian and ORCA outputs "
      "(.out or .log, gzipped or not, or .zip holding one) and conformer descriptions (.cdf): memo lines on "
      "standard output, one tab-separated row per file in the results file. A .txt path is a list of paths, "
      "such as an earlier results file.",
      ProgramName};
  app.formatter(std::make_shared<THelpFormatter>());
  app.footer("The columns of the results file and of the tables are described in harvex-batch(1).");
  // Each option goes under the heading set last; the headings follow in the
  // order they are first used.
  app.option_defaults()->group(ReportGroup);
  app.add_option("PATH", options.Paths, "Files to report, in order; a folder stands for the outputs in and below it")
      ->required();
  app.add_option("--results", options.ResultsFile,
                 "Results file to create, truncated if it exists (default " + std::string(ResultsFileName) + ")")
      ->type_name("FILE");
  app.add_flag("--json", options.Json, "Print one JSON object per reported file instead of the memo lines");
  app.add_flag("--quiet", options.Quiet, "Show no progress line on a terminal");
  app.add_option_function<std::string>(
         "--jobs", [&options](const std::string& text) { options.Jobs = JobCount(text); },
         "Load up to N files at once, N from 0 (one per core) to " + std::to_string(MaxJobs) +
             " (default 1); the report is the same for any N")
      ->type_name("N");
  app.option_defaults()->group(ThermoGroup);
  AddThermoOptions(app, options.Thermo);
  app.option_defaults()->group(EnsembleGroup);
  AddEnsembleOptions(app, options.Ensemble);
  app.option_defaults()->group(TableGroup);
  AddTableOptions(app, options.Table);
  app.option_defaults()->group(CheckGroup);
  AddCheckOptions(app, options.Check);
  app.option_defaults()->group(OtherGroup);
  // The help flag was made with the program; made again it follows the others.
  app.set_help_flag("-h,--help", "Print this help and exit");
  app.set_version_flag("--version", std::string(ProgramName) + " " + HARVEX_VERSION + " (" + MainWindowCaption + ")",
                       "Print the version and exit");
  try {
    app.parse(argc, argv);
    CheckResultsName(options.ResultsFile);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? ExitSuccess : ExitUsage;
  }
  options.Jobs = LoadingJobs(options.Jobs);
  return std::nullopt;
}

}  // namespace harvex
