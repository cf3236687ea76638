#include <gtest/gtest.h>

#include <unistd.h>

#include "RecordingDesktop.h"
#include "Unit1/ListFile.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using Lines = std::vector<std::string>;

struct TLineCase {
  const char* Name;
  const char* Line;
  std::optional<std::string> Path;
};

void PrintTo(const TLineCase& c, std::ostream* out) { *out << c.Name; }

class ListLinePathTest : public ::testing::TestWithParam<TLineCase> {};

TEST_P(ListLinePathTest, FindsThePathALineNames) { EXPECT_EQ(ListLinePath(GetParam().Line), GetParam().Path); }

INSTANTIATE_TEST_SUITE_P(
    Lines, ListLinePathTest,
    ::testing::Values(
        TLineCase{"DrivePathAlone", R"(C:\a.out)", R"(C:\a.out)"},
        TLineCase{"NoPath", "x", std::nullopt},
        TLineCase{"DrivePathBetweenTabs", "\tD:\\b.out\tmore text", R"(D:\b.out)"},
        TLineCase{"DrivePathInsideText", "see C:\\my dir\\f.out\tOUT", R"(C:\my dir\f.out)"},
        TLineCase{"ColonFirstIsSkipped", R"(:\a.out)", std::nullopt},
        TLineCase{"TabBeforeTheColonNamesAnEmptyPath", "x\t:\\a.out", ""},
        TLineCase{"HeaderLineIsSkipped", R"( Created by "Harvex version 18.10.2012" on 3/7/24, 9:05:03)", std::nullopt},
        TLineCase{"AbsolutePathOfAResultsRow", "/home/u/run 1/a.out\tOUT\t-1.0\t", "/home/u/run 1/a.out"},
        TLineCase{"AbsolutePathHoldingADriveMarker", "/mnt/C:\\x.out\tOUT", "/mnt/C:\\x.out"},
        TLineCase{"RelativePathIsSkipped", "data/a.out", std::nullopt},
        TLineCase{"EmptyLine", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

class ListFileTest : public TRunTest {
 protected:
  void SetUp() override { CreateResults(); }

  // The paths the memo shows as reported, in order.
  Lines ReportedPaths() const {
    Lines paths;
    for (const std::string& line : Recorder.Memo)
      if (line.starts_with("File:\t")) paths.push_back(line.substr(6));
    return paths;
  }
};

TEST_F(ListFileTest, ReportsDrivePathsInOrderAndSkipsOtherLines) {
  Scratch.Write("list.txt", "C:\\a.dat\nx\n\tD:\\b.dat\tmore\n");
  Run.ReportPaths({Path("list.txt").string()});
  EXPECT_EQ(ReportedPaths(), (Lines{R"(C:\a.dat)", R"(D:\b.dat)"}));
}

TEST_F(ListFileTest, ReadsCrLfLineEndsAndDropsLoneCarriageReturns) {
  Scratch.Write("list.txt", "/data/a.dat\r\n/data/b\r.dat\tOUT\r\n/data/c.dat");
  Run.ReportPaths({Path("list.txt").string()});
  EXPECT_EQ(ReportedPaths(), (Lines{"/data/a.dat", "/data/b.dat", "/data/c.dat"}));
}

TEST_F(ListFileTest, CtrlZAtALineStartEndsTheList) {
  Scratch.Write("list.txt", "/data/a.dat\n\x1a/data/b.dat\n/data/c.dat\n");
  Run.ReportPaths({Path("list.txt").string()});
  EXPECT_EQ(ReportedPaths(), Lines{"/data/a.dat"});
}

TEST_F(ListFileTest, CapitalExtensionIsStillAList) {
  Scratch.Write("LIST.TXT", "/data/a.dat\n");
  Run.ReportPaths({Path("LIST.TXT").string()});
  EXPECT_EQ(ReportedPaths(), Lines{"/data/a.dat"});
}

TEST_F(ListFileTest, ListNamedInAListIsReportedNotRead) {
  Scratch.Write("inner.txt", "/data/never.dat\n");
  Scratch.Write("outer.txt", Path("inner.txt").string() + "\n");
  Run.ReportPaths({Path("outer.txt").string()});
  EXPECT_EQ(Recorder.Memo, (Lines{"File:\t" + Path("inner.txt").string(), "Error: not a .out file!"}));
}

TEST_F(ListFileTest, ListedLogFileIsReportedAsAnOutput) {
  const std::string output = Scratch.Write("calc.LOG", " This is part of the Gaussian(R) 16 program.\n"
                                                       " SCF Done:  E(RHF) =  -1.5     A.U. after    9 cycles\n");
  Scratch.Write("list.txt", output + "\n");
  Run.ReportPaths({Path("list.txt").string()});
  EXPECT_NE(ClosedRows().find(output + "\tOUT\t-1.50000000000000E+0000\t"), std::string::npos) << ClosedRows();
}

TEST_F(ListFileTest, OwnResultsFileEndsTheBatchBeforeAnyLineIsRead) {
  Run.ReportObject("/data/a.out", std::make_unique<TCoordinateFile_cdf>());
  Recorder.Memo.clear();
  // A second name for the same file is recognised as well.
  ASSERT_EQ(::link(ResultsPath().c_str(), Path("alias.TXT").c_str()), 0);
  for (const std::string& list : {ResultsPath().string(), Path("alias.TXT").string()}) {
    try {
      Run.ReportPaths({list, "/data/after.dat"});
      ADD_FAILURE() << "no error for " << list;
    } catch (const EInOutError& error) {
      EXPECT_STREQ(error.what(), "Sharing violation");
    }
  }
  EXPECT_TRUE(Recorder.Memo.empty());
}

TEST_F(ListFileTest, MissingListFileRaisesTheSystemsReason) {
  try {
    Run.ReportPaths({Path("missing.txt").string()});
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "No such file or directory");
  }
}

TEST_F(ListFileTest, ResultsFileOfAnEarlierRunReportsTheSameFilesAgain) {
  auto output = std::make_unique<TCoordinateFile_cdf>();
  output->FileKind = fkOutput;
  Run.ReportObject("/data/run 1/a.dat", std::move(output));
  Run.ReportObject("/data/b.xyz", std::make_unique<TCoordinateFile_cdf>());
  auto conformer = std::make_unique<TCoordinateFile_cdf>();
  conformer->IsCdf = true;
  Run.ReportObject("C:\\conf\\c.dat", std::move(conformer));
  ASSERT_EQ(ClosedRows().substr(0, 18), "/data/run 1/a.dat\t");
  Recorder.Memo.clear();

  TResultsRun second(Recorder);
  second.CreateResultsFile(Path("second.res").string(), "Harvex version 18.10.2012");
  second.ReportPaths({ResultsPath().string()});
  EXPECT_EQ(ReportedPaths(), (Lines{"/data/run 1/a.dat", "C:\\conf\\c.dat"}));
}

}  // namespace
}  // namespace harvex
