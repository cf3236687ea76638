// A file whose text a line source pulls through the DEFLATE decoder: a ZIP
// archive (one member) or a gzip file (its members as one text). It holds
// the file, the decoder's window and the block's tables.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "InflateDecompress/InflateDecompress.h"
#include "rtl/Desktop.h"
#include "TextFile/TextFile.h"

namespace harvex {

class TInflatingFile : public TInflater {
 public:
  // Closes the file if CloseArchive was not called.
  ~TInflatingFile() override;

  // The next line without its LF (every CR dropped), cut to MaxLineLength;
  // false at the end, with Line left as it was.
  virtual bool ReadLine(std::string& line) = 0;
  virtual bool Eof() const = 0;
  // The line read last ran up to the end of the text without a line end.
  bool LastLineOpen() const { return OpenLine; }
  // Why the last open failed; empty after one that succeeded.
  const std::string& OpenFailure() const { return OpenError; }
  // Whether the check values the file records match the bytes produced.
  virtual bool CrcOk() const = 0;
  // Raises EInOutError when closing fails.
  void CloseArchive();

 protected:
  // Boxes go to the context's desktop, and names are opened against its folder.
  explicit TInflatingFile(const TLoadContext& context);
  // Opens the file at its first byte, closing one still open; false, the
  // reason kept, when it cannot be opened for reading (only a regular file
  // opens: OpenRegularFile). The context may hold the file in memory.
  bool OpenArchive(const std::string& fileName);
  // Reads up to Count bytes of the file, fewer only at its end; raises
  // EInOutError when reading fails.
  int ReadArchive(std::uint8_t* buffer, int count);
  // Folds the bytes the decoder wrote since Start into the CRC and copies
  // them, in their order across the window's end, to Out; gives their count.
  unsigned TakeDecodedSince(std::uint16_t start, void* out);

  TLoadContext Context;
  std::unique_ptr<TByteSource> Archive;
  bool OpenLine = false;
  std::string OpenError;
  std::array<std::uint8_t, WindowSize> WindowBuf{};
  TBlockTables Tables;
};

}  // namespace harvex
