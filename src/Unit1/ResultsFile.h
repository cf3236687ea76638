// The results file: one header line, then one tab-separated row per reported
// file, single-byte text with CR LF line ends.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "Unit1/ListFile.h"
#include "Unit1/Unit1.h"
#include "rtl/Desktop.h"

namespace harvex {

// " Created by "<caption>" on <date>, <time>" and CR LF, the date in the
// locale's short date format and the time in its long time format; the "C"
// locale (or one without formats) gives m/d/yy and a 24-hour h:mm:ss, both
// without leading zeros.
std::string HeaderLine(const std::string& caption, const std::tm& now, const TFormatSettings& settings);

// A text file open for writing line by line: the text of a line is kept until
// the line is complete and then written with one system call, so that the
// file never ends inside a line, whatever ends the run.
class TResultsRun::TResultsFile {
 public:
  // Not open: every write raises "Bad file descriptor".
  TResultsFile();
  // Creates the file, takes an exclusive lock on it that is held until it is
  // closed, and only then truncates it: a file that another run holds is
  // left as it is and gives "Sharing violation". When creating fails the
  // reason is kept and every write raises it.
  explicit TResultsFile(const std::string& path);
  ~TResultsFile();
  TResultsFile(const TResultsFile&) = delete;
  TResultsFile& operator=(const TResultsFile&) = delete;

  bool IsOpen() const { return Handle >= 0; }
  // Adds text to the line being built; raises the reason creating failed
  // when not open.
  void Write(std::string_view text);
  // Writes out the line built so far, which the caller has completed with
  // its line end. Raises EResultsWriteError when the write fails; the part
  // of the line written is cut off again and the text dropped, so the file
  // ends with its last complete line.
  void EndLine();
  // Closes, dropping an unfinished line; raises EResultsWriteError when
  // closing fails (the file is closed all the same). Nothing happens when
  // not open.
  void Close();
  // The open file's identity; none when not open.
  std::optional<TFileIdentity> Identity() const;

 private:
  [[noreturn]] void RaiseWriteError(int reason) const;
  void CutBackToLastLine();

  int Handle = -1;
  std::string Path;
  std::string OpenError;
  TFileIdentity OpenIdentity;
  std::string Line;
  off_t Complete = 0;  // the length of the complete lines written

};

}  // namespace harvex
