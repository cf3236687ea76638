// End-to-end runs of the built harvex-batch in a scratch folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "Gaussian/GaussianFixtures.h"
#include "RecordingDesktop.h"
#include "common/TestLocales.h"

namespace harvex {
namespace {

// A minimal ORCA output: its banner and one final energy.
constexpr std::string_view OrcaOutput = R"(
                                 *****************
                                 * O   R   C   A *
                                 *****************

-------------------------   --------------------
FINAL SINGLE POINT ENERGY       -76.026760737428
-------------------------   --------------------
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

  std::string Results(const std::string& name = "Harvex_res.txt") const { return testing::ReadWholeFile(Path(name)); }

  static bool IsHeaderOnly(const std::string& bytes) {
    return bytes.starts_with(" Created by \"Harvex version 18.10.2012\" on ") && bytes.ends_with("\r\n") &&
           bytes.find("\r\n") == bytes.size() - 2;
  }
};

TEST_F(BatchTest, UnknownFileGetsTheErrorLineOnlyTheHeaderAndExitsOne) {
  Scratch.Write("notes.dat", "text\n");
  const TBatchResult result = RunBatch("notes.dat");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out, "File:\tnotes.dat\nError: not a .out file!\n");
  EXPECT_EQ(result.Err, "");
  EXPECT_TRUE(IsHeaderOnly(Results())) << Results();
}

TEST_F(BatchTest, OutputWithARowExitsZero) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  const TBatchResult result = RunBatch("--results rows.txt water.out");
  EXPECT_EQ(result.ExitStatus, 0) << result.Err;
  EXPECT_EQ(result.Out, "File:\twater.out\ninitial geometry loaded\n\nE [Hartree]=\t-76.0267607\n");
  const std::string rows = Results("rows.txt");
  EXPECT_TRUE(rows.ends_with("\r\nwater.out\tOUT\t-7.60267607374280E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n")) << rows;
}

TEST_F(BatchTest, ErrorEndsOnlyItsPathAndIsNamedOnStandardError) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  const TBatchResult result = RunBatch("missing.txt Harvex_res.txt water.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err,
            "harvex-batch: missing.txt: No such file or directory\n"
            "harvex-batch: Harvex_res.txt: Sharing violation\n");
  EXPECT_TRUE(result.Out.starts_with("File:\twater.out\n")) << result.Out;
}

TEST_F(BatchTest, JsonReplacesTheMemoLinesWithTheModel) {
  Scratch.Write("notes.dat", "text\n");
  const TBatchResult result = RunBatch("--json notes.dat");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_TRUE(result.Out.starts_with(R"({"Path":"notes.dat","FileName":"","FileKind":"fkNone","Tag":0,"Atoms":[])"))
      << result.Out;
  EXPECT_NE(result.Out.find(R"("Conformer":{"IsCdf":false)"), std::string::npos);
  EXPECT_EQ(std::count(result.Out.begin(), result.Out.end(), '\n'), 1);
}

TEST_F(BatchTest, UsageErrorsExitTwo) {
  EXPECT_EQ(RunBatch("").ExitStatus, 2);
  EXPECT_EQ(RunBatch("--no-such-option a.out").ExitStatus, 2);
  EXPECT_EQ(RunBatch("--results").ExitStatus, 2);
  for (const char* kelvin : {"0", "-5", "nan", "inf", "300K", ""})
    EXPECT_EQ(RunBatch(std::string("--ensemble --temperature ") + kelvin + " a.out").ExitStatus, 2) << kelvin;
}

TEST_F(BatchTest, HelpAndVersionExitZero) {
  const TBatchResult help = RunBatch("--help");
  EXPECT_EQ(help.ExitStatus, 0);
  EXPECT_NE(help.Out.find("Usage: harvex-batch [OPTIONS] PATH..."), std::string::npos) << help.Out;
  const TBatchResult version = RunBatch("--version");
  EXPECT_EQ(version.ExitStatus, 0);
  EXPECT_TRUE(version.Out.starts_with("harvex-batch ")) << version.Out;
}

// ---------------------------------------------------------------------------
// The conformer ensemble after the batch.

// A Gaussian frequency job: geometry rows, E, water's modes and G.
std::string FrequencyJob(const std::string& rows, const char* energy, const char* gibbsEnergy) {
  return std::string(" This is part of the Gaussian(R) 16 program.\n"
                     "                         Standard orientation:\n"
                     " ---------------------------------------------------------------------\n"
                     " Center     Atomic     Atomic              Coordinates (Angstroms)\n"
                     " Number     Number      Type              X           Y           Z\n"
                     " ---------------------------------------------------------------------\n") +
         rows + " ---------------------------------------------------------------------\n" +
         " SCF Done:  E(RB3LYP) =  " + energy + "     A.U. after   10 cycles\n" + std::string(testing::TableHeading) +
         std::string(testing::WaterModes) + " Sum of electronic and thermal Free Energies=  " + gibbsEnergy +
         "\n Normal termination of Gaussian 16.\n";
}

// Water turned by 90 degrees about z and moved by (1, 1, 1).
const std::string TurnedWaterRows =
    "      1          8           0        1.000000    1.000000    1.119159\n"
    "      2          1           0        0.209351    1.000000    0.523363\n"
    "      3          1           0        1.790649    1.000000    0.523363\n";

TEST_F(BatchTest, EnsembleFollowsTheRowsOnStandardOutputWithPointsInAnyLocale) {
  Scratch.Write("a.out", FrequencyJob(testing::WaterRows, "-76.4000000000", "-76.380000"));
  Scratch.Write("b.out", FrequencyJob(testing::StretchedWaterRows, "-76.3990000000", "-76.379000"));
  Scratch.Write("c.out", FrequencyJob(TurnedWaterRows, "-76.4000100000", "-76.380010"));
  const testing::TLocaleScope locale("de_DE.UTF-8");
  ASSERT_TRUE(locale.Ok);
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const TBatchResult result = RunBatch("--ensemble --temperature 310.15 a.out b.out c.out");
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(result.ExitStatus, 0) << result.Err;
  EXPECT_TRUE(result.Out.ends_with(
      "G [Hartree]=\t-76,3800100\n\n"
      "rank by G (3 members)\tpath\tE [Hartree]\tG [Hartree]\tdE [kcal/mol]\tdG [kcal/mol]\t"
      "population at 310.15 K [%]\timaginary modes\twarnings\tduplicate\n"
      "1\tc.out\t-76.4000100\t-76.3800100\t0.00\t0.00\t73.7\t0\t-\t-\n"
      "2\ta.out\t-76.4000000\t-76.3800000\t0.01\t0.01\t-\t0\t-\tduplicate of 1\n"
      "3\tb.out\t-76.3990000\t-76.3790000\t0.63\t0.63\t26.3\t0\t-\t-\n"
      "ensemble free energy from G [Hartree]\t-76.3803103\tlowest member's share [%]\t73.7\n"))
      << result.Out;
}

TEST_F(BatchTest, EnsembleOfTwoMoleculesIsWrittenWithoutPopulationsAndExitsOne) {
  Scratch.Write("water.out", FrequencyJob(testing::WaterRows, "-76.4000000000", "-76.380000"));
  Scratch.Write("h2.out", FrequencyJob("      1          1           0        0.000000    0.000000    0.370000\n"
                                       "      2          1           0        0.000000    0.000000   -0.370000\n",
                                       "-1.1700000000", "-1.160000"));
  const TBatchResult result = RunBatch("--json --ensemble=table.tsv water.out h2.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, "harvex-batch: no ensemble populations: not one molecule: water.out is H2O but h2.out is H2\n");
  const std::string table = testing::ReadWholeFile(Path("table.tsv"));
  EXPECT_TRUE(table.starts_with("rank by G (2 members)\t")) << table;
  EXPECT_TRUE(table.ends_with("\t-\tlowest member's share [%]\t-\n")) << table;
  const std::string lastLine = result.Out.substr(result.Out.rfind('\n', result.Out.size() - 2) + 1);
  EXPECT_TRUE(lastLine.starts_with(R"({"Ensemble":{"EnergyUsed":"G","Temperature":298.15,"MemberCount":2,)"
                                   R"("NotOneMolecule":"not one molecule: water.out is H2O but h2.out is H2")"))
      << lastLine;
}

}  // namespace
}  // namespace harvex
