#include "Unit1/ResultsFile.h"

#include <cerrno>
#include <sys/stat.h>

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

int LastErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

}  // namespace

std::string HeaderLine(const std::string& caption, const std::tm& now, const TFormatSettings& settings) {
  const bool plainDate = settings.PlainCLocale || settings.ShortDateFormat.empty();
  const bool plainTime = settings.PlainCLocale || settings.LongTimeFormat.empty();
  const std::string date = plainDate ? PlainShortDate(now) : FormatTime(settings.ShortDateFormat.c_str(), now);
  const std::string time = plainTime ? PlainLongTime(now) : FormatTime(settings.LongTimeFormat.c_str(), now);
  return " Created by \"" + caption + "\" on " + date + ", " + time + "\r\n";
}

TResultsRun::TResultsFile::TResultsFile() : OpenErrno(EBADF) {}

TResultsRun::TResultsFile::TResultsFile(const std::string& path) : OpenErrno(0) {
  errno = 0;
  File = std::fopen(path.c_str(), "wbe");
  if (File == nullptr) {
    OpenErrno = LastErrnoOr(EIO);
    return;
  }
  std::setvbuf(File, Buffer, _IOFBF, BufferSize);
  struct stat status {};
  if (::fstat(::fileno(File), &status) == 0) OpenIdentity = {status.st_dev, status.st_ino};
}

TResultsRun::TResultsFile::~TResultsFile() {
  if (File != nullptr) std::fclose(File);
}

void TResultsRun::TResultsFile::Write(std::string_view text) {
  if (File == nullptr) throw EInOutError::FromErrno(OpenErrno);
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), File) != text.size()) throw EInOutError::FromErrno(LastErrnoOr(EIO));
}

void TResultsRun::TResultsFile::Close() {
  if (File == nullptr) return;
  std::FILE* file = File;
  File = nullptr;
  OpenErrno = EBADF;
  errno = 0;
  if (std::fclose(file) != 0) throw EInOutError::FromErrno(LastErrnoOr(EIO));
}

std::optional<TFileIdentity> TResultsRun::TResultsFile::Identity() const {
  if (File == nullptr) return std::nullopt;
  return OpenIdentity;
}

}  // namespace harvex
