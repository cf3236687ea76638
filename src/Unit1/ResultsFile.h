// The results file: one header line, then one tab-separated row per reported
// file, single-byte text with CR LF line ends.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "Unit1/ListFile.h"
#include "Unit1/Unit1.h"
#include "rtl/Desktop.h"

namespace harvex {

// " Created by "<caption>" on <date>, <time>" and CR LF, the date in the
// locale's short date format and the time in its long time format; the "C"
// locale (or one without formats) gives m/d/yy and a 24-hour h:mm:ss, both
// without leading zeros.
std::string HeaderLine(const std::string& caption, const std::tm& now, const TFormatSettings& settings);

// A text file open for writing through a small buffer, as the results file
// always has been: rows reach the disk when the buffer fills and at closing.
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
  // Raises EInOutError with the system's reason when the write fails.
  void Write(std::string_view text);
  // Writes out the buffer and closes; raises EInOutError when that fails
  // (the file is closed all the same). Nothing happens when not open.
  // A write that failed leaves its text buffered, so closing tries it again.
  void Close();
  // The open file's identity; none when not open.
  std::optional<TFileIdentity> Identity() const;

 private:
  static constexpr std::size_t BufferSize = 128;

  // Writes out the buffer; the errno of a failure, 0 on success. What could
  // not be written stays buffered.
  int Flush();

  int Handle = -1;
  std::string OpenError;
  TFileIdentity OpenIdentity;
  std::string Buffer;
};

}  // namespace harvex
