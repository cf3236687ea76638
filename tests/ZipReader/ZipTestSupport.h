// Writes small ZIP archives for the reader's tests: local headers by hand,
// deflated data from zlib, optional data descriptors, and a central
// directory record after the members, as real archives have.
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
};

inline void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string MemberData(const TZipMember& member) {
  if (member.Data) return *member.Data;
  if (member.Method == 8) return ZlibDeflate(member.Content, member.Level, member.Strategy);
  return member.Content;
}

inline std::string BuildArchive(const std::vector<TZipMember>& members) {
  std::string out;
  for (const TZipMember& member : members) {
    const std::string data = MemberData(member);
    const std::uint32_t crc = ZlibCrc(member.Content);
    PutLe(out, 0x04034B50, 4);
    PutLe(out, 20, 2);                               // version needed
    PutLe(out, member.Descriptor ? 8 : 0, 2);        // flags
    PutLe(out, static_cast<std::uint32_t>(member.Method), 2);
    PutLe(out, 0x1823, 2);                           // time
    PutLe(out, 0x5822, 2);                           // date
    PutLe(out, member.Descriptor ? 0 : crc, 4);
    PutLe(out, member.Descriptor ? 0 : static_cast<std::uint32_t>(data.size()), 4);
    PutLe(out, member.Descriptor ? 0 : static_cast<std::uint32_t>(member.Content.size()), 4);
    PutLe(out, static_cast<std::uint32_t>(member.Name.size()), 2);
    PutLe(out, 4, 2);                                // extra field length
    out += member.Name;
    out += std::string("\xFE\xCA\0\0", 4);           // an empty extra block
    out += data;
    if (member.Descriptor) {
      if (member.DescriptorSignature) PutLe(out, 0x08074B50, 4);
      PutLe(out, member.DescriptorCrc.value_or(crc), 4);
      PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
      PutLe(out, static_cast<std::uint32_t>(member.Content.size()), 4);
    }
  }
  PutLe(out, 0x02014B50, 4);  // central directory: never read, only run into
  out += std::string(42, '\0');
  return out;
}

}  // namespace harvex::testing
