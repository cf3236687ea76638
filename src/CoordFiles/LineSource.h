// The line source every reader pulls its text through: a plain text file,
// for ".ZIP" the first ".out" or ".log" member of the archive, or for ".GZ"
// the gzip file's text.
#pragma once

#include <memory>
#include <string>

#include "TextFile/TextFile.h"
#include "rtl/Desktop.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {

class TInflatingFile;

// The caption of the boxes a load of a coordinate file shows.
inline constexpr char CoordinateFileCaption[] = "TCoordinateFile Error";

// When a source says that an archive member or a gzip file failed its check
// values: only through CloseSource, or also at once in a box.
enum class TDamageReport { AtClose, AsSoonAsRead };

class TLineSource {
 public:
  enum TKind { lsPlainFile = 0, lsArchiveMember = 1, lsGzipFile = 2 };

  // Boxes go to the context's desktop, and names are opened against its
  // folder. AsSoonAsRead also shows the warning "WARNING: there was an error
  // reading <file>" as soon as an archive member or a gzip file has been
  // read to its end and its check values do not match: before the reader
  // looks at the last line, which in a truncated archive may well not
  // convert.
  explicit TLineSource(const TLoadContext& context = {}, TDamageReport report = TDamageReport::AtClose);
  ~TLineSource();
  TLineSource(const TLineSource&) = delete;
  TLineSource& operator=(const TLineSource&) = delete;

  // Opens a plain file, or for ".ZIP" the archive's first ".out" or ".log"
  // member, or for ".GZ" the gzip file. False when nothing could be opened,
  // or when the member or gzip file is one its reader cannot decode (it says
  // why in its own box); raises EInOutError when a ".ZIP" archive cannot be
  // opened.
  bool OpenSource(const std::string& fileName);
  // Why the last OpenSource gave false, when there is a reason to name (a
  // plain or gzip file's, or "not a regular file" for an archive); else empty.
  std::string OpenFailure() const;
  // Why the last OpenSource gave false, always named: OpenFailure, or what
  // the archive or gzip file lacked.
  std::string NothingReadReason() const;
  // The next line; at the end a plain file gives an empty line and a
  // decoded stream leaves Line as it was.
  void ReadSourceLine(std::string& line) {
    if (Kind == lsPlainFile) {
      TextFile.ReadLine(line);
    } else {
      ReadMemberLine(line);
    }
    if (CutNumbersLeftOut) LeaveOutCutNumber(line);
  }
  // For an output its program may still be writing: a number that runs up
  // to the end of a last line without a line end may have been cut, so it
  // is left out of that line. LineCut then tells that the line read last is
  // such a line.
  void LeaveOutCutNumbers() { CutNumbersLeftOut = true; }
  bool LineCut() const { return Cut; }
  bool SourceAtEnd() { return Kind == lsPlainFile ? TextFile.AtEnd() : MemberAtEnd(); }
  // False only for an archive member or gzip file read to its end whose
  // check values did not match; one left unfinished has no verdict.
  bool CloseSource();
  // Whether an archive member or gzip file read since the last OpenSource
  // was found to fail its check values.
  bool DamageFound() const { return Damaged; }

 private:
  void ReadMemberLine(std::string& line);
  void LeaveOutCutNumber(std::string& line);
  bool MemberAtEnd() const;
  bool MemberDamaged() const;

  TLoadContext Context;
  TDamageReport Report;
  std::string FileName;
  bool DamageShown = false;
  bool Damaged = false;
  bool MemberFound = false;
  std::string OpenError;  // of an archive or gzip file that did not open
  bool CutNumbersLeftOut = false;
  bool Cut = false;
  TKind Kind = lsPlainFile;
  TPlainTextFile TextFile;
  std::unique_ptr<TInflatingFile> Reader;
};

// Reads an output its program may still be writing: Step takes the next
// line and gives false at the end. A number that runs up to the end of a
// last line without a line end is left out of that line (it may have been
// cut), and a field that then does not convert ends the reading as the end
// of the input would; any other conversion error passes on.
template <typename TStep>
void ReadWhileWritten(TLineSource& source, TStep step) {
  source.LeaveOutCutNumbers();
  try {
    while (step()) {
    }
  } catch (const EConvertError&) {
    if (!source.LineCut()) throw;
  }
}

// The warning shown once for an archive member or gzip file whose check
// values did not match.
std::string DamagedSourceWarning(const std::string& fileName);

}  // namespace harvex
