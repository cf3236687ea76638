#include "TextTable/TextTable.h"

#include <algorithm>
#include <cstddef>

#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr std::string_view CsvExtension = ".CSV";
constexpr std::string_view ColumnGap = "  ";

// A cell that holds a separator, a quote or a line end is quoted, its quotes
// doubled; so is one that starts with "#", which readers would take for a
// note.
std::string CsvCell(std::string_view cell) {
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos && !cell.starts_with('#')) return std::string(cell);
  std::string quoted = "\"";
  for (const char c : cell) (quoted += c) += c == '"' ? "\"" : "";
  return quoted += '"';
}

std::string Cell(std::string_view cell, TTableForm form) {
  return form == TTableForm::Commas ? CsvCell(cell) : TableCell(cell);
}

void AppendLine(std::string& text, const std::vector<std::string>& cells, TTableForm form) {
  const char separator = form == TTableForm::Commas ? ',' : '\t';
  for (std::size_t index = 0; index < cells.size(); ++index) {
    if (index > 0) text += separator;
    text += Cell(cells[index], form);
  }
  text += '\n';
}

std::vector<std::string> ColumnNames(const TTextTable& table) {
  std::vector<std::string> names;
  for (const TTableColumn& column : table.Columns) names.push_back(column.Name);
  return names;
}

// Characters as a terminal shows them: UTF-8 continuation bytes take no
// column.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(
      std::ranges::count_if(text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The folder every non-empty cell of the column starts with, up to and with
// its last "/"; empty when they share none, or share only the root.
std::string SharedFolder(const TTextTable& table, std::size_t column) {
  std::string shared;
  bool first = true;
  for (const std::vector<std::string>& row : table.Rows) {
    const std::string& cell = row[column];
    if (cell.empty()) continue;
    if (first) {
      shared = cell.substr(0, cell.rfind('/') + 1);
      first = false;
    }
    const auto [mismatch, unused] = std::ranges::mismatch(shared, cell);
    shared.erase(static_cast<std::size_t>(mismatch - shared.begin()));
    shared.erase(shared.rfind('/') + 1);
  }
  return shared.size() > 1 ? shared : std::string();
}

// The terminal's table: path cells without their shared folder (named in a
// note), every column as wide as its widest cell, numbers to the right.
std::string AlignedText(TTextTable table) {
  for (std::size_t column = 0; column < table.Columns.size(); ++column) {
    if (!table.Columns[column].Path) continue;
    const std::string folder = SharedFolder(table, column);
    if (folder.empty()) continue;
    table.Notes.push_back(table.Columns[column].Name + " in " + folder);
    for (std::vector<std::string>& row : table.Rows)
      if (row[column].starts_with(folder)) row[column].erase(0, folder.size());
  }
  std::vector<std::vector<std::string>> lines = {ColumnNames(table)};
  for (const std::vector<std::string>& row : table.Rows) {
    lines.emplace_back();
    for (const std::string& cell : row) lines.back().push_back(TableCell(cell));
  }
  std::vector<std::size_t> widths(table.Columns.size());
  for (const std::vector<std::string>& line : lines)
    for (std::size_t column = 0; column < line.size(); ++column)
      widths[column] = std::max(widths[column], Width(line[column]));
  std::string text;
  for (const std::string& note : table.Notes) ((text += "# ") += TableCell(note)) += '\n';
  for (const std::vector<std::string>& line : lines) {
    std::string out;
    for (std::size_t column = 0; column < line.size(); ++column) {
      if (column > 0) out += ColumnGap;
      const std::string padding(widths[column] - Width(line[column]), ' ');
      out += table.Columns[column].Number ? padding + line[column] : line[column] + padding;
    }
    // No blanks at the line's end.
    out.erase(out.find_last_not_of(' ') + 1);
    (text += out) += '\n';
  }
  return text;
}

}  // namespace

TTableForm TableFormFor(std::string_view destination, bool standardOutputIsTerminal) {
  if (destination == "-") return standardOutputIsTerminal ? TTableForm::Terminal : TTableForm::Tabs;
  const bool csv = destination.size() >= CsvExtension.size() &&
                   EqualIgnoringAsciiCase(destination.substr(destination.size() - CsvExtension.size()), CsvExtension);
  return csv ? TTableForm::Commas : TTableForm::Tabs;
}

std::string TableText(const TTextTable& table, TTableForm form) {
  if (form == TTableForm::Terminal) return AlignedText(table);
  std::string text;
  for (const std::string& note : table.Notes) ((text += "# ") += TableCell(note)) += '\n';
  AppendLine(text, ColumnNames(table), form);
  for (const std::vector<std::string>& row : table.Rows) AppendLine(text, row, form);
  return text;
}

std::string TablesText(const std::vector<TTextTable>& tables, TTableForm form) {
  std::string text;
  for (const TTextTable& table : tables) {
    if (!text.empty()) text += '\n';
    text += TableText(table, form);
  }
  return text;
}

}  // namespace harvex
