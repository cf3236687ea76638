// End-to-end runs of the built harvex-batch in a scratch folder.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "RecordingDesktop.h"

namespace harvex {
namespace {

// A minimal ORCA output: its banner, one final energy and its end.
constexpr std::string_view OrcaOutput = R"(
                                 *****************
                                 * O   R   C   A *
                                 *****************

-------------------------   --------------------
FINAL SINGLE POINT ENERGY       -76.026760737428
-------------------------   --------------------
                             ****ORCA TERMINATED NORMALLY****
)";

struct TBatchResult {
  int ExitStatus = -1;
  std::string Out;
  std::string Err;
};

class BatchTest : public TRunTest {
 protected:
  TBatchResult RunBatch(const std::string& arguments) {
    const std::string command = "cd '" + Scratch.Path().string() + "' && '" HARVEX_BATCH_PROGRAM "' " + arguments +
                                " >batch.out 2>batch.err";
    const int status = std::system(command.c_str());
    TBatchResult result;
    if (WIFEXITED(status)) result.ExitStatus = WEXITSTATUS(status);
    result.Out = testing::ReadWholeFile(Path("batch.out"));
    result.Err = testing::ReadWholeFile(Path("batch.err"));
    return result;
  }

  // Standard error as a terminal sees it; standard output goes to batch.out.
  std::string RunOnTerminal(const std::string& arguments) {
    const std::string command =
        "cd '" + Scratch.Path().string() + "' && '" HARVEX_BATCH_PROGRAM "' " + arguments + " >batch.out";
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::string shown;
    if (child < 0) return shown;
    char buffer[4096];
    for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, count);
    waitpid(child, nullptr, 0);
    close(terminal);
    return shown;
  }

  // The paths of the "File:" lines on standard output, in order.
  static std::vector<std::string> ReportedPaths(const std::string& out) {
    std::vector<std::string> paths;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("File:\t")) paths.push_back(line.substr(6));
    }
    return paths;
  }

  std::string Results(const std::string& name = "Harvex_res.txt") const { return testing::ReadWholeFile(Path(name)); }

  // The full path the batch reports for a name in the scratch folder.
  std::string Full(const std::string& name) const {
    return (std::filesystem::canonical(Scratch.Path()) / name).string();
  }

  static bool IsHeaderOnly(const std::string& bytes) {
    return bytes.starts_with(" Created by \"Harvex version 18.10.2012\" on ") && bytes.ends_with("\r\n") &&
           bytes.find("\r\n") == bytes.size() - 2;
  }
};

TEST_F(BatchTest, UnknownFileGetsTheErrorLineOnlyTheHeaderAndExitsOne) {
  Scratch.Write("notes.dat", "text\n");
  const TBatchResult result = RunBatch("notes.dat");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out, "File:\t" + Full("notes.dat") + "\nError: not a .out file!\n");
  EXPECT_EQ(result.Err, "");
  EXPECT_TRUE(IsHeaderOnly(Results())) << Results();
}

TEST_F(BatchTest, OutputWithARowExitsZero) {
  for (const std::string name : {"water.out", "water.log"}) {
    Scratch.Write(name, std::string(OrcaOutput));
    const TBatchResult result = RunBatch("--results rows.txt " + name);
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(result.Out, "File:\t" + Full(name) + "\ninitial geometry loaded\n\nE [Hartree]=\t-76.0267607\n");
    const std::string rows = Results("rows.txt");
    EXPECT_TRUE(rows.ends_with("\r\n" + Full(name) + "\tOUT\t-7.60267607374280E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n"))
        << rows;
  }
}

TEST_F(BatchTest, ErrorEndsOnlyItsPathAndIsNamedOnStandardError) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  const TBatchResult result = RunBatch("missing.txt Harvex_res.txt water.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, "harvex-batch: " + Full("missing.txt") + ": No such file or directory\n" +
                            "harvex-batch: " + Full("Harvex_res.txt") + ": Sharing violation\n");
  EXPECT_TRUE(result.Out.starts_with("File:\t" + Full("water.out") + "\n")) << result.Out;
}

TEST_F(BatchTest, ResultsFileThatAnotherRunHoldsStopsTheBatchAndStaysAsItIs) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  CreateResults();
  const TBatchResult result = RunBatch("water.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, "harvex-batch: Harvex_res.txt: Sharing violation\n");
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(ClosedRows(), "");
}

// Relative names in a .cdf resolve against its own folder, or for a .cdf that
// a list names, against the list's folder; rows begin with full paths.
TEST_F(BatchTest, DescriptionsResolveAgainstTheFolderOfThePathGiven) {
  std::string otherWater(OrcaOutput);
  otherWater.replace(otherWater.find("-76.0"), 5, "-77.0");
  std::filesystem::create_directories(Path("conf"));
  std::filesystem::create_directories(Path("lists"));
  Scratch.Write("conf/water.out", std::string(OrcaOutput));
  Scratch.Write("lists/water.out", otherWater);
  const std::string description = Full("conf/c.cdf");
  Scratch.Write("conf/c.cdf", "[c]\nGeomFileName=water.out\n");
  Scratch.Write("lists/l.txt", description + "\n");

  const TBatchResult result = RunBatch("conf/c.cdf ./lists/l.txt");
  EXPECT_EQ(result.ExitStatus, 0) << result.Err;
  const std::string rows = Results();
  EXPECT_NE(rows.find("\r\n" + description + "\tCDF\t-7.60267607374280E+0001\t"), std::string::npos) << rows;
  EXPECT_NE(rows.find("\r\n" + description + "\tCDF\t-7.70267607374280E+0001\t"), std::string::npos) << rows;
}

TEST_F(BatchTest, InputThatGaveNothingExitsOne) {
  Scratch.Write("nothing.txt", "no path here\n");
  const TBatchResult missing = RunBatch("missing.out");
  EXPECT_EQ(missing.ExitStatus, 1);
  EXPECT_TRUE(missing.Out.ends_with("Warning: the file could not be opened!\n")) << missing.Out;
  const TBatchResult emptyList = RunBatch("nothing.txt");
  EXPECT_EQ(emptyList.ExitStatus, 1);
  EXPECT_EQ(emptyList.Err, "harvex-batch: " + Full("nothing.txt") + ": the list names no file\n");
}

TEST_F(BatchTest, JsonReplacesTheMemoLinesWithTheModel) {
  Scratch.Write("notes.dat", "text\n");
  const TBatchResult result = RunBatch("--json notes.dat");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_TRUE(result.Out.starts_with(R"({"Path":")" + Full("notes.dat") +
                                     R"(","FileName":"","FileKind":"fkNone","Tag":0,"Atoms":[])"))
      << result.Out;
  EXPECT_NE(result.Out.find(R"("Conformer":{"IsCdf":false)"), std::string::npos);
  EXPECT_EQ(std::count(result.Out.begin(), result.Out.end(), '\n'), 1);
}

TEST_F(BatchTest, FolderStandsForTheOutputsInAndBelowItInNaturalOrder) {
  for (const char* name : {"runs/conf10.out", "runs/conf2.out", "runs/conf1.ZIP", "runs/a/b.log", "runs/sub10/x.cdf",
                           "runs/sub9/y.out", "runs/notes.txt", "runs/geometry.xyz", "runs/README"}) {
    Scratch.Write(name, "text\n");
  }
  // A folder named in a list is reported as the list names it, not walked.
  Scratch.Write("list.txt", Scratch.PathOf("runs") + "\n");
  const TBatchResult result = RunBatch("runs list.txt");
  EXPECT_EQ(ReportedPaths(result.Out),
            (std::vector<std::string>{Full("runs/a/b.log"), Full("runs/conf1.ZIP"), Full("runs/conf2.out"),
                                      Full("runs/conf10.out"), Full("runs/sub9/y.out"), Full("runs/sub10/x.cdf"),
                                      Scratch.PathOf("runs")}))
      << result.Out;
}

TEST_F(BatchTest, ProgressShowsOnATerminalOnlyAndIsErasedAtTheEnd) {
  for (int i = 1; i <= 12; ++i) Scratch.Write("runs/conf" + std::to_string(i) + ".out", "text\n");
  const std::string shown = RunOnTerminal("runs");
  EXPECT_NE(shown.find("0 of 12, " + Full("runs/conf1.out")), std::string::npos) << shown;
  EXPECT_TRUE(shown.ends_with("\r\033[K")) << shown;
  EXPECT_EQ(ReportedPaths(Results("batch.out")).size(), 12U);
  EXPECT_EQ(Results("batch.out").find('\033'), std::string::npos);

  EXPECT_EQ(RunOnTerminal("--quiet runs"), "");
  EXPECT_EQ(RunBatch("runs").Err, "");
}

TEST_F(BatchTest, UsageErrorsExitTwo) {
  EXPECT_EQ(RunBatch("").ExitStatus, 2);
  EXPECT_EQ(RunBatch("--no-such-option a.out").ExitStatus, 2);
  EXPECT_EQ(RunBatch("--results").ExitStatus, 2);
}

TEST_F(BatchTest, HelpAndVersionExitZero) {
  const TBatchResult help = RunBatch("--help");
  EXPECT_EQ(help.ExitStatus, 0);
  EXPECT_NE(help.Out.find("Usage: harvex-batch [OPTIONS] PATH..."), std::string::npos) << help.Out;
  const TBatchResult version = RunBatch("--version");
  EXPECT_EQ(version.ExitStatus, 0);
  EXPECT_TRUE(version.Out.starts_with("harvex-batch ")) << version.Out;
}

}  // namespace
}  // namespace harvex
