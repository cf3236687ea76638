// The line source every reader pulls its text through: a plain text file, or
// for ".ZIP" the first ".out" or ".log" member of the archive.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace harvex {

class TCoordinateFile;
class TZippedFilesReader;

// Reads a plain file line by line in large blocks. LF ends a line, CR LF
// counts as one end, any other CR is dropped; a line beginning with Ctrl-Z
// (code 26) ends the file. A line keeps its first MaxLineLength bytes of
// text (ZipReader.h); the rest is read and dropped.
class TPlainTextFile {
 public:
  TPlainTextFile() = default;
  ~TPlainTextFile();
  TPlainTextFile(const TPlainTextFile&) = delete;
  TPlainTextFile& operator=(const TPlainTextFile&) = delete;

  // False (and the reason kept) when the file cannot be opened for reading;
  // only a regular file opens (OpenRegularFile).
  bool Open(const std::string& fileName);
  // Why the last Open failed; empty after one that succeeded.
  const std::string& OpenFailure() const { return OpenError; }
  // The next line without its line end; an empty line at the end.
  // Raises EInOutError when reading fails or the file never opened.
  void ReadLine(std::string& line);
  bool AtEnd() {
    if (Pos < Last) return Buffer[Pos] == CtrlZ;
    return AtBufferEnd();
  }
  // The line read last ran up to the end of the file without a line end.
  bool LastLineOpen() const { return OpenEnd; }
  void Close();

 private:
  static constexpr char CtrlZ = 26;

  bool AtBufferEnd();
  bool Fill();
  void AppendCapped(std::string& line, const char* begin, std::size_t length);
  void FindNextCr();
  void RequireOpen() const;

  int Handle = -1;
  std::string OpenError;
  std::vector<char> Buffer;
  std::size_t Pos = 0;
  std::size_t Last = 0;
  // Where the next CR in the buffer stands (Last when there is none): lines
  // that end before it need no CR removal, which spares a second scan.
  std::size_t NextCr = 0;
  bool Exhausted = false;
  bool OpenEnd = false;
};

class TLineSource {
 public:
  enum TKind { lsPlainFile = 0, lsArchiveMember = 1 };

  // A source that reports a damaged archive member only through CloseSource.
  TLineSource();
  // A source that also shows Owner the warning "WARNING: there was an error
  // reading <file>" as soon as an archive member has been read to its end
  // and its CRC-32 does not match: before the reader looks at the last line,
  // which in a truncated archive may well not convert.
  explicit TLineSource(TCoordinateFile& owner);
  ~TLineSource();
  TLineSource(const TLineSource&) = delete;
  TLineSource& operator=(const TLineSource&) = delete;

  // Opens a plain file, or for ".ZIP" the archive's first ".out" or ".log"
  // member. False when nothing could be opened, or when the member is one
  // the archive reader cannot decode (it says why in its own box); raises
  // EInOutError when a ".ZIP" archive cannot be opened.
  bool OpenSource(const std::string& fileName);
  // Why the last OpenSource gave false, when there is a reason to name (a
  // plain file's, or "not a regular file" for an archive); else empty.
  std::string OpenFailure() const;
  // The next line; at the end a plain file gives an empty line and an
  // archive member leaves Line as it was.
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
  // False only for an archive member read to its end whose CRC-32 did not
  // match; a member left unfinished has no verdict.
  bool CloseSource();

 private:
  void ReadMemberLine(std::string& line);
  void LeaveOutCutNumber(std::string& line);
  bool MemberAtEnd() const;
  bool MemberDamaged() const;

  TCoordinateFile* Owner = nullptr;
  std::string FileName;
  bool DamageShown = false;
  std::string ArchiveError;
  bool CutNumbersLeftOut = false;
  bool Cut = false;
  TKind Kind = lsPlainFile;
  TPlainTextFile TextFile;
  std::unique_ptr<TZippedFilesReader> Reader;
};

// The warning shown once for an archive member whose CRC-32 did not match.
std::string DamagedSourceWarning(const std::string& fileName);

}  // namespace harvex
