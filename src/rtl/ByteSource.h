// Where a reader's bytes come from: a regular file opened by name, or bytes
// held in memory under a name (what a script or a test hands over). The
// readers above it never learn which.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace harvex {

class TByteSource {
 public:
  virtual ~TByteSource() = default;

  // Up to Count bytes from the position on, fewer only at the end; the
  // position moves past them. Raises EInOutError when reading fails.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // The same from Offset on; the position stays where it was.
  virtual std::size_t ReadAt(void* buffer, std::size_t count, std::uint64_t offset) = 0;
  // Moves the position Count bytes on; past the end, reads give nothing.
  virtual void Skip(std::uint64_t count) = 0;
  virtual std::uint64_t Position() = 0;
  virtual std::uint64_t Size() = 0;
  // Raises EInOutError when closing fails; the source is closed all the same.
  virtual void Close() {}
};

// A source, or none and the reason nothing was opened.
struct TOpenedSource {
  std::unique_ptr<TByteSource> Source;
  std::string Failure;
};

// A regular file, opened as OpenRegularFile opens it.
TOpenedSource OpenFileSource(const std::string& path);
// Bytes held in memory, which must outlive the source.
std::unique_ptr<TByteSource> MemorySource(std::string_view bytes);

}  // namespace harvex
