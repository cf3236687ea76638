#include "rtl/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// Why a file of this status is not read; empty for a regular file.
std::string RefusalOf(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return {};
  return S_ISDIR(status.st_mode) ? SystemReason(EISDIR) : NotRegularFileReason;
}

}  // namespace

TOpenedFile OpenRegularFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {-1, SystemReason(errno)};
  if (std::string refusal = RefusalOf(status); !refusal.empty()) return {-1, std::move(refusal)};
  // Without blocking, in case the name was given to a FIFO meanwhile; the
  // flag changes nothing for a regular file.
  const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (handle < 0) return {-1, SystemReason(errno)};
  if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(handle);
    return {-1, NotRegularFileReason};
  }
  return {handle, {}};
}

bool IsSpecialFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

}  // namespace harvex
