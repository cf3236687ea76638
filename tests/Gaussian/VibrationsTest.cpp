// The Gaussian reader's frequency tables in both layouts, thermochemistry and
// anharmonic section: small outputs written for the tests.
#include <string>
#include <vector>

#include "Gaussian/GaussianFixtures.h"
#include "Gaussian/GaussianTestSupport.h"
#include "ZipReader/ZipReader.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using namespace harvex::testing;

std::vector<std::string> AttributeNames(const TOscMode& mode) {
  std::vector<std::string> names;
  for (const TAdditionalModeAttrib& attribute : mode.Attributes) names.push_back(attribute.Name);
  return names;
}

class FrequencyTableTest : public GaussianReaderTest {};

TEST_F(FrequencyTableTest, EachModeTakesItsColumnOfEveryValueLine) {
  Load(Table(WaterModes));
  ASSERT_EQ(Modes().Count(), 3);
  EXPECT_FALSE(Modes().HighPrecision);
  const TOscMode& bend = Modes().ModeAt(0);
  const TOscMode& asymmetric = Modes().ModeAt(2);
  EXPECT_EQ(asymmetric.ModeNumber, 3);
  EXPECT_DOUBLE_EQ(static_cast<double>(bend.Frequency), 1743.147);
  EXPECT_DOUBLE_EQ(static_cast<double>(asymmetric.Frequency), 4136.9014);
  EXPECT_EQ(AttributeNames(bend), (std::vector<std::string>{"Frequencies", "Red. masses", "Frc consts", "IR Inten"}));
  EXPECT_DOUBLE_EQ(asymmetric.Attributes[3].Value, 22.0683);
  EXPECT_DOUBLE_EQ(bend.DispZ[0], 0.07);
  EXPECT_DOUBLE_EQ(asymmetric.DispY[1], -0.56);
  EXPECT_DOUBLE_EQ(asymmetric.DispZ[2], -0.43);
  EXPECT_DOUBLE_EQ(asymmetric.DispX[3], 0.0);
}

TEST_F(FrequencyTableTest, LastBlockMayHoldFewerModesAndImaginaryModesAreNegative) {
  Load(Table(LinearModes));
  ASSERT_EQ(Modes().Count(), 4);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).Frequency), -52.1);
  const TOscMode& last = Modes().ModeAt(3);
  EXPECT_EQ(last.ModeNumber, 4);
  EXPECT_DOUBLE_EQ(static_cast<double>(last.Frequency), 2436.4);
  EXPECT_DOUBLE_EQ(last.DispZ[0], 0.88);
  EXPECT_DOUBLE_EQ(last.DispZ[2], -0.33);
  EXPECT_DOUBLE_EQ(Modes().ModeAt(1).DispX[0], 0.88);
}

TEST_F(FrequencyTableTest, HighPrecisionListingIsReadAndTheOrdinaryRepeatIsNot) {
  Load(Table(HighPrecisionWaterModes) + Table(WaterModes) + std::string(WaterThermochemistry));
  ASSERT_EQ(Modes().Count(), 3);
  EXPECT_TRUE(Modes().HighPrecision);
  const TOscMode& asymmetric = Modes().ModeAt(2);
  EXPECT_EQ(AttributeNames(asymmetric), (std::vector<std::string>{"Frequencies", "Reduced masses"}));
  EXPECT_DOUBLE_EQ(static_cast<double>(asymmetric.Frequency), 4136.9014);
  EXPECT_DOUBLE_EQ(asymmetric.DispY[0], 0.06915);
  EXPECT_DOUBLE_EQ(asymmetric.DispZ[2], -0.4316);
  EXPECT_DOUBLE_EQ(Modes().ModeAt(1).DispY[1], 0.58119);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
}

TEST_F(FrequencyTableTest, TwoFrequencyJobsAppendTheirModes) {
  Load(Table(WaterModes) + Table(LinearModes));
  ASSERT_EQ(Modes().Count(), 7);
  EXPECT_EQ(Modes().ModeAt(3).ModeNumber, 1);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(3).Frequency), -52.1);
}

TEST_F(FrequencyTableTest, AtomsBeyondTheDisplacementArraysArePassedOver) {
  std::string modes(WaterModes);
  modes.insert(modes.find("\n\n") + 1,
               "   501   1     9.00   9.00   9.00     9.00   9.00   9.00     9.00   9.00   9.00\n"
               "     0   1     9.00   9.00   9.00     9.00   9.00   9.00     9.00   9.00   9.00\n");
  Load(Table(modes) + std::string(WaterThermochemistry));
  ASSERT_EQ(Modes().Count(), 3);
  EXPECT_DOUBLE_EQ(Modes().ModeAt(2).DispX[MaxModeAtoms - 1], 0.0);
  EXPECT_DOUBLE_EQ(Info().MolecularMass, 18.01056);
}

TEST_F(FrequencyTableTest, ValueLineWithTooFewValuesIsAConversionError) {
  std::string modes(WaterModes);
  modes.replace(modes.find("10.9155"), 7, "       ");
  EXPECT_THROW(Load(Table(modes)), EConvertError);
}

TEST_F(FrequencyTableTest, DamagedHeaderAnnouncingManyModesEndsWithoutExhaustingMemory) {
  // A million mode numbers, then a value line that cannot hold their values.
  // The line is cut to its first MaxLineLength bytes, which hold as many
  // modes as fit after the indent.
  const std::string indent = "           ";
  std::string header = indent;
  for (int mode = 1; mode <= 1'000'000; ++mode) header += " 1";
  EXPECT_THROW(Load(Table(header + "\n A\n Frequencies --  1.0\n")), EConvertError);
  EXPECT_EQ(Modes().Count(), static_cast<int>((MaxLineLength - indent.size()) / 2));
}

class ThermochemistryTest : public GaussianReaderTest {};

TEST_F(ThermochemistryTest, ValuesAfterTheTableAreRead) {
  Load(Table(WaterModes) + std::string(WaterThermochemistry));
  EXPECT_DOUBLE_EQ(Info().MolecularMass, 18.01056);
  EXPECT_EQ(Info().SymmetryNumber, 2);
  EXPECT_FALSE(Info().LinearRotor);
  EXPECT_EQ(Info().RotTemperatures, (std::array<double, 3>{40.07227, 20.94074, 12.89075}));
  EXPECT_DOUBLE_EQ(Info().ZPECorrection, 0.021125);
  EXPECT_DOUBLE_EQ(Info().GibbsCorrection, 0.003762);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
}

TEST_F(ThermochemistryTest, LinearRotorHasOneTemperature) {
  Load(Table(LinearModes) + " Rotational temperature (Kelvin)      0.56140\n");
  EXPECT_TRUE(Info().LinearRotor);
  EXPECT_EQ(Info().RotTemperatures, (std::array<double, 3>{0.5614, 0.0, 0.0}));
}

TEST_F(ThermochemistryTest, LaterTableClearsValuesPrintedBeforeIt) {
  Load(Table(WaterModes) + std::string(WaterThermochemistry) + Table(LinearModes) +
       " Zero-point correction=                           0.011650 (Hartree/Particle)\n");
  EXPECT_DOUBLE_EQ(Info().ZPECorrection, 0.01165);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, 0.0);
  EXPECT_DOUBLE_EQ(Info().MolecularMass, 0.0);
  EXPECT_EQ(Info().SymmetryNumber, 0);
}

TEST_F(ThermochemistryTest, RotorLinesNeedAFrequencyTableButCorrectionsDoNot) {
  Load(WaterThermochemistry);
  EXPECT_DOUBLE_EQ(Info().MolecularMass, 0.0);
  EXPECT_EQ(Info().SymmetryNumber, 0);
  EXPECT_DOUBLE_EQ(Info().ZPECorrection, 0.021125);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
}

class AnharmonicTest : public GaussianReaderTest {};

TEST_F(AnharmonicTest, FundamentalsGoToModesInReverseOrder) {
  Load(Table(WaterModes) + std::string(WaterAnharmonic));
  EXPECT_TRUE(Modes().Anharmonic);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(2).AnharmonicFrequency), 3936.431);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).AnharmonicFrequency), 1695.123);
}

TEST_F(AnharmonicTest, ThermochemistryIsConvertedFromKilojoulesToHartree) {
  Load(Table(WaterModes) + std::string(WaterAnharmonic));
  ASSERT_TRUE(Info().HasAnharmonicThermo);
  constexpr long double hartreeInKJ = 4.184L * 627.5095L;
  EXPECT_NEAR(static_cast<double>(Info().ZPEAnharmonic), static_cast<double>(48.5555L / hartreeInKJ), 1e-15);
  EXPECT_DOUBLE_EQ(static_cast<double>(Info().AnharmonicTemperature), 298.15);
  // H = 20.92 kJ/mol = 5 kcal/mol, S = 188.28 J/(mol K) = 0.045 kcal/(mol K).
  EXPECT_NEAR(static_cast<double>(Info().GibbsAnharmonic), (5.0 - 298.15 * 0.045) / 627.5095, 1e-12);
}

TEST_F(AnharmonicTest, ModeNumberOutsideTheListIsAnIndexError) {
  std::string anharmonic(WaterAnharmonic);
  anharmonic.replace(anharmonic.find("      2(1)"), 10, "      5(1)");
  try {
    Load(Table(WaterModes) + anharmonic);
    FAIL() << "no index error";
  } catch (const EListError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (-2)");
  }
}

TEST_F(AnharmonicTest, SectionBeforeAnyHarmonicTableIsNotRead) {
  Load(std::string(WaterAnharmonic) + Table(WaterModes));
  EXPECT_FALSE(Modes().Anharmonic);
  EXPECT_FALSE(Info().HasAnharmonicThermo);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).AnharmonicFrequency), 0.0);
}

}  // namespace
}  // namespace harvex
