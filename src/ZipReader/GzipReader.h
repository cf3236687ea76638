// Reads the text lines of a gzip file (RFC 1952): one member after another,
// read as one text, through the project's own DEFLATE decoder. The file is
// read a few KiB at a time, so memory use is fixed whatever its size.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ZipReader/InflatingFile.h"

namespace harvex {

class TGzipReader : public TInflatingFile {
 public:
  explicit TGzipReader(const TLoadContext& context = {}) : TInflatingFile(context) {}

  // Opens the file and reads its first member's header. False when the file
  // cannot be opened (a folder does not open), or when it does not begin
  // with a member this reader can decode: that is named in one box with the
  // reason.
  bool Open(const std::string& fileName);
  bool ReadLine(std::string& line) override;
  bool Eof() const override;
  // Whether every member ended with a whole trailer whose CRC-32 and length
  // match the bytes produced, and nothing but members followed.
  bool CrcOk() const override;

  // The class's error box, captioned "TGzipReader".
  virtual void ShowError(const std::string& message);

 private:
  // Bytes one fill decodes at least, unless the stream ends first.
  static constexpr int FillSize = 16 * 1024;

  std::string ReadMemberHeader();
  void SkipHeaderText();
  void StartMember();
  void FillBuffer();
  bool DecodeSteps(std::uint16_t start);
  void EndMember();
  void EndDamaged();
  void FillInput() override;

  bool EndOfData = true;
  bool Intact = true;
  bool BlockDone = true;
  bool LastBlock = false;
  // The length of the member's bytes so far, modulo 2^32 as its trailer has it.
  std::uint32_t MemberSize = 0;
  // A fill stops once FillSize new bytes exist, and one step adds at most
  // MaxMatch. The line splitter's slack follows.
  std::array<char, FillSize + MaxMatch + TLineSplitter::Slack> OutBuf{};
  TLineSplitter Lines;
};

}  // namespace harvex
