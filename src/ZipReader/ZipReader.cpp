#include "ZipReader/ZipReader.h"

#include <algorithm>
#include <optional>

#include "rtl/RuntimeErrors.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr std::uint32_t LocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t DataDescriptorSignature = 0x08074B50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t EndOfDirectorySignature = 0x06054B50;
constexpr int LocalHeaderSize = 30;
constexpr int CentralHeaderSize = 46;
constexpr int EndOfDirectorySize = 22;
constexpr int MaxCommentLength = 0xFFFF;
constexpr std::uint16_t MethodStored = 0;
constexpr std::uint16_t MethodDeflated = 8;
constexpr std::uint16_t FlagEncrypted = 1 << 0;
constexpr std::uint16_t FlagDataDescriptor = 1 << 3;
// A size field of a member whose real size is in its ZIP64 extra field.
constexpr std::uint32_t Zip64Size = 0xFFFFFFFF;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{Le16(p)} | std::uint32_t{Le16(p + 2)} << 16;
}

TLocalFileHeader DecodeLocalHeader(const std::uint8_t* raw) {
  TLocalFileHeader header;
  header.Signature = Le32(raw);
  header.VersionNeeded = Le16(raw + 4);
  header.Flags = Le16(raw + 6);
  header.Method = Le16(raw + 8);
  header.ModTime = Le16(raw + 10);
  header.ModDate = Le16(raw + 12);
  header.Crc32 = Le32(raw + 14);
  header.CompressedSize = Le32(raw + 18);
  header.UncompressedSize = Le32(raw + 22);
  header.NameLength = Le16(raw + 26);
  header.ExtraLength = Le16(raw + 28);
  return header;
}

// Reads up to Count bytes at Offset, fewer only at the end of the file; the
// file position stays where it was.
int ReadAt(TByteSource& archive, std::uint8_t* buffer, int count, std::uint64_t offset) {
  return static_cast<int>(archive.ReadAt(buffer, static_cast<std::size_t>(count), offset));
}

struct TDirectoryLocation {
  std::uint16_t Entries;
  std::uint32_t Offset;
};

// The end-of-central-directory record closes an archive, followed only by a
// comment of up to 65,535 bytes: the last signature whose record and
// comment fit in the file's tail is taken.
std::optional<TDirectoryLocation> LocateDirectory(TByteSource& archive) {
  const std::uint64_t fileSize = archive.Size();
  const auto tailSize = static_cast<int>(std::min<std::uint64_t>(fileSize, EndOfDirectorySize + MaxCommentLength));
  if (tailSize < EndOfDirectorySize) return std::nullopt;
  std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailSize));
  if (ReadAt(archive, tail.data(), tailSize, fileSize - static_cast<std::uint64_t>(tailSize)) < tailSize)
    return std::nullopt;
  for (int at = tailSize - EndOfDirectorySize; at >= 0; --at) {
    const std::uint8_t* record = tail.data() + at;
    if (Le32(record) == EndOfDirectorySignature && at + EndOfDirectorySize + Le16(record + 20) <= tailSize)
      return TDirectoryLocation{Le16(record + 10), Le32(record + 16)};
  }
  return std::nullopt;
}

}  // namespace

void TZippedFilesReader::Open(const std::string& fileName) {
  if (!OpenArchive(fileName)) throw EInOutError(OpenError);
  EndOfData = false;
  BlockDone = true;
  LastBlock = true;
}

void TZippedFilesReader::Skip(std::uint32_t count) { Archive->Skip(count); }

// A local header, its stored name and its extra field; the position is left
// at the member's data. Ext runs from the name's last "." to its end (a dot
// in a folder part counts too). A header that defers its CRC and sizes to a
// data descriptor (an archive written to a pipe) gets them from the central
// directory.
bool TZippedFilesReader::ReadLocalHeader(std::string& name, std::string& ext) {
  const std::uint64_t headerOffset = Archive->Position();
  std::array<std::uint8_t, LocalHeaderSize> raw{};
  if (ReadArchive(raw.data(), LocalHeaderSize) < LocalHeaderSize) return false;
  Header = DecodeLocalHeader(raw.data());
  if (Header.Signature != LocalHeaderSignature) return false;
  SizesUnknown = (Header.Flags & FlagDataDescriptor) != 0 &&
                 !TakeSizesFromDirectory(headerOffset);
  std::string stored(Header.NameLength, '\0');
  if (ReadArchive(reinterpret_cast<std::uint8_t*>(stored.data()), Header.NameLength) < Header.NameLength)
    return false;
  const std::size_t dot = stored.rfind('.');
  ext = dot == std::string::npos ? std::string() : stored.substr(dot);
  name = stored.substr(0, stored.find('\0'));
  Skip(Header.ExtraLength);
  return true;
}

bool TZippedFilesReader::TakeSizesFromDirectory(std::uint64_t headerOffset) {
  const std::vector<TDirectoryEntry>& entries = Directory();
  const auto found = std::ranges::lower_bound(entries, headerOffset, {}, &TDirectoryEntry::LocalHeaderOffset);
  if (found == entries.end() || found->LocalHeaderOffset != headerOffset) return false;
  Header.Crc32 = found->Crc32;
  Header.CompressedSize = found->CompressedSize;
  Header.UncompressedSize = found->UncompressedSize;
  return true;
}

// Read once, by offsets (the walk's own position stays), with fixed memory
// per entry: at most 65,535 entries of a few bytes each.
const std::vector<TZippedFilesReader::TDirectoryEntry>& TZippedFilesReader::Directory() {
  if (DirectoryRead) return DirectoryEntries;
  DirectoryRead = true;
  const std::optional<TDirectoryLocation> location = LocateDirectory(*Archive);
  if (!location) return DirectoryEntries;
  std::array<std::uint8_t, CentralHeaderSize> raw{};
  std::uint64_t position = location->Offset;
  for (int entry = 0; entry < location->Entries; ++entry) {
    if (ReadAt(*Archive, raw.data(), CentralHeaderSize, position) < CentralHeaderSize ||
        Le32(raw.data()) != CentralHeaderSignature)
      break;
    DirectoryEntries.push_back({Le32(raw.data() + 42), Le32(raw.data() + 16), Le32(raw.data() + 20),
                                Le32(raw.data() + 24)});
    position += CentralHeaderSize + std::uint64_t{Le16(raw.data() + 28)} + Le16(raw.data() + 30) +
                Le16(raw.data() + 32);
  }
  std::ranges::sort(DirectoryEntries, {}, &TDirectoryEntry::LocalHeaderOffset);
  return DirectoryEntries;
}

// With ".out" the extensions ".out", ".ou", ".o" and "." are taken, in any
// letter case.
bool TZippedFilesReader::FindMember(const std::string& pattern, std::string& name) {
  std::string ext;
  while (ReadLocalHeader(MemberName, ext)) {
    if (pattern.empty() || (!ext.empty() && UpperAscii(pattern).find(UpperAscii(ext)) != std::string::npos)) {
      name = MemberName;
      return true;
    }
    SkipMemberData();
  }
  return false;
}

// A member not taken is skipped by its compressed size, and a data
// descriptor after it (12 bytes, 16 with its signature) along with it.
// Without sizes from the directory the walk lands in the data and ends there.
void TZippedFilesReader::SkipMemberData() {
  Skip(Header.CompressedSize);
  if ((Header.Flags & FlagDataDescriptor) == 0 || SizesUnknown) return;
  std::array<std::uint8_t, 4> firstWord{};
  const bool signature =
      ReadArchive(firstWord.data(), 4) == 4 && Le32(firstWord.data()) == DataDescriptorSignature;
  Skip(signature ? 12 : 8);
}

// Empty for a member this reader can decode.
std::string TZippedFilesReader::UnreadableReason() const {
  if ((Header.Flags & FlagEncrypted) != 0) return " is encrypted";
  if (Header.Method != MethodStored && Header.Method != MethodDeflated)
    return " uses compression method " + std::to_string(Header.Method);
  if (Header.CompressedSize == Zip64Size || Header.UncompressedSize == Zip64Size) return " needs ZIP64 sizes";
  // A deflated stream ends by itself; stored data has only its size.
  if (SizesUnknown && Header.Method == MethodStored) return " has no recorded size";
  return {};
}

bool TZippedFilesReader::StartMember() {
  InputFile = Archive.get();
  HandOut(0);
  EndOfData = false;
  BlockDone = true;
  if (const std::string reason = UnreadableReason(); !reason.empty()) {
    EndOfData = true;
    ShowError(MemberName + reason);
    return false;
  }
  release_block_tables(Tables);
  Tables = {};
  reset_inflater();
  StoredLeft = Header.CompressedSize;
  HasDescriptor = false;
  return true;
}

bool TZippedFilesReader::FillBuffer() {
  bool filled = false;
  switch (Header.Method) {
    case MethodStored:
      filled = FillStored();
      break;
    case MethodDeflated:
      filled = FillDeflated();
      break;
    default:
      filled = FailFill();
      break;
  }
  return filled;
}

// The member's end is noticed by the fill after its last bytes, which reads
// none.
bool TZippedFilesReader::FillStored() {
  const int wanted = static_cast<int>(std::min<std::uint32_t>(StoredLeft, OutSize));
  const int count = ReadArchive(OutBuf.data(), wanted);
  StoredLeft -= static_cast<std::uint32_t>(count);
  HandOut(static_cast<std::size_t>(count));
  update_crc32(Crc, OutBuf.data(), count);
  EndOfData = count == 0;
  return true;
}

// Decodes until at least 258 new bytes exist or the member ends, across
// block boundaries, and moves them to OutBuf. When the archive ends inside
// the data the member ends with what the steps so far produced, without a
// message: the CRC-32 check reports it.
bool TZippedFilesReader::FillDeflated() {
  const std::uint16_t start = WindowPos;
  for (;;) {
    if (BlockDone) {
      int final = 0;
      const int code = inflate_build_trees(final, Tables);
      LastBlock = final != 0;
      if (InputEnded) {
        release_block_tables(Tables);
        break;
      }
      if (code != 0) {
        ShowError("Error: Can not inflate block trees! (inflate_build_trees returned with code " +
                  std::to_string(code) + ")");
        return FailFill();
      }
      BlockDone = false;
    }
    bool endOfBlock = false;
    const int code = inflate_codes_until(Tables, endOfBlock, start, MaxMatch);
    if (endOfBlock || InputEnded) {
      BlockDone = true;
      release_block_tables(Tables);
      if (LastBlock) EndOfData = true;
      if (LastBlock && endOfBlock && (Header.Flags & FlagDataDescriptor) != 0) ReadDataDescriptor();
    }
    if (code != 0 && !InputEnded) {
      ShowError("Error: Can not inflate block! (inflate_codes returned with code " + std::to_string(code) +
                ")");
      return FailFill();
    }
    if (((WindowPos - start) & WindowMask) >= MaxMatch || EndOfData) break;
  }
  HandOut(TakeDecodedSince(start, OutBuf.data()));
  return true;
}

// A failed fill ends the member; the bytes it decoded are not handed out.
bool TZippedFilesReader::FailFill() {
  release_block_tables(Tables);
  BlockDone = true;
  EndOfData = true;
  HandOut(0);
  return false;
}

void TZippedFilesReader::ReadDataDescriptor() {
  DescriptorWords[0] = read_aligned_word();
  DescriptorWords[1] = read_aligned_word();
  HasDescriptor = true;
}

void TZippedFilesReader::HandOut(std::size_t count) {
  Lines.Start(reinterpret_cast<const char*>(OutBuf.data()), count);
}

bool TZippedFilesReader::ReadLine(std::string& line) {
  if (Eof()) return false;
  OpenLine = !Lines.ReadLine(line, [this] {
    if (EndOfData) return false;
    FillBuffer();
    return true;
  });
  return true;
}

bool TZippedFilesReader::Eof() const { return EndOfData && Lines.Empty(); }

// A header that defers its CRC to a data descriptor records 0; the CRC is
// then the descriptor's first word, or its second after the signature.
bool TZippedFilesReader::CrcOk() const {
  const std::uint32_t crc = ~Crc;
  if (crc == Header.Crc32) return true;
  return HasDescriptor && (crc == DescriptorWords[0] ||
                           (DescriptorWords[0] == DataDescriptorSignature && crc == DescriptorWords[1]));
}

// Reads on past the member's data if the decoder asks for it; decoding stops
// at the final block. An archive that has no byte left ends the member with
// the fill in progress.
void TZippedFilesReader::FillInput() {
  const int count = static_cast<int>(InputFile->Read(InBuf.data(), InBufSize));
  InPos = 0;
  InLast = count - 1;
  if (count == 0) {
    EndOfData = true;
    BlockDone = true;
  }
}

void TZippedFilesReader::ShowError(const std::string& message) {
  Context.ShowMessage("TZippedFilesReader", message);
}

}  // namespace harvex
