#include "ZipReader/InflatingFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rtl/RegularFile.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {

TInflatingFile::TInflatingFile(const TLoadContext& context) : Context(context) { Window = WindowBuf.data(); }

TInflatingFile::~TInflatingFile() {
  release_block_tables(Tables);
  if (Archive >= 0) ::close(Archive);
}

bool TInflatingFile::OpenArchive(const std::string& fileName) {
  if (Archive >= 0) CloseArchive();
  TOpenedFile opened = OpenRegularFile(Context.Resolve(fileName));
  OpenError = std::move(opened.Failure);
  Archive = opened.Handle;
  return Archive >= 0;
}

int TInflatingFile::ReadFrom(int handle, std::uint8_t* buffer, int count) {
  int total = 0;
  while (total < count) {
    const ssize_t got = ::read(handle, buffer + total, static_cast<std::size_t>(count - total));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EInOutError::FromErrno(errno);
    if (got == 0) break;
    total += static_cast<int>(got);
  }
  return total;
}

unsigned TInflatingFile::TakeDecodedSince(std::uint16_t start, void* out) {
  sync_crc();
  auto* target = static_cast<std::uint8_t*>(out);
  const unsigned produced = (WindowPos - start) & WindowMask;
  const unsigned beforeWrap = std::min<unsigned>(produced, WindowSize - start);
  std::memcpy(target, Window + start, beforeWrap);
  std::memcpy(target + beforeWrap, Window, produced - beforeWrap);
  return produced;
}

void TInflatingFile::CloseArchive() {
  if (Archive < 0) return;
  const int handle = Archive;
  Archive = -1;
  InputFile = -1;
  if (::close(handle) != 0 && errno != EINTR) throw EInOutError::FromErrno(errno);
}

}  // namespace harvex
