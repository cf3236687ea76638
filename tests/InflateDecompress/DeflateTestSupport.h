// Helpers for decoder tests: a writer of DEFLATE streams bit by bit, zlib's
// raw deflate as the reference compressor, and a decoder over a string.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "InflateDecompress/InflateDecompress.h"

namespace harvex::testing {

// Packs fields least significant bit first, as RFC 1951 stores them.
class TBitWriter {
 public:
  TBitWriter& Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) PutBit((value >> i) & 1);
    return *this;
  }
  // A Huffman code goes out most significant bit first.
  TBitWriter& Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) PutBit((code >> i) & 1);
    return *this;
  }
  // Fills the last byte with zero bits.
  TBitWriter& Align() {
    while (Used != 0) PutBit(0);
    return *this;
  }
  TBitWriter& Raw(std::string_view bytes) {
    Align();
    Out.append(bytes);
    return *this;
  }
  // Codes of the fixed literal/length code (RFC 1951, 3.2.6).
  TBitWriter& FixedSymbol(int symbol) {
    if (symbol < 144) return Code(0x30 + symbol, 8);
    if (symbol < 256) return Code(0x190 + symbol - 144, 9);
    if (symbol < 280) return Code(symbol - 256, 7);
    return Code(0xC0 + symbol - 280, 8);
  }
  std::string Bytes() const { return Out; }

 private:
  void PutBit(std::uint32_t bit) {
    if (Used == 0) Out.push_back('\0');
    Out.back() = static_cast<char>(Out.back() | bit << Used);
    Used = (Used + 1) % 8;
  }
  std::string Out;
  int Used = 0;
};

// zlib's raw deflate (no header, no trailer) at a level and strategy.
inline std::string ZlibDeflate(std::string_view data, int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream stream{};
  deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, strategy);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

inline std::uint32_t ZlibCrc(std::string_view data) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// What decoding a whole stream gave.
struct TInflateResult {
  std::string Output;
  int BuildCode = 0;  // the first non-zero inflate_build_trees code
  int StepCode = 0;   // the first non-zero inflate_codes code
  bool Finished = false;  // the final block ended
  bool InputEnded = false;
  std::uint32_t Crc = 0;  // complemented register
};

// A decoder over an in-memory stream, handed out in chunks of ChunkSize
// bytes per refill so that refills fall at every kind of place.
class TMemoryInflater : public TInflater {
 public:
  explicit TMemoryInflater(std::string input, int chunkSize = InBufSize)
      : Input(std::move(input)), ChunkSize(std::min(chunkSize, InBufSize)) {
    Window = WindowBuf.data();
    reset_inflater();
  }
  ~TMemoryInflater() override { release_block_tables(Tables); }

  // Runs block after block until the final one ends, a code is non-zero or
  // the input has run out, collecting every byte written.
  TInflateResult InflateAll() {
    TInflateResult result;
    int final = 0;
    while (!InputEnded) {
      result.BuildCode = inflate_build_trees(final, Tables);
      if (result.BuildCode != 0) break;
      bool endOfBlock = false;
      while (!endOfBlock && !InputEnded) {
        const std::uint16_t before = WindowPos;
        result.StepCode = inflate_codes(Tables, endOfBlock);
        AppendSince(result.Output, before);
        if (result.StepCode != 0) break;
      }
      release_block_tables(Tables);
      if (result.StepCode != 0) break;
      if (final != 0 && endOfBlock) {
        result.Finished = true;
        break;
      }
    }
    result.InputEnded = InputEnded;
    sync_crc();
    result.Crc = ~Crc;
    return result;
  }

  // Step-level access for the cases that look inside a block.
  int BuildTrees(int& final) { return inflate_build_trees(final, Tables); }
  int Step(bool& endOfBlock) { return inflate_codes(Tables, endOfBlock); }
  int StepsUntil(bool& endOfBlock, std::uint16_t start, int minBytes) {
    return inflate_codes_until(Tables, endOfBlock, start, minBytes);
  }
  std::uint16_t Position() const { return WindowPos; }
  const TBlockTables& Block() const { return Tables; }
  std::uint32_t CurrentCrc() {
    sync_crc();
    return ~Crc;
  }

 protected:
  void FillInput() override {
    const auto count = std::min<std::size_t>(static_cast<std::size_t>(ChunkSize), Input.size() - Offset);
    std::copy_n(Input.begin() + static_cast<std::ptrdiff_t>(Offset), count, InBuf.begin());
    Offset += count;
    InPos = 0;
    InLast = static_cast<std::int32_t>(count) - 1;
  }

 private:
  void AppendSince(std::string& out, std::uint16_t start) const {
    for (unsigned pos = start; pos != WindowPos; pos = (pos + 1) & WindowMask)
      out.push_back(static_cast<char>(WindowBuf[pos]));
  }

  std::string Input;
  std::size_t Offset = 0;
  int ChunkSize;
  std::array<std::uint8_t, WindowSize> WindowBuf{};
  TBlockTables Tables;
};

}  // namespace harvex::testing
