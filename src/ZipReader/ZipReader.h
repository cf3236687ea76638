// Reads the text lines of one member of a ZIP archive.
// (Public interface used by the line source; the archive issue completes it.)
#pragma once

#include <cstdint>
#include <string>

namespace harvex {

class TZippedFilesReader {
 public:
  TZippedFilesReader();
  virtual ~TZippedFilesReader();
  TZippedFilesReader(const TZippedFilesReader&) = delete;
  TZippedFilesReader& operator=(const TZippedFilesReader&) = delete;

  // Opens the archive; raises EInOutError when it cannot be opened.
  void Open(const std::string& fileName);
  // The first member, from the current position on, whose extension occurs
  // in Pattern; Name receives its stored name.
  bool FindMember(const std::string& pattern, std::string& name);
  bool StartMember();
  // The next line without its LF (every CR dropped); false at the end.
  bool ReadLine(std::string& line);
  bool Eof() const;
  bool CrcOk() const;
  void CloseArchive();

  // The class's error box, captioned "TZippedFilesReader".
  virtual void ShowError(const std::string& message);
};

}  // namespace harvex
