#include "InflateDecompress/InflateDecompress.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace harvex {
namespace {

// ---------------------------------------------------------------------------
// The format's numbers (RFC 1951, 3.2.5 and 3.2.7).

constexpr int LiteralLengthSymbols = 288;  // HLIT + 257 may name up to 288
constexpr int DistanceSymbols = 32;        // HDIST + 1 may name up to 32
constexpr int CodeLengthSymbols = 19;
constexpr int EndOfBlockSymbol = 256;
constexpr int FirstLengthSymbol = 257;
constexpr unsigned MaxCodeBits = 16;
constexpr int MaxSymbols = LiteralLengthSymbols + DistanceSymbols;

// Length codes 257..285: base length and extra bits. 286 and 287 take part
// in the fixed code but mean nothing: their extra-bit value 99 makes them
// invalid codes.
constexpr std::array<std::uint16_t, 31> LengthBase = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27, 31,
    35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr std::array<std::uint16_t, 31> LengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
static_assert(LengthBase.size() == LiteralLengthSymbols - FirstLengthSymbol);
static_assert(LengthExtraBits.size() == LengthBase.size());

// Distance codes 0..29: base distance and extra bits. A dynamic header may
// give codes to 30 and 31, which occur only in damaged data: invalid codes.
constexpr std::array<std::uint16_t, 32> DistBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,    65,    97,    129, 193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 0,   0};
constexpr std::array<std::uint16_t, 32> DistExtraBits = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 99, 99};
static_assert(DistBase.size() == DistanceSymbols);
static_assert(DistExtraBits.size() == DistBase.size());

// The order in which the code length code lengths arrive (3.2.7).
constexpr std::array<std::uint8_t, 19> CodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
static_assert(CodeLengthOrder.size() == CodeLengthSymbols);

constexpr std::array<std::uint32_t, MaxCodeBits + 1> BitMask = [] {
  std::array<std::uint32_t, MaxCodeBits + 1> masks{};
  for (unsigned k = 0; k <= MaxCodeBits; ++k) masks[k] = (std::uint32_t{1} << k) - 1;
  return masks;
}();
static_assert(BitMask.size() == 17 && BitMask[16] == 0xFFFF);

// First-level index widths asked for.
constexpr int LitLookupBits = 9;
constexpr int DistLookupBits = 6;
constexpr int CodeLengthLookupBits = 7;

// ---------------------------------------------------------------------------
// CRC-32 of the ZIP format: reflected polynomial 0xEDB88320. CrcTable is the
// classic byte-at-a-time table; CrcSlices extends it so that sixteen bytes
// are folded per round ("slicing by 16"), which gives the same register.

constexpr std::uint32_t CrcPolynomial = 0xEDB88320;

constexpr std::array<std::uint32_t, 256> CrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? CrcPolynomial ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}();
static_assert(CrcTable.size() == 256 && CrcTable[1] == 0x77073096);

constexpr int CrcSliceCount = 16;
using TCrcSlices = std::array<std::array<std::uint32_t, 256>, CrcSliceCount>;
constexpr TCrcSlices CrcSlices = [] {
  TCrcSlices slices{};
  slices[0] = CrcTable;
  for (int k = 1; k < CrcSliceCount; ++k)
    for (int n = 0; n < 256; ++n)
      slices[k][n] = (slices[k - 1][n] >> 8) ^ CrcTable[slices[k - 1][n] & 0xFF];
  return slices;
}();

inline std::uint32_t load_le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

}  // namespace

void update_crc32(std::uint32_t& crc, const std::uint8_t* bytes, int count) {
  std::uint32_t c = crc;
  for (; count >= CrcSliceCount; count -= CrcSliceCount, bytes += CrcSliceCount) {
    // Slice k folds the byte that lies 15 - k bytes before the round's end.
    const std::uint32_t first = c ^ load_le32(bytes);
    c = 0;
    for (int k = 0; k < 4; ++k) c ^= CrcSlices[15 - k][(first >> (8 * k)) & 0xFF];
    for (int k = 4; k < CrcSliceCount; ++k) c ^= CrcSlices[15 - k][bytes[k]];
  }
  for (; count > 0; --count) c = CrcTable[(c ^ *bytes++) & 0xFF] ^ (c >> 8);
  crc = c;
}

// ---------------------------------------------------------------------------
// Bit input (RFC 1951, 3.1.1): bytes are taken least significant bit first,
// only when needed. When the owner has no more input the stream reads on as
// zero bits, which keeps every read inside InBuf; the owner learns of the
// end in its FillInput.
//
// While steps run, the bit and window state lives in a local TCursor: the
// window is written through a byte pointer, which the compiler must assume
// may alias any member, so state kept in members would be reloaded after
// every byte. The cursor goes back to the members around each refill.

inline TInflater::TCursor TInflater::load_cursor() const {
  return {BitBuf, BitCount, InPos, InLast, InputEnded, Window, WindowPos, CrcPos};
}

inline void TInflater::store_cursor(const TCursor& cursor) {
  BitBuf = cursor.BitBuf;
  BitCount = static_cast<std::uint8_t>(cursor.BitCount);
  InPos = cursor.InPos;
  WindowPos = static_cast<std::uint16_t>(cursor.WindowPos);
}

bool TInflater::refill_input() {
  if (!InputEnded) FillInput();
  if (InPos <= InLast) return true;
  InputEnded = true;
  return false;
}

inline std::uint8_t TInflater::next_input_byte(TCursor& cursor) {
  if (cursor.InPos > cursor.InLast) [[unlikely]] {
    const bool refilled = refill_input();
    cursor.InPos = InPos;
    cursor.InLast = InLast;
    cursor.InputEnded = InputEnded;
    if (!refilled) {
      PaddingBits += 8;
      return 0;
    }
  }
  return InBuf[static_cast<std::size_t>(cursor.InPos++)];
}

// With two bytes at hand they are taken together (at most 31 bits are then
// pending); the refill itself is asked for only when InBuf is used up.
inline void TInflater::fetch_bits(TCursor& cursor, unsigned n) {
  if (cursor.BitCount >= n) return;
  if (cursor.InPos < cursor.InLast) {
    const auto pos = static_cast<std::size_t>(cursor.InPos);
    cursor.BitBuf |= (std::uint32_t{InBuf[pos]} | std::uint32_t{InBuf[pos + 1]} << 8) << cursor.BitCount;
    cursor.InPos += 2;
    cursor.BitCount += 16;
    return;
  }
  while (cursor.BitCount < n) {
    cursor.BitBuf |= std::uint32_t{next_input_byte(cursor)} << cursor.BitCount;
    cursor.BitCount += 8;
  }
}

inline void TInflater::drop_bits(TCursor& cursor, unsigned n) {
  cursor.BitBuf >>= n;
  cursor.BitCount -= n;
}

inline unsigned TInflater::read_bits(TCursor& cursor, unsigned n) {
  fetch_bits(cursor, n);
  const unsigned value = cursor.BitBuf & BitMask[n];
  drop_bits(cursor, n);
  return value;
}

// The block set-ups read through these, off the hot path.
void TInflater::fetch_bits(unsigned n) {
  TCursor cursor = load_cursor();
  fetch_bits(cursor, n);
  store_cursor(cursor);
}

void TInflater::drop_bits(unsigned n) {
  BitBuf >>= n;
  BitCount = static_cast<std::uint8_t>(BitCount - n);
}

unsigned TInflater::read_bits(unsigned n) {
  TCursor cursor = load_cursor();
  const unsigned value = read_bits(cursor, n);
  store_cursor(cursor);
  return value;
}

std::uint32_t TInflater::read_aligned_word() {
  drop_bits(BitCount % 8);
  const unsigned low = read_bits(16);
  return low | std::uint32_t{read_bits(16)} << 16;
}

std::uint8_t TInflater::read_aligned_byte() {
  drop_bits(BitCount % 8);
  return static_cast<std::uint8_t>(read_bits(8));
}

bool TInflater::input_exhausted() {
  drop_bits(BitCount % 8);
  return BitCount == 0 && InPos > InLast && !refill_input();
}

// ---------------------------------------------------------------------------
// Stored block (3.2.4): skip to a byte boundary, then LEN and its one's
// complement NLEN, then LEN bytes that inflate_codes copies one per step.

int TInflater::start_stored_block(TBlockTables& tables) {
  drop_bits(BitCount % 8);
  const unsigned len = read_bits(16);
  const unsigned nlen = read_bits(16);
  if (len != (~nlen & 0xFFFF)) return InflateBadData;
  tables.Stored = true;
  tables.StoredLeft = static_cast<std::uint16_t>(len);
  return 0;
}

// ---------------------------------------------------------------------------
// Decoding tables (3.2.2). A code set is given by its code lengths alone:
// codes of one length are consecutive integers, shorter codes come first,
// and within a length the symbols keep their order. The codes are packed
// starting with their most significant bit, so a table index is the code
// with its bits reversed. The first-level table is Width bits wide; a longer
// code continues in a sub-table reached through a link slot.

namespace {

// Allocates a zero-filled table of 2^Width slots behind its header entry
// and appends it to the chain whose last header is LastHeader.
TCodeEntry* allocate_table(unsigned width, TCodeEntry*& root, TCodeEntry*& lastHeader) {
  const std::size_t slots = std::size_t{1} << width;
  auto* header = new (std::nothrow) TCodeEntry[slots + 1]();
  if (header == nullptr) return nullptr;
  header->Bits = static_cast<std::uint8_t>(width);
  TCodeEntry* table = header + 1;
  if (root == nullptr) {
    root = table;
  } else {
    lastHeader->Next = table;
  }
  lastHeader = header;
  return table;
}

constexpr unsigned reverse_bits(unsigned code, unsigned length) {
  unsigned reversed = 0;
  for (unsigned i = 0; i < length; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1);
  return reversed;
}

// Counts of the codes of each length 0 to 16.
using TLengthCounts = std::array<unsigned, MaxCodeBits + 1>;

// The width of a sub-table opened for a code of Length bits when Covered
// bits are consumed before it. It is widened while the codes of the next
// lengths would leave slots free (they would need sub-tables of their own),
// up to Limit; then cut so that the end-of-block code, if it ends inside,
// ends exactly at the table's last bit and needs no bits beyond it.
unsigned sub_table_width(unsigned length, unsigned covered, unsigned limit, unsigned remainingAtLength,
                         const TLengthCounts& count, unsigned eobLength) {
  unsigned width = length - covered;
  long freeSlots = (1L << width) - static_cast<long>(remainingAtLength);
  while (freeSlots > 0 && width < limit) {
    ++width;
    freeSlots = freeSlots * 2 - static_cast<long>(count[covered + width]);
  }
  if (eobLength > covered && eobLength < covered + width) width = eobLength - covered;
  return width;
}

// Places the codes of one set, in canonical order, into a first-level table
// and the sub-tables that longer codes need. Canonical order visits each
// group of codes sharing a prefix in one run, so the tables in use form a
// stack of levels: a code whose prefix differs leaves the deeper ones.
class TTableBuilder {
 public:
  TTableBuilder(TCodeEntry*& root, const TLengthCounts& count, unsigned longest, unsigned width,
                unsigned eobLength)
      : Root(root), Count(count), Longest(longest), FirstWidth(width), EobLength(eobLength) {}

  bool Start() {
    Levels[0] = {allocate_table(FirstWidth, Root, LastHeader), 0, FirstWidth, 0};
    return Levels[0].Table != nullptr;
  }

  // Makes the table that a code of Length bits (Reversed: its bits in index
  // order) ends in the current level; Remaining counts the codes of that
  // length still to come, this one included. False when out of memory.
  bool Reach(unsigned reversed, unsigned length, unsigned remaining) {
    while (Depth > 0 && (reversed & BitMask[Levels[Depth].Covered]) != Levels[Depth].Prefix) --Depth;
    while (length > Levels[Depth].Covered + Levels[Depth].Width) {
      const TTableLevel& parent = Levels[Depth];
      const unsigned covered = parent.Covered + parent.Width;
      const unsigned limit = std::min(Longest - covered, FirstWidth);
      const unsigned width = sub_table_width(length, covered, limit, remaining, Count, EobLength);
      TCodeEntry* table = allocate_table(width, Root, LastHeader);
      if (table == nullptr) return false;
      const unsigned slot = (reversed >> parent.Covered) & BitMask[parent.Width];
      parent.Table[slot] = {static_cast<std::uint8_t>(OpLiteral + width),
                            static_cast<std::uint8_t>(parent.Width), 0, table};
      Levels[++Depth] = {table, covered, width, reversed & BitMask[covered]};
    }
    return true;
  }

  unsigned CoveredBits() const { return Levels[Depth].Covered; }

  // Copies the entry into every slot of the current table whose low index
  // bits are the code's remaining bits.
  void Place(unsigned reversed, const TCodeEntry& entry) const {
    const TTableLevel& level = Levels[Depth];
    for (unsigned slot = reversed >> level.Covered; slot < (1U << level.Width); slot += 1U << entry.Bits)
      level.Table[slot] = entry;
  }

 private:
  struct TTableLevel {
    TCodeEntry* Table;
    unsigned Covered;  // code bits consumed before this table
    unsigned Width;
    unsigned Prefix;  // the reversed code bits that lead here
  };

  TCodeEntry*& Root;
  TCodeEntry* LastHeader = nullptr;
  const TLengthCounts& Count;
  unsigned Longest;
  unsigned FirstWidth;
  unsigned EobLength;
  std::array<TTableLevel, MaxCodeBits + 1> Levels{};
  unsigned Depth = 0;
};

// The slot of a symbol: below S it stands for itself, from S up Bases and
// Extras give its base and Op.
constexpr TCodeEntry symbol_entry(unsigned symbol, int s, const std::uint16_t* bases,
                                  const std::uint16_t* extras) {
  if (static_cast<int>(symbol) < s)
    return {symbol < EndOfBlockSymbol ? OpLiteral : OpEndOfBlock, 0, static_cast<std::uint16_t>(symbol), nullptr};
  return {static_cast<std::uint8_t>(extras[symbol - s] & 0xFF), 0, bases[symbol - s], nullptr};
}

// The room the codes leave in the code space: negative when they do not fit
// (an over-subscribed set), positive for an incomplete set.
long unused_code_space(const TLengthCounts& count, unsigned shortest, unsigned longest) {
  long left = 1L << shortest;
  for (unsigned length = shortest; length < longest; ++length) {
    left -= count[length];
    if (left < 0) return left;
    left <<= 1;
  }
  return left - count[longest];
}

}  // namespace

void free_huffman_table(TCodeEntry*& root) {
  TCodeEntry* table = root;
  while (table != nullptr) {
    TCodeEntry* header = table - 1;
    table = header->Next;
    delete[] header;
  }
  root = nullptr;
}

int build_huffman_table(const std::uint16_t* lengths, int n, int s, const std::uint16_t* bases,
                        const std::uint16_t* extras, TCodeEntry*& root, int& width) {
  root = nullptr;
  TLengthCounts count{};
  bool lengthsValid = n >= 0 && n <= MaxSymbols;
  for (int symbol = 0; lengthsValid && symbol < n; ++symbol) {
    lengthsValid = lengths[symbol] <= MaxCodeBits;
    if (lengthsValid) ++count[lengths[symbol]];
  }
  if (!lengthsValid || count[0] == static_cast<unsigned>(n)) {
    width = 0;
    return lengthsValid ? 0 : HuffmanBadInput;
  }
  unsigned shortest = 1;
  while (count[shortest] == 0) ++shortest;
  unsigned longest = MaxCodeBits;
  while (count[longest] == 0) --longest;
  width = std::clamp(width, static_cast<int>(shortest), static_cast<int>(longest));
  const long left = unused_code_space(count, shortest, longest);
  if (left < 0) return HuffmanBadInput;

  // The symbols in canonical order: by length, then by symbol.
  std::array<std::uint16_t, MaxSymbols> sorted{};
  std::array<unsigned, MaxCodeBits + 2> offset{};
  for (unsigned length = 1; length <= MaxCodeBits; ++length) offset[length + 1] = offset[length] + count[length];
  for (int symbol = 0; symbol < n; ++symbol)
    if (lengths[symbol] != 0) sorted[offset[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
  const unsigned realCodes = static_cast<unsigned>(n) - count[0];
  // An incomplete set is filled up with invalid codes of the longest length.
  count[longest] += static_cast<unsigned>(left);

  const unsigned eobLength = n > EndOfBlockSymbol ? lengths[EndOfBlockSymbol] : MaxCodeBits;
  TTableBuilder builder(root, count, longest, static_cast<unsigned>(width), eobLength);
  int result = builder.Start() ? 0 : HuffmanNoMemory;
  unsigned code = 0;  // the canonical code, most significant bit first
  unsigned placed = 0;
  for (unsigned length = shortest; result == 0 && length <= longest; ++length, code <<= 1) {
    for (unsigned k = 0; result == 0 && k < count[length]; ++k, ++code, ++placed) {
      const unsigned reversed = reverse_bits(code, length);
      TCodeEntry entry{OpInvalid, 0, 0, nullptr};
      if (placed < realCodes) {
        if (sorted[placed] >= s && (bases == nullptr || extras == nullptr)) {
          result = HuffmanBadInput;
          break;
        }
        entry = symbol_entry(sorted[placed], s, bases, extras);
      }
      if (!builder.Reach(reversed, length, count[length] - k)) {
        result = HuffmanNoMemory;
        break;
      }
      entry.Bits = static_cast<std::uint8_t>(length - builder.CoveredBits());
      builder.Place(reversed, entry);
    }
  }
  if (result != 0) {
    free_huffman_table(root);
    return result;
  }
  return left > 0 && longest != 1 ? HuffmanIncomplete : 0;
}

// ---------------------------------------------------------------------------
// Decoding the literal/length and distance codes (3.2.5). A symbol is found
// with one lookup of the first-level width, plus one per sub-table level for
// the rare longer codes. A match copies from up to 32,768 bytes back in the
// window, forward, so that a distance shorter than the length repeats the
// latest bytes; the window wraps at its end.

inline const TCodeEntry* TInflater::decode_symbol(TCursor& cursor, const TCodeEntry* table,
                                                  unsigned bits) {
  if (table == nullptr) return nullptr;
  fetch_bits(cursor, bits);
  const TCodeEntry* entry = table + (cursor.BitBuf & BitMask[bits]);
  while (entry->Op > OpLiteral) {
    if (entry->Op == OpInvalid) return nullptr;
    drop_bits(cursor, entry->Bits);
    const unsigned subBits = entry->Op - OpLiteral;
    fetch_bits(cursor, subBits);
    entry = entry->Next + (cursor.BitBuf & BitMask[subBits]);
  }
  drop_bits(cursor, entry->Bits);
  return entry;
}

inline void TInflater::put_byte(TCursor& cursor, std::uint8_t byte) {
  cursor.Window[cursor.WindowPos] = byte;
  cursor.WindowPos = (cursor.WindowPos + 1) & WindowMask;
}

namespace {

// Copies Count (at most 258) bytes between places that do not overlap, in
// eight-byte runs whose last one may reach back over bytes already copied,
// so that no byte past the target's end is touched: the window's bytes there
// are still needed by later matches.
inline void copy_disjoint(std::uint8_t* target, const std::uint8_t* source, unsigned count) {
  if (count < 8) {
    for (unsigned i = 0; i < count; ++i) target[i] = source[i];
    return;
  }
  for (unsigned i = 0; i + 8 < count; i += 8) std::memcpy(target + i, source + i, 8);
  std::memcpy(target + count - 8, source + count - 8, 8);
}

}  // namespace

inline void TInflater::copy_match(TCursor& cursor, unsigned length, unsigned distance) {
  unsigned from = (cursor.WindowPos - distance) & WindowMask;
  unsigned to = cursor.WindowPos;
  while (length > 0) {
    // A piece reaches neither position past the window's end.
    const unsigned piece = std::min(length, WindowSize - std::max(from, to));
    std::uint8_t* target = cursor.Window + to;
    const std::uint8_t* source = cursor.Window + from;
    if (to > from && to - from >= piece) {
      copy_disjoint(target, source, piece);
    } else if (from >= to) {
      // The source lies ahead (a distance from the window's previous lap):
      // a forward copy reads every byte before it is overwritten.
      std::memmove(target, source, piece);
    } else if (to - from >= 8) {
      // Each eight-byte run reads only bytes written before it.
      unsigned i = 0;
      for (; i + 8 <= piece; i += 8) std::memcpy(target + i, source + i, 8);
      for (; i < piece; ++i) target[i] = source[i];
    } else {
      for (unsigned i = 0; i < piece; ++i) target[i] = source[i];
    }
    from = (from + piece) & WindowMask;
    to = (to + piece) & WindowMask;
    length -= piece;
  }
  cursor.WindowPos = to;
}

inline int TInflater::decode_step(TCursor& cursor, TBlockTables& tables, bool& endOfBlock) {
  endOfBlock = false;
  if (tables.Stored) {
    if (tables.StoredLeft == 0) {
      endOfBlock = true;
      return 0;
    }
    put_byte(cursor, static_cast<std::uint8_t>(read_bits(cursor, 8)));
    endOfBlock = --tables.StoredLeft == 0;
    return 0;
  }
  const TCodeEntry* entry = decode_symbol(cursor, tables.LitTable, static_cast<unsigned>(tables.LitBits));
  if (entry == nullptr) return InflateBadData;
  if (entry->Op == OpLiteral) {
    put_byte(cursor, static_cast<std::uint8_t>(entry->Value));
    return 0;
  }
  if (entry->Op == OpEndOfBlock) {
    endOfBlock = true;
    return 0;
  }
  const unsigned length = entry->Value + read_bits(cursor, entry->Op);
  entry = decode_symbol(cursor, tables.DistTable, static_cast<unsigned>(tables.DistBits));
  if (entry == nullptr) return InflateBadData;
  const unsigned distance = entry->Value + read_bits(cursor, entry->Op);
  // Until the window has lapped, WindowPos counts the stream's bytes; a
  // distance beyond them would copy bytes the stream never wrote.
  if (distance > cursor.WindowPos && !WindowLapped && cursor.WindowPos >= cursor.CrcPos) return InflateBadData;
  copy_match(cursor, length, distance);
  return 0;
}

// Folds the window into the CRC before a step could overwrite bytes that
// it does not cover yet. The bytes not yet folded must stay short of a
// whole window after the step, too: a full lap of them would read as none.
inline void TInflater::keep_crc_ahead(TCursor& cursor) {
  if (((cursor.WindowPos - cursor.CrcPos) & WindowMask) >= WindowSize - MaxMatch) {
    WindowPos = static_cast<std::uint16_t>(cursor.WindowPos);
    sync_crc();
    cursor.CrcPos = CrcPos;
  }
}

// The padding bits are the last ones fetched: while fewer bits than they
// are left at hand, the step used some of them.
int TInflater::decode_step_within_input(TCursor& cursor, TBlockTables& tables, bool& endOfBlock) {
  const unsigned before = cursor.WindowPos;
  const int code = decode_step(cursor, tables, endOfBlock);
  if (PaddingBits > cursor.BitCount) [[unlikely]] {
    cursor.WindowPos = before;
    endOfBlock = false;
  }
  return code;
}

int TInflater::inflate_codes(TBlockTables& tables, bool& endOfBlock) {
  TCursor cursor = load_cursor();
  keep_crc_ahead(cursor);
  const int code = decode_step_within_input(cursor, tables, endOfBlock);
  store_cursor(cursor);
  return code;
}

int TInflater::inflate_codes_until(TBlockTables& tables, bool& endOfBlock, std::uint16_t start,
                                   int minBytes) {
  TCursor cursor = load_cursor();
  TBlockTables block = tables;
  int code = 0;
  endOfBlock = false;
  while (static_cast<int>((cursor.WindowPos - start) & WindowMask) < minBytes && !cursor.InputEnded) {
    keep_crc_ahead(cursor);
    code = decode_step_within_input(cursor, block, endOfBlock);
    if (code != 0 || endOfBlock) break;
  }
  store_cursor(cursor);
  tables.StoredLeft = block.StoredLeft;
  return code;
}

void TInflater::sync_crc() {
  if (WindowPos < CrcPos) {
    WindowLapped = true;
    update_crc32(Crc, Window + CrcPos, WindowSize - CrcPos);
    CrcPos = 0;
  }
  update_crc32(Crc, Window + CrcPos, WindowPos - CrcPos);
  CrcPos = WindowPos;
}

// ---------------------------------------------------------------------------
// Fixed Huffman codes (3.2.6): literal/length lengths 8 for 0-143, 9 for
// 144-255, 7 for 256-279, 8 for 280-287; 30 distance codes of 5 bits. Their
// tables are made once, by the compiler, each one level as wide as its
// longest code: every symbol resolves with one lookup, and a fixed block
// allocates nothing.

namespace {

constexpr int FixedLitBits = 9;
constexpr int FixedDistBits = 5;

constexpr unsigned fixed_literal_length(unsigned symbol) {
  if (symbol < 144) return 8;
  if (symbol < 256) return 9;
  if (symbol < 280) return 7;
  return 8;
}

constexpr unsigned fixed_distance_length(unsigned) { return 5; }

// The one-level table of the canonical code whose lengths Length gives for
// Count symbols (none of them 0). Slots that no code reaches stay invalid,
// as the distance codes 30 and 31 do.
template <int Width, unsigned Count>
constexpr std::array<TCodeEntry, std::size_t{1} << Width> one_level_table(unsigned (*length)(unsigned), int s,
                                                                         const std::uint16_t* bases,
                                                                         const std::uint16_t* extras) {
  std::array<TCodeEntry, std::size_t{1} << Width> table{};
  for (TCodeEntry& slot : table) slot = {OpInvalid, 0, 0, nullptr};
  std::array<unsigned, MaxCodeBits + 1> count{};
  for (unsigned symbol = 0; symbol < Count; ++symbol) ++count[length(symbol)];
  std::array<unsigned, MaxCodeBits + 1> next{};
  for (unsigned bits = 1, code = 0; bits <= MaxCodeBits; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  for (unsigned symbol = 0; symbol < Count; ++symbol) {
    const unsigned bits = length(symbol);
    TCodeEntry entry = symbol_entry(symbol, s, bases, extras);
    entry.Bits = static_cast<std::uint8_t>(bits);
    for (unsigned slot = reverse_bits(next[bits]++, bits); slot < table.size(); slot += 1U << bits)
      table[slot] = entry;
  }
  return table;
}

constexpr auto FixedLitTable = one_level_table<FixedLitBits, LiteralLengthSymbols>(
    fixed_literal_length, FirstLengthSymbol, LengthBase.data(), LengthExtraBits.data());
constexpr auto FixedDistTable =
    one_level_table<FixedDistBits, 30>(fixed_distance_length, 0, DistBase.data(), DistExtraBits.data());
// The shortest codes: the end of block is seven zero bits.
static_assert(FixedLitTable[0].Op == OpEndOfBlock && FixedLitTable[0].Bits == 7);
static_assert(FixedDistTable[31].Op == OpInvalid);

}  // namespace

int TInflater::start_fixed_block(TBlockTables& tables) {
  tables = {false, 0, FixedLitTable.data(), FixedDistTable.data(), FixedLitBits, FixedDistBits, nullptr, nullptr};
  return InflateOk;
}

// ---------------------------------------------------------------------------
// Dynamic Huffman codes (3.2.7): HLIT, HDIST and HCLEN, then HCLEN 3-bit
// lengths of the code length code in CodeLengthOrder, then the literal/length
// and distance code lengths as one sequence in that code, where 16 repeats
// the previous length 3-6 times, 17 gives 3-10 zeros and 18 gives 11-138
// zeros. A repeat may run from the literal/length lengths into the distance
// lengths. An incomplete distance code is allowed (a single distance code
// of one bit is the usual case); an incomplete literal/length code is not.

namespace {

// Owns a code set's tables for the time a block header is being read, so
// that an input error on the way releases them.
class TTableGuard {
 public:
  explicit TTableGuard(TCodeEntry*& root) : Root(root) {}
  ~TTableGuard() { free_huffman_table(Root); }
  TTableGuard(const TTableGuard&) = delete;
  TTableGuard& operator=(const TTableGuard&) = delete;

 private:
  TCodeEntry*& Root;
};

}  // namespace

int TInflater::read_code_lengths(const TCodeEntry* lengthCode, unsigned lengthCodeBits,
                                 std::uint16_t* lengths, unsigned total) {
  unsigned previous = 0;
  for (unsigned index = 0; index < total;) {
    fetch_bits(lengthCodeBits);
    const TCodeEntry& entry = lengthCode[BitBuf & BitMask[lengthCodeBits]];
    if (entry.Op == OpInvalid) return InflateBadData;
    drop_bits(entry.Bits);
    unsigned repeat = 0;
    unsigned value = 0;
    switch (entry.Value) {
      case 16:
        repeat = 3 + read_bits(2);
        if (index + repeat > total) return HuffmanIncomplete;
        value = previous;
        break;
      case 17:
        repeat = 3 + read_bits(3);
        if (index + repeat > total) return HuffmanIncomplete;
        break;
      case 18:
        repeat = 11 + read_bits(7);
        if (index + repeat > total) return InflateBadData;
        break;
      default:
        repeat = 1;
        value = entry.Value;
        break;
    }
    std::fill_n(lengths + index, repeat, static_cast<std::uint16_t>(value));
    index += repeat;
    previous = value;
  }
  return 0;
}

int TInflater::start_dynamic_block(TBlockTables& tables) {
  const unsigned hlit = read_bits(5) + 257;
  const unsigned hdist = read_bits(5) + 1;
  const unsigned hclen = read_bits(4) + 4;
  if (hlit > LiteralLengthSymbols || hdist > DistanceSymbols) return HuffmanIncomplete;

  std::array<std::uint16_t, MaxSymbols> lengths{};
  for (unsigned i = 0; i < hclen; ++i) lengths[CodeLengthOrder[i]] = static_cast<std::uint16_t>(read_bits(3));
  TCodeEntry* lengthCode = nullptr;
  int lengthCodeBits = CodeLengthLookupBits;
  {
    TTableGuard guard(lengthCode);
    const int built = build_huffman_table(lengths.data(), CodeLengthSymbols, CodeLengthSymbols,
                                          nullptr, nullptr, lengthCode, lengthCodeBits);
    if (built != 0 || lengthCode == nullptr) return InflateBadData;
    lengths = {};
    const int read = read_code_lengths(lengthCode, static_cast<unsigned>(lengthCodeBits),
                                       lengths.data(), hlit + hdist);
    if (read != 0) return read;
  }

  TCodeEntry* litTable = nullptr;
  int litBits = LitLookupBits;
  if (build_huffman_table(lengths.data(), static_cast<int>(hlit), FirstLengthSymbol, LengthBase.data(),
                          LengthExtraBits.data(), litTable, litBits) != 0) {
    free_huffman_table(litTable);
    return InflateBadData;
  }
  TCodeEntry* distTable = nullptr;
  int distBits = DistLookupBits;
  if (build_huffman_table(lengths.data() + hlit, static_cast<int>(hdist), 0, DistBase.data(),
                          DistExtraBits.data(), distTable, distBits) > HuffmanIncomplete) {
    free_huffman_table(litTable);
    return InflateBadData;
  }
  tables = {false, 0, litTable, distTable, litBits, distBits, litTable, distTable};
  return 0;
}

// ---------------------------------------------------------------------------
// Block header (3.2.3): BFINAL, one bit, then BTYPE, two bits: 0 stored,
// 1 fixed codes, 2 dynamic codes, 3 reserved (an error).

int TInflater::inflate_build_trees(int& final, TBlockTables& tables) {
  release_block_tables(tables);
  tables = {};
  final = static_cast<int>(read_bits(1));
  switch (read_bits(2)) {
    case 0:
      return start_stored_block(tables);
    case 1:
      return start_fixed_block(tables);
    case 2:
      return start_dynamic_block(tables);
    default:
      return InflateBadData;
  }
}

void TInflater::release_block_tables(TBlockTables& tables) {
  free_huffman_table(tables.BuiltLitTable);
  free_huffman_table(tables.BuiltDistTable);
  tables.LitTable = nullptr;
  tables.DistTable = nullptr;
}

void TInflater::reset_inflater() {
  InPos = 0;
  InLast = -1;
  InputEnded = false;
  PaddingBits = 0;
  WindowPos = 0;
  CrcPos = 0;
  WindowLapped = false;
  BitCount = 0;
  BitBuf = 0;
  Crc = 0xFFFFFFFF;
}

void TInflater::FillInput() {}

}  // namespace harvex
