// Reads the text lines of one member of a ZIP archive, walking the local
// file headers from the archive's first byte. Stored members are read as
// they are, deflated ones through the decoder it derives from, a few hundred
// bytes at a time, so memory use is fixed whatever the member's size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ZipReader/InflatingFile.h"

namespace harvex {

// The 30-byte local file header, little-endian on disk.
struct TLocalFileHeader {
  std::uint32_t Signature = 0;  // 0x04034B50, "PK" 3 4
  std::uint16_t VersionNeeded = 0;
  std::uint16_t Flags = 0;  // bit 0: encrypted; bit 3: CRC and sizes follow the data
  std::uint16_t Method = 0;  // 0 stored, 8 deflated
  std::uint16_t ModTime = 0;
  std::uint16_t ModDate = 0;
  std::uint32_t Crc32 = 0;
  std::uint32_t CompressedSize = 0;
  std::uint32_t UncompressedSize = 0;
  std::uint16_t NameLength = 0;
  std::uint16_t ExtraLength = 0;
};

class TZippedFilesReader : public TInflatingFile {
 public:
  explicit TZippedFilesReader(const TLoadContext& context = {}) : TInflatingFile(context) {}

  // Opens the archive at its first byte; raises EInOutError when it cannot
  // be opened.
  void Open(const std::string& fileName);
  // The first member, from the current position on, whose extension
  // (lower-cased) occurs in Pattern; an empty pattern takes any member. Name
  // receives its stored name and the position is left at its data. A member
  // whose header defers its sizes to a data descriptor takes them from the
  // central directory.
  bool FindMember(const std::string& pattern, std::string& name);
  // Arms the member found last. A member this reader cannot decode (
  // encrypted, a method other than 0 and 8, sizes only in a ZIP64 field, or
  // deferred sizes the directory does not give for a stored member) is named
  // in one box with the reason, and gives false.
  bool StartMember();
  bool ReadLine(std::string& line) override;
  bool Eof() const override;
  // Whether the CRC-32 of the bytes produced matches the member's.
  bool CrcOk() const override;

  // The class's error box, captioned "TZippedFilesReader".
  virtual void ShowError(const std::string& message);

 protected:
  void FillInput() override;

 private:
  // What the central directory records of one member.
  struct TDirectoryEntry {
    std::uint64_t LocalHeaderOffset;
    std::uint32_t Crc32;
    std::uint32_t CompressedSize;
    std::uint32_t UncompressedSize;
  };

  bool ReadLocalHeader(std::string& name, std::string& ext);
  bool TakeSizesFromDirectory(std::uint64_t headerOffset);
  const std::vector<TDirectoryEntry>& Directory();
  void SkipMemberData();
  std::string UnreadableReason() const;
  bool FillBuffer();
  bool FillStored();
  bool FillDeflated();
  bool FailFill();
  // The first Count bytes of OutBuf are the member's text to hand out next.
  void HandOut(std::size_t count);
  void ReadDataDescriptor();
  void Skip(std::uint32_t count);

  bool EndOfData = true;
  bool BlockDone = false;
  bool LastBlock = false;
  // Twice the longest match: a fill stops once 258 new bytes exist, and one
  // step adds at most 258. The line splitter's slack follows.
  static constexpr int OutSize = 2 * MaxMatch;
  std::array<std::uint8_t, OutSize + TLineSplitter::Slack> OutBuf{};
  TLineSplitter Lines;
  TLocalFileHeader Header;
  std::string MemberName;
  // The header deferred its sizes and the central directory did not give them.
  bool SizesUnknown = false;
  // The central directory, read when a member first needs it; sorted by
  // local header offset.
  std::vector<TDirectoryEntry> DirectoryEntries;
  bool DirectoryRead = false;
  // Bytes of a stored member's data not yet read.
  std::uint32_t StoredLeft = 0;
  // The two words after a deflated member's data when its header defers
  // the CRC to a data descriptor (with or without the descriptor's
  // signature); read once its last block has ended.
  bool HasDescriptor = false;
  std::array<std::uint32_t, 2> DescriptorWords{};
};

}  // namespace harvex
