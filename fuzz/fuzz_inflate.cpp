// Arbitrary bytes decoded as a DEFLATE stream, the way the archive reader
// drives the decoder: block set-ups, then steps until 258 new bytes exist.
// The first byte picks how many input bytes each refill hands over, so that
// refills fall everywhere. A fill must never exceed 515 bytes and the CRC
// register must cover exactly the bytes written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "InflateDecompress/InflateDecompress.h"

namespace {

class TFuzzInflater : public harvex::TInflater {
 public:
  TFuzzInflater(const std::uint8_t* data, std::size_t size, std::size_t chunk)
      : Data(data), Size(size), Chunk(chunk) {
    Window = Storage;
    reset_inflater();
  }

  void Decode() {
    harvex::TBlockTables tables;
    int final = 0;
    int code = 0;
    bool endOfBlock = false;
    while (code == 0 && !(final != 0 && endOfBlock) && !InputEnded) {
      code = inflate_build_trees(final, tables);
      endOfBlock = false;
      while (code == 0 && !endOfBlock && !InputEnded) {
        const std::uint16_t start = WindowPos;
        code = inflate_codes_until(tables, endOfBlock, start, harvex::MaxMatch);
        Collect(start);
      }
      release_block_tables(tables);
    }
    sync_crc();
    if (BitwiseCrc(Output) != Crc) __builtin_trap();
  }

 protected:
  void FillInput() override {
    const std::size_t count = std::min({Chunk, Size - Offset, std::size_t{harvex::InBufSize}});
    if (count > 0) std::memcpy(InBuf.data(), Data + Offset, count);
    Offset += count;
    InPos = 0;
    InLast = static_cast<std::int32_t>(count) - 1;
  }

 private:
  // The CRC register bit by bit, independent of the decoder's tables.
  static std::uint32_t BitwiseCrc(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
      crc ^= static_cast<std::uint8_t>(byte);
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
    return crc;
  }

  void Collect(std::uint16_t start) {
    const unsigned produced = (WindowPos - start) & harvex::WindowMask;
    if (produced > 2 * harvex::MaxMatch - 1) __builtin_trap();
    for (unsigned i = 0; i < produced; ++i) Output.push_back(static_cast<char>(Storage[(start + i) & harvex::WindowMask]));
  }

  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Chunk;
  std::size_t Offset = 0;
  std::uint8_t Storage[harvex::WindowSize] = {};
  std::string Output;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t chunk = data[0] < 128 ? harvex::InBufSize : std::size_t{data[0]} - 127;
  TFuzzInflater inflater(data + 1, size - 1, chunk);
  inflater.Decode();
  return 0;
}
