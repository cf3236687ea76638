// The study checks of a batch: each reported file's findings as it is
// reported (in its JSON with --json), the findings across the files after
// the batch, one line each, to standard output or to a file.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "FileStatus/StatusSummary.h"
#include "ModelJson/ModelJson.h"
#include "StudyChecks/StudyChecks.h"

namespace harvex {

struct TCheckOptions {
  // Empty: no checks; "-": standard output; otherwise the findings' file.
  std::string Destination;
};

// --check[=FILE].
void AddCheckOptions(CLI::App& app, TCheckOptions& options);

class TBatchCheck {
 public:
  // The destination file is fixed now, against the current directory;
  // PerMolecule compares the files of each molecule among themselves as well
  // (with --ensemble).
  TBatchCheck(const TCheckOptions& options, bool perMolecule);

  bool Enabled() const { return !Options.Destination.empty(); }
  // Keeps a reported file's findings and what the checks across files need
  // of it; its findings as the "Findings" member of its JSON (null without
  // --check).
  TModelJson Add(TStudyFacts facts, const std::vector<TFinding>& findings);
  // Checks across the files, writes every finding, the files' first, and
  // counts them in the summary; with --json the findings across files
  // follow as one object. False when the findings could not be written.
  bool Finish(bool json, TStatusSummary& summary);
  // Whether an error was found; known after Finish.
  bool ErrorFound() const { return HasErrorFinding(Findings); }

 private:
  TCheckOptions Options;
  bool PerMolecule;
  std::vector<TStudyFacts> Files;
  std::vector<TFinding> Findings;
};

}  // namespace harvex
