// Plain text files read line by line, and the longest line any reader is
// handed: the lowest layer under every reader of the program's inputs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "rtl/ByteSource.h"

namespace harvex {

// The longest line text handed out, by archive members and plain files
// alike: the rest of a longer line is read and dropped, so that a file
// without line ends cannot fill memory. No marker or number the readers use
// comes near it.
constexpr std::size_t MaxLineLength = 64 * 1024;

// Reads a plain file line by line in large blocks. LF ends a line, CR LF
// counts as one end, any other CR is dropped; a line beginning with Ctrl-Z
// (code 26) ends the file. A line keeps its first MaxLineLength bytes of
// text; the rest is read and dropped.
class TPlainTextFile {
 public:
  TPlainTextFile() = default;
  ~TPlainTextFile();
  TPlainTextFile(const TPlainTextFile&) = delete;
  TPlainTextFile& operator=(const TPlainTextFile&) = delete;

  // False (and the reason kept) when the file cannot be opened for reading;
  // only a regular file opens (OpenRegularFile).
  bool Open(const std::string& fileName);
  // Reads the source Opened gives; false with its reason when it has none.
  bool Open(TOpenedSource opened);
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

  std::unique_ptr<TByteSource> Source;
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

}  // namespace harvex
