#include "ZipReader/GzipReader.h"

#include "ZipReader/ZipReader.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// The member header (RFC 1952, 2.3): ID1 ID2 CM FLG, MTIME (4 bytes), XFL,
// OS, then the optional fields FLG announces, in this order.
constexpr std::uint8_t Id1 = 0x1F;
constexpr std::uint8_t Id2 = 0x8B;
constexpr std::uint8_t MethodDeflate = 8;
constexpr int FixedFieldsAfterFlags = 6;
constexpr std::uint8_t FlagHeaderCrc = 1 << 1;  // FHCRC: a CRC-16 of the header follows it
constexpr std::uint8_t FlagExtra = 1 << 2;      // FEXTRA: XLEN, then XLEN bytes
constexpr std::uint8_t FlagName = 1 << 3;       // FNAME: zero-terminated
constexpr std::uint8_t FlagComment = 1 << 4;    // FCOMMENT: zero-terminated
constexpr std::uint8_t ReservedFlags = 0xE0;    // must be zero
constexpr int HeaderCrcSize = 2;

}  // namespace

bool TGzipReader::Open(const std::string& fileName) {
  if (!OpenArchive(fileName)) return false;
  InputFile = Archive.get();
  release_block_tables(Tables);
  reset_inflater();
  Intact = true;
  Lines.Start(OutBuf.data(), 0);
  if (const std::string reason = ReadMemberHeader(); !reason.empty()) {
    EndOfData = true;
    ShowError(fileName + reason);
    return false;
  }
  StartMember();
  return true;
}

// Reads a member's header up to its DEFLATE data. Empty when the member can
// be decoded, else why not. The optional fields are passed over; the
// header's own CRC-16 is not checked, which RFC 1952 leaves to the reader.
std::string TGzipReader::ReadMemberHeader() {
  const std::uint8_t id1 = read_aligned_byte();
  const std::uint8_t id2 = read_aligned_byte();
  const std::uint8_t method = read_aligned_byte();
  const std::uint8_t flags = read_aligned_byte();
  if (id1 != Id1 || id2 != Id2) return " is not a gzip file";
  if (method != MethodDeflate) return " uses compression method " + std::to_string(method);
  if ((flags & ReservedFlags) != 0) return " sets reserved gzip header flags";
  for (int i = 0; i < FixedFieldsAfterFlags; ++i) read_aligned_byte();
  if ((flags & FlagExtra) != 0) {
    const unsigned low = read_aligned_byte();
    const unsigned extraLength = low | unsigned{read_aligned_byte()} << 8;
    for (unsigned i = 0; i < extraLength && !InputEnded; ++i) read_aligned_byte();
  }
  if ((flags & FlagName) != 0) SkipHeaderText();
  if ((flags & FlagComment) != 0) SkipHeaderText();
  if ((flags & FlagHeaderCrc) != 0)
    for (int i = 0; i < HeaderCrcSize; ++i) read_aligned_byte();
  if (InputEnded) return " ends inside a gzip header";
  return {};
}

// A zero-terminated field; the input reads as zeros once it has ended.
void TGzipReader::SkipHeaderText() {
  while (read_aligned_byte() != 0) {
  }
}

// The decoder goes on from where the previous member left its window; only
// the CRC-32 and the length start anew.
void TGzipReader::StartMember() {
  sync_crc();
  Crc = 0xFFFFFFFF;
  MemberSize = 0;
  EndOfData = false;
  BlockDone = true;
  LastBlock = false;
}

// Decodes until FillSize new bytes exist or the file's last member ends,
// across blocks and members, and moves them to OutBuf.
void TGzipReader::FillBuffer() {
  const std::uint16_t start = WindowPos;
  while (!EndOfData && ((WindowPos - start) & WindowMask) < static_cast<unsigned>(FillSize)) {
    if (!DecodeSteps(start)) EndDamaged();
  }
  Lines.Start(OutBuf.data(), TakeDecodedSince(start, OutBuf.data()));
}

// Sets up a block when the last one is done and runs its steps towards the
// fill's size. False when the data is bad or ends before its last block.
bool TGzipReader::DecodeSteps(std::uint16_t start) {
  if (BlockDone) {
    int final = 0;
    if (inflate_build_trees(final, Tables) != 0 || InputEnded) return false;
    LastBlock = final != 0;
    BlockDone = false;
  }
  const std::uint16_t before = WindowPos;
  bool endOfBlock = false;
  const int code = inflate_codes_until(Tables, endOfBlock, start, FillSize);
  MemberSize += (WindowPos - before) & WindowMask;
  if (code != 0 || InputEnded) return false;
  if (endOfBlock) {
    BlockDone = true;
    release_block_tables(Tables);
    if (LastBlock) EndMember();
  }
  return true;
}

// The trailer after the last block: the CRC-32 and the length (modulo 2^32)
// of the member's bytes. Another member may follow; anything else that
// follows is damage.
void TGzipReader::EndMember() {
  sync_crc();
  const std::uint32_t crc = read_aligned_word();
  const std::uint32_t size = read_aligned_word();
  Intact = Intact && !InputEnded && crc == ~Crc && size == MemberSize;
  EndOfData = true;
  if (InputEnded || input_exhausted()) return;
  if (!ReadMemberHeader().empty()) {
    Intact = false;
    return;
  }
  StartMember();
}

// The bytes decoded so far are handed out; the damage is reported through
// CrcOk.
void TGzipReader::EndDamaged() {
  release_block_tables(Tables);
  BlockDone = true;
  EndOfData = true;
  Intact = false;
}

bool TGzipReader::ReadLine(std::string& line) {
  if (Eof()) return false;
  OpenLine = !Lines.ReadLine(line, [this] {
    if (Eof()) return false;
    FillBuffer();
    return true;
  });
  return true;
}

bool TGzipReader::Eof() const { return EndOfData && Lines.Empty(); }

bool TGzipReader::CrcOk() const { return Intact; }

void TGzipReader::FillInput() {
  InLast = ReadArchive(InBuf.data(), InBufSize) - 1;
  InPos = 0;
}

void TGzipReader::ShowError(const std::string& message) { Context.ShowMessage("TGzipReader", message); }

}  // namespace harvex
