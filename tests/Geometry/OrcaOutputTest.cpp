// The ORCA output reader, over small outputs written for the tests and over
// real ones.
#include <gtest/gtest.h>

#include <string>

#include "CoordFiles/CoordFiles.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using namespace harvex::testing;

constexpr std::string_view Banner = R"(
                                 *****************
                                 * O   R   C   A *
                                 *****************
)";

// One optimisation cycle: the geometry in angstrom, then in atomic units,
// then the cycle's energy.
std::string Cycle(int n) {
  const std::string x = std::to_string(n) + ".5";
  return "---------------------------------\n"
         "CARTESIAN COORDINATES (ANGSTROEM)\n"
         "---------------------------------\n"
         "  O      " +
         x +
         "   -0.000000    0.007513\n"
         "  H      0.000000    0.765051    0.592286\n"
         "\n"
         "----------------------------\n"
         "CARTESIAN COORDINATES (A.U.)\n"
         "----------------------------\n"
         "  NO LB      ZA    FRAG     MASS         X           Y           Z\n"
         "   0 O     8.0000    0    15.999    0.000000   -0.000000    0.014197\n"
         "\n"
         "-------------------------   --------------------\n"
         "FINAL SINGLE POINT ENERGY       -76.42591254529" +
         std::to_string(n) +
         "\n"
         "-------------------------   --------------------\n\n";
}

// A geometry block's title and underline before the given atom lines.
std::string GeometryBlock(std::string_view atomLines) {
  return "CARTESIAN COORDINATES (ANGSTROEM)\n"
         "---------------------------------\n" +
         std::string(atomLines);
}

TEST(OrcaOutput, OptimisationKeepsTheLastGeometryAndEnergy) {
  TRecordingDesktop desktop;
  TTempDir folder;
  std::string text(Banner);
  for (int n = 1; n <= 5; ++n) text += Cycle(n);
  TCoordinateFile file;
  file.Info.EnergyLabel = "(RB3LYP)";
  ASSERT_TRUE(file.LoadFile(folder.Write("opt.out", text), true));
  ASSERT_EQ(file.AtomCount(), 2);
  EXPECT_EQ(file.Atoms.AtomAt(1).Symbol, "O");
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(1).X, 5.5);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(2).Y, 0.765051);
  EXPECT_DOUBLE_EQ(file.Info.Energy, -76.425912545295);
  EXPECT_EQ(file.Info.EnergyLabel, "");
  EXPECT_EQ(file.FileKind, fkOutput);
  EXPECT_EQ(file.Info.GeometryState, 0);
  EXPECT_TRUE(desktop.Messages.empty());
}

TEST(OrcaOutput, EnergyLineRightAfterTheBlockIsFound) {
  TTempDir folder;
  const std::string text = std::string(Banner) + GeometryBlock(
                                                     "  H      0.0 0.0 0.0\n"
                                                     "\n"
                                                     "FINAL SINGLE POINT ENERGY    -76.5\n");
  TCoordinateFile file;
  ASSERT_TRUE(file.LoadFile(folder.Write("sp.out", text), true));
  EXPECT_EQ(file.Info.Energy, -76.5);
  EXPECT_EQ(file.AtomCount(), 1);
}

TEST(OrcaOutput, BlockAtTheVeryEndIsReadToTheEnd) {
  TTempDir folder;
  const std::string text = std::string(Banner) + GeometryBlock(
                                                     "  C      1.0 2.0 3.0\n"
                                                     "  N      4.0 5.0 6.0");
  TCoordinateFile file;
  ASSERT_TRUE(file.LoadFile(folder.Write("cut.out", text), true));
  ASSERT_EQ(file.AtomCount(), 2);
  EXPECT_EQ(file.Atoms.AtomAt(2).Element, 7);
  EXPECT_EQ(file.Atoms.AtomAt(2).Z, 6.0);
}

TEST(OrcaOutput, QuotedGaussianBannerLaterDoesNotMakeItGaussian) {
  TTempDir folder;
  const std::string text =
      std::string(Banner) + " This is the Gaussian(R) program, quoted\n" + Cycle(1);
  TCoordinateFile file;
  ASSERT_TRUE(file.LoadFile(folder.Write("quoted.out", text), true));
  EXPECT_EQ(file.AtomCount(), 2);
  EXPECT_DOUBLE_EQ(file.Info.Energy, -76.425912545291);
}

TEST(OrcaOutput, ResetsOutputFlagsButKeepsEnergyWhenNoneIsPrinted) {
  TTempDir folder;
  TCoordinateFile file;
  file.Info.Energy = -1.25;
  file.Info.EnergyLabel = "EUMP2";
  file.Info.GibbsEnergy = -2.5;
  file.Info.HasCounterpoise = true;
  file.Info.HasDipole = true;
  file.Info.MullikenCharges = TChargeArray{0, 0.5};
  ASSERT_TRUE(
      file.LoadFile(folder.Write("noenergy.out", std::string(Banner) + "nothing here\n"), true));
  EXPECT_EQ(file.AtomCount(), 0);
  EXPECT_EQ(file.Info.Energy, -1.25);
  EXPECT_EQ(file.Info.EnergyLabel, "EUMP2");
  EXPECT_EQ(file.Info.GibbsEnergy, -2.5);
  EXPECT_FALSE(file.Info.HasCounterpoise);
  EXPECT_FALSE(file.Info.HasDipole);
  EXPECT_FALSE(file.Info.MullikenCharges);
  ASSERT_TRUE(file.Info.Modes);
  EXPECT_EQ(file.Info.Modes->Count(), 0);
}

TEST(OrcaOutput, UnknownElementIsShownAndReadingGoesOn) {
  TRecordingDesktop desktop;
  TTempDir folder;
  const std::string text = std::string(Banner) + GeometryBlock(
                                                     "  Q      1.0 2.0 3.0\n"
                                                     "  H      4.0 5.0 6.0\n"
                                                     "\n"
                                                     "FINAL SINGLE POINT ENERGY    -0.5\n");
  TCoordinateFile file;
  ASSERT_TRUE(file.LoadFile(folder.Write("ghost.out", text), true));
  ASSERT_EQ(file.AtomCount(), 2);
  EXPECT_EQ(file.Atoms.AtomAt(1).Element, 0);
  EXPECT_EQ(file.Info.Energy, -0.5);
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{"TCoordinateFile Error", "UNKNOWN ATOM: \"Q\""}}));
}

TEST(OrcaOutput, UnreadableEnergyRaisesConversionError) {
  TTempDir folder;
  const std::string path =
      folder.Write("bad.out", std::string(Banner) + "FINAL SINGLE POINT ENERGY   n/a\n");
  TCoordinateFile file;
  try {
    file.LoadFile(path, true);
    FAIL() << "no conversion error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid floating point value");
  }
}

// A cut after any line past the banner loads: at most the atoms of one block
// stay, and no number field is ever cut.
TEST(OrcaOutput, TruncatedAfterAnyLineLoads) {
  TTempDir folder;
  const std::string text = std::string(Banner) + Cycle(1) + Cycle(2);
  for (std::size_t end = text.find('\n', text.find("R   C   A")); end != std::string::npos;
       end = text.find('\n', end + 1)) {
    SCOPED_TRACE(end);
    TCoordinateFile file;
    EXPECT_TRUE(file.LoadFile(folder.Write("cut.out", text.substr(0, end + 1)), true));
    EXPECT_LE(file.AtomCount(), 2);
  }
}

struct TRealOrcaCase {
  const char* File;
  int AtomCount;
  double Energy;  // 0: the output prints no final energy
  TAtom First, Last;
};

class RealOrcaOutput : public ::testing::TestWithParam<TRealOrcaCase> {};

TEST_P(RealOrcaOutput, ReportsTheLastEnergyAndGeometry) {
  const TRealOrcaCase& row = GetParam();
  TRecordingDesktop desktop;
  TCoordinateFile file;
  ASSERT_TRUE(file.LoadFile(TestDataPath(std::string("geometry/orca/") + row.File), true));
  EXPECT_EQ(file.Info.Energy, row.Energy);
  ASSERT_EQ(file.AtomCount(), row.AtomCount);
  for (const auto& [index, expected] :
       {std::pair{1, row.First}, std::pair{row.AtomCount, row.Last}}) {
    const TAtom& atom = file.Atoms.AtomAt(index);
    EXPECT_EQ(atom.Symbol, expected.Symbol);
    EXPECT_EQ(atom.Element, expected.Element);
    EXPECT_EQ(atom.X, expected.X);
    EXPECT_EQ(atom.Y, expected.Y);
    EXPECT_EQ(atom.Z, expected.Z);
  }
  EXPECT_EQ(file.Info.GeometryState, 0);
  EXPECT_TRUE(desktop.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Outputs, RealOrcaOutput,
                         ::testing::Values(
                             // ORCA 4.2.0 optimisation and frequencies: four energies and blocks.
                             TRealOrcaCase{"Orca_opt_freq_test.out",
                                           3,
                                           -76.425912545290,
                                           {0.000000, -0.000000, 0.007513, 8, "O"},
                                           {0.000000, -0.765051, 0.592286, 1, "H"}},
                             // ORCA 5.0 MP2 single point: the MP2 total energy.
                             TRealOrcaCase{"water_mp2.out",
                                           3,
                                           -74.999373814715,
                                           {1.784914, 1.262422, 0.511985, 8, "O"},
                                           {1.183168, 1.256816, -0.238835, 1, "H"}},
                             // ORCA 4.1.2 run whose SCF failed: a geometry and no final energy.
                             TRealOrcaCase{"Orca_scf_error.out",
                                           45,
                                           0,
                                           {3.709269, -1.020311, -0.021506, 7, "N"},
                                           {0.000000, 0.000000, 0.000000, 1, "H"}}),
                         [](const auto& info) {
                           std::string name = info.param.File;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace harvex
