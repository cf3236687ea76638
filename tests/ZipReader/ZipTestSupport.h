// Writes small ZIP archives for the reader's tests: local headers by hand,
// deflated data from zlib, optional data descriptors, and the central
// directory with its end record after the members, as real archives have.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "InflateDecompress/DeflateTestSupport.h"

namespace harvex::testing {

struct TZipMember {
  std::string Name;
  std::string Content;
  int Method = 8;  // 0 stored, 8 deflated by zlib; anything else stores Content as it is
  int Level = 6;
  int Strategy = Z_DEFAULT_STRATEGY;
  std::optional<std::string> Data{};  // member data written instead of the compressed content
  bool Descriptor = false;          // CRC and sizes after the data, zero in the header
  bool DescriptorSignature = true;
  std::optional<std::uint32_t> DescriptorCrc{};  // a wrong CRC for the descriptor
  std::uint16_t Flags = 0;  // further flag bits (1: encrypted)
  bool Zip64Sizes = false;  // 0xFFFFFFFF for both sizes, in the header and the directory
};

inline void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string MemberData(const TZipMember& member) {
  if (member.Data) return *member.Data;
  if (member.Method == 8) return ZlibDeflate(member.Content, member.Level, member.Strategy);
  return member.Content;
}

// The fields from the flags to the sizes, shared by local and central headers.
inline void PutCommonFields(std::string& out, const TZipMember& member, const std::string& data, bool local) {
  const bool deferred = local && member.Descriptor;
  const std::uint32_t compressed = member.Zip64Sizes ? 0xFFFFFFFF : static_cast<std::uint32_t>(data.size());
  const std::uint32_t uncompressed =
      member.Zip64Sizes ? 0xFFFFFFFF : static_cast<std::uint32_t>(member.Content.size());
  PutLe(out, member.Flags | (member.Descriptor ? 8U : 0U), 2);
  PutLe(out, static_cast<std::uint32_t>(member.Method), 2);
  PutLe(out, 0x1823, 2);  // time
  PutLe(out, 0x5822, 2);  // date
  PutLe(out, deferred ? 0 : ZlibCrc(member.Content), 4);
  PutLe(out, deferred ? 0 : compressed, 4);
  PutLe(out, deferred ? 0 : uncompressed, 4);
  PutLe(out, static_cast<std::uint32_t>(member.Name.size()), 2);
}

// The members, then (unless left out, as in an archive cut short) the
// central directory and its end record.
inline std::string BuildArchive(const std::vector<TZipMember>& members, bool withDirectory = true) {
  std::string out;
  std::string directory;
  for (const TZipMember& member : members) {
    const std::string data = MemberData(member);
    const std::uint32_t crc = ZlibCrc(member.Content);
    PutLe(directory, 0x02014B50, 4);
    PutLe(directory, 20, 2);  // version made by
    PutLe(directory, 20, 2);  // version needed
    PutCommonFields(directory, member, data, false);
    directory.append(2 + 2 + 2 + 2 + 4, '\0');  // extra, comment, disk, attributes
    PutLe(directory, static_cast<std::uint32_t>(out.size()), 4);
    directory += member.Name;

    PutLe(out, 0x04034B50, 4);
    PutLe(out, 20, 2);  // version needed
    PutCommonFields(out, member, data, true);
    PutLe(out, 4, 2);  // extra field length
    out += member.Name;
    out += std::string("\xFE\xCA\0\0", 4);  // an empty extra block
    out += data;
    if (member.Descriptor) {
      if (member.DescriptorSignature) PutLe(out, 0x08074B50, 4);
      PutLe(out, member.DescriptorCrc.value_or(crc), 4);
      PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
      PutLe(out, static_cast<std::uint32_t>(member.Content.size()), 4);
    }
  }
  if (!withDirectory) return out;
  const auto directoryOffset = static_cast<std::uint32_t>(out.size());
  out += directory;
  PutLe(out, 0x06054B50, 4);
  PutLe(out, 0, 4);  // disk numbers
  PutLe(out, static_cast<std::uint32_t>(members.size()), 2);
  PutLe(out, static_cast<std::uint32_t>(members.size()), 2);
  PutLe(out, static_cast<std::uint32_t>(directory.size()), 4);
  PutLe(out, directoryOffset, 4);
  PutLe(out, 0, 2);  // comment length
  return out;
}

}  // namespace harvex::testing
