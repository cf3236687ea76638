#include "CoordFiles/LineSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CoordFiles/CoordFiles.h"
#include "ZipReader/ZipReader.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// Large reads keep the system-call count negligible next to the line scan.
constexpr std::size_t PlainBlockSize = std::size_t{1} << 18;
constexpr char CtrlZ = 26;

}  // namespace

TPlainTextFile::~TPlainTextFile() {
  if (Handle >= 0) ::close(Handle);
}

bool TPlainTextFile::Open(const std::string& fileName) {
  if (Handle >= 0) Close();
  const int handle = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle < 0) {
    OpenErrno = errno;
    return false;
  }
  struct stat status {};
  if (::fstat(handle, &status) == 0 && S_ISDIR(status.st_mode)) {
    ::close(handle);
    OpenErrno = EISDIR;
    return false;
  }
  Handle = handle;
  OpenErrno = 0;
  Buffer.resize(PlainBlockSize);
  Pos = Last = 0;
  Exhausted = false;
  return true;
}

void TPlainTextFile::RequireOpen() const {
  if (Handle < 0) throw EInOutError::FromErrno(OpenErrno != 0 ? OpenErrno : EBADF);
}

bool TPlainTextFile::Fill() {
  if (Exhausted) return false;
  ssize_t count = 0;
  do {
    count = ::read(Handle, Buffer.data(), Buffer.size());
  } while (count < 0 && errno == EINTR);
  if (count < 0) throw EInOutError::FromErrno(errno);
  Pos = 0;
  Last = static_cast<std::size_t>(count);
  Exhausted = count == 0;
  return count > 0;
}

bool TPlainTextFile::AtEnd() {
  RequireOpen();
  if (Pos == Last && !Fill()) return true;
  return Buffer[Pos] == CtrlZ;
}

void TPlainTextFile::ReadLine(std::string& line) {
  line.clear();
  if (AtEnd()) return;
  for (;;) {
    const char* begin = Buffer.data() + Pos;
    const std::size_t available = Last - Pos;
    const auto* lineFeed = static_cast<const char*>(std::memchr(begin, '\n', available));
    if (lineFeed != nullptr) {
      line.append(begin, lineFeed);
      Pos += static_cast<std::size_t>(lineFeed - begin) + 1;
      break;
    }
    line.append(begin, available);
    Pos = Last;
    if (!Fill()) break;
  }
  // The CR of a CR LF end, and any lone CR, are left out of the text.
  if (std::memchr(line.data(), '\r', line.size()) != nullptr) std::erase(line, '\r');
}

void TPlainTextFile::Close() {
  RequireOpen();
  const int handle = Handle;
  Handle = -1;
  Buffer = {};
  if (::close(handle) != 0 && errno != EINTR) throw EInOutError::FromErrno(errno);
}

TLineSource::TLineSource() = default;
TLineSource::~TLineSource() = default;

bool TLineSource::OpenSource(const std::string& fileName) {
  if (UpperExtension(fileName) != ".ZIP") {
    Kind = lsPlainFile;
    return TextFile.Open(fileName);
  }
  Kind = lsArchiveMember;
  Reader = std::make_unique<TZippedFilesReader>();
  Reader->Open(fileName);
  std::string memberName;
  if (Reader->FindMember(".out", memberName)) {
    Reader->StartMember();
    return true;
  }
  Reader->CloseArchive();
  Reader.reset();
  return false;
}

void TLineSource::ReadSourceLine(std::string& line) {
  if (Kind == lsPlainFile) {
    TextFile.ReadLine(line);
  } else if (Reader) {
    Reader->ReadLine(line);
  }
}

bool TLineSource::SourceAtEnd() {
  if (Kind == lsPlainFile) return TextFile.AtEnd();
  return !Reader || Reader->Eof();
}

bool TLineSource::CloseSource() {
  if (Kind == lsPlainFile) {
    TextFile.Close();
    return true;
  }
  if (!Reader) return true;
  const bool crcOk = Reader->CrcOk();
  Reader->CloseArchive();
  Reader.reset();
  return crcOk;
}

}  // namespace harvex
