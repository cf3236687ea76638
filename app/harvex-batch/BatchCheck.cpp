#include "BatchCheck.h"

#include <filesystem>
#include <iostream>

#include "Destinations.h"

namespace harvex {
namespace {

constexpr std::string_view StandardOutput = "-";

TModelJson FindingJson(const TFinding& finding, bool withFile) {
  TModelJson object = {{"Code", finding.Code}, {"Severity", std::string(SeverityName(finding.Severity))}};
  if (withFile) object["File"] = finding.File.empty() ? TModelJson(nullptr) : TModelJson(finding.File);
  object["Text"] = finding.Text;
  return object;
}

}  // namespace

void AddCheckOptions(CLI::App& app, TCheckOptions& options) {
  app.add_flag("--check{-}", options.Destination,
               "After the batch, list what makes a structure wrong or two energies incomparable (imaginary modes, "
               "unconverged optimisations, spin contamination, differing methods, basis sets, solvents, "
               "conditions, duplicates), one finding a line, to standard output, or with --check=FILE to FILE; "
               "an error among them fails the run")
      ->option_text("[=FILE]");
}

TBatchCheck::TBatchCheck(const TCheckOptions& options, bool perMolecule)
    : Options(options), PerMolecule(perMolecule) {
  if (Enabled() && Options.Destination != StandardOutput)
    Options.Destination = std::filesystem::absolute(Options.Destination).string();
}

TModelJson TBatchCheck::Add(TStudyFacts facts, const std::vector<TFinding>& findings) {
  if (!Enabled()) return nullptr;
  TModelJson json = TModelJson::array();
  for (const TFinding& finding : findings) json.push_back(FindingJson(finding, false));
  Findings.insert(Findings.end(), findings.begin(), findings.end());
  // The checks across files need no modes.
  facts.Frequencies = {};
  Files.push_back(std::move(facts));
  return json;
}

bool TBatchCheck::Finish(bool json, TStatusSummary& summary) {
  if (!Enabled()) return true;
  std::vector<TFinding> across = StudyFindings(Files, PerMolecule);
  Files = {};
  if (json) {
    TModelJson object = {{"StudyFindings", TModelJson::array()}};
    for (const TFinding& finding : across) object["StudyFindings"].push_back(FindingJson(finding, false));
    WriteJsonLine(std::cout, object);
  }
  Findings.insert(Findings.end(), std::make_move_iterator(across.begin()), std::make_move_iterator(across.end()));
  for (const TFinding& finding : Findings) summary.AddFinding(finding.Severity == TFindingSeverity::Error);
  const bool terminal = Options.Destination == StandardOutput && StandardOutputIsTerminal();
  const bool written = WriteText(Options.Destination, FindingLines(Findings, terminal), json, "check findings");
  std::cout.flush();
  return written;
}

}  // namespace harvex
