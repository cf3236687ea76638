#include "BatchTable.h"

#include <filesystem>

#include "Destinations.h"

namespace harvex {
namespace {

constexpr std::string_view StandardOutput = "-";

}  // namespace

void AddTableOptions(CLI::App& app, TTableOptions& options) {
  app.add_flag("--table{-}", options.Destination,
               "After the batch, one row per file: status, program, method, energies, imaginary modes, first "
               "frequency, BSSE, warnings; on standard output in place of the memo lines (aligned on a terminal, "
               "tab-separated otherwise), or with --table=FILE to FILE (comma-separated for a .csv name)")
      ->option_text("[=FILE]");
}

TBatchStudyTable::TBatchStudyTable(const TTableOptions& options, std::optional<TThermoConditions> conditions)
    : Destination(options.Destination), Conditions(std::move(conditions)) {
  if (Enabled() && Destination != StandardOutput) Destination = std::filesystem::absolute(Destination).string();
}

bool TBatchStudyTable::ReplacesMemo() const { return Destination == StandardOutput; }

void TBatchStudyTable::Add(TStudyRow row) {
  if (Enabled()) Rows.push_back(std::move(row));
}

bool TBatchStudyTable::Finish(bool json) {
  if (!Enabled()) return true;
  const TTableForm form = TableFormFor(Destination, StandardOutputIsTerminal());
  return WriteTables(Destination, {StudyTable(Rows, Conditions, form)}, json, "study table", !ReplacesMemo());
}

}  // namespace harvex
