// The status each kind of reported file gets, and the closing summary of a
// batch of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FileStatus/StatusSummary.h"
#include "common/RecordingDesktop.h"
#include "ReportedValues/ReportedValues.h"
#include "Unit1/Unit1.h"
#include "ZipReader/ZipTestSupport.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

constexpr std::string_view OrcaBanner = R"(
                                 *****************
                                 * O   R   C   A *
                                 *****************
)";
constexpr std::string_view OrcaEnergy = "FINAL SINGLE POINT ENERGY       -76.026760737428\n";
constexpr std::string_view OrcaEnd = "                             ****ORCA TERMINATED NORMALLY****\n";
constexpr std::string_view OrcaFailure = "ORCA finished by error termination in SCF\n";

const std::string GoodOrca = std::string(OrcaBanner) + std::string(OrcaEnergy) + std::string(OrcaEnd);
const std::string UnfinishedOrca = std::string(OrcaBanner) + std::string(OrcaEnergy);

std::string FirstHalf(const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); }

struct TStatusCase {
  std::string Name;
  // Files held in memory, name and bytes; the file reported comes first.
  std::vector<std::pair<std::string, std::string>> Files;
  std::string Reported;
  TFileStatus Status;
  std::string Reason;
};

std::vector<TStatusCase> StatusCases() {
  const std::string deflated = testing::ReadWholeFile(testing::TestDataPath("zip/deflated_member.zip"));
  const std::string unfinishedGaussian =
      testing::ReadWholeFile(testing::TestDataPath("gaussian/CH2OH2_unfinished.out"));
  const std::string failedGaussian = testing::ReadWholeFile(testing::TestDataPath("gaussian/MeOH_SCF_error.out"));
  return {
      {"GoodOutput", {{"good.out", GoodOrca}}, "good.out", TFileStatus::Ok, ""},
      {"GoodArchive", {{"good.zip", deflated}}, "good.zip", TFileStatus::Ok, ""},
      {"GaussianErrorTermination", {{"scf.out", failedGaussian}}, "scf.out", TFileStatus::Failed, "error termination"},
      {"OrcaFailureLine",
       {{"bad.out", std::string(OrcaBanner) + std::string(OrcaFailure) + std::string(OrcaEnd)}},
       "bad.out",
       TFileStatus::Failed,
       "error termination"},
      {"GaussianWithoutTermination", {{"run.log", unfinishedGaussian}}, "run.log", TFileStatus::Unfinished,
       "no termination line"},
      {"OrcaWithoutTermination", {{"run.out", UnfinishedOrca}}, "run.out", TFileStatus::Unfinished,
       "no termination line"},
      {"ArchiveCutInsideItsData", {{"cut.zip", FirstHalf(deflated)}}, "cut.zip", TFileStatus::Unfinished,
       "compressed data cut short or damaged"},
      {"OutputWithoutEnergy", {{"empty.out", std::string(OrcaBanner) + std::string(OrcaEnd)}}, "empty.out",
       TFileStatus::NoEnergy, "no energy line"},
      {"MissingFile", {}, "missing.out", TFileStatus::Unreadable, "No such file or directory"},
      {"BinaryOutput", {{"binary.out", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + "\xff\xfe"}}, "binary.out",
       TFileStatus::Unreadable, "no Gaussian or ORCA banner"},
      {"ArchiveWithoutOutput", {{"notes.zip", testing::BuildArchive({{"notes.txt", "text\n", 0}})}}, "notes.zip",
       TFileStatus::Unreadable, "no .out or .log member in the archive"},
      {"GzippedInput", {}, "input.gjf.gz", TFileStatus::Unreadable, "a gzipped file that is not an output"},
      {"UnknownExtension", {{"notes.dat", "text\n"}}, "notes.dat", TFileStatus::Unreadable, "unknown extension .dat"},
      {"GjfInput", {{"input.gjf", "#p hf\n\ntitle\n\n0 1\nH 0 0 0\n\n"}}, "input.gjf", TFileStatus::NotAnOutput,
       "a Gaussian input file"},
      {"XyzGeometry", {{"h.xyz", "1\n\nH 0 0 0\n"}}, "h.xyz", TFileStatus::NotAnOutput, "an XYZ geometry file"},
      {"ConformerOfGoodFiles",
       {{"c.cdf", "[c]\nGeomFileName=h.xyz\nMP2FileName=sp.out\n"}, {"h.xyz", "1\n\nH 0 0 0\n"}, {"sp.out", GoodOrca}},
       "c.cdf",
       TFileStatus::Ok,
       ""},
      {"ConformerWithUnfinishedFrequencies",
       {{"c.cdf", "[c]\nGeomFileName=opt.out\nFreqFileName=freq.out\n"}, {"opt.out", GoodOrca},
        {"freq.out", UnfinishedOrca}},
       "c.cdf",
       TFileStatus::Unfinished,
       "freq.out: no termination line"},
      // The worst file wins whatever its place.
      {"ConformerWithFailedSinglePoint",
       {{"c.cdf", "[c]\nGeomFileName=opt.out\nMP2FileName=sp.out\nFreqFileName=freq.out\n"},
        {"opt.out", GoodOrca},
        {"sp.out", std::string(OrcaBanner) + std::string(OrcaFailure)},
        {"freq.out", UnfinishedOrca}},
       "c.cdf",
       TFileStatus::Failed,
       "sp.out: error termination"},
      {"ConformerCutInsideAName", {{"c.cdf", "[c]\nGeomFileName=opt.out\nFreqFileName=fr"}, {"opt.out", GoodOrca}},
       "c.cdf", TFileStatus::Unreadable, "fr: no extension"},
      {"ConformerNamingAMissingFile", {{"c.cdf", "[c]\nGeomFileName=opt.out\n"}}, "c.cdf", TFileStatus::Unreadable,
       "opt.out: No such file or directory"},
      {"ConformerWithoutGeometry", {{"c.cdf", "[c]\nMP2FileName=sp.out\n"}, {"sp.out", GoodOrca}}, "c.cdf",
       TFileStatus::Unreadable, "names no geometry file"},
      {"ConformerSinglePointThatIsAnInput",
       {{"c.cdf", "[c]\nGeomFileName=h.xyz\nMP2FileName=sp.gjf\n"}, {"h.xyz", "1\n\nH 0 0 0\n"},
        {"sp.gjf", "#p hf\n\ntitle\n\n0 1\nH 0 0 0\n\n"}},
       "c.cdf",
       TFileStatus::NoEnergy,
       "sp.gjf: a Gaussian input file"},
      {"EmptyDescription", {{"c.cdf", ""}}, "c.cdf", TFileStatus::Unreadable,
       "no section naming the conformer's files"},
      {"MissingDescription", {}, "c.cdf", TFileStatus::Unreadable, "No such file or directory"},
  };
}

class FileStatusTest : public ::testing::TestWithParam<TStatusCase> {};

TStatusReason StatusOfCase(const TStatusCase& row, const testing::TTempDir& folder) {
  testing::TRecordingDesktop desktop;
  TLoadContext context(desktop, folder.Path().string());
  // Under the full path reported, and under the relative name a description gives.
  for (const auto& [name, bytes] : row.Files)
    context = WithMemoryFile(WithMemoryFile(context, folder.PathOf(name), bytes), name, bytes);
  const std::string path = folder.PathOf(row.Reported);
  return ReportedStatusOf(*LoadForReport(path, context), path);
}

TEST_P(FileStatusTest, GetsItsStatusAndReason) {
  const testing::TTempDir folder;
  const TStatusReason status = StatusOfCase(GetParam(), folder);
  EXPECT_EQ(StatusName(status.Status), StatusName(GetParam().Status));
  EXPECT_EQ(status.Reason, GetParam().Reason);
}

INSTANTIATE_TEST_SUITE_P(Batch, FileStatusTest, ::testing::ValuesIn(StatusCases()),
                         [](const auto& info) { return info.param.Name; });

TEST(StatusSummaryTest, CountsInTheStatusOrderAndNamesWhatNeedsAttention) {
  const testing::TTempDir folder;
  TStatusSummary summary;
  for (const TStatusCase& row : StatusCases()) summary.Add(row.Reported, StatusOfCase(row, folder));
  const std::string text = summary.Text();
  EXPECT_TRUE(text.starts_with("24 files: 3 ok, 3 failed, 4 unfinished, 2 no energy, 10 unreadable, "
                               "2 not an output\n"
                               "  failed: scf.out: error termination\n"
                               "  failed: bad.out: error termination\n"
                               "  unfinished: run.log: no termination line\n"))
      << text;
  EXPECT_TRUE(text.ends_with("  unreadable: c.cdf: no section naming the conformer's files\n  ... and 1 more\n"))
      << text;
  EXPECT_EQ(std::ranges::count(text, '\n'), 22);
}

TEST(StatusSummaryTest, IsOneLineWhenEveryFileIsOkAndNamesTwentyAtMost) {
  TStatusSummary good;
  EXPECT_EQ(good.Text(), "0 files\n");
  good.Add("a.out", {});
  EXPECT_EQ(good.Text(), "1 file: 1 ok\n");

  TStatusSummary many;
  for (int file = 1; file <= 23; ++file)
    many.Add(std::to_string(file) + ".out", {TFileStatus::Failed, "error termination"});
  const std::string text = many.Text();
  EXPECT_TRUE(text.starts_with("23 files: 23 failed\n  failed: 1.out: error termination\n")) << text;
  EXPECT_TRUE(text.ends_with("  failed: 20.out: error termination\n  ... and 3 more\n")) << text;
}

}  // namespace
}  // namespace harvex
