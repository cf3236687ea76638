// The line source every reader pulls its text through: a plain text file,
// for ".ZIP" the first ".out" or ".log" member of the archive, or for ".GZ"
// the gzip file's text.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace harvex {

class TCoordinateFile;
class TInflatingFile;

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

  // False (and the system's reason kept) when the file cannot be opened for
  // reading; a folder does not open.
  bool Open(const std::string& fileName);
  // The next line without its line end; an empty line at the end.
  // Raises EInOutError when reading fails or the file never opened.
  void ReadLine(std::string& line);
  bool AtEnd() {
    if (Pos < Last) return Buffer[Pos] == CtrlZ;
    return AtBufferEnd();
  }
  void Close();

 private:
  static constexpr char CtrlZ = 26;

  bool AtBufferEnd();
  bool Fill();
  void AppendCapped(std::string& line, const char* begin, std::size_t length);
  void FindNextCr();
  void RequireOpen() const;

  int Handle = -1;
  int OpenErrno = 0;
  std::vector<char> Buffer;
  std::size_t Pos = 0;
  std::size_t Last = 0;
  // Where the next CR in the buffer stands (Last when there is none): lines
  // that end before it need no CR removal, which spares a second scan.
  std::size_t NextCr = 0;
  bool Exhausted = false;
};

class TLineSource {
 public:
  enum TKind { lsPlainFile = 0, lsArchiveMember = 1, lsGzipFile = 2 };

  // A source that reports a damaged archive member only through CloseSource.
  TLineSource();
  // A source that also shows Owner the warning "WARNING: there was an error
  // reading <file>" as soon as an archive member or a gzip file has been
  // read to its end and its check values do not match: before the reader
  // looks at the last line, which in a truncated archive may well not
  // convert.
  explicit TLineSource(TCoordinateFile& owner);
  ~TLineSource();
  TLineSource(const TLineSource&) = delete;
  TLineSource& operator=(const TLineSource&) = delete;

  // Opens a plain file, or for ".ZIP" the archive's first ".out" or ".log"
  // member, or for ".GZ" the gzip file. False when nothing could be opened,
  // or when the member or gzip file is one its reader cannot decode (it says
  // why in its own box); raises EInOutError when a ".ZIP" archive cannot be
  // opened.
  bool OpenSource(const std::string& fileName);
  // The next line; at the end a plain file gives an empty line and a
  // decoded stream leaves Line as it was.
  void ReadSourceLine(std::string& line) {
    if (Kind == lsPlainFile) {
      TextFile.ReadLine(line);
    } else {
      ReadMemberLine(line);
    }
  }
  bool SourceAtEnd() { return Kind == lsPlainFile ? TextFile.AtEnd() : MemberAtEnd(); }
  // False only for an archive member or gzip file read to its end whose
  // check values did not match; one left unfinished has no verdict.
  bool CloseSource();

 private:
  void ReadMemberLine(std::string& line);
  bool MemberAtEnd() const;
  bool MemberDamaged() const;

  TCoordinateFile* Owner = nullptr;
  std::string FileName;
  bool DamageShown = false;
  TKind Kind = lsPlainFile;
  TPlainTextFile TextFile;
  std::unique_ptr<TInflatingFile> Reader;
};

// The warning shown once for an archive member or gzip file whose check
// values did not match.
std::string DamagedSourceWarning(const std::string& fileName);

}  // namespace harvex
