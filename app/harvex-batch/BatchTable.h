// The study table of a batch (StudyTable): one row per reported file,
// after the batch on standard output, where it takes the place of the memo
// lines (aligned on a terminal), or in a file.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "StudyTable/StudyTable.h"

namespace harvex {

struct TTableOptions {
  // Empty: no table; "-": standard output; otherwise the table's file.
  std::string Destination;
};

// --table[=FILE].
void AddTableOptions(CLI::App& app, TTableOptions& options);

class TBatchStudyTable {
 public:
  // The destination file is fixed now, against the current directory; the
  // qh-G column is recomputed at Conditions when they are given.
  TBatchStudyTable(const TTableOptions& options, std::optional<TThermoConditions> conditions);

  bool Enabled() const { return !Destination.empty(); }
  // Whether the table goes to standard output instead of the memo lines.
  bool ReplacesMemo() const;

  // Keeps a reported file's row; nothing without --table.
  void Add(TStudyRow row);

  // Prints or writes the table (with --json on standard output, not at all);
  // false when it could not be written.
  bool Finish(bool json);

 private:
  std::string Destination;
  std::optional<TThermoConditions> Conditions;
  std::vector<TStudyRow> Rows;
};

}  // namespace harvex
