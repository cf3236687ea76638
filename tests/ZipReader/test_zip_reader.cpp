#include <dirent.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "ZipReader/ZipReader.h"
#include "ZipReader/ZipTestSupport.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using testing::BuildArchive;
using testing::TBitWriter;
using testing::TMessage;
using testing::TRecordingDesktop;
using testing::TTempDir;
using testing::TZipMember;

const std::string ZipData = std::string(HARVEX_TEST_DATA) + "/zip/";

struct TMemberText {
  bool Found = false;
  bool Started = false;
  std::string Name;
  std::vector<std::string> Lines;
  bool CrcOk = false;
};

// Reads the member that Pattern chooses to its end, in the line source's
// pattern of calls.
TMemberText ReadMember(const std::string& path, const std::string& pattern = ".out", const TLoadContext& context = {}) {
  TZippedFilesReader reader(context);
  reader.Open(path);
  TMemberText member;
  member.Found = reader.FindMember(pattern, member.Name);
  if (member.Found) {
    member.Started = reader.StartMember();
    std::string line;
    while (!reader.Eof()) {
      reader.ReadLine(line);
      member.Lines.push_back(line);
    }
    member.CrcOk = reader.CrcOk();
  }
  reader.CloseArchive();
  return member;
}

// The same for archive bytes held in memory.
TMemberText ReadBytes(std::string bytes) {
  return ReadMember("a.zip", ".out", WithMemoryFile({}, "a.zip", std::move(bytes)));
}

TMemberText ReadArchive(const std::vector<TZipMember>& members, const std::string& pattern = ".out",
                        const TLoadContext& context = {}) {
  return ReadMember("a.zip", pattern, WithMemoryFile(context, "a.zip", BuildArchive(members)));
}

// The lines of a text as a deflated member gives them.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  if (!line.empty() || text.empty()) lines.push_back(line);
  return lines;
}

// ---------------------------------------------------------------------------
// Choosing the member.

struct ChoiceCase {
  const char* Name;
  std::vector<std::string> Members;
  const char* Chosen;  // empty: none
};

class MemberChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(MemberChoice, TakesTheFirstWhoseExtensionOccursInThePattern) {
  std::vector<TZipMember> members;
  for (const std::string& name : GetParam().Members) members.push_back({name, "content of " + name + "\n"});
  const TMemberText member = ReadArchive(members);
  EXPECT_EQ(member.Found, *GetParam().Chosen != '\0');
  if (member.Found) {
    EXPECT_EQ(member.Name, GetParam().Chosen);
    EXPECT_EQ(member.Lines, Lines(std::string("content of ") + GetParam().Chosen + "\n"));
    EXPECT_TRUE(member.CrcOk);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, MemberChoice,
    ::testing::Values(ChoiceCase{"UpperCaseInAFolder", {"job/Run1.OUT"}, "job/Run1.OUT"},
                      ChoiceCase{"DotO", {"a.o"}, "a.o"},
                      ChoiceCase{"DotOu", {"a.ou"}, "a.ou"},
                      ChoiceCase{"TrailingDot", {"a."}, "a."},
                      ChoiceCase{"NoDot", {"README"}, ""},
                      ChoiceCase{"LongerExtension", {"a.outx"}, ""},
                      ChoiceCase{"DotInFolderOnly", {"dir.old/run"}, ""},
                      ChoiceCase{"SkipsTheTextBeforeTheOutput", {"notes.txt", "calc.out"}, "calc.out"},
                      ChoiceCase{"FirstOfTwoOutputs", {"x.log", "first.out", "second.out"}, "first.out"},
                      ChoiceCase{"FolderEntryFirst", {"job/", "job/RUN1.OUT"}, "job/RUN1.OUT"}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.Name); });

TEST(MemberChoice, EmptyPatternTakesTheFirstMember) {
  EXPECT_EQ(ReadArchive({{"notes.txt", "n\n"}, {"calc.out", "c\n"}}, "").Name, "notes.txt");
}

TEST(MemberChoice, NameEndsAtANulByte) {
  EXPECT_EQ(ReadArchive({{std::string("calc\0x.out", 10), "c\n"}}).Name, "calc");
}

TEST(MemberChoice, FileThatIsNotAnArchiveHasNoMember) {
  for (const std::string bytes : {"", "PK", "hello, this is a text file\n", "PK\x05\x06 empty archive"}) {
    EXPECT_FALSE(ReadBytes(bytes).Found) << bytes;
  }
}

TEST(MemberChoice, HeaderCutShortHasNoMember) {
  const std::string archive = BuildArchive({{"calc.out", "c\n"}});
  for (std::size_t cut : {std::size_t{10}, std::size_t{29}, std::size_t{33}}) {
    EXPECT_FALSE(ReadBytes(archive.substr(0, cut)).Found) << cut;
  }
}

TEST(MemberChoice, WithoutADirectorySkippingADataDescriptorMemberLandsInItsDataAndFindsNothing) {
  const std::string archive =
      BuildArchive({{"notes.txt", "notes\n", 8, 6, Z_DEFAULT_STRATEGY, {}, true}, {"calc.out", "c\n"}}, false);
  EXPECT_FALSE(ReadBytes(archive).Found);
}

// ---------------------------------------------------------------------------
// Lines of stored and deflated members.

struct LineCase {
  const char* Name;
  std::string Content;
  std::vector<std::string> Deflated;
  std::vector<std::string> Stored;
};

class MemberLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(MemberLines, AreSplitAtLfWithEveryCrDropped) {
  const LineCase& c = GetParam();
  const TMemberText deflated = ReadArchive({{"a.out", c.Content, 8}});
  EXPECT_EQ(deflated.Lines, c.Deflated);
  EXPECT_TRUE(deflated.CrcOk);
  const TMemberText stored = ReadArchive({{"a.out", c.Content, 0}});
  EXPECT_EQ(stored.Lines, c.Stored);
  EXPECT_TRUE(stored.CrcOk);
}

const std::string LongLine(2000, 'q');
const std::string CappedLine(MaxLineLength, 'p');

INSTANTIATE_TEST_SUITE_P(
    Texts, MemberLines,
    ::testing::Values(
        // A stored member notices its end with a fill that reads nothing:
        // after a last line feed it gives one more, empty, line.
        LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}, {"a", "b", ""}},
        LineCase{"LoneCrDisappears", "a\rb\nc", {"ab", "c"}, {"ab", "c"}},
        LineCase{"LastLineWithoutLf", "x\nlast", {"x", "last"}, {"x", "last"}},
        LineCase{"Empty", "", {""}, {""}},
        LineCase{"ControlBytesStay", std::string("n\0ul\t\x1a\n", 7), {std::string("n\0ul\t\x1a", 6)},
                 {std::string("n\0ul\t\x1a", 6), ""}},
        LineCase{"LineOf2000Characters", LongLine + "\nz", {LongLine, "z"}, {LongLine, "z"}},
        // CRs do not count towards the kept prefix.
        LineCase{"LongerLineKeepsItsPrefix", "\r" + CappedLine + "\rp" + std::string(100000, 'x') + "\r\nz",
                 {CappedLine, "z"}, {CappedLine, "z"}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.Name); });

TEST(MemberLines, StoredMemberNeverShowsTheBytesAfterIt) {
  const TMemberText member = ReadArchive({{"a.out", "one\ntwo", 0}, {"b.out", "three\n", 0}});
  EXPECT_EQ(member.Lines, (std::vector<std::string>{"one", "two"}));
}

TEST(MemberLines, LargeMemberMatchesItsTextAcrossManyWindows) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += " line " + std::to_string(i * 7919 % 10007) + "\r\n";
  const TMemberText member = ReadArchive({{"big.out", text}});
  EXPECT_EQ(member.Lines, Lines(text));
  EXPECT_TRUE(member.CrcOk);
}

// 257 letters and a line feed fill exactly the 258 bytes at which a fill
// stops: coded as literals, the end-of-block code is left for the next
// fill, which ends the member with an empty line; a stored block ends with
// its last byte.
const std::string Letters257 = std::string(257, 'h') + "\n";

std::string FixedBlockOfLiterals(const std::string& text) {
  TBitWriter out;
  out.Bits(1, 1).Bits(1, 2);  // BFINAL, BTYPE: fixed codes
  for (char c : text) out.FixedSymbol(static_cast<unsigned char>(c));
  out.FixedSymbol(256);
  return out.Bytes();
}

TEST(MemberLines, LiteralsEndingAtTheFillThresholdInAFixedBlockGiveAnEmptyLastLine) {
  const TMemberText member = ReadArchive({{"a.out", Letters257, 8, 6, 0, FixedBlockOfLiterals(Letters257)}});
  EXPECT_EQ(member.Lines, (std::vector<std::string>{std::string(257, 'h'), ""}));
  EXPECT_TRUE(member.CrcOk);
}

TEST(MemberLines, LiteralsEndingAtTheFillThresholdInADynamicBlockGiveAnEmptyLastLine) {
  const std::string data = testing::ZlibDeflate(Letters257, 6, Z_HUFFMAN_ONLY);
  ASSERT_EQ((data[0] >> 1) & 3, 2) << "zlib did not write a dynamic block";
  const TMemberText member = ReadArchive({{"a.out", Letters257, 8, 6, 0, data}});
  EXPECT_EQ(member.Lines, (std::vector<std::string>{std::string(257, 'h'), ""}));
}

TEST(MemberLines, SameBytesInAStoredBlockGiveOneLine) {
  const TMemberText member = ReadArchive({{"a.out", Letters257, 8, 0}});
  EXPECT_EQ(member.Lines, (std::vector<std::string>{std::string(257, 'h')}));
  EXPECT_TRUE(member.CrcOk);
}

// ---------------------------------------------------------------------------
// Members the reader cannot decode: one box names the member and the reason,
// and the archive counts as one without an output member.

struct UnreadableCase {
  const char* Name;
  TZipMember Member;
  bool WithDirectory;
  const char* Message;
};

TZipMember Streamed(TZipMember member) {
  member.Descriptor = true;
  return member;
}

TZipMember WithFlags(TZipMember member, std::uint16_t flags, bool zip64Sizes) {
  member.Flags = flags;
  member.Zip64Sizes = zip64Sizes;
  return member;
}

class UnreadableMember : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableMember, IsNamedWithItsReasonAndDoesNotOpen) {
  TRecordingDesktop desktop;
  TLineSource source(WithMemoryFile(desktop, "a.zip", BuildArchive({GetParam().Member}, GetParam().WithDirectory)));
  EXPECT_FALSE(source.OpenSource("a.zip"));
  EXPECT_EQ(desktop.Messages, (std::vector<TMessage>{{"TZippedFilesReader", GetParam().Message}}));
}

INSTANTIATE_TEST_SUITE_P(
    Members, UnreadableMember,
    ::testing::Values(
        UnreadableCase{"Encrypted", WithFlags({"calc.out", "text\n", 0}, 1, false), true, "calc.out is encrypted"},
        UnreadableCase{"Bzip2", {"calc.out", "BZh91AY&SY", 12}, true, "calc.out uses compression method 12"},
        UnreadableCase{"Zstd", {"job/calc.out", "(\xb5/\xfd", 93}, true, "job/calc.out uses compression method 93"},
        UnreadableCase{"Zip64Sizes", WithFlags({"calc.out", "text\n", 8}, 0, true), true, "calc.out needs ZIP64 sizes"},
        UnreadableCase{"StreamedZip64", WithFlags(Streamed({"calc.out", "text\n", 8}), 0, true), true,
                       "calc.out needs ZIP64 sizes"},
        UnreadableCase{"StoredStreamedWithoutDirectory", Streamed({"calc.out", "text\n", 0}), false,
                       "calc.out has no recorded size"}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------
// CRC-32 of members with a data descriptor.

TEST(DataDescriptor, IntactMemberPassesItsCheckWithOrWithoutTheSignature) {
  const std::string text = "data descriptor member\nsecond line\n";
  for (bool signature : {true, false}) {
    TZipMember member{"calc.out", text, 8};
    member.Descriptor = true;
    member.DescriptorSignature = signature;
    const TMemberText read = ReadArchive({member});
    EXPECT_EQ(read.Lines, Lines(text)) << signature;
    EXPECT_TRUE(read.CrcOk) << signature;
  }
}

TEST(DataDescriptor, WithoutADirectoryAWrongCrcInTheDescriptorFailsTheCheck) {
  TZipMember member{"calc.out", "text\n", 8};
  member.Descriptor = true;
  member.DescriptorCrc = 0x12345678;
  EXPECT_FALSE(ReadBytes(BuildArchive({member}, false)).CrcOk);
}

// An archive written to a pipe: every header defers its sizes, which the
// central directory gives, both to read a member and to skip one.
struct StreamedCase {
  const char* Name;
  int Method;
  bool Signature;
};

class StreamedArchive : public ::testing::TestWithParam<StreamedCase> {};

TEST_P(StreamedArchive, TakesItsSizesFromTheCentralDirectory) {
  const std::string text = "first line\r\nsecond line\n";
  std::vector<TZipMember> members{Streamed({"notes.txt", "notes\nskipped\n", GetParam().Method}),
                                  Streamed({"calc.out", text, GetParam().Method}), {"after.out", "after\n"}};
  for (TZipMember& member : members) member.DescriptorSignature = GetParam().Signature;
  const TMemberText member = ReadArchive(members);
  EXPECT_EQ(member.Name, "calc.out");
  EXPECT_EQ(member.Lines, GetParam().Method == 0 ? (std::vector<std::string>{"first line", "second line", ""})
                                                 : Lines(text));
  EXPECT_TRUE(member.CrcOk);
}

TEST(DataDescriptor, PythonsZipfileWritingAStoredMemberToAPipeIsReadWhole) {
  const TMemberText member = ReadMember(ZipData + "python_streamed_stored.zip");
  EXPECT_EQ(member.Name, "calc.out");
  EXPECT_EQ(member.Lines, (std::vector<std::string>{" This is part of the Gaussian(R) 16 program.",
                                                    " SCF Done:  E(RB3LYP) =  -76.4 A.U.", ""}));
  EXPECT_TRUE(member.CrcOk);
}

INSTANTIATE_TEST_SUITE_P(Members, StreamedArchive,
                         ::testing::Values(StreamedCase{"Stored", 0, true}, StreamedCase{"Deflated", 8, true},
                                           StreamedCase{"StoredNoSignature", 0, false},
                                           StreamedCase{"DeflatedNoSignature", 8, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DataDescriptor, ArchiveWrittenToAPipeByZipPassesItsCheck) {
  const TMemberText member = ReadMember(ZipData + "streamed_descriptor.zip");
  EXPECT_EQ(member.Name, "calc.out");
  EXPECT_EQ(member.Lines.size(), 405U);
  EXPECT_EQ(member.Lines.back(), " Normal termination of Gaussian 16.");
  EXPECT_TRUE(member.CrcOk);
}

// ---------------------------------------------------------------------------
// Damaged and truncated archives.

TEST(DamagedMember, BlockType3ShowsTheTreesMessageAndEndsTheMember) {
  TRecordingDesktop desktop;
  const TMemberText member = ReadArchive({{"a.out", "x", 8, 6, 0, std::string("\x07\x00", 2)}}, ".out", desktop);
  EXPECT_EQ(member.Lines, (std::vector<std::string>{""}));
  EXPECT_FALSE(member.CrcOk);
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{"TZippedFilesReader",
                                    "Error: Can not inflate block trees! (inflate_build_trees returned with code 4)"}}));
}

TEST(DamagedMember, InvalidCodeShowsTheBlockMessageAndDropsThatFill) {
  TRecordingDesktop desktop;
  const std::string good(600, 'g');
  TBitWriter out;
  out.Bits(1, 1).Bits(1, 2);
  for (char c : good) out.FixedSymbol(static_cast<unsigned char>(c));
  out.FixedSymbol(286);
  const TMemberText member = ReadArchive({{"a.out", good, 8, 6, 0, out.Bytes()}}, ".out", desktop);
  // Two fills of 258 bytes went out; the third, with the bad code, did not.
  EXPECT_EQ(member.Lines, (std::vector<std::string>{std::string(516, 'g')}));
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{"TZippedFilesReader",
                                    "Error: Can not inflate block! (inflate_codes returned with code 4)"}}));
}

TEST(DamagedMember, TruncatedArchiveEndsTheMemberQuietlyAndFailsTheCheck) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += " step " + std::to_string(i * 31 % 97) + " energy -1." + std::to_string(i) + "\n";
  const std::string archive = BuildArchive({{"a.out", text}});
  const std::size_t dataStart = 30 + 5 + 4;
  const std::size_t dataEnd = dataStart + testing::ZlibDeflate(text, 6).size();
  TRecordingDesktop desktop;
  for (std::size_t cut = dataStart; cut < dataEnd; cut += 7) {
    const TMemberText member = ReadBytes(archive.substr(0, cut));
    ASSERT_TRUE(member.Found);
    std::string delivered;
    for (const std::string& line : member.Lines) delivered += line + "\n";
    // A cut that took only filler bits of the last byte loses nothing.
    EXPECT_EQ(member.CrcOk, delivered == text) << cut;
    // Only the step that met the end may have decoded filler bits.
    const std::size_t trusted = delivered.size() > MaxMatch + 1 ? delivered.size() - MaxMatch - 1 : 0;
    ASSERT_EQ(delivered.substr(0, trusted), text.substr(0, trusted)) << cut;
  }
  EXPECT_TRUE(desktop.Messages.empty());
}

// ---------------------------------------------------------------------------
// The archive file.

int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

TEST(ArchiveFile, MissingArchiveRaisesTheSystemsReason) {
  TZippedFilesReader reader;
  try {
    reader.Open("/nonexistent/folder/a.zip");
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "No such file or directory");
  }
}

TEST(ArchiveFile, FolderRaisesAnInputOutputError) {
  TTempDir dir;
  TZippedFilesReader reader;
  EXPECT_THROW(reader.Open(dir.Path().string()), EInOutError);
}

TEST(ArchiveFile, ReaderReleasesItsFileWhenDestroyedWithoutClosing) {
  TTempDir dir;
  const std::string path = dir.Write("a.zip", BuildArchive({{"a.out", "text\n"}}));
  const int before = OpenDescriptorCount();
  {
    TZippedFilesReader reader;
    reader.Open(path);
    std::string name;
    ASSERT_TRUE(reader.FindMember(".out", name));
    reader.StartMember();
    EXPECT_EQ(OpenDescriptorCount(), before + 1);
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
}

// ---------------------------------------------------------------------------
// The line source over real archives: the lines of each archived output
// are exactly those of the output itself, unpacked here by zlib.

std::string ZlibUnpack(const std::string& archive, const std::string& memberName) {
  std::size_t pos = 0;
  while (archive.compare(pos, 4, "PK\x03\x04") == 0) {
    auto le = [&archive](std::size_t at, int bytes) {
      std::uint32_t value = 0;
      for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(archive[at + i]);
      return value;
    };
    const std::string name = archive.substr(pos + 30, le(pos + 26, 2));
    const std::size_t data = pos + 30 + le(pos + 26, 2) + le(pos + 28, 2);
    if (name == memberName) {
      z_stream stream{};
      inflateInit2(&stream, -MAX_WBITS);
      std::string out(le(pos + 22, 4), '\0');
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(archive.data() + data));
      stream.avail_in = static_cast<uInt>(archive.size() - data);
      stream.next_out = reinterpret_cast<Bytef*>(out.data());
      stream.avail_out = static_cast<uInt>(out.size());
      EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
      inflateEnd(&stream);
      return out;
    }
    pos = data + le(pos + 18, 4);
  }
  ADD_FAILURE() << "no member " << memberName;
  return {};
}

std::vector<std::string> SourceLines(const std::string& path, bool& crcOk, const TLoadContext& context = {}) {
  TLineSource source(context);
  EXPECT_TRUE(source.OpenSource(path)) << path;
  std::vector<std::string> lines;
  std::string line;
  while (!source.SourceAtEnd()) {
    source.ReadSourceLine(line);
    lines.push_back(line);
  }
  crcOk = source.CloseSource();
  return lines;
}

struct RealArchive {
  const char* File;
  const char* Member;
};

class RealArchiveLines : public ::testing::TestWithParam<RealArchive> {};

TEST_P(RealArchiveLines, AreThoseOfTheUnpackedOutput) {
  const std::string archivePath = ZipData + GetParam().File;
  const TLoadContext unpacked =
      WithMemoryFile({}, "unpacked.out", ZlibUnpack(testing::ReadWholeFile(archivePath), GetParam().Member));
  bool archiveCrcOk = false;
  bool plainOk = false;
  const std::vector<std::string> fromArchive = SourceLines(archivePath, archiveCrcOk);
  const std::vector<std::string> fromPlain = SourceLines("unpacked.out", plainOk, unpacked);
  EXPECT_GT(fromPlain.size(), 100U);
  EXPECT_EQ(fromArchive, fromPlain);
  EXPECT_TRUE(archiveCrcOk);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, RealArchiveLines,
    ::testing::Values(RealArchive{"crlf_member.zip", "UMP2_C_ATOM.out"},
                      RealArchive{"deflated_member.zip", "dvb_ir.out"},
                      RealArchive{"orca_member.zip", "Orca_opt_freq_test.out"},
                      RealArchive{"subfolder_upper.zip", "job/RUN1.OUT"},
                      RealArchive{"no_out_member.zip", "water_mp2.log"},
                      RealArchive{"notes_then_calc.zip", "calc.out"},
                      RealArchive{"streamed_descriptor.zip", "calc.out"}));

TEST(LineSource, ArchiveWithoutAnOutputMemberDoesNotOpenAndKeepsNothingOpen) {
  TTempDir dir;
  const std::string path = dir.Write("a.zip", BuildArchive({{"notes.txt", "n\n"}, {"calc.chk", "c\n"}}));
  const int before = OpenDescriptorCount();
  TLineSource source;
  EXPECT_FALSE(source.OpenSource(path));
  EXPECT_EQ(OpenDescriptorCount(), before);
}

// Gaussian on Linux writes NAME.log: the line source takes a ".log" member
// (or a prefix of ".log", as ".out" takes its prefixes) like a ".out" one,
// whichever comes first.
class OutputMemberChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(OutputMemberChoice, TakesTheFirstOutOrLogMember) {
  std::vector<TZipMember> members;
  for (const std::string& name : GetParam().Members) members.push_back({name, "content of " + name + "\n"});
  TLineSource source(WithMemoryFile({}, "a.zip", BuildArchive(members)));
  const bool opened = source.OpenSource("a.zip");
  EXPECT_EQ(opened, *GetParam().Chosen != '\0');
  if (!opened) return;
  std::string line;
  source.ReadSourceLine(line);
  EXPECT_EQ(line, std::string("content of ") + GetParam().Chosen);
  EXPECT_TRUE(source.CloseSource());
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputMemberChoice,
    ::testing::Values(ChoiceCase{"LogBeforeOut", {"notes.txt", "job.log", "job.out"}, "job.log"},
                      ChoiceCase{"OutBeforeLog", {"job.out", "job.log"}, "job.out"},
                      ChoiceCase{"UpperCaseLogInAFolder", {"run/JOB.LOG"}, "run/JOB.LOG"},
                      ChoiceCase{"DotLo", {"a.lo"}, "a.lo"},
                      ChoiceCase{"DotL", {"a.l"}, "a.l"},
                      ChoiceCase{"DotOu", {"a.ou"}, "a.ou"},
                      ChoiceCase{"NoneOfTheOthers", {"a.logx", "a.outl", "a.tlog", "a.og", "a.g", "README"}, ""}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.Name); });

TEST(LineSource, MemberFailingItsCrcClosesWithFalse) {
  std::string archive = BuildArchive({{"calc.out", "calc\n", 0}});
  archive[14] ^= 1;  // the header's CRC-32
  bool crcOk = true;
  EXPECT_EQ(SourceLines("a.zip", crcOk, WithMemoryFile({}, "a.zip", archive)),
            (std::vector<std::string>{"calc", ""}));
  EXPECT_FALSE(crcOk);
}

// ---------------------------------------------------------------------------
// The CRC-32 verdict of an archived output: one warning per load, whichever
// reader ran, or when no banner was found.

struct VerdictCase {
  const char* Name;
  const char* Text;
};

class CrcVerdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(CrcVerdict, AMismatchIsShownOnceAndAnIntactMemberShowsNothing) {
  for (bool damaged : {false, true}) {
    TRecordingDesktop desktop;
    std::string archive = BuildArchive({{"calc.out", GetParam().Text, 0}});
    if (damaged) archive[14] ^= 1;  // the header's CRC-32
    TCoordinateFile file(WithMemoryFile(desktop, "a.zip", archive));
    file.LoadFile("a.zip", true);
    const std::vector<TMessage> expected{{"TCoordinateFile Error", "WARNING: there was an error reading a.zip"}};
    EXPECT_EQ(desktop.Messages, damaged ? expected : std::vector<TMessage>{}) << damaged;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Members, CrcVerdict,
    ::testing::Values(
        VerdictCase{"Gaussian", " This is part of the Gaussian(R) 16 program.\n SCF Done:  E(RB3LYP) =  -76.4\n"},
        VerdictCase{"Orca", " * O   R   C   A *\nFINAL SINGLE POINT ENERGY       -76.328211149543\n"},
        VerdictCase{"NoBanner", "plain text\nno banner here\n"},
        // The banner pass reaches the end too; the reader alone reports.
        VerdictCase{"BannerOnTheLastLine", " This is part of the Gaussian(R) 16 program."}),
    [](const auto& info) { return std::string(info.param.Name); });

// A cut archive ends the member inside a number: the warning comes, and the
// cut number is not used.
TEST(CrcVerdict, TruncatedArchiveWarnsAndLeavesOutTheCutNumber) {
  const std::string text = " This is part of the Gaussian(R) 16 program.\n SCF Done:  E(RB3LYP) =  -76.4D+01 A.U.\n";
  const std::string archive = BuildArchive({{"calc.out", text, 0}});
  TRecordingDesktop desktop;
  TCoordinateFile file(WithMemoryFile(desktop, "a.zip", archive.substr(0, archive.find("D+01") + 2)));
  EXPECT_NO_THROW(file.LoadFile("a.zip", true));
  EXPECT_FALSE(file.Info.EnergyRead);
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{"TCoordinateFile Error", "WARNING: there was an error reading a.zip"}}));
}

}  // namespace
}  // namespace harvex
