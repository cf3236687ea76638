// Cutting text that arrives in blocks into lines, for every reader of the
// program's inputs: plain files, ZIP members and gzip streams.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace harvex {

// The longest line text handed out, by archive members and plain files
// alike: the rest of a longer line is read and dropped, so that a file
// without line ends cannot fill memory. No marker or number the readers use
// comes near it.
constexpr std::size_t MaxLineLength = 64 * 1024;

// Hands out the lines of the blocks it is given: LF ends a line, CR LF
// counts as one end, any other CR is dropped from the text, and a line keeps
// its first MaxLineLength bytes of text. A line may run across blocks; the
// owner of the blocks says, through the refill it passes to ReadLine, where
// the next block comes from and when the text has ended.
class TLineSplitter {
 public:
  // Bytes past a block's end that the line-feed scan may read (never part of
  // a line): every block handed in must be followed by that many readable
  // bytes.
  static constexpr std::size_t Slack = 16;

  // The lines of Begin[0, Count) come next.
  void Start(const char* begin, std::size_t count) {
    Block = begin;
    Pos = 0;
    Count = count;
    FindNextCr();
  }
  // Whether every byte of the block was handed out.
  bool Empty() const { return Pos >= Count; }
  // The next byte of the block; only when it is not empty.
  char Peek() const { return Block[Pos]; }

  // Reads the next line into Line. When the block is used up, Refill() must
  // Start the next one and give true, or give false at the end of the text.
  // True when a LF ended the line, false when the text ended first.
  template <class TRefill>
  bool ReadLine(std::string& line, TRefill&& refill) {
    line.clear();
    bool mayHoldCr = false;
    bool ended = false;
    while (!ended) {
      if (Empty()) {
        if (!refill()) break;
        continue;
      }
      const char* begin = Block + Pos;
      const char* lineFeed = FindLineFeed(begin, Block + Count);
      const std::size_t length = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - begin) : Count - Pos;
      mayHoldCr = mayHoldCr || NextCr < Pos + length;
      if (line.size() + length <= MaxLineLength) {
        line.append(begin, length);
      } else {
        AppendCapped(line, begin, length);
      }
      ended = lineFeed != nullptr;
      Pos += length + (ended ? 1 : 0);
    }
    // The CR of a CR LF end, and any lone CR, are left out of the text.
    if (mayHoldCr) {
      std::erase(line, '\r');
      FindNextCr();
    }
    return ended;
  }

 private:
  // The first LF in [Begin, End), or nullptr. Output lines are short (about
  // 60 bytes), where a plain 16-byte scan beats a library call per line; it
  // may read up to Slack bytes past End, which the block's owner provides.
  static const char* FindLineFeed(const char* begin, const char* end) {
#if defined(__SSE2__)
    const __m128i lineFeeds = _mm_set1_epi8('\n');
    for (const char* p = begin; p < end; p += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeeds)));
      if (hits != 0) {
        const char* hit = p + __builtin_ctz(hits);
        return hit < end ? hit : nullptr;
      }
    }
    return nullptr;
#else
    return static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
#endif
  }

  // The slow road of a line longer than MaxLineLength: its text, CRs left
  // out, is cut there; once full, the pieces that follow are only passed over.
  static void AppendCapped(std::string& line, const char* begin, std::size_t length) {
    if (line.size() >= MaxLineLength) return;
    std::erase(line, '\r');
    for (const char* c = begin; c < begin + length && line.size() < MaxLineLength; ++c)
      if (*c != '\r') line.push_back(*c);
  }

  // Where the next CR of the block stands (Count when there is none): lines
  // that end before it need no CR removal, which spares a second scan.
  void FindNextCr() {
    const auto* cr = Empty() ? nullptr : static_cast<const char*>(std::memchr(Block + Pos, '\r', Count - Pos));
    NextCr = cr != nullptr ? static_cast<std::size_t>(cr - Block) : Count;
  }

  const char* Block = nullptr;
  std::size_t Pos = 0;
  std::size_t Count = 0;
  std::size_t NextCr = 0;
};

}  // namespace harvex
