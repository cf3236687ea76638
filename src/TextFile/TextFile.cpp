#include "TextFile/TextFile.h"

#include <cerrno>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// Large reads keep the system-call count negligible next to the line scan.
constexpr std::size_t PlainBlockSize = std::size_t{1} << 17;
// Bytes after a block that a 16-byte load may touch; never part of a line.
constexpr std::size_t LoadSlack = 16;

// The first LF in [begin, end), or nullptr. Output lines are short (about 60
// bytes), where a plain 16-byte scan beats a library call per line; it may
// read up to LoadSlack bytes past end, which the buffer provides.
const char* FindLineFeed(const char* begin, const char* end) {
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

}  // namespace

TPlainTextFile::~TPlainTextFile() = default;

bool TPlainTextFile::Open(const std::string& fileName) { return Open(OpenFileSource(fileName)); }

bool TPlainTextFile::Open(TOpenedSource opened) {
  if (Source) Close();
  OpenError = std::move(opened.Failure);
  if (!opened.Source) return false;
  Source = std::move(opened.Source);
  Buffer.assign(PlainBlockSize + LoadSlack, '\0');
  Pos = Last = 0;
  Exhausted = false;
  return true;
}

void TPlainTextFile::RequireOpen() const {
  if (!Source) throw EInOutError(OpenError.empty() ? SystemReason(EBADF) : OpenError);
}

bool TPlainTextFile::Fill() {
  if (Exhausted) return false;
  const std::size_t count = Source->Read(Buffer.data(), PlainBlockSize);
  Pos = 0;
  Last = count;
  Exhausted = count == 0;
  FindNextCr();
  return count > 0;
}

bool TPlainTextFile::AtBufferEnd() {
  RequireOpen();
  return !Fill() || Buffer[Pos] == CtrlZ;
}

void TPlainTextFile::ReadLine(std::string& line) {
  line.clear();
  OpenEnd = false;
  if (AtEnd()) return;
  bool mayHoldCr = false;
  for (;;) {
    const char* begin = Buffer.data() + Pos;
    const std::size_t available = Last - Pos;
    const char* lineFeed = FindLineFeed(begin, begin + available);
    const std::size_t length = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - begin) : available;
    mayHoldCr = mayHoldCr || NextCr < Pos + length;
    if (line.size() + length <= MaxLineLength) {
      line.append(begin, length);
    } else {
      AppendCapped(line, begin, length);
    }
    if (lineFeed != nullptr) {
      Pos += length + 1;
      break;
    }
    Pos = Last;
    if (!Fill()) {
      OpenEnd = true;
      break;
    }
  }
  // The CR of a CR LF end, and any lone CR, are left out of the text.
  if (mayHoldCr) {
    std::erase(line, '\r');
    FindNextCr();
  }
}

// The slow road of a line longer than MaxLineLength: its text, CRs left
// out, is cut there; once full, the pieces that follow are only passed over.
void TPlainTextFile::AppendCapped(std::string& line, const char* begin, std::size_t length) {
  if (line.size() >= MaxLineLength) return;
  std::erase(line, '\r');
  for (const char* c = begin; c < begin + length && line.size() < MaxLineLength; ++c)
    if (*c != '\r') line.push_back(*c);
}

void TPlainTextFile::FindNextCr() {
  const auto* cr = static_cast<const char*>(std::memchr(Buffer.data() + Pos, '\r', Last - Pos));
  NextCr = cr != nullptr ? static_cast<std::size_t>(cr - Buffer.data()) : Last;
}

void TPlainTextFile::Close() {
  RequireOpen();
  const std::unique_ptr<TByteSource> source = std::move(Source);
  Buffer = {};
  Pos = Last = 0;
  source->Close();
}

}  // namespace harvex
