#include "CdfFiles/IniFile.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "TextFile/TextFile.h"
#include "rtl/RuntimeErrors.h"
#include "str_pars/str_pars.h"

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


// The name of a "[name]" line; text after the closing bracket is passed over.
std::optional<std::string_view> SectionHeader(std::string_view line) {
  const std::size_t close = line.rfind(']');
  if (!line.starts_with('[') || close == std::string_view::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

// The trimmed lines of a file, each cut to the line sources' length. A file
// that does not open, or fails while being read, ends there.
class TIniLines {
 public:
  TIniLines(const TLoadContext& context, const std::string& fileName) : Opened(File.Open(context.Open(fileName))) {}

  bool Next(std::string_view& line) {
    try {
      if (!Opened || File.AtEnd()) return false;
      File.ReadLine(Text);
    } catch (const EInOutError&) {
      return false;
    }
    line = Text;
    if (First && line.starts_with(Utf8Bom)) line.remove_prefix(Utf8Bom.size());
    First = false;
    line = Trim(line);
    return true;
  }

 private:
  TPlainTextFile File;
  bool Opened;
  bool First = true;
  std::string Text;
};

}  // namespace

TIniFile::TIniFile(std::string fileName, TLoadContext context)
    : FileName(std::move(fileName)), Context(std::move(context)) {}

// [conformer]
// GeomFileName = opt.out
// MP2FileName="sp.out"
// Lines end in LF or CR LF. Text before the first section and lines without
// "=" are passed over.
std::vector<std::string> TIniFile::ReadSectionNames() const {
  std::vector<std::string> names;
  std::size_t used = 1;  // the list's final NUL
  TIniLines lines(Context, FileName);
  std::string_view line;
  while (lines.Next(line)) {
    const std::optional<std::string_view> name = SectionHeader(line);
    if (!name) continue;
    used += name->size() + 1;
    if (used > SectionListSize) break;
    names.emplace_back(*name);
  }
  return names;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  TIniLines lines(Context, FileName);
  std::string_view line;
  bool inSection = false;
  while (lines.Next(line)) {
    if (const std::optional<std::string_view> name = SectionHeader(line)) {
      // Only the first section of the name counts.
      if (inSection) break;
      inSection = EqualIgnoringAsciiCase(*name, section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inSection && equals != std::string_view::npos && EqualIgnoringAsciiCase(Trim(line.substr(0, equals)), key))
      return std::string(Unquote(Trim(line.substr(equals + 1))).substr(0, MaxValueLength));
  }
  return std::string(defaultValue);
}

}  // namespace harvex
