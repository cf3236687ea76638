#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CoordFiles/LineSource.h"
#include "ZipReader/ZipReader.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using testing::TTempDir;

// The lines of a file held in memory.
std::vector<std::string> ReadAllLines(const std::string& bytes, const std::string& name = "f.out") {
  TLineSource source(WithMemoryFile({}, name, bytes));
  EXPECT_TRUE(source.OpenSource(name));
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

TEST_P(PlainFileLines, SplitAsTheTextFileRulesSay) { EXPECT_EQ(ReadAllLines(GetParam().Bytes), GetParam().Lines); }

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

// A line keeps its first MaxLineLength bytes of text, CRs left out; the
// rest is dropped and the next line is intact. The CR of the first line end
// is the last byte of a read block, its LF the first of the next; the second
// line spans several blocks.
TEST(PlainFileLines, LinesLongerThanTheCapKeepTheirPrefix) {
  const std::size_t block = std::size_t{1} << 18;
  std::string bytes(block - 1, 'x');
  bytes += "\r\n";
  bytes += std::string(3 * block + 17, 'y') + "\n\r" + std::string(MaxLineLength - 1, 'z') + "\rzz\r\nend";
  EXPECT_EQ(ReadAllLines(bytes),
            (std::vector<std::string>{std::string(MaxLineLength, 'x'), std::string(MaxLineLength, 'y'),
                                      std::string(MaxLineLength, 'z'), "end"}));
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
