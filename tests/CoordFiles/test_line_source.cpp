#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CoordFiles/LineSource.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using testing::TTempDir;

std::vector<std::string> ReadAllLines(const std::string& path) {
  TLineSource source;
  EXPECT_TRUE(source.OpenSource(path));
  std::vector<std::string> lines;
  std::string line;
  while (!source.SourceAtEnd()) {
    source.ReadSourceLine(line);
    lines.push_back(line);
  }
  EXPECT_TRUE(source.CloseSource());
  return lines;
}

struct SplitCase {
  const char* Name;
  std::string Bytes;
  std::vector<std::string> Lines;
};

class PlainFileLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PlainFileLines, SplitAsTheTextFileRulesSay) {
  TTempDir dir;
  EXPECT_EQ(ReadAllLines(dir.Write("f.out", GetParam().Bytes)), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainFileLines,
    ::testing::Values(
        SplitCase{"Lf", "a\nb\n", {"a", "b"}},
        SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"LoneCrIsDroppedAndSplitsNothing", "a\rb\nc", {"ab", "c"}},
        SplitCase{"LastLineWithoutLf", "a\nlast", {"a", "last"}},
        SplitCase{"Empty", "", {}},
        SplitCase{"EmptyLines", "\n\n", {"", ""}},
        SplitCase{"CtrlZAtLineStartEndsTheFile", "a\n\x1a rest\nmore\n", {"a"}},
        SplitCase{"CtrlZInsideALineIsText", "a\x1a b\n", {"a\x1a b"}},
        SplitCase{"NulBytesAreText", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        SplitCase{"CrAtTheVeryEnd", "a\r", {"a"}}),
    [](const auto& info) { return info.param.Name; });

TEST(PlainFileLines, CrLfSplitAcrossReadBlocksIsOneLineEnd) {
  // Put the CR as the last byte of the first 256 KiB block and the LF in
  // the next one, and make one line longer than several blocks.
  const std::size_t block = std::size_t{1} << 18;
  std::string bytes(block - 1, 'x');
  bytes += "\r\n";
  const std::string longLine(3 * block + 17, 'y');
  bytes += longLine + "\nend";
  TTempDir dir;
  const auto lines = ReadAllLines(dir.Write("f.out", bytes));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(block - 1, 'x'));
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "end");
}

TEST(PlainFileLines, ATenMegabyteLineComesBackWhole) {
  const std::string line(10'000'000, 'q');
  TTempDir dir;
  const auto lines = ReadAllLines(dir.Write("f.out", line + "\n"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), line.size());
}

TEST(PlainFileLines, ReadingPastTheEndGivesEmptyLines) {
  TTempDir dir;
  TLineSource source;
  ASSERT_TRUE(source.OpenSource(dir.Write("f.gjf", "only\n")));
  std::string line;
  source.ReadSourceLine(line);
  EXPECT_EQ(line, "only");
  for (int i = 0; i < 3; ++i) {
    line = "stale";
    source.ReadSourceLine(line);
    EXPECT_EQ(line, "");
    EXPECT_TRUE(source.SourceAtEnd());
  }
}

TEST(OpenSource, FailsForMissingFilesAndFolders) {
  TTempDir dir;
  TLineSource missing;
  EXPECT_FALSE(missing.OpenSource((dir.Path() / "absent.out").string()));
  std::filesystem::create_directory(dir.Path() / "folder.out");
  TLineSource folder;
  EXPECT_FALSE(folder.OpenSource((dir.Path() / "folder.out").string()));
}

TEST(OpenSource, AnUnopenedSourceRaisesTheInputOutputErrorWhenRead) {
  TTempDir dir;
  TLineSource source;
  ASSERT_FALSE(source.OpenSource((dir.Path() / "absent.xyz").string()));
  try {
    source.SourceAtEnd();
    FAIL();
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "No such file or directory");
  }
}

TEST(OpenSource, AFileRemovedAfterOpeningIsStillReadWhole) {
  TTempDir dir;
  const std::string path = dir.Write("f.out", "a\nb\n");
  TLineSource source;
  ASSERT_TRUE(source.OpenSource(path));
  std::filesystem::remove(path);
  std::string line;
  source.ReadSourceLine(line);
  source.ReadSourceLine(line);
  EXPECT_EQ(line, "b");
  EXPECT_TRUE(source.SourceAtEnd());
  EXPECT_TRUE(source.CloseSource());
}

}  // namespace
}  // namespace harvex
