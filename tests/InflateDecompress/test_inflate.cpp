#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "InflateDecompress/DeflateTestSupport.h"

namespace harvex {
namespace {

using testing::TBitWriter;
using testing::TMemoryInflater;
using testing::ZlibCrc;
using testing::ZlibDeflate;

std::uint32_t Crc32Of(std::string_view text) {
  std::uint32_t crc = 0xFFFFFFFF;
  update_crc32(crc, reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
  return ~crc;
}

TEST(Crc32, MatchesTheCheckValueAndIsZeroOverNothing) {
  EXPECT_EQ(Crc32Of("123456789"), 0xCBF43926U);
  EXPECT_EQ(Crc32Of(""), 0U);
}

TEST(Crc32, AgreesWithZlibForEveryLengthAndAlignment) {
  std::mt19937 random(7);
  std::string bytes(300, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  for (std::size_t start = 0; start < 16; ++start)
    for (std::size_t length = 0; start + length <= bytes.size(); length += 7)
      ASSERT_EQ(Crc32Of(std::string_view(bytes).substr(start, length)),
                ZlibCrc(std::string_view(bytes).substr(start, length)))
          << start << " " << length;
}

TEST(Crc32, NegativeCountLeavesTheRegister) {
  std::uint32_t crc = 0x12345678;
  const std::uint8_t byte = 1;
  update_crc32(crc, &byte, -1);
  EXPECT_EQ(crc, 0x12345678U);
}

// ---------------------------------------------------------------------------
// zlib as the oracle: every level, every block kind zlib can be made to
// write, input handed over in chunks of several sizes.

std::string GaussianLikeText(int lines) {
  std::mt19937 random(11);
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += " SCF Done:  E(RB3LYP) =  -" + std::to_string(382 + random() % 7) + "." +
            std::to_string(random() % 1000000000) + "     A.U. after   " + std::to_string(random() % 20) +
            " cycles\n";
    if (i % 7 == 0) text += "    " + std::to_string(i) + "          6           0        0.000000    1.402000\r\n";
  }
  return text;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

struct OracleCase {
  const char* Name;
  std::string Data;
  int Strategy;
  int ChunkSize;
};

class InflateMatchesZlib : public ::testing::TestWithParam<OracleCase> {};

TEST_P(InflateMatchesZlib, AtEveryLevel) {
  const OracleCase& c = GetParam();
  for (int level = 0; level <= 9; ++level) {
    TMemoryInflater inflater(ZlibDeflate(c.Data, level, c.Strategy), c.ChunkSize);
    const testing::TInflateResult result = inflater.InflateAll();
    ASSERT_TRUE(result.Finished) << "level " << level;
    ASSERT_EQ(result.BuildCode, 0) << "level " << level;
    ASSERT_EQ(result.StepCode, 0) << "level " << level;
    ASSERT_TRUE(result.Output == c.Data) << "level " << level;
    ASSERT_EQ(result.Crc, ZlibCrc(c.Data)) << "level " << level;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, InflateMatchesZlib,
    ::testing::Values(OracleCase{"Text", GaussianLikeText(3000), Z_DEFAULT_STRATEGY, InBufSize},
                      OracleCase{"TextByteByByte", GaussianLikeText(300), Z_DEFAULT_STRATEGY, 1},
                      OracleCase{"TextFiltered", GaussianLikeText(3000), Z_FILTERED, 7},
                      OracleCase{"TextHuffmanOnly", GaussianLikeText(3000), Z_HUFFMAN_ONLY, InBufSize},
                      OracleCase{"TextRunLength", GaussianLikeText(3000), Z_RLE, InBufSize},
                      OracleCase{"TextFixedCodes", GaussianLikeText(3000), Z_FIXED, 5},
                      OracleCase{"RandomBytes", RandomBytes(100000, 1), Z_DEFAULT_STRATEGY, InBufSize},
                      OracleCase{"RandomBytesFixedCodes", RandomBytes(20000, 2), Z_FIXED, 3},
                      OracleCase{"LongRuns", std::string(70000, 'a') + std::string(300, 'b') + "c",
                                 Z_RLE, InBufSize},
                      OracleCase{"OneByte", "x", Z_DEFAULT_STRATEGY, InBufSize},
                      OracleCase{"Empty", "", Z_DEFAULT_STRATEGY, InBufSize}),
    [](const ::testing::TestParamInfo<OracleCase>& info) { return std::string(info.param.Name); });

TEST(InflateTruncated, EndsWithAPrefixOfTheTextWheneverTheInputRunsOut) {
  const std::string text = GaussianLikeText(400);
  const std::string stream = ZlibDeflate(text, 6);
  for (std::size_t cut = 0; cut < stream.size(); cut += 13) {
    TMemoryInflater inflater(stream.substr(0, cut), 64);
    const testing::TInflateResult result = inflater.InflateAll();
    ASSERT_TRUE(result.InputEnded) << cut;
    ASSERT_FALSE(result.Finished) << cut;
    // Only the step that met the end may have decoded filler bits.
    const std::size_t trusted = result.Output.size() > MaxMatch ? result.Output.size() - MaxMatch : 0;
    ASSERT_EQ(result.Output.substr(0, trusted), text.substr(0, trusted)) << cut;
  }
}

TEST(InflateGarbage, StopsWithoutReadingOrWritingOutsideItsBuffers) {
  for (unsigned seed = 0; seed < 200; ++seed) {
    TMemoryInflater inflater(RandomBytes(64 + seed * 7, seed), 16);
    const testing::TInflateResult result = inflater.InflateAll();
    EXPECT_TRUE(result.Finished || result.InputEnded || result.BuildCode != 0 || result.StepCode != 0);
  }
}

// ---------------------------------------------------------------------------
// Hand-made streams.

constexpr int EndOfBlock = 256;

// Codes of a canonical code set from its lengths (RFC 1951, 3.2.2).
std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths) {
  std::vector<int> count(17, 0);
  for (int length : lengths) ++count[length];
  count[0] = 0;
  std::vector<std::uint32_t> next(17, 0);
  std::uint32_t code = 0;
  for (int bits = 1; bits <= 16; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  std::vector<std::uint32_t> codes(lengths.size(), 0);
  for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol)
    if (lengths[symbol] != 0) codes[symbol] = next[lengths[symbol]]++;
  return codes;
}

// A code length symbol (0-18) with the value of its extra bits.
struct LengthSymbol {
  int Symbol;
  int Extra = 0;
};

// The code length code used here: lengths 0-12 get 4 bits, 13-18 get 5,
// a complete set of all 19 symbols.
const std::vector<int> CodeLengthLengths = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5};

void DynamicHeader(TBitWriter& out, int hlit, int hdist, const std::vector<LengthSymbol>& sequence) {
  static constexpr int Order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  out.Bits(2, 2);             // BTYPE: dynamic codes
  out.Bits(hlit - 257, 5);    // HLIT
  out.Bits(hdist - 1, 5);     // HDIST
  out.Bits(19 - 4, 4);        // HCLEN: all 19 code length code lengths
  for (int symbol : Order) out.Bits(CodeLengthLengths[symbol], 3);
  const std::vector<std::uint32_t> codes = CanonicalCodes(CodeLengthLengths);
  static constexpr int ExtraBits[3] = {2, 3, 7};
  for (const LengthSymbol& item : sequence) {
    out.Code(codes[item.Symbol], CodeLengthLengths[item.Symbol]);
    if (item.Symbol >= 16) out.Bits(item.Extra, ExtraBits[item.Symbol - 16]);
  }
}

std::vector<LengthSymbol> Plain(const std::vector<int>& lengths) {
  std::vector<LengthSymbol> sequence;
  for (int length : lengths) sequence.push_back({length});
  return sequence;
}

// A dynamic block whose literal/length code gives 'a', 'b', end of block
// and length symbol 257 (length 3) two bits each, and whose distance code
// has the given lengths.
struct SmallDynamicCode {
  explicit SmallDynamicCode(std::vector<int> distLengths) : Dist(std::move(distLengths)) {
    Lit.assign(258, 0);
    Lit['a'] = Lit['b'] = Lit[EndOfBlock] = Lit[257] = 2;
    LitCodes = CanonicalCodes(Lit);
    DistCodes = CanonicalCodes(Dist);
  }
  void Header(TBitWriter& out) const {
    std::vector<int> all = Lit;
    all.insert(all.end(), Dist.begin(), Dist.end());
    DynamicHeader(out, static_cast<int>(Lit.size()), static_cast<int>(Dist.size()), Plain(all));
  }
  void Symbol(TBitWriter& out, int symbol) const { out.Code(LitCodes[symbol], Lit[symbol]); }
  void Distance(TBitWriter& out, int symbol) const { out.Code(DistCodes[symbol], Dist[symbol]); }

  std::vector<int> Lit;
  std::vector<int> Dist;
  std::vector<std::uint32_t> LitCodes;
  std::vector<std::uint32_t> DistCodes;
};

struct HandMadeCase {
  const char* Name;
  std::string Stream;
  std::string Output;
  int BuildCode;
  int StepCode;
};

std::string FixedBlock(const std::vector<int>& symbols) {
  TBitWriter out;
  out.Bits(1, 1).Bits(1, 2);  // BFINAL, BTYPE: fixed codes
  for (int symbol : symbols) out.FixedSymbol(symbol);
  return out.Bytes();
}

std::string StoredBlock(int len, int nlen, std::string_view data) {
  TBitWriter out;
  out.Bits(1, 1).Bits(0, 2).Align().Bits(len, 16).Bits(nlen, 16).Raw(data);  // BFINAL, BTYPE: stored
  return out.Bytes();
}

std::string FixedMatch(const std::vector<int>& before, int lengthSymbol, int distanceSymbol) {
  TBitWriter out;
  out.Bits(1, 1).Bits(1, 2);
  for (int symbol : before) out.FixedSymbol(symbol);
  out.FixedSymbol(lengthSymbol).Code(distanceSymbol, 5).FixedSymbol(EndOfBlock);
  return out.Bytes();
}

std::string OneDistanceCodeStream(int distanceCode) {
  const SmallDynamicCode code({1});
  TBitWriter out;
  out.Bits(1, 1);
  code.Header(out);
  code.Symbol(out, 'a');
  code.Symbol(out, 257);  // length 3
  out.Code(distanceCode, 1);
  code.Symbol(out, EndOfBlock);
  return out.Bytes();
}

std::string DynamicWithDistanceSymbol30() {
  std::vector<int> dist(32, 0);
  dist[0] = dist[30] = 1;
  const SmallDynamicCode code(dist);
  TBitWriter out;
  out.Bits(1, 1);
  code.Header(out);
  code.Symbol(out, 'a');
  code.Symbol(out, 257);
  code.Distance(out, 30);
  return out.Bytes();
}

std::string DynamicWithoutDistanceCodes() {
  const SmallDynamicCode code({0});
  TBitWriter out;
  out.Bits(1, 1);
  code.Header(out);
  code.Symbol(out, 'b');
  code.Symbol(out, 257);
  return out.Bytes();
}

// HLIT 257 and HDIST 1 declare 258 lengths; the sequence overruns them.
std::string OverrunningLengths(const std::vector<LengthSymbol>& sequence) {
  TBitWriter out;
  out.Bits(1, 1);
  DynamicHeader(out, 257, 1, sequence);
  return out.Bytes();
}

std::string TwoBitsOfBlockType(int type) {
  TBitWriter out;
  out.Bits(1, 1).Bits(type, 2).Bits(0, 13);
  return out.Bytes();
}

// Stored bytes that leave room for exactly one longest match in the window,
// then that match.
std::string GapThenLongestMatch() {
  const std::string gap(WindowSize - MaxMatch, 'g');
  TBitWriter out;
  out.Bits(0, 1).Bits(0, 2).Align().Bits(static_cast<std::uint32_t>(gap.size()), 16);
  out.Bits(static_cast<std::uint32_t>(~gap.size() & 0xFFFF), 16).Raw(gap);
  out.Bits(1, 1).Bits(1, 2).FixedSymbol(285).Code(0, 5).FixedSymbol(EndOfBlock);
  return out.Bytes();
}

class HandMadeStream : public ::testing::TestWithParam<HandMadeCase> {};

TEST_P(HandMadeStream, GivesItsBytesAndCodes) {
  const HandMadeCase& c = GetParam();
  TMemoryInflater inflater(c.Stream);
  const testing::TInflateResult result = inflater.InflateAll();
  EXPECT_EQ(result.BuildCode, c.BuildCode);
  EXPECT_EQ(result.StepCode, c.StepCode);
  EXPECT_EQ(result.Output, c.Output);
  if (c.BuildCode == 0 && c.StepCode == 0) {
    EXPECT_TRUE(result.Finished);
    EXPECT_EQ(result.Crc, ZlibCrc(c.Output));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandMadeStream,
    ::testing::Values(
        HandMadeCase{"EmptyFixedBlock", FixedBlock({EndOfBlock}), "", 0, 0},
        HandMadeCase{"StoredLengthZero", StoredBlock(0, 0xFFFF, ""), "", 0, 0},
        HandMadeCase{"StoredThreeBytes", StoredBlock(3, 0xFFFC, "abc"), "abc", 0, 0},
        HandMadeCase{"StoredNlenEqualToLen", StoredBlock(3, 3, "abc"), "", 4, 0},
        HandMadeCase{"BlockType3", TwoBitsOfBlockType(3), "", 4, 0},
        HandMadeCase{"Symbol285IsLength258", FixedMatch({'x'}, 285, 0), std::string(259, 'x'), 0, 0},
        HandMadeCase{"Symbol286IsInvalid", FixedMatch({'x'}, 286, 0), "x", 0, 4},
        HandMadeCase{"Symbol287IsInvalid", FixedMatch({'x'}, 287, 0), "x", 0, 4},
        HandMadeCase{"FixedDistance30IsInvalid", FixedMatch({'x'}, 257, 30), "x", 0, 4},
        HandMadeCase{"DistanceBeforeTheFirstByte", FixedMatch({'x'}, 257, 1), "x", 0, 4},
        HandMadeCase{"LongestMatchFillingTheWindow", GapThenLongestMatch(), std::string(WindowSize, 'g'), 0, 0},
        HandMadeCase{"FixedDistance31IsInvalid", FixedMatch({'x'}, 257, 31), "x", 0, 4},
        HandMadeCase{"OneDistanceCodeOfOneBit", OneDistanceCodeStream(0), "aaaa", 0, 0},
        HandMadeCase{"TheOtherOneBitDistanceIsInvalid", OneDistanceCodeStream(1), "a", 0, 4},
        HandMadeCase{"DynamicDistance30IsInvalid", DynamicWithDistanceSymbol30(), "a", 0, 4},
        HandMadeCase{"LengthWithoutDistanceCodes", DynamicWithoutDistanceCodes(), "b", 0, 4},
        HandMadeCase{"Repeat16PastTheEnd", OverrunningLengths({{18, 127}, {18, 107}, {1}, {16, 0}}), "", 1, 0},
        HandMadeCase{"Repeat17PastTheEnd", OverrunningLengths({{18, 127}, {18, 107}, {17, 0}}), "", 1, 0},
        HandMadeCase{"Repeat18PastTheEnd", OverrunningLengths({{18, 127}, {18, 127}}), "", 4, 0}),
    [](const ::testing::TestParamInfo<HandMadeCase>& info) { return std::string(info.param.Name); });

TEST(InflateSteps, StoredBytesComeOnePerStepAndTheLastEndsTheBlock) {
  TMemoryInflater inflater(StoredBlock(3, 0xFFFC, "abc"));
  int final = 0;
  ASSERT_EQ(inflater.BuildTrees(final), 0);
  EXPECT_EQ(final, 1);
  for (int step = 1; step <= 3; ++step) {
    bool endOfBlock = false;
    ASSERT_EQ(inflater.Step(endOfBlock), 0);
    EXPECT_EQ(inflater.Position(), step);
    EXPECT_EQ(endOfBlock, step == 3) << step;
  }
}

TEST(InflateSteps, StoredLengthZeroEndsAtTheFirstStepWithoutWriting) {
  TMemoryInflater inflater(StoredBlock(0, 0xFFFF, ""));
  int final = 0;
  ASSERT_EQ(inflater.BuildTrees(final), 0);
  bool endOfBlock = false;
  ASSERT_EQ(inflater.Step(endOfBlock), 0);
  EXPECT_TRUE(endOfBlock);
  EXPECT_EQ(inflater.Position(), 0);
}

TEST(InflateSteps, StepsUntilStopsAfterTheStepThatReachesTheCount) {
  TMemoryInflater inflater(FixedMatch({'a', 'b'}, 285, 1));
  int final = 0;
  ASSERT_EQ(inflater.BuildTrees(final), 0);
  bool endOfBlock = false;
  ASSERT_EQ(inflater.StepsUntil(endOfBlock, 0, 2), 0);
  EXPECT_EQ(inflater.Position(), 2);  // two literals, the match not yet
  ASSERT_EQ(inflater.StepsUntil(endOfBlock, 0, 3), 0);
  EXPECT_EQ(inflater.Position(), 260);  // one whole match of 258
  EXPECT_FALSE(endOfBlock);
  ASSERT_EQ(inflater.StepsUntil(endOfBlock, 0, 1000), 0);
  EXPECT_TRUE(endOfBlock);
}

// 32,766 bytes in a stored block, then matches that run over the window's
// end and that read from both sides of it.
TEST(InflateSteps, MatchesWrapAtTheWindowsEndAndTheCrcCoversEveryByteInOrder) {
  std::string text(WindowSize - 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('A' + i % 23);
  TBitWriter out;
  out.Bits(0, 1).Bits(0, 2).Align().Bits(static_cast<std::uint32_t>(text.size()), 16);
  out.Bits(static_cast<std::uint32_t>(~text.size() & 0xFFFF), 16).Raw(text);
  out.Bits(1, 1).Bits(1, 2);
  out.FixedSymbol(264).Code(6, 5).Bits(0, 2);  // length 10; distance code 6: 9 + 0
  out.FixedSymbol(264).Code(7, 5).Bits(1, 2);  // length 10; distance code 7: 13 + 1
  out.FixedSymbol(EndOfBlock);
  std::string expected = text;
  for (int i = 0; i < 10; ++i) expected.push_back(expected[expected.size() - 9]);
  for (int i = 0; i < 10; ++i) expected.push_back(expected[expected.size() - 14]);

  TMemoryInflater inflater(out.Bytes());
  const testing::TInflateResult result = inflater.InflateAll();
  ASSERT_TRUE(result.Finished);
  EXPECT_EQ(result.Output, expected);
  EXPECT_EQ(result.Crc, ZlibCrc(expected));
  EXPECT_EQ(inflater.Position(), (expected.size()) % WindowSize);
}

// ---------------------------------------------------------------------------
// The table builder.

struct BuildCase {
  const char* Name;
  std::vector<std::uint16_t> Lengths;
  int Result;
};

class BuildHuffmanTable : public ::testing::TestWithParam<BuildCase> {};

TEST_P(BuildHuffmanTable, ReturnsTheCodeOfItsSet) {
  const BuildCase& c = GetParam();
  TCodeEntry* root = nullptr;
  int width = 7;
  EXPECT_EQ(build_huffman_table(c.Lengths.data(), static_cast<int>(c.Lengths.size()), 19, nullptr, nullptr,
                                root, width),
            c.Result);
  EXPECT_EQ(root == nullptr, c.Result == 2 || c.Lengths == std::vector<std::uint16_t>(c.Lengths.size(), 0));
  free_huffman_table(root);
  EXPECT_EQ(root, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, BuildHuffmanTable,
    ::testing::Values(BuildCase{"AllZeroIsEmptyAndFine", {0, 0, 0}, 0},
                      BuildCase{"Complete", {1, 2, 3, 3}, 0},
                      BuildCase{"Incomplete", {2, 2, 2}, 1},
                      BuildCase{"SingleOneBitCodeCountsAsComplete", {0, 1, 0}, 0},
                      BuildCase{"SingleTwoBitCodeIsIncomplete", {0, 2, 0}, 1},
                      BuildCase{"OverSubscribed", {1, 1, 1}, 2},
                      BuildCase{"LengthAbove16", {17, 1}, 2}),
    [](const ::testing::TestParamInfo<BuildCase>& info) { return std::string(info.param.Name); });

TEST(BuildHuffmanTableLimits, SymbolsFromSWithoutBasesAreBadInput) {
  const std::vector<std::uint16_t> lengths = {1, 1};
  TCodeEntry* root = nullptr;
  int width = 1;
  EXPECT_EQ(build_huffman_table(lengths.data(), 2, 1, nullptr, nullptr, root, width), 2);
  EXPECT_EQ(root, nullptr);
}

std::uint32_t Reversed(std::uint32_t code, int length) {
  std::uint32_t reversed = 0;
  for (int i = 0; i < length; ++i, code >>= 1) reversed = reversed << 1 | (code & 1);
  return reversed;
}

TEST(BuildHuffmanTableLimits, SixteenBitFirstLevelIndexesAll65536Slots) {
  const std::vector<std::uint16_t> lengths = {16, 0, 16};
  TCodeEntry* root = nullptr;
  int width = 6;
  ASSERT_EQ(build_huffman_table(lengths.data(), 3, 3, nullptr, nullptr, root, width), 1);
  ASSERT_EQ(width, 16);
  EXPECT_EQ(root[Reversed(0, 16)].Value, 0);
  EXPECT_EQ(root[Reversed(1, 16)].Value, 2);
  EXPECT_EQ(root[Reversed(1, 16)].Op, OpLiteral);
  EXPECT_EQ(root[0xFFFF].Op, OpInvalid);
  free_huffman_table(root);
}

// End of block 10 bits long shares its first nine bits with four 12-bit
// length codes: their sub-table is cut to end at the end-of-block code.
TEST(BuildHuffmanTableLimits, SubTableEndsWhereTheEndOfBlockCodeEnds) {
  std::vector<std::uint16_t> lengths(261, 0);
  lengths[0] = 1;
  lengths[256] = 10;
  for (int symbol = 257; symbol <= 260; ++symbol) lengths[symbol] = 12;
  const std::vector<std::uint16_t> bases = {3, 4, 5, 6};
  const std::vector<std::uint16_t> extras = {0, 0, 0, 0};
  TCodeEntry* root = nullptr;
  int width = 9;
  ASSERT_EQ(build_huffman_table(lengths.data(), 261, 257, bases.data(), extras.data(), root, width), 1);
  const TCodeEntry& link = root[Reversed(0x100, 9)];  // 1 0000 0000
  EXPECT_EQ(link.Op, OpLiteral + 1);
  EXPECT_EQ(link.Next[0].Op, OpEndOfBlock);
  EXPECT_EQ(link.Next[1].Op, OpLiteral + 2);  // the four 12-bit codes one level deeper
  free_huffman_table(root);
}

}  // namespace
}  // namespace harvex
