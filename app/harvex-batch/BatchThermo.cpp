#include "BatchThermo.h"

#include <filesystem>
#include <limits>

#include "BatchMessages.h"
#include "Destinations.h"
#include "str_pars/OptionNumbers.h"

namespace harvex {
namespace {

constexpr std::string_view StandardOutput = "-";
// A temperature range longer than this is taken for a typing error.
constexpr std::size_t MaxTemperatures = 10000;
constexpr TOptionRange PositiveStep{std::numeric_limits<double>::min(), KelvinRange.High};

double CheckedNumber(const std::string& option, const std::string& text, TOptionRange range, std::string_view what) {
  const std::optional<double> value = OptionNumber(text);
  if (!value || !range.Holds(*value)) throw CLI::ValidationError(option, "needs " + std::string(what) + ", not " + text);
  return *value;
}

// "298.15,310" or "200:400:50" (the end included when reached).
std::vector<double> ParseTemperatures(const std::string& text) {
  constexpr std::string_view Option = "--temperatures";
  constexpr std::string_view What = "temperatures from 1 to 10000 K as T1,T2,... or START:STOP:STEP";
  std::vector<std::string> parts;
  const char separator = text.find(':') != std::string::npos ? ':' : ',';
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<double> kelvins;
  for (std::size_t index = 0; index < parts.size(); ++index) {
    if (parts[index].empty())
      throw CLI::ValidationError(std::string(Option), "piece " + std::to_string(index + 1) + " of " + text +
                                                          " is empty; it needs " + std::string(What));
    // A step is no temperature: any positive one will do.
    const bool step = separator == ':' && index == 2;
    kelvins.push_back(CheckedNumber(std::string(Option), parts[index], step ? PositiveStep : KelvinRange, What));
  }
  if (separator == ',') return kelvins;
  if (kelvins.size() != 3 || kelvins[1] < kelvins[0] || (kelvins[1] - kelvins[0]) / kelvins[2] >= MaxTemperatures)
    throw CLI::ValidationError(std::string(Option), "needs " + std::string(What) + ", not " + text);
  std::vector<double> range;
  for (std::size_t step = 0; kelvins[0] + static_cast<double>(step) * kelvins[2] <= kelvins[1] * (1 + 1e-12); ++step)
    range.push_back(kelvins[0] + static_cast<double>(step) * kelvins[2]);
  return range;
}

TEntropyModel ParseEntropyModel(const std::string& text) {
  if (const std::optional<TEntropyModel> model = EntropyModelNamed(text)) return *model;
  throw CLI::ValidationError("--qs", "needs grimme, truhlar or none, not " + text);
}

void ParseImaginary(const std::string& text, TThermoConditions& conditions) {
  if (!SetImaginaryModes(text, conditions))
    throw CLI::ValidationError("--imaginary", "needs drop, invert or invert:CM with CM below 0, not " + text);
}

}  // namespace

void AddThermoOptions(CLI::App& app, TThermoOptions& options) {
  TThermoConditions& conditions = options.Conditions;
  app.add_flag("--thermo{-}", options.Destination,
               "After the batch, recompute the thermochemistry of every frequency job at the conditions below; the "
               "table goes to standard output, or with --thermo=FILE to FILE")
      ->option_text("[=FILE]");
  app.add_option_function<std::string>(
         "--qs", [&conditions](const std::string& text) { conditions.Entropy = ParseEntropyModel(text); },
         "Quasi-harmonic entropy: grimme (default), truhlar or none")
      ->type_name("MODEL");
  app.add_flag("--qh", conditions.HeadGordon, "Also the quasi-harmonic enthalpy of Head-Gordon; qh-G is built on it");
  app.add_option_function<std::string>(
         "--cutoff",
         [&conditions](const std::string& text) {
           conditions.EntropyCutoff = CheckedNumber("--cutoff", text, CutoffRange, "a frequency from 0 to 10000 cm-1");
           conditions.EnthalpyCutoff = conditions.EntropyCutoff;
         },
         "Cutoff frequency of the quasi-harmonic entropy and enthalpy in cm-1, from 0 to 10000 (default 100)")
      ->type_name("CM");
  app.add_option_function<std::string>(
         "--scale",
         [&conditions](const std::string& text) { conditions.Scale = CheckedNumber("--scale", text, ScaleRange, "a factor from 0.1 to 10"); },
         "Frequency scale factor, from 0.1 to 10 (default 1)")
      ->type_name("S");
  app.add_option_function<std::string>(
         "--temperatures", [&options](const std::string& text) { options.Temperatures = ParseTemperatures(text); },
         "Thermochemistry rows at each of these temperatures in K, from 1 to 10000: T1,T2,... or START:STOP:STEP "
         "(default: the one --temperature gives)")
      ->type_name("LIST");
  auto* pressure = app.add_option_function<std::string>(
                          "--pressure",
                          [&conditions](const std::string& text) {
                            conditions.Pressure = CheckedNumber("--pressure", text, StandardStateRange, "a pressure from 1e-9 to 1e9 atm");
                          },
                          "Standard state at this pressure in atm, from 1e-9 to 1e9 (default 1)")
                       ->type_name("ATM");
  app.add_option_function<std::string>(
         "--concentration",
         [&conditions](const std::string& text) {
           conditions.Concentration = CheckedNumber("--concentration", text, StandardStateRange, "a concentration from 1e-9 to 1e9 mol/L");
         },
         "Standard state at this concentration in mol/L, from 1e-9 to 1e9, instead of a pressure")
      ->type_name("MOL_PER_L")
      ->excludes(pressure);
  app.add_option_function<std::string>(
         "--imaginary", [&conditions](const std::string& text) { ParseImaginary(text, conditions); },
         "Imaginary modes: drop (default), or invert those above CM cm-1 (default -50) with invert[:CM]")
      ->type_name("MODE");
}

TBatchThermo::TBatchThermo(const TThermoOptions& options, double temperature, bool json)
    : Destination(options.Destination),
      Table(options.Conditions, options.Temperatures, temperature, json,
            [](const std::string& path, const std::string& message) { ShowBatchMessage(path, message); }) {
  if (Enabled() && Destination != StandardOutput) Destination = std::filesystem::absolute(Destination).string();
}

TThermoRows TBatchThermo::Add(const std::string& path, const TCoordinateFile_cdf& file) {
  if (!Enabled()) return {};
  return Table.Add(path, file);
}

bool TBatchThermo::Finish(bool json) {
  if (!Enabled()) return true;
  return WriteTables(Destination, {Table.Table()}, json, "thermochemistry table") && Table.Clean();
}

}  // namespace harvex
