// The Gaussian reader's energies, counterpoise sums, dipole and geometry, and
// how a pass ends: small outputs written for the tests.
#include <string>
#include <vector>

#include "Gaussian/GaussianFixtures.h"
#include "Gaussian/GaussianTestSupport.h"
#include "ZipReader/ZipTestSupport.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using namespace harvex::testing;

struct TEnergyCase {
  const char* Name;
  std::string_view Text;
  double Energy;
  std::string_view Label;
};

const TEnergyCase EnergyCases[] = {
    {"SCF energy keeps its method tag from the parenthesis on",
     " SCF Done:  E(RB3LYP) =  -382.294279146     A.U. after   12 cycles\n", -382.294279146, "(RB3LYP)"},
    {"last SCF energy of an optimisation wins",
     " SCF Done:  E(RB3LYP) =  -382.294279146     A.U. after   12 cycles\n"
     " SCF Done:  E(RB3LYP) =  -382.308266602     A.U. after    8 cycles\n",
     -382.308266602, "(RB3LYP)"},
    {"MP2 energy with a D exponent follows the SCF energy",
     " SCF Done:  E(RHF) =  -74.9629282455     A.U. after    9 cycles\n"
     " E2 =    -0.3795333610D-01 EUMP2 =    -0.75002282127454D+02\n",
     -75.002282127454, "EUMP2"},
    {"MP2 energy without a blank before the equals sign",
     " E2=       -0.8292409265D+00 EUMP2=       -0.26997188088328D+03\n", -269.97188088328, "EUMP2"},
    {"EUMP2 without an equals sign is no energy",
     " SCF Done:  E(UHF) =  -37.5803405847     A.U. after    9 cycles\n Spin components of T(2) and EUMP2\n",
     -37.5803405847, "(UHF)"},
    {"SCF line without a closing parenthesis has an empty label", " SCF Done:  E(RHF =  -1.5 A.U.\n", -1.5, ""},
    {"corrected energy comes last in a counterpoise run",
     " SCF Done:  E(RHF) =  -4670.4 A.U.\n Counterpoise: corrected energy =   -4670.408589411856\n",
     -4670.408589411856, "Counterpoise: corrected energy"},
};

class EnergyTest : public GaussianReaderTest {};

TEST_F(EnergyTest, LastEnergyLineGivesEnergyAndLabel) {
  for (const TEnergyCase& c : EnergyCases) {
    SCOPED_TRACE(c.Name);
    const auto file = LoadFresh(c.Text);
    EXPECT_DOUBLE_EQ(file->Info.Energy, c.Energy);
    EXPECT_EQ(file->Info.EnergyLabel, c.Label);
  }
}

// A marker is found wherever it stands in the line, at odd and even columns alike.
TEST_F(EnergyTest, MarkersAreFoundAtAnyColumn) {
  for (const std::string prefix : {"", "x", "xy", "xyz", "wxyz"}) {
    SCOPED_TRACE("prefix \"" + prefix + "\"");
    const auto file = LoadFresh(prefix + "SCF Done:  E(RHF) =  -1.25 A.U.\n" + prefix + "EUMP2 = -0.15D+01\n" + prefix +
                                "Mulliken charges:\n 1\n 1 H 0.5\n Sum of Mulliken\n");
    EXPECT_DOUBLE_EQ(file->Info.Energy, -1.5);
    ASSERT_TRUE(file->Info.MullikenCharges.has_value());
    EXPECT_DOUBLE_EQ(static_cast<double>((*file->Info.MullikenCharges)[0]), 0.5);
  }
}

// One counterpoise series: the complex, then the fragments in the complex's
// basis (DCBS) and in their own (MCBS), then the corrected energy.
std::string CounterpoiseSeries(const std::vector<double>& fragmentEnergies, const std::string& corrected) {
  const char* starts[] = {" Counterpoise: doing DCBS calculation for fragment   1 NewBq=T\n",
                          " Counterpoise: doing DCBS calculation for fragment   2 NewBq=T\n",
                          " Counterpoise: doing MCBS calculation for fragment   1\n",
                          " Counterpoise: doing MCBS calculation for fragment   2\n"};
  std::string text = " SCF Done:  E(RHF) =  -20.0     A.U. after   10 cycles\n";
  for (std::size_t i = 0; i < fragmentEnergies.size(); ++i)
    text += std::string(starts[i]) + " SCF Done:  E(RHF) =  " + std::to_string(fragmentEnergies[i]) + " A.U.\n";
  return text + corrected;
}

class CounterpoiseTest : public GaussianReaderTest {};

TEST_F(CounterpoiseTest, SumsEachBasisKindAndEndsWithTheCorrectedEnergy) {
  Load(CounterpoiseSeries({-4.0, -5.0, -3.75, -4.5}, " Counterpoise: corrected energy =   -9.25\n"));
  EXPECT_TRUE(Info().HasCounterpoise);
  EXPECT_EQ(Info().DCBSCount, 2);
  EXPECT_EQ(Info().MCBSCount, 2);
  EXPECT_EQ(Info().DCBSSum, -9.0L);
  // The last fragment is summed at the corrected-energy line, before that line's energy replaces it.
  EXPECT_EQ(Info().MCBSSum, -8.25L);
  EXPECT_DOUBLE_EQ(Info().Energy, -9.25);
  EXPECT_EQ(Info().EnergyLabel, "Counterpoise: corrected energy");
}

TEST_F(CounterpoiseTest, LaterSeriesReplacesTheSumsRatherThanAddingToThem) {
  Load(CounterpoiseSeries({-4.0, -5.0, -3.75, -4.5}, " Counterpoise: corrected energy =   -9.25\n") +
       CounterpoiseSeries({-2.0, -2.5, -1.75, -2.25}, " Counterpoise: corrected energy =   -4.75\n"));
  EXPECT_EQ(Info().DCBSCount, 2);
  EXPECT_EQ(Info().MCBSCount, 2);
  EXPECT_EQ(Info().DCBSSum, -4.5L);
  EXPECT_EQ(Info().MCBSSum, -4.0L);
}

TEST_F(CounterpoiseTest, FragmentWithoutFollowingCounterpoiseLineIsNotSummed) {
  Load(CounterpoiseSeries({-4.0, -5.0, -3.75, -4.5}, ""));
  EXPECT_EQ(Info().MCBSCount, 1);
  EXPECT_EQ(Info().MCBSSum, -3.75L);
  EXPECT_DOUBLE_EQ(Info().Energy, -4.5);
}

// Gaussian 98 titles the section "Dipole moment (Debye):".
TEST_F(EnergyTest, DipoleLineGivesItsThreeComponentsNotTheTotal) {
  for (std::string_view title : {" Dipole moment (field-independent basis, Debye):\n", " Dipole moment (Debye):\n"}) {
    SCOPED_TRACE(title);
    const std::unique_ptr<TCoordinateFile> file = LoadFresh(
        std::string(title) +
        "    X=              0.1250    Y=             -0.5000    Z=             -1.6735  Tot=              1.7510\n");
    EXPECT_TRUE(file->Info.HasDipole);
    EXPECT_EQ(file->Info.Dipole[0], 0.125L);
    EXPECT_EQ(file->Info.Dipole[1], -0.5L);
    EXPECT_DOUBLE_EQ(static_cast<double>(file->Info.Dipole[2]), -1.6735);
  }
}

const std::string Optimisation = StandardOrientation(WaterRows) +
                                 " SCF Done:  E(RHF) =  -74.9629282455     A.U. after    9 cycles\n" +
                                 StandardOrientation(StretchedWaterRows) +
                                 " SCF Done:  E(RHF) =  -74.9659011806     A.U. after    7 cycles\n";

class OrientationTest : public GaussianReaderTest {};

TEST_F(OrientationTest, FinalGeometryKeepsTheLastTableAndReadsOn) {
  EXPECT_TRUE(Load(Optimisation, true));
  EXPECT_EQ(Info().GeometryState, 1);
  ASSERT_EQ(File.AtomCount(), 3);
  EXPECT_EQ(File.Atoms.AtomAt(1).Symbol, "O");
  EXPECT_EQ(File.Atoms.AtomAt(1).Element, 8);
  EXPECT_DOUBLE_EQ(File.Atoms.AtomAt(1).Z, 0.127131);
  EXPECT_DOUBLE_EQ(File.Atoms.AtomAt(3).Y, -0.758039);
  EXPECT_DOUBLE_EQ(Info().Energy, -74.9659011806);
  EXPECT_EQ(File.FileName, (Folder.Path() / "job.out").string());
}

TEST_F(OrientationTest, FirstGeometryStopsReadingAfterTheFirstTable) {
  EXPECT_TRUE(Load(" SCF Done:  E(RHF) =  -70.0     A.U. after    9 cycles\n" + Optimisation, false));
  EXPECT_EQ(Info().GeometryState, 0);
  ASSERT_EQ(File.AtomCount(), 3);
  EXPECT_DOUBLE_EQ(File.Atoms.AtomAt(1).Z, 0.119159);
  EXPECT_DOUBLE_EQ(Info().Energy, -70.0);
}

// Without a complete standard-orientation table (nosymm jobs, most scans)
// the input orientation is the geometry; a standard one anywhere wins.
TEST_F(OrientationTest, InputOrientationIsTheGeometryOnlyWithoutAStandardOne) {
  const std::string cutStandard = StandardOrientation(WaterRows).substr(0, 400);
  const struct {
    const char* Name;
    std::string Text;
    bool FinalGeometry;
    const std::string& Rows;
  } cases[] = {
      {"input tables only: the last", InputOrientation(WaterRows) + InputOrientation(StretchedWaterRows), true,
       StretchedWaterRows},
      {"input tables only, first geometry: the first", InputOrientation(WaterRows) + InputOrientation(StretchedWaterRows),
       false, WaterRows},
      {"input table after the standard one", StandardOrientation(WaterRows) + InputOrientation(StretchedWaterRows),
       true, WaterRows},
      {"input table before the standard one", InputOrientation(StretchedWaterRows) + StandardOrientation(WaterRows),
       true, WaterRows},
      {"standard table cut off", InputOrientation(StretchedWaterRows) + cutStandard, true, StretchedWaterRows},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TCoordinateFile file;
    EXPECT_TRUE(file.LoadFile(Folder.Write("orientation.out", std::string(GaussianBanner) +
                                                                   " SCF Done:  E(RHF) =  -74.96     A.U.\n" + c.Text),
                              c.FinalGeometry));
    EXPECT_EQ(file.Info.GeometryState, c.FinalGeometry ? 1 : 0);
    EXPECT_DOUBLE_EQ(file.Info.Energy, -74.96);
    ASSERT_EQ(file.AtomCount(), 3);
    EXPECT_EQ(file.Atoms.AtomAt(3).Symbol, "H");
    EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(1).Z, c.Rows == WaterRows ? 0.119159 : 0.127131);
  }
}

TEST_F(OrientationTest, TableCutOffByTheEndOfTheInputLeavesTheLastWholeOne) {
  const std::string cut = StandardOrientation(StretchedWaterRows);
  EXPECT_TRUE(Load(StandardOrientation(WaterRows) + cut.substr(0, cut.rfind(" ---"))));
  ASSERT_EQ(File.AtomCount(), 3);
  EXPECT_DOUBLE_EQ(File.Atoms.AtomAt(1).Z, 0.119159);
}

TEST_F(OrientationTest, UnknownAtomicNumberIsShownForEachRowAndKeptWithoutElement) {
  EXPECT_TRUE(Load(StandardOrientation("      1          0           0        0.000000    0.000000    1.000000\n"
                                       "      2          8           0        0.000000    0.000000    0.000000\n"
                                       "      3          0           0        0.000000    0.000000   -1.000000\n")));
  const TMessage unknownAtom{"Error", "Unknown atom! (z=0)"};
  EXPECT_EQ(Desktop.Messages, (std::vector<TMessage>{unknownAtom, unknownAtom}));
  ASSERT_EQ(File.AtomCount(), 3);
  EXPECT_EQ(File.Atoms.AtomAt(1).Element, 0);
  EXPECT_TRUE(File.Atoms.AtomAt(1).Symbol.empty());
  EXPECT_DOUBLE_EQ(File.Atoms.AtomAt(3).Z, -1.0);
}

TEST_F(OrientationTest, GarbageRowEndsTheLoadWithoutAHalfGeometry) {
  EXPECT_THROW(Load(StandardOrientation(WaterRows + "      4          1           0        0.000000   garbage\n")),
               EConvertError);
  EXPECT_EQ(File.AtomCount(), 0);
}

class PassEndTest : public GaussianReaderTest {};

TEST_F(PassEndTest, MissingFileIsShownAndLeavesTheObjectAlone) {
  File.Info.Energy = -1.0;
  const std::string path = (Folder.Path() / "missing.out").string();
  EXPECT_FALSE(File.ParseGaussianOutput(path, true));
  EXPECT_EQ(Desktop.Messages, (std::vector<TMessage>{{"TCoordinateFile Error", "Can not open file " + path}}));
  EXPECT_DOUBLE_EQ(Info().Energy, -1.0);
  EXPECT_EQ(Info().Modes, nullptr);
}

TEST_F(PassEndTest, ArchiveMemberFailingItsCheckIsWarnedAboutAndStillRead) {
  const std::string output = std::string(GaussianBanner) + Optimisation;
  std::string damaged = output;
  damaged[damaged.find("-74.9659011806")] = '+';
  TZipMember member{"job.out", output, 0};
  member.Data = damaged;  // stored bytes other than those its CRC-32 was taken over
  const std::string path = Folder.Write("job.zip", BuildArchive({member}));
  EXPECT_TRUE(File.LoadFile(path, true));
  EXPECT_EQ(Desktop.Messages,
            (std::vector<TMessage>{{"TCoordinateFile Error", "WARNING: there was an error reading " + path}}));
  EXPECT_EQ(File.AtomCount(), 3);
  EXPECT_EQ(Info().GeometryState, 1);
  EXPECT_DOUBLE_EQ(Info().Energy, 74.9659011806);
}

TEST_F(PassEndTest, ConversionErrorEndsThePassKeepingEarlierValues) {
  try {
    Load(" SCF Done:  E(RHF) =  -1.5 A.U.\n"
         " Counterpoise: doing DCBS calculation for fragment   x\n"
         " SCF Done:  E(RHF) =  -2.5 A.U.\n");
    FAIL() << "no conversion error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid integer value");
  }
  EXPECT_DOUBLE_EQ(Info().Energy, -1.5);
  EXPECT_EQ(Info().GeometryState, 2);
}

TEST_F(PassEndTest, NewParseResetsDipoleAndCounterpoiseButKeepsEnergy) {
  Load(CounterpoiseSeries({-4.0, -5.0}, " Counterpoise: corrected energy =   -9.25\n") +
       " Dipole moment (field-independent basis, Debye):\n    X=  1.0    Y=  2.0    Z=  3.0  Tot=  3.7\n");
  Load("\n");
  EXPECT_FALSE(Info().HasCounterpoise);
  EXPECT_FALSE(Info().HasDipole);
  EXPECT_DOUBLE_EQ(Info().Energy, -9.25);
  EXPECT_EQ(Info().GeometryState, 2);
}

}  // namespace
}  // namespace harvex
