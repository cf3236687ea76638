#include <gtest/gtest.h>
#include <sys/stat.h>

#include "RecordingDesktop.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using Lines = std::vector<std::string>;

std::unique_ptr<TCoordinateFile_cdf> Output(std::uint8_t geometryState, double energy, const std::string& label) {
  auto file = std::make_unique<TCoordinateFile_cdf>();
  file->FileKind = fkOutput;
  file->ResetOutInfo();
  file->Info.SourceOpened = true;
  file->Info.EnergyRead = true;
  file->Info.GeometryState = geometryState;
  file->Info.Energy = energy;
  file->Info.EnergyLabel = label;
  return file;
}

void AddModes(TCoordinateFile_cdf& file, std::initializer_list<long double> frequencies, double gibbsEnergy) {
  for (const long double frequency : frequencies) {
    file.Info.Modes->AddMode(file.Info.Modes->Count() + 1).Frequency = frequency;
  }
  file.Info.GibbsEnergy = gibbsEnergy;
  file.Info.HasGibbsEnergy = true;
}

// The monomer-basis sum lies 0.001 Hartree above the dimer-basis sum.
void AddCounterpoise(TCoordinateFile_cdf& file) {
  file.Info.HasCounterpoise = true;
  file.Info.DCBSSum = -101.001L;
  file.Info.MCBSSum = -101.0L;
}

std::unique_ptr<TCoordinateFile_cdf> Conformer(long double eTotal, long double gTotal, bool thermochemistry) {
  auto file = std::make_unique<TCoordinateFile_cdf>();
  file->FileKind = fkCdf;
  file->IsCdf = true;
  file->ETotal = eTotal;
  file->GTotal = gTotal;
  file->HasThermochemistry = thermochemistry;
  return file;
}

class ReportTest : public TRunTest {
 protected:
  void SetUp() override { CreateResults(); }
};

TEST_F(ReportTest, GaussianOutputWithFrequenciesShowsEnergyModesAndGibbsEnergy) {
  auto file = Output(1, -12.5, "(RB3LYP)");
  AddModes(*file, {123.456L, 400.0L}, -12.25);
  Run.ReportObject("/data/opt freq.out", std::move(file));

  EXPECT_EQ(Recorder.Memo, (Lines{"File:\t/data/opt freq.out", "Optimized geometry loaded", "",
                                  "E(RB3LYP) [Hartree]=\t-12.5000000", "", "The oscillation spectra contains 2 modes",
                                  "FirstFreq [1/cm]=\t123.46", "", "G [Hartree]=\t-12.2500000"}));
  EXPECT_EQ(ClosedRows(),
            "/data/opt freq.out\tOUT\t-1.25000000000000E+0001\t-1.22500000000000E+0001\t 1.23456000000000E+0002\t\r\n");
  EXPECT_EQ(Recorder.EventRounds, 1);
}

TEST_F(ReportTest, ModesWithoutAPrintedGibbsEnergyWarnInPlaceOfG) {
  auto file = Output(1, -12.5, "(RB3LYP)");
  AddModes(*file, {123.456L}, 0.0);
  file->Info.HasGibbsEnergy = false;
  Run.ReportObject("cut.out", std::move(file));

  EXPECT_EQ(Recorder.Memo,
            (Lines{"File:\tcut.out", "Optimized geometry loaded", "", "E(RB3LYP) [Hartree]=\t-12.5000000", "",
                   "The oscillation spectra contains 1 modes", "FirstFreq [1/cm]=\t123.46", "",
                   "Warning: No thermochemistry data present!"}));
  EXPECT_EQ(ClosedRows(), "cut.out\tOUT\t-1.25000000000000E+0001\tNO_THCHEM\t 1.23456000000000E+0002\t\r\n");
  EXPECT_EQ(Run.WarningCount(), 0);
}

// An atom has no modes but its G, written in the G column.
TEST_F(ReportTest, OutputWithoutFrequenciesWritesNoThermochemistryTwiceUnlessItHasG) {
  Run.ReportObject("o.out", Output(0, 0.012, ""));
  auto atom = Output(1, -0.4982, "(UHF)");
  AddModes(*atom, {}, -0.5101);
  Run.ReportObject("h.out", std::move(atom));

  EXPECT_EQ(Recorder.Memo, (Lines{"File:\to.out", "initial geometry loaded", "", "E [Hartree]=\t0.0120000", "File:\th.out",
                                  "Optimized geometry loaded", "", "E(UHF) [Hartree]=\t-0.4982000", "",
                                  "G [Hartree]=\t-0.5101000"}));
  EXPECT_EQ(ClosedRows(), "o.out\tOUT\t 1.20000000000000E-0002\tNO_THCHEM\tNO_THCHEM\t\r\n"
                          "h.out\tOUT\t-4.98200000000000E-0001\t-5.10100000000000E-0001\tNO_THCHEM\t\r\n");
}

// Whatever gave nothing keeps the row's layout, zeros and all, and says so
// after the E line; the warning is counted.
TEST_F(ReportTest, OutputThatGaveNothingSaysSoAndKeepsItsRow) {
  std::filesystem::create_directory(Path("folder.out"));
  Scratch.Write("other.out", "neither program\n");
  Scratch.Write("no-energy.out", " * O   R   C   A *\n****ORCA TERMINATED NORMALLY****\n");
  Scratch.Write("text.zip", "not an archive\n");
  Scratch.Write("empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  ASSERT_EQ(mkfifo(Path("fifo.out").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(Path("fifo.zip").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", Path("zero.out"));
  std::filesystem::create_symlink("loop.out", Path("loop.out"));
  const std::string notOpened = "Warning: the file could not be opened!";
  const std::string notRegular = "Warning: the file could not be opened (not a regular file)!";
  const std::string noEnergy = "Warning: no energy could be read from this file!";
  const struct {
    const char* Name;
    std::string Warning;
  } cases[] = {{"missing.out", "Warning: the file could not be opened (No such file or directory)!"},
               {"folder.out", "Warning: the file could not be opened (Is a directory)!"},
               {"loop.out", "Warning: the file could not be opened (Too many levels of symbolic links)!"},
               {"fifo.out", notRegular}, {"zero.out", notRegular}, {"fifo.zip", notRegular},
               {"other.out", noEnergy}, {"no-energy.out", noEnergy}, {"text.zip", notOpened},
               {"empty.zip", notOpened}};
  std::string rows;
  for (const auto& [name, warning] : cases) {
    Recorder.Memo.clear();
    const std::string path = Path(name).string();
    Run.ReportFile(path);
    EXPECT_EQ(Recorder.Memo, (Lines{"File:\t" + path, "initial geometry loaded", "", "E [Hartree]=\t0.0000000", warning}))
        << name;
    rows += path + "\tOUT\t 0.00000000000000E+0000\tNO_THCHEM\tNO_THCHEM\t\r\n";
  }
  EXPECT_EQ(Run.WarningCount(), static_cast<int>(std::size(cases)));
  EXPECT_EQ(ClosedRows(), rows);
}

TEST_F(ReportTest, FailedOrUnfinishedJobsWarnRightAfterTheFileLineAndKeepTheirRow) {
  const struct {
    TTermination Termination;
    Lines Warning;
  } cases[] = {
      {tmNormal, {}},
      {tmNotRead, {}},
      {tmError, {"Warning: the job ended with an error termination!"}},
      {tmMissing, {"Warning: the job has no termination line (unfinished?)"}},
  };
  for (const auto& [termination, warning] : cases) {
    Recorder.Memo.clear();
    auto file = Output(1, -1.5, "");
    file->Info.Termination = termination;
    Run.ReportObject("j.out", std::move(file));
    Lines expected{"File:\tj.out"};
    expected.insert(expected.end(), warning.begin(), warning.end());
    expected.insert(expected.end(), {"Optimized geometry loaded", "", "E [Hartree]=\t-1.5000000"});
    EXPECT_EQ(Recorder.Memo, expected) << int{termination};
  }
  EXPECT_EQ(Run.WarningCount(), 2);
  EXPECT_EQ(Run.RowCount(), 4);
}

TEST_F(ReportTest, EnergyBeyondADoubleIsAConversionErrorNeverAnInfinity) {
  const std::string path = Scratch.Write("big.out",
                                         " This is part of the Gaussian(R) 16 program.\n"
                                         " SCF Done:  E(RB3LYP) =  -1.0D+400     A.U. after   12 cycles\n");
  try {
    Run.ReportFile(path);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'-1.0D+400' is not a valid floating point value");
  }
  EXPECT_EQ(ClosedRows(), "");
}

TEST_F(ReportTest, GeometryStateWithoutKeptGeometryShowsNoGeometryLine) {
  Run.ReportObject("g.out", Output(2, -1.0, "EUMP2"));
  EXPECT_EQ(Recorder.Memo, (Lines{"File:\tg.out", "", "EEUMP2 [Hartree]=\t-1.0000000"}));
}

TEST_F(ReportTest, CounterpoiseOutputWithoutFrequenciesWritesSevenColumns) {
  auto file = Output(1, -101.003, "Counterpoise: corrected energy");
  AddCounterpoise(*file);
  Run.ReportObject("cp.out", std::move(file));

  EXPECT_EQ(Recorder.Memo,
            (Lines{"File:\tcp.out", "Optimized geometry loaded", "",
                   "ECounterpoise: corrected energy [Hartree]=\t-101.0030000", "BSSE data have been found:",
                   " BSSE correction:\t0.62751\tkcal/mole", " Stabilization energy:\t-1.88253\tkcal/mole"}));
  EXPECT_EQ(ClosedRows(), "cp.out\tOUT\t-1.01003000000000E+0002\tNO_THCHEM\tNO_THCHEM\t0.6275095000\t-1.8825285000\t\r\n");
}

TEST_F(ReportTest, CounterpoiseOutputWithFrequenciesPutsBsseAfterTheFrequency) {
  auto file = Output(1, -101.003, "");
  AddModes(*file, {-35.5L}, -100.9);
  AddCounterpoise(*file);
  Run.ReportObject("cpf.out", std::move(file));

  EXPECT_EQ(ClosedRows(),
            "cpf.out\tOUT\t-1.01003000000000E+0002\t-1.00900000000000E+0002\t-3.55000000000000E+0001\t"
            "0.6275095000\t-1.8825285000\t\r\n");
}

TEST_F(ReportTest, ConformerWithThermochemistryWritesBothTotals) {
  Run.ReportObject("c.cdf", Conformer(-12.5L, -12.25L, true));

  EXPECT_EQ(Recorder.Memo, (Lines{"File:\tc.cdf", "...this is the .cdf file", "E [Hartree]=\t-12.5000000",
                                  "G [Hartree]=\t-12.2500000"}));
  EXPECT_EQ(ClosedRows(), "c.cdf\tCDF\t-1.25000000000000E+0001\t-1.22500000000000E+0001\r\n");
  EXPECT_EQ(Recorder.EventRounds, 1);
}

TEST_F(ReportTest, ConformerWithoutThermochemistryWarnsAndStillWritesZeroGibbsEnergy) {
  Run.ReportObject("c.cdf", Conformer(-12.5L, 0.0L, false));

  EXPECT_EQ(Recorder.Memo, (Lines{"File:\tc.cdf", "...this is the .cdf file", "E [Hartree]=\t-12.5000000",
                                  "Warning: No thermochemistry data present!"}));
  EXPECT_EQ(ClosedRows(), "c.cdf\tCDF\t-1.25000000000000E+0001\t 0.00000000000000E+0000\r\n");
}

TEST_F(ReportTest, UnsupportedKindsGetAnErrorLineAndNoRow) {
  for (const std::uint8_t kind : {fkNone, fkXyz, fkGjf, fkCdf}) {
    auto file = std::make_unique<TCoordinateFile_cdf>();
    file->FileKind = kind;
    Run.ReportObject("x.xyz", std::move(file));
  }
  const Lines once{"File:\tx.xyz", "Error: not a .out file!"};
  EXPECT_EQ(Recorder.Memo, (Lines{once[0], once[1], once[0], once[1], once[0], once[1], once[0], once[1]}));
  EXPECT_EQ(Recorder.EventRounds, 0);
  EXPECT_EQ(Run.RowCount(), 0);
  EXPECT_EQ(ClosedRows(), "");
}

TEST_F(ReportTest, UnknownExtensionLoadsNothingAndGetsTheErrorLine) {
  Run.ReportFile(Path("notes.dat").string());
  EXPECT_EQ(Recorder.Memo, (Lines{"File:\t" + Path("notes.dat").string(), "Error: not a .out file!"}));
  ASSERT_NE(Run.CurrentFile(), nullptr);
  EXPECT_EQ(Run.CurrentFile()->FileKind, fkNone);
}

TEST_F(ReportTest, CommaLocaleShowsCommasInTheMemoAndPointsInTheRow) {
  Recorder.Formats.DecimalSeparator = ",";
  auto file = Output(0, -12.5, "");
  AddModes(*file, {123.456L}, -12.25);
  AddCounterpoise(*file);
  Run.ReportObject("o.out", std::move(file));

  EXPECT_EQ(Recorder.Memo[3], "E [Hartree]=\t-12,5000000");
  EXPECT_EQ(Recorder.Memo[6], "FirstFreq [1/cm]=\t123,46");
  EXPECT_EQ(Recorder.Memo[8], "G [Hartree]=\t-12,2500000");
  EXPECT_EQ(Recorder.Memo[10], " BSSE correction:\t0,62751\tkcal/mole");
  EXPECT_EQ(ClosedRows().find(','), std::string::npos);
}

TEST_F(ReportTest, RowsAccumulateAndTheHookSeesEveryReportedFile) {
  Lines hooked;
  Run.SetReportedHook([&](const std::string& path, const TCoordinateFile_cdf& file) {
    hooked.push_back(path + ":" + std::to_string(file.FileKind));
  });
  Run.ReportObject("a.out", Output(0, -1.0, ""));
  Run.ReportObject("b.xyz", std::make_unique<TCoordinateFile_cdf>());
  Run.ReportObject("c.cdf", Conformer(-2.0L, 0.0L, false));

  EXPECT_EQ(hooked, (Lines{"a.out:3", "b.xyz:0", "c.cdf:4"}));
  EXPECT_EQ(Run.RowCount(), 2);
  EXPECT_EQ(ClosedRows(), "a.out\tOUT\t-1.00000000000000E+0000\tNO_THCHEM\tNO_THCHEM\t\r\n"
                          "c.cdf\tCDF\t-2.00000000000000E+0000\t 0.00000000000000E+0000\r\n");
}

TEST_F(ReportTest, ConfirmedChoiceClearsTheMemoAndReportsInTheChosenOrder) {
  Recorder.Memo = {"earlier"};
  Recorder.Choice = Lines{"b.dat", "a.dat", "c.dat"};
  Run.ChooseAndReport();

  EXPECT_EQ(Recorder.Clears, 1);
  EXPECT_EQ(Recorder.Memo, (Lines{"File:\tb.dat", "Error: not a .out file!", "File:\ta.dat",
                                  "Error: not a .out file!", "File:\tc.dat", "Error: not a .out file!"}));
}

TEST_F(ReportTest, CancelledChoiceChangesNothing) {
  Recorder.Memo = {"earlier"};
  Recorder.Choice = std::nullopt;
  Run.ChooseAndReport();

  EXPECT_EQ(Recorder.Clears, 0);
  EXPECT_EQ(Recorder.Memo, Lines{"earlier"});
  EXPECT_EQ(ClosedRows(), "");
}

// The first run's header and first row are on disk (beyond the 128-byte
// buffer) when the second run starts, so emptying the file would lose them.
TEST_F(ReportTest, SecondRunOnTheSameResultsFileFailsAndLeavesTheFirstOnesRows) {
  Run.ReportObject("/data/first.out", Output(0, -1.0, ""));
  Run.ReportObject("/data/second.out", Output(0, -2.0, ""));
  TResultsRun other(Recorder);
  try {
    other.CreateResultsFile(ResultsPath().string(), "Harvex version 18.10.2012");
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "Sharing violation");
  }
  EXPECT_THROW(other.ReportObject("/data/third.out", Output(0, -3.0, "")), EInOutError);
  other.CloseResultsFile();
  EXPECT_EQ(ClosedRows(), "/data/first.out\tOUT\t-1.00000000000000E+0000\tNO_THCHEM\tNO_THCHEM\t\r\n"
                          "/data/second.out\tOUT\t-2.00000000000000E+0000\tNO_THCHEM\tNO_THCHEM\t\r\n");
  // Once the first run has closed it, a new run may take the file.
  EXPECT_NO_THROW(other.CreateResultsFile(ResultsPath().string(), "Harvex version 18.10.2012"));
}

class UncreatedResultsTest : public TRunTest {};

TEST_F(UncreatedResultsTest, ReportStopsAtItsFirstWriteKeepingEarlierMemoLines) {
  const std::string path = Path("no such folder/Harvex_res.txt").string();
  EXPECT_THROW(
      {
        try {
          Run.CreateResultsFile(path, "Harvex version 18.10.2012");
        } catch (const EInOutError& error) {
          EXPECT_STREQ(error.what(), "No such file or directory");
          throw;
        }
      },
      EInOutError);

  auto file = Output(0, -1.0, "");
  AddModes(*file, {100.0L}, -0.5);
  EXPECT_THROW(Run.ReportObject("a.out", std::move(file)), EInOutError);
  EXPECT_EQ(Recorder.Memo, (Lines{"File:\ta.out", "initial geometry loaded", "", "E [Hartree]=\t-1.0000000"}));

  // An unsupported file writes nothing, so it still reports.
  Run.ReportObject("b.xyz", std::make_unique<TCoordinateFile_cdf>());
  EXPECT_EQ(Recorder.Memo.back(), "Error: not a .out file!");

  Run.CloseResultsFile();
  EXPECT_TRUE(Recorder.Messages.empty());
}

TEST_F(UncreatedResultsTest, WriteFailureRaisesAtTheHeaderNamingTheFileAndTheReason) {
  try {
    Run.CreateResultsFile("/dev/full", "Harvex version 18.10.2012");
    FAIL() << "the header was taken";
  } catch (const EResultsWriteError& error) {
    EXPECT_STREQ(error.what(), "Cannot write the results file /dev/full: No space left on device");
  }
}

// Each row is on disk as soon as it is complete, and a path never adds a
// column nor splits its row: its tabs, CRs and LFs become blanks, and the
// warning names it.
TEST_F(ReportTest, RowsReachTheFileAtOnceAndNeverHoldATabCrOrLfInAPath) {
  std::string rows;
  for (const auto& [name, shown] : {std::pair{"/d/a\tb.out", "\\t"}, {"/d/a\rb.out", "\\r"}, {"/d/a\nb.out", "\\n"}}) {
    Run.ReportObject(name, Output(0, -1.0, ""));
    EXPECT_EQ(Recorder.Memo[Recorder.Memo.size() - 4],
              std::string("Warning: the row's path is not the file's exact name \"/d/a") + shown +
                  "b.out\": its tabs, CRs and LFs are written as blanks!");
    rows += "/d/a b.out\tOUT\t-1.00000000000000E+0000\tNO_THCHEM\tNO_THCHEM\t\r\n";
    EXPECT_TRUE(testing::ReadWholeFile(ResultsPath()).ends_with("\r\n" + rows));
  }
  EXPECT_EQ(Run.WarningCount(), 3);
}

}  // namespace
}  // namespace harvex
