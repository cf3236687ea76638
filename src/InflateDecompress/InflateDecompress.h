// A DEFLATE (RFC 1951) decoder that works one small step at a time into a
// 32 KiB circular window, keeping the CRC-32 of every byte it writes there.
//
// The owner (the archive reader) supplies the window storage and the input,
// starts each block with inflate_build_trees and then runs inflate_codes,
// which adds one literal, one match or one stored byte per call, reading the
// produced bytes out of the window between steps. Failures are small result
// codes; the decoder shows nothing itself.
#pragma once

#include <array>
#include <cstdint>

#include "rtl/ByteSource.h"

namespace harvex {

constexpr int WindowSize = 32768;
constexpr unsigned WindowMask = WindowSize - 1;
constexpr int InBufSize = 2048;
// The longest match; one decoding step never writes more.
constexpr int MaxMatch = 258;

// One slot of a decoding table. Op tells what the slot holds:
constexpr std::uint8_t OpEndOfBlock = 15;
constexpr std::uint8_t OpLiteral = 16;  // also a symbol standing for itself
// Op 17 to 32: link to a sub-table indexed by Op - 16 further bits.
constexpr std::uint8_t OpInvalid = 99;
// Op 0 to 13: a length or distance base follows with Op extra bits.

struct TCodeEntry {
  std::uint8_t Op;
  std::uint8_t Bits;    // code bits consumed at this table's level
  std::uint16_t Value;  // literal, length or distance base, or the symbol
  TCodeEntry* Next;     // the sub-table of a link entry
};

// Every table is allocated with one header entry in front of its slots: the
// header's Bits is the table's index width and its Next the table allocated
// after it for the same code set, so a set's tables form one chain from its
// root.

// The decoding state of the block being decoded.
struct TBlockTables {
  bool Stored = false;  // a stored block: the table fields are not in use
  std::uint16_t StoredLeft = 0;
  const TCodeEntry* LitTable = nullptr;
  const TCodeEntry* DistTable = nullptr;
  std::int32_t LitBits = 0;
  std::int32_t DistBits = 0;
  // The tables a dynamic block built for itself, released with the block.
  // A fixed block decodes through tables made once, when the program was
  // compiled, and owns none.
  TCodeEntry* BuiltLitTable = nullptr;
  TCodeEntry* BuiltDistTable = nullptr;
};

// What the table builder, the block set-ups and the decoding steps return.
// The archive readers name the number in their messages, so the values are
// fixed.
enum TInflateCode : int {
  InflateOk = 0,
  // The code lengths leave codes unused; the tables are built all the same
  // (the usual case for a distance code). A dynamic block's header gives it
  // for counts beyond 288 or 32 and for a repeat code 16 or 17 that runs
  // past the end of its lengths.
  HuffmanIncomplete = 1,
  // A length above 16, a set that does not fit in the code space, or a
  // symbol from S up with no bases or extra bits.
  HuffmanBadInput = 2,
  HuffmanNoMemory = 3,
  // A block set-up or a decoding step met data that is no DEFLATE stream:
  // block type 3, a stored length that does not match its complement, a
  // code set that cannot decode, an invalid code, a distance beyond the
  // bytes the stream has written.
  InflateBadData = 4,
};

// Advances the CRC-32 register (reflected polynomial 0xEDB88320) over Count
// bytes; the checksum is the complement of a register started at
// 0xFFFFFFFF. A count of 0 or less does nothing.
void update_crc32(std::uint32_t& crc, const std::uint8_t* bytes, int count);

// Builds the decoding tables of a canonical code from N code lengths (at
// most 320). Symbols below S stand for themselves (256 is end of block);
// from S up, Bases and Extras (indexed by symbol - S, extra-bit count in the
// low byte) give the slot's base and Op. Width comes in as the wanted
// first-level index width and goes out as the one used. Returns 0, or one of
// the Huffman codes above; an empty set gives 0 with an empty root.
int build_huffman_table(const std::uint16_t* lengths, int n, int s, const std::uint16_t* bases,
                        const std::uint16_t* extras, TCodeEntry*& root, int& width);
// Releases a chain of tables; an empty root does nothing.
void free_huffman_table(TCodeEntry*& root);

class TInflater {
 public:
  TInflater() = default;
  virtual ~TInflater() = default;
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Prepares a new stream: input and bits empty, WindowPos 0, Crc
  // 0xFFFFFFFF. The window's content is left as it is.
  void reset_inflater();
  // Reads a block header and sets the block up; Final is 1 for the stream's
  // last block. 0 when the block is ready, else the code of the failure.
  int inflate_build_trees(int& final, TBlockTables& tables);
  // One decoding step: one literal, one match (up to 258 bytes) or one
  // stored byte. Sets EndOfBlock at the block's end; 0, or 4 for bad data
  // (among it a distance beyond the bytes the stream has written).
  int inflate_codes(TBlockTables& tables, bool& endOfBlock);
  // Decoding steps, each exactly as inflate_codes, until at least MinBytes
  // bytes follow Start in the window, the block ends, the input has run out
  // or a step fails.
  int inflate_codes_until(TBlockTables& tables, bool& endOfBlock, std::uint16_t start,
                          int minBytes);
  // Releases the tables a block built (stored and fixed blocks have none).
  void release_block_tables(TBlockTables& tables);

 protected:
  // Refills InBuf from InputFile and restarts it at InBuf[0]: InPos 0,
  // InLast the index of the last byte read. The base class has no input.
  virtual void FillInput();

  // Brings Crc up to date over the bytes written since the last call. The
  // decoder folds the window into the CRC in runs, which is what lets the
  // CRC take eight bytes at a time; it never lets unfolded bytes be
  // overwritten.
  void sync_crc();
  // Skips to the next byte boundary and reads the little-endian 32-bit word
  // there, as for fields that follow a stream's last block.
  std::uint32_t read_aligned_word();
  // The same for one byte, as for the header fields before a stream.
  std::uint8_t read_aligned_byte();
  // Skips to the next byte boundary; true when no byte of input is left,
  // neither in the bits at hand nor from FillInput.
  bool input_exhausted();

  std::uint32_t BitBuf = 0;  // the next bit of the stream is the lowest
  std::uint8_t BitCount = 0;
  std::uint8_t* Window = nullptr;  // WindowSize bytes, owned by the owner
  std::uint16_t WindowPos = 0;
  std::uint32_t Crc = 0;
  TByteSource* InputFile = nullptr;  // the file the owner's FillInput reads
  std::int32_t InPos = 0;
  std::int32_t InLast = -1;
  std::array<std::uint8_t, InBufSize> InBuf{};
  // FillInput found no more bytes: from then on the input reads as zero bits.
  bool InputEnded = false;
  // How many of those zero bits were taken into the bit buffer.
  unsigned PaddingBits = 0;

 private:
  // The hot state of the steps, held in a local (see the bit input).
  struct TCursor {
    std::uint32_t BitBuf;
    unsigned BitCount;
    std::int32_t InPos;
    std::int32_t InLast;
    bool InputEnded;
    std::uint8_t* Window;
    unsigned WindowPos;
    unsigned CrcPos;
  };
  TCursor load_cursor() const;
  void store_cursor(const TCursor& cursor);

  bool refill_input();
  std::uint8_t next_input_byte(TCursor& cursor);
  // Runs one decoding step. A step that took bits past the input's end
  // decoded padding, not data: the bytes it wrote are taken back.
  int decode_step_within_input(TCursor& cursor, TBlockTables& tables, bool& endOfBlock);
  void fetch_bits(TCursor& cursor, unsigned n);
  void drop_bits(TCursor& cursor, unsigned n);
  unsigned read_bits(TCursor& cursor, unsigned n);
  void fetch_bits(unsigned n);
  void drop_bits(unsigned n);
  unsigned read_bits(unsigned n);

  int start_stored_block(TBlockTables& tables);
  int start_fixed_block(TBlockTables& tables);
  int start_dynamic_block(TBlockTables& tables);
  int read_code_lengths(const TCodeEntry* lengthCode, unsigned lengthCodeBits,
                        std::uint16_t* lengths, unsigned total);

  const TCodeEntry* decode_symbol(TCursor& cursor, const TCodeEntry* table, unsigned bits);
  void put_byte(TCursor& cursor, std::uint8_t byte);
  void copy_match(TCursor& cursor, unsigned length, unsigned distance);
  int decode_step(TCursor& cursor, TBlockTables& tables, bool& endOfBlock);
  void keep_crc_ahead(TCursor& cursor);

  // Window position up to which Crc covers the written bytes.
  std::uint16_t CrcPos = 0;
  // The stream has written past the window's end once: every distance up to
  // the window's size reaches bytes it wrote.
  bool WindowLapped = false;
};

}  // namespace harvex
