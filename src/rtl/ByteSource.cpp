#include "rtl/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "rtl/RegularFile.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

class TFileSource final : public TByteSource {
 public:
  explicit TFileSource(int handle) : Handle(handle) {}
  ~TFileSource() override {
    if (Handle >= 0) ::close(Handle);
  }
  TFileSource(const TFileSource&) = delete;
  TFileSource& operator=(const TFileSource&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override {
    return Transfer(buffer, count, [this](char* to, std::size_t wanted, std::size_t) {
      return ::read(Handle, to, wanted);
    });
  }

  std::size_t ReadAt(void* buffer, std::size_t count, std::uint64_t offset) override {
    return Transfer(buffer, count, [this, offset](char* to, std::size_t wanted, std::size_t done) {
      return ::pread(Handle, to, wanted, static_cast<off_t>(offset + done));
    });
  }

  void Skip(std::uint64_t count) override {
    if (::lseek(Handle, static_cast<off_t>(count), SEEK_CUR) < 0) throw EInOutError::FromErrno(errno);
  }

  std::uint64_t Position() override {
    const off_t position = ::lseek(Handle, 0, SEEK_CUR);
    if (position < 0) throw EInOutError::FromErrno(errno);
    return static_cast<std::uint64_t>(position);
  }

  std::uint64_t Size() override {
    struct stat status {};
    if (::fstat(Handle, &status) != 0) throw EInOutError::FromErrno(errno);
    return static_cast<std::uint64_t>(status.st_size);
  }

  void Close() override {
    const int handle = Handle;
    Handle = -1;
    if (handle >= 0 && ::close(handle) != 0 && errno != EINTR) throw EInOutError::FromErrno(errno);
  }

 private:
  // Calls Step until Count bytes came or one call gives none (the end);
  // an interrupted call is repeated.
  template <typename TStep>
  static std::size_t Transfer(void* buffer, std::size_t count, TStep step) {
    auto* to = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
      const ssize_t got = step(to + total, count - total, total);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw EInOutError::FromErrno(errno);
      if (got == 0) break;
      total += static_cast<std::size_t>(got);
    }
    return total;
  }

  int Handle;
};

class TMemorySource final : public TByteSource {
 public:
  explicit TMemorySource(std::string_view bytes) : Bytes(bytes) {}

  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t got = ReadAt(buffer, count, Offset);
    Offset += got;
    return got;
  }

  std::size_t ReadAt(void* buffer, std::size_t count, std::uint64_t offset) override {
    if (offset >= Bytes.size()) return 0;
    const std::size_t got = std::min<std::size_t>(count, Bytes.size() - offset);
    std::memcpy(buffer, Bytes.data() + offset, got);
    return got;
  }

  void Skip(std::uint64_t count) override { Offset += count; }
  std::uint64_t Position() override { return Offset; }
  std::uint64_t Size() override { return Bytes.size(); }

 private:
  std::string_view Bytes;
  std::uint64_t Offset = 0;
};

}  // namespace

TOpenedSource OpenFileSource(const std::string& path) {
  TOpenedFile opened = OpenRegularFile(path);
  if (opened.Handle < 0) return {nullptr, std::move(opened.Failure)};
  return {std::make_unique<TFileSource>(opened.Handle), {}};
}

std::unique_ptr<TByteSource> MemorySource(std::string_view bytes) { return std::make_unique<TMemorySource>(bytes); }

}  // namespace harvex
