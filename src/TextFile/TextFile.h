// Plain text files read line by line, and the longest line any reader is
// handed: the lowest layer under every reader of the program's inputs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "TextFile/LineSplitter.h"
#include "rtl/ByteSource.h"

namespace harvex {

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
    if (!Lines.Empty()) return Lines.Peek() == CtrlZ;
    return AtBufferEnd();
  }
  // The line read last ran up to the end of the file without a line end.
  bool LastLineOpen() const { return OpenEnd; }
  void Close();

 private:
  static constexpr char CtrlZ = 26;

  bool AtBufferEnd();
  bool Fill();
  void RequireOpen() const;

  std::unique_ptr<TByteSource> Source;
  std::string OpenError;
  std::vector<char> Buffer;
  TLineSplitter Lines;
  bool Exhausted = false;
  bool OpenEnd = false;
};

}  // namespace harvex
