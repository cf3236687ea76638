#include "Unit1/ResultsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

constexpr std::size_t MaxFormattedLength = 256;

std::string FormatTime(const char* pattern, const std::tm& now) {
  char text[MaxFormattedLength];
  const std::size_t length = std::strftime(text, sizeof text, pattern, &now);
  return std::string(text, length);
}

// m/d/yy
std::string PlainShortDate(const std::tm& now) {
  char text[32];
  std::snprintf(text, sizeof text, "%d/%d/%02d", now.tm_mon + 1, now.tm_mday, (now.tm_year + 1900) % 100);
  return text;
}

// h:mm:ss on a 24-hour clock
std::string PlainLongTime(const std::tm& now) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
  return text;
}

}  // namespace

std::string HeaderLine(const std::string& caption, const std::tm& now, const TFormatSettings& settings) {
  const bool plainDate = settings.PlainCLocale || settings.ShortDateFormat.empty();
  const bool plainTime = settings.PlainCLocale || settings.LongTimeFormat.empty();
  const std::string date = plainDate ? PlainShortDate(now) : FormatTime(settings.ShortDateFormat.c_str(), now);
  const std::string time = plainTime ? PlainLongTime(now) : FormatTime(settings.LongTimeFormat.c_str(), now);
  return " Created by \"" + caption + "\" on " + date + ", " + time + "\r\n";
}

TResultsRun::TResultsFile::TResultsFile() : OpenError(SystemReason(EBADF)) {}

TResultsRun::TResultsFile::TResultsFile(const std::string& path) : Path(path) {
  const int handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (handle < 0) {
    OpenError = SystemReason(errno);
    return;
  }
  // One run per results file: a second run in the same folder must neither
  // empty the first one's rows nor mix its own into them. A file system
  // without locks cannot keep runs apart; the run goes on there unlocked.
  if (::flock(handle, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(handle);
    OpenError = EInOutError::SharingViolation().what();
    return;
  }
  struct stat status {};
  // Only a regular file can be emptied; a device such as /dev/null is
  // written as it stands, as opening it with truncation always did.
  if (::fstat(handle, &status) != 0 || (S_ISREG(status.st_mode) && ::ftruncate(handle, 0) != 0)) {
    OpenError = SystemReason(errno);
    ::close(handle);
    return;
  }
  Handle = handle;
  OpenIdentity = {status.st_dev, status.st_ino};
}

// Every complete line is on disk already; an unfinished one is dropped.
TResultsRun::TResultsFile::~TResultsFile() {
  if (Handle >= 0) ::close(Handle);
}

void TResultsRun::TResultsFile::Write(std::string_view text) {
  if (Handle < 0) throw EInOutError(OpenError);
  Line.append(text);
}

void TResultsRun::TResultsFile::EndLine() {
  if (Handle < 0) throw EInOutError(OpenError);
  const std::string line = std::exchange(Line, {});
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t count = ::write(Handle, line.data() + written, line.size() - written);
    if (count > 0) {
      written += static_cast<std::size_t>(count);
    } else if (count == 0 || errno != EINTR) {
      const int reason = count == 0 ? EIO : errno;
      CutBackToLastLine();
      RaiseWriteError(reason);
    }
  }
  Complete += static_cast<off_t>(line.size());
}

// A full disk takes part of a line: the file is cut back to the end of its
// last complete line, so that it never ends inside one. A file that cannot
// be cut (a device) keeps what it took.
void TResultsRun::TResultsFile::CutBackToLastLine() {
  if (::ftruncate(Handle, Complete) == 0) ::lseek(Handle, Complete, SEEK_SET);
}

void TResultsRun::TResultsFile::Close() {
  if (Handle < 0) return;
  const int failed = ::close(Handle) != 0 && errno != EINTR ? errno : 0;
  Handle = -1;
  OpenError = SystemReason(EBADF);
  Line.clear();
  if (failed != 0) RaiseWriteError(failed);
}

void TResultsRun::TResultsFile::RaiseWriteError(int reason) const {
  throw EResultsWriteError("Cannot write the results file " + Path + ": " + SystemReason(reason));
}

std::optional<TFileIdentity> TResultsRun::TResultsFile::Identity() const {
  if (Handle < 0) return std::nullopt;
  return OpenIdentity;
}

}  // namespace harvex
