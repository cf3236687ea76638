#include "CdfFiles/IniFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace harvex {
namespace {

// A UTF-8 byte-order mark, as editors on the desktop like to write it.
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// White space around lines, names and values.
constexpr std::string_view Blanks = " \t\r\v\f";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(Blanks);
  return text.substr(first, last - first + 1);
}

// One pair of enclosing quotes, both double or both single, is removed.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Empty when the file is missing or unreadable (a folder reads as empty).
std::string ReadWholeFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) { Parse(ReadWholeFile(fileName)); }

// [conformer]
// GeomFileName = opt.out
// MP2FileName="sp.out"
// Lines end in LF or CR LF. Text before the first section and lines without
// "=" are passed over.
void TIniFile::Parse(std::string_view text) {
  if (text.starts_with(Utf8Bom)) text.remove_prefix(Utf8Bom.size());
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));

    const std::size_t close = line.rfind(']');
    if (line.starts_with('[') && close != std::string_view::npos) {
      Sections.push_back({std::string(line.substr(1, close - 1)), {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (Sections.empty() || equals == std::string_view::npos) continue;
    const std::string_view value = Unquote(Trim(line.substr(equals + 1)));
    Sections.back().Entries.push_back(
        {std::string(Trim(line.substr(0, equals))), std::string(value.substr(0, MaxValueLength))});
  }
}

std::vector<std::string> TIniFile::ReadSectionNames() const {
  std::vector<std::string> names;
  std::size_t used = 1;  // the list's final NUL
  for (const TSection& section : Sections) {
    used += section.Name.size() + 1;
    if (used > SectionListSize) break;
    names.push_back(section.Name);
  }
  return names;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const auto found = std::ranges::find_if(
      Sections, [&](const TSection& candidate) { return SameName(candidate.Name, section); });
  if (found == Sections.end()) return std::string(defaultValue);
  for (const TEntry& entry : found->Entries)
    if (SameName(entry.Key, key)) return entry.Value;
  return std::string(defaultValue);
}

}  // namespace harvex
