#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "Unit1/Unit1.h"
#include "ZipReader/GzipReader.h"
#include "ZipReader/ZipReader.h"
#include "ZipReader/ZipTestSupport.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

using testing::PutLe;
using testing::TMessage;
using testing::TRecordingDesktop;
using testing::TTempDir;

constexpr std::uint8_t FHCRC = 2, FEXTRA = 4, FNAME = 8, FCOMMENT = 16;

struct TGzipMember {
  std::string Text;
  std::uint8_t Flags = 0;
  int Method = 8;
  std::optional<std::uint32_t> Crc{};
  std::optional<std::uint32_t> Length{};
};

// A member as RFC 1952 lays it out: header, each optional field its flag
// announces, the text deflated by zlib, then CRC-32 and length.
std::string Member(const TGzipMember& member) {
  std::string out = {'\x1F', '\x8B', static_cast<char>(member.Method), static_cast<char>(member.Flags)};
  out.append(6, '\0');  // MTIME, XFL, OS
  if ((member.Flags & FEXTRA) != 0) out += std::string("\x04\0AB\x00\x00", 6);  // XLEN 4: one empty subfield
  if ((member.Flags & FNAME) != 0) out += std::string("calc.out\0", 9);
  if ((member.Flags & FCOMMENT) != 0) out += std::string("run 1\0", 6);
  if ((member.Flags & FHCRC) != 0) PutLe(out, 0xBEEF, 2);
  out += testing::ZlibDeflate(member.Text, 6);
  PutLe(out, member.Crc.value_or(testing::ZlibCrc(member.Text)), 4);
  PutLe(out, member.Length.value_or(static_cast<std::uint32_t>(member.Text.size())), 4);
  return out;
}

struct GzipCase {
  const char* Name;
  std::string Bytes;
  std::vector<std::string> Lines;
  bool CrcOk = true;
  std::string Box{};  // the reader's box when it does not open, after the path
};

class GzipStreams : public ::testing::TestWithParam<GzipCase> {};

TEST_P(GzipStreams, GiveTheirLinesAndVerdict) {
  const GzipCase& c = GetParam();
  TRecordingDesktop desktop;
  const std::string path = "a.out.gz";
  TGzipReader reader(WithMemoryFile(desktop, path, c.Bytes));
  ASSERT_EQ(reader.Open(path), c.Box.empty());
  const std::vector<TMessage> boxes = {{"TGzipReader", path + c.Box}};
  EXPECT_EQ(desktop.Messages, c.Box.empty() ? std::vector<TMessage>{} : boxes);
  std::vector<std::string> lines;
  std::string line;
  while (!reader.Eof() && reader.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, c.Lines);
  if (c.Box.empty()) {
    EXPECT_EQ(reader.CrcOk(), c.CrcOk);
  }
  reader.CloseArchive();
}

const std::string Text = "one\r\ntwo\nthree";
const std::vector<std::string> TextLines = {"one", "two", "three"};

INSTANTIATE_TEST_SUITE_P(
    Members, GzipStreams,
    ::testing::Values(
        GzipCase{"Plain", Member({Text}), TextLines},
        GzipCase{"EveryOptionalFieldSet", Member({Text, FEXTRA | FNAME | FCOMMENT | FHCRC}), TextLines},
        GzipCase{"MembersReadAsOneText", Member({"one\r\ntw", FNAME}) + Member({"o\nthree"}), TextLines},
        GzipCase{"EmptyMemberBetween", Member({"one\n"}) + Member({""}) + Member({"two"}), {"one", "two"}},
        GzipCase{"BadCrc", Member({Text, 0, 8, 0x12345678}), TextLines, false},
        GzipCase{"BadLength", Member({Text, 0, 8, std::nullopt, 99}), TextLines, false},
        GzipCase{"TruncatedTrailer", Member({Text}).substr(0, Member({Text}).size() - 3), TextLines, false},
        GzipCase{"GarbageAfterTheMember", Member({Text}) + "junk", TextLines, false},
        GzipCase{"SecondMemberNotDeflate", Member({Text}) + Member({"x", 0, 7}), TextLines, false},
        GzipCase{"NotDeflate", Member({Text, 0, 7}), {}, true, " uses compression method 7"},
        GzipCase{"NotGzip", "plain text\n", {}, true, " is not a gzip file"},
        GzipCase{"HeaderCutShort", Member({Text, FNAME}).substr(0, 14), {}, true, " ends inside a gzip header"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A stream cut anywhere, as one still being written, gives its text up to
// the cut and nothing else: the zero bits read past the end decode no byte.
TEST(GzipLines, CutStreamGivesAPrefixOfItsText) {
  std::string text;
  for (int cycle = 0; cycle < 60; ++cycle) text += "FINAL SINGLE POINT ENERGY   -76." + std::to_string(cycle * 7919) + "\n";
  for (int level : {0, 6}) {
    const std::string stream = Member({text}).substr(0, 10) + testing::ZlibDeflate(text, level);
    for (std::size_t cut = 11; cut < stream.size(); cut += 5) {
      TGzipReader reader(WithMemoryFile({}, "cut.out.gz", stream.substr(0, cut)));
      ASSERT_TRUE(reader.Open("cut.out.gz"));
      std::string read;
      for (std::string line; !reader.Eof() && reader.ReadLine(line);) read += line + "\n";
      EXPECT_TRUE(text.starts_with(read.substr(0, read.size() - 1))) << "level " << level << ", cut at " << cut;
      reader.CloseArchive();
    }
  }
}

TEST(GzipLines, LongLineKeepsItsFirst64KiB) {
  TLineSource source(WithMemoryFile({}, "a.log.gz", Member({std::string(3 * MaxLineLength, 'x') + "\nend"})));
  ASSERT_TRUE(source.OpenSource("a.log.gz"));
  std::string line;
  source.ReadSourceLine(line);
  EXPECT_EQ(line, std::string(MaxLineLength, 'x'));
  source.ReadSourceLine(line);
  EXPECT_EQ(line, "end");
  EXPECT_TRUE(source.CloseSource());
}

// The line source warns once, as for an archive member whose CRC-32 fails.
TEST(GzipLines, BadTrailerWarnsThroughTheLoad) {
  TRecordingDesktop desktop;
  const std::string text = " This is part of the Gaussian(R) 16 program.\n SCF Done:  E(RHF) =  -76.0 A.U.\n";
  TCoordinateFile file(WithMemoryFile(desktop, "a.out.gz", Member({text, 0, 8, 1})));
  file.LoadFile("a.out.gz", true);
  EXPECT_EQ(file.Info.Energy, -76.0);
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{"TCoordinateFile Error", "WARNING: there was an error reading a.out.gz"}}));
}

TEST(GzipLines, OnlyOutputsAreReadGzipped) {
  TRecordingDesktop desktop;
  TCoordinateFile file(WithMemoryFile(desktop, "a.cdf.gz", Member({"[conformer]\n"})));
  EXPECT_FALSE(file.LoadFile("a.cdf.gz", true));
  EXPECT_EQ(desktop.Messages, (std::vector<TMessage>{{"TCoordinateFile Error",
                                                      "a.cdf.gz: only gzipped .out and .log outputs are read"}}));
}

// A real output, gzipped in two members, reports the row of the plain file.
TEST(GzipLines, RealOutputReportsThePlainFilesRow) {
  TRecordingDesktop desktop;
  TTempDir dir;
  const std::string text = testing::ReadWholeFile(testing::TestDataPath("gaussian/CH4.out"));
  const std::string plain = dir.Write("CH4.out", text);
  const std::string gzipped =
      dir.Write("CH4.out.gz", Member({text.substr(0, 5000)}) + Member({text.substr(5000), FNAME}));
  TResultsRun run(desktop);
  run.CreateResultsFile(dir.PathOf("res.txt"), "Harvex");
  run.ReportChoice({plain, gzipped});
  run.CloseResultsFile();
  const std::string results = testing::ReadWholeFile(dir.PathOf("res.txt"));
  const auto row = [&results](const std::string& path) {
    const std::size_t at = results.find(path + "\t") + path.size();
    return results.substr(at, results.find("\r\n", at) - at);
  };
  EXPECT_EQ(row(gzipped), row(plain));
  EXPECT_EQ(run.RowCount(), 2);
  EXPECT_EQ(run.WarningCount(), 0);
  EXPECT_TRUE(desktop.Messages.empty());
}

}  // namespace
}  // namespace harvex
