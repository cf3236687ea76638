#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CoordFiles/LineSource.h"
#include "ZipReader/ZipReader.h"
#include "ZipReader/ZipTestSupport.h"
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

// The same text as a plain file, a gzip stream and a deflated and a stored
// ZIP member: all three cut their text into lines the same way.
enum class TContainer { Plain, Gzip, ZipDeflated, ZipStored };

std::vector<std::string> ReadAllLines(const std::string& text, TContainer container) {
  switch (container) {
    case TContainer::Plain:
      return ReadAllLines(text);
    case TContainer::Gzip: {
      std::string gzip = {'\x1F', '\x8B', 8, 0, 0, 0, 0, 0, 0, 3};
      gzip += testing::ZlibDeflate(text, 6);
      testing::PutLe(gzip, testing::ZlibCrc(text), 4);
      testing::PutLe(gzip, static_cast<std::uint32_t>(text.size()), 4);
      return ReadAllLines(gzip, "f.out.gz");
    }
    case TContainer::ZipDeflated:
    case TContainer::ZipStored:
      const int method = container == TContainer::ZipStored ? 0 : 8;
      return ReadAllLines(testing::BuildArchive({{.Name = "f.out", .Content = text, .Method = method}}), "f.zip");
  }
  return {};
}

std::string ContainerName(TContainer container) {
  constexpr const char* Names[] = {"Plain", "Gzip", "ZipDeflated", "ZipStored"};
  return Names[static_cast<int>(container)];
}

struct SplitCase {
  const char* Name;
  std::string Bytes;
  std::vector<std::string> Lines;
};

class LineSplitting : public ::testing::TestWithParam<std::tuple<SplitCase, TContainer>> {};

TEST_P(LineSplitting, FollowsTheTextFileRules) {
  const auto& [split, container] = GetParam();
  std::vector<std::string> lines = split.Lines;
  // A stored member's end is noticed by a fill that reads nothing: after a
  // last line feed that gives one more, empty, line.
  if (container == TContainer::ZipStored && split.Bytes.ends_with('\n')) lines.emplace_back();
  EXPECT_EQ(ReadAllLines(split.Bytes, container), lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineSplitting,
    ::testing::Combine(
        ::testing::Values(
            SplitCase{"Lf", "a\nb\n", {"a", "b"}},
            SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
            SplitCase{"LoneCrIsDroppedAndSplitsNothing", "a\rb\nc", {"ab", "c"}},
            SplitCase{"LastLineWithoutLf", "a\nlast", {"a", "last"}},
            SplitCase{"EmptyLines", "\n\n", {"", ""}},
            SplitCase{"CtrlZInsideALineIsText", "a\x1a b\n", {"a\x1a b"}},
            SplitCase{"NulBytesAreText", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
            SplitCase{"CrAtTheVeryEnd", "a\r", {"a"}},
            // Lines that run across the zip reader's small output blocks, with
            // CRs on both sides of a block's end.
            SplitCase{"LinesAcrossBlocks",
                      std::string(515, 'a') + "\r\r\n" + std::string(1000, 'b') + "\rb\n",
                      {std::string(515, 'a'), std::string(1001, 'b')}}),
        ::testing::Values(TContainer::Plain, TContainer::Gzip, TContainer::ZipDeflated, TContainer::ZipStored)),
    [](const auto& info) { return std::get<0>(info.param).Name + ContainerName(std::get<1>(info.param)); });

TEST(PlainFileLines, EmptyFileHasNoLines) { EXPECT_EQ(ReadAllLines(""), std::vector<std::string>{}); }

// Ctrl-Z at a line's start ends a plain file (only there).
TEST(PlainFileLines, CtrlZAtALineStartEndsTheFile) {
  EXPECT_EQ(ReadAllLines("a\n\x1a rest\nmore\n"), std::vector<std::string>{"a"});
}

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
