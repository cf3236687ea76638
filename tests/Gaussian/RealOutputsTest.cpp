// Real Gaussian outputs (tests/data/gaussian, see its NOTICE) loaded end to
// end: each gives the values printed in it.
#include <cmath>
#include <numeric>
#include <string>

#include "Gaussian/GaussianTestSupport.h"

namespace harvex {
namespace {

using namespace harvex::testing;

struct TAtomExpectation {
  std::string_view Symbol;
  double X, Y, Z;
};

struct TRealOutput {
  std::string_view Name;
  bool Loaded;  // a geometry was kept
  double Energy;
  std::string_view Label;
  int ModeCount;
  double FirstFrequency;
  double GibbsEnergy;
  int AtomCount;
  TAtomExpectation FirstAtom, LastAtom;
  TTermination Termination = tmNormal;
};

// The values as printed: the last energy line, the frequencies, "Sum of
// electronic and thermal Free Energies" (a composite recipe's own free
// energy), the last standard orientation (the last input orientation of a
// file without one) and the last termination line.
const TRealOutput RealOutputs[] = {
    {"dvb_gopt.out", true, -382.308266602, "(RB3LYP)", 0, 0, 0, 20,
     {"C", 0.269445, 1.410118, 0}, {"H", 2.364759, 0.813041, 0}},
    {"dvb_ir.out", true, -382.30826658, "(RB3LYP)", 54, 52.7882, -382.164931, 20,
     {"C", 0.269481, 1.410087, 0}, {"H", 2.364772, 0.813167, 0}},
    {"isobutane.out", true, -158.458811098, "(RB3LYP)", 36, 218.112, -158.354046, 14,
     {"C", -0.000006, 0.000007, 0.372615}, {"H", 0.000011, -0.000005, 1.473227}},
    {"CH4.out", true, -40.2649626256, "(RM062X)", 9, 1415.554, -40.23888, 5,
     {"C", -0.000371, 0.000015, 0.000066}, {"H", -1.087125, -0.069629, -0.075582}},
    {"BenzylEnergy.out", true, -270.378075, "(CBS-QB3 (0 K))", 36, 198.613, -270.40713, 14,
     {"C", 0, 0, -1.836211}, {"H", 0, -0.927265, 2.957093}},
    {"water_mp2.out", true, -75.002282127454, "EUMP2", 0, 0, 0, 3,
     {"O", 0, 0, 0.119159}, {"H", 0, -0.790649, -0.476637}},
    {"water_ccsdt.out", true, -75.017760423, "CCSD(T)", 0, 0, 0, 3,
     {"O", 0, 0, 0.119159}, {"H", 0, -0.790649, -0.476637}},
    {"UMP2_C_ATOM.out", true, -37.504683723025, "EUMP2", 0, 0, 0, 1, {"C", 0, 0, 0}, {"C", 0, 0, 0}},
    {"CH2OH2_unfinished.out", true, -189.781660637, "(RM062X)", 0, 0, 0, 7,
     {"C", -0.003572, 0.539993, 0.045628}, {"H", 1.957549, 0.119872, 0.000478}, tmMissing},
    {"MeOH_SCF_error.out", true, -115.073590213, "(RB3LYP)", 0, 0, 0, 6,
     {"C", -0.682049, -0.020108, 0.000049}, {"H", 1.155295, -0.793429, -0.000066}, tmError},
    {"water.out", true, 0, "", 0, 0, 0, 3, {"O", 0, 0, 0.12136}, {"H", 0, -0.78192, -0.485439}},
    {"TS_freq.out", true, -79.1166134112, "(UB+HF-LYP)", 15, -757.8102, -79.087857, 7,
     {"C", -0.104295, 0.744624, 0}, {"H", 1.816168, -1.155271, 0}},
    {"Trp_polar.out", true, -673.590571157, "(RHF)", 0, 0, 0, 27,
     {"N", -0.069983, 0.332199, 0.282128}, {"H", 0.599002, 0.884242, 2.004783}},
    {"CH4_before_E.out", false, 0, "", 0, 0, 0, 0, {}, {}, tmMissing},
};

void ExpectAtom(const TAtom& atom, const TAtomExpectation& expected) {
  EXPECT_EQ(atom.Symbol, expected.Symbol);
  EXPECT_DOUBLE_EQ(atom.X, expected.X);
  EXPECT_DOUBLE_EQ(atom.Y, expected.Y);
  EXPECT_DOUBLE_EQ(atom.Z, expected.Z);
}

std::string RealOutputPath(std::string_view name) {
  return std::string(HARVEX_TEST_DATA) + "/gaussian/" + std::string(name);
}

TEST(RealGaussianOutputTest, EachOutputGivesTheValuesPrintedInIt) {
  TRecordingDesktop desktop;
  for (const TRealOutput& output : RealOutputs) {
    SCOPED_TRACE(output.Name);
    const std::string path = RealOutputPath(output.Name);
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << "missing fixture " << path;
    TCoordinateFile file(desktop);
    EXPECT_EQ(file.LoadFile(path, true), output.Loaded);
    const TOutInfo& info = file.Info;
    EXPECT_DOUBLE_EQ(info.Energy, output.Energy);
    EXPECT_EQ(info.EnergyLabel, output.Label);
    EXPECT_EQ(info.GeometryState, output.Loaded ? 1 : 2);
    ASSERT_EQ(info.Modes->Count(), output.ModeCount);
    if (output.ModeCount > 0) {
      EXPECT_DOUBLE_EQ(static_cast<double>(info.Modes->ModeAt(0).Frequency), output.FirstFrequency);
    }
    EXPECT_DOUBLE_EQ(info.GibbsEnergy, output.GibbsEnergy);
    EXPECT_EQ(info.HasGibbsEnergy, output.ModeCount > 0);
    EXPECT_EQ(info.Termination, output.Termination);
    ASSERT_EQ(file.AtomCount(), output.AtomCount);
    if (output.AtomCount > 0) {
      ExpectAtom(file.Atoms.AtomAt(1), output.FirstAtom);
      ExpectAtom(file.Atoms.AtomAt(output.AtomCount), output.LastAtom);
    }
  }
  EXPECT_TRUE(desktop.Messages.empty());
}

// A neutral molecule's charges add up to zero (to the printed precision): a
// slipped column or a misplaced row would not.
TEST(RealGaussianOutputTest, ChargesOfNeutralMoleculesSumToZero) {
  TRecordingDesktop desktop;
  for (std::string_view name : {"dvb_ir.out", "isobutane.out", "CH4.out", "BenzylEnergy.out", "water_mp2.out"}) {
    SCOPED_TRACE(name);
    TCoordinateFile file(desktop);
    file.LoadFile(RealOutputPath(name), true);
    for (const auto& charges : {file.Info.MullikenCharges, file.Info.APTCharges}) {
      if (!charges) continue;
      EXPECT_EQ(charges->size(), static_cast<std::size_t>(file.AtomCount()) + 1);
      EXPECT_NEAR(static_cast<double>(std::accumulate(charges->begin(), charges->end(), 0.0L)), 0.0, 2e-5);
      EXPECT_EQ(charges->back(), 0.0L);
    }
  }
}

TEST(RealGaussianOutputTest, HighPrecisionModesKeepTheirPrintedDisplacements) {
  TRecordingDesktop desktop;
  TCoordinateFile file(desktop);
  file.LoadFile(RealOutputPath("dvb_ir.out"), true);
  const TOscModes& modes = *file.Info.Modes;
  EXPECT_TRUE(modes.HighPrecision);
  const TOscMode& first = modes.ModeAt(0);
  EXPECT_DOUBLE_EQ(first.DispZ[0], 0.08012);
  EXPECT_DOUBLE_EQ(first.DispZ[19], 0.11168);
  EXPECT_DOUBLE_EQ(modes.ModeAt(3).DispX[0], -0.10471);
  ASSERT_EQ(first.Attributes.size(), 4u);
  EXPECT_EQ(first.Attributes[3].Name, "IR Intensities");
  EXPECT_DOUBLE_EQ(first.Attributes[3].Value, 0.0323);
  EXPECT_EQ(file.Info.SymmetryNumber, 2);
  EXPECT_DOUBLE_EQ(file.Info.ZPECorrection, 0.17714);
}

}  // namespace
}  // namespace harvex
