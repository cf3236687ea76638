// The tables a run writes beside the results file (the study, the
// recomputed thermochemistry, the ensembles), in the form their destination
// wants: tab- or comma-separated for other programs, aligned for a reader at
// a terminal. Every form has the same notes, columns and cells.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harvex {

enum class TTableForm : std::uint8_t {
  Tabs,      // tab-separated: cells never hold a tab or a line end
  Commas,    // comma-separated, cells quoted where they must be (RFC 4180)
  Terminal,  // aligned columns, paths without the folder they all share
};

struct TTableColumn {
  std::string Name;  // plain, with its unit in brackets: "E [Hartree]"
  bool Number = false;  // right-aligned on a terminal
  bool Path = false;    // the folder all its cells share is left out on a terminal
};

struct TTextTable {
  // Lines before the header that say what the cells mean (conditions, the
  // energy ranked by), written as "# " and the note.
  std::vector<std::string> Notes;
  std::vector<TTableColumn> Columns;
  // One cell per column; an empty cell is a value not read.
  std::vector<std::vector<std::string>> Rows;

  // Appends a row of empty cells and gives it back.
  std::vector<std::string>& AddRow() { return Rows.emplace_back(Columns.size()); }
};

// The form for a table going to Destination: "-" is standard output,
// aligned when it is a terminal; a file named "*.csv" (any case) takes
// commas; any other destination tabs.
TTableForm TableFormFor(std::string_view destination, bool standardOutputIsTerminal);

// The table as text: the notes, the header row of column names, the rows;
// LF line ends.
std::string TableText(const TTextTable& table, TTableForm form);

// Tables one after the other, a blank line between two.
std::string TablesText(const std::vector<TTextTable>& tables, TTableForm form);

}  // namespace harvex
