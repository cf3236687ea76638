// A reader of INI-style files: [section] headers and key=value lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/Desktop.h"

namespace harvex {

// Reads the file afresh for every question, line by line, as the profile
// functions of the desktop do, so that memory stays small whatever the file
// holds. A missing or unreadable file, or a folder, reads as a file without
// sections. Section and key names match without regard to ASCII letter case;
// when a name repeats, the first occurrence is used.
class TIniFile {
 public:
  // Longest value handed out; longer ones are cut.
  static constexpr std::size_t MaxValueLength = 2047;
  // The section-name list holds each name with a terminating NUL, plus a
  // final NUL, in this many bytes; names that do not fit are left out.
  static constexpr std::size_t SectionListSize = 16384;

  // The file is opened through the context: one it holds in memory, else
  // the file the name gives against its folder.
  explicit TIniFile(std::string fileName, TLoadContext context = {});

  // The section names in file order, as far as they fit the list.
  std::vector<std::string> ReadSectionNames() const;
  // The value of Key in Section: the text after the first "=", without
  // surrounding blanks and one pair of enclosing matching quotes ("..." or
  // '...'), cut to MaxValueLength; the default when the file, the section
  // or the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;

 private:
  std::string FileName;
  TLoadContext Context;
};

}  // namespace harvex
