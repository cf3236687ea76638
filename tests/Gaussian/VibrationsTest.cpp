// The Gaussian reader's frequency tables in both layouts, thermochemistry and
// anharmonic section: small outputs written for the tests.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
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

// One frequency job of a file: its table in either listing, then its free
// energy and termination line.
std::string FrequencyJob(bool highPrecision, std::string_view firstFrequency, std::string_view gibbsEnergy) {
  std::string text = highPrecision ? Table(HighPrecisionWaterModes) + Table(WaterModes) : Table(WaterModes);
  constexpr std::string_view printed = "1743.1470";
  for (std::size_t at = text.find(printed); at != std::string::npos; at = text.find(printed, at + printed.size()))
    text.replace(at, printed.size(), firstFrequency);
  return text + " Sum of electronic and thermal Free Energies=         " + std::string(gibbsEnergy) + "\n" +
         std::string(NormalTermination);
}

TEST_F(FrequencyTableTest, LastFrequencyJobGivesModesAndFreeEnergyInEveryListingOrder) {
  for (const bool firstHighPrecision : {false, true}) {
    for (const bool secondHighPrecision : {false, true}) {
      SCOPED_TRACE(std::to_string(firstHighPrecision) + std::to_string(secondHighPrecision));
      const auto file = LoadFresh(FrequencyJob(firstHighPrecision, "-222.0000", "-76.1") +
                                  FrequencyJob(secondHighPrecision, "1743.1470", "-76.2"));
      const TOscModes& modes = *file->Info.Modes;
      ASSERT_EQ(modes.Count(), 3);
      EXPECT_EQ(modes.HighPrecision, secondHighPrecision);
      EXPECT_DOUBLE_EQ(static_cast<double>(modes.ModeAt(0).Frequency), 1743.147);
      EXPECT_EQ(modes.ModeAt(0).Attributes.size(), secondHighPrecision ? 2u : 4u);
      EXPECT_DOUBLE_EQ(file->Info.GibbsEnergy, -76.2);
    }
  }
}

TEST_F(FrequencyTableTest, TableRepeatedAfterRecoveringTheModesIsCountedOnce) {
  Load(Table(WaterModes) + std::string(WaterThermochemistry) + " Recovering previously computed normal modes.\n" +
       Table(LinearModes) + std::string(WaterAnharmonic));
  ASSERT_EQ(Modes().Count(), 3);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).AnharmonicFrequency), 1695.123);
  EXPECT_TRUE(Info().HasGibbsEnergy);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
}

TEST_F(FrequencyTableTest, IRCCouplingIsAValueLineLikeTheOthers) {
  std::string modes(WaterModes);
  modes.insert(modes.find("  Atom  AN"), " IRC Coupling -      0.0000                 0.0000                -0.0605\n");
  Load(Table(modes) + std::string(WaterThermochemistry));
  ASSERT_EQ(Modes().Count(), 3);
  const TOscMode& asymmetric = Modes().ModeAt(2);
  ASSERT_EQ(asymmetric.Attributes.size(), 5u);
  EXPECT_EQ(asymmetric.Attributes[4].Name, "IRC Coupling");
  EXPECT_DOUBLE_EQ(asymmetric.Attributes[4].Value, -0.0605);
  EXPECT_DOUBLE_EQ(asymmetric.DispZ[2], -0.43);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
}

// A single atom has no modes; Gaussian goes on with the thermochemistry.
TEST_F(FrequencyTableTest, TableWithoutModeBlockGivesNoModesButKeepsTheThermochemistry) {
  Load(FrequencyJob(false, "1743.1470", "-76.2") + std::string(TableHeading) +
       "\n -------------------\n - Thermochemistry -\n -------------------\n"
       " Temperature   298.150 Kelvin.  Pressure   1.00000 Atm.\n"
       " Atom     1 has atomic number  6 and mass  12.00000\n"
       " Molecular mass:    12.00000 amu.\n"
       " Zero-point correction=                           0.000000 (Hartree/Particle)\n"
       " Sum of electronic and thermal Free Energies=          -37.800000\n");
  EXPECT_EQ(Modes().Count(), 0);
  EXPECT_DOUBLE_EQ(Info().MolecularMass, 12.0);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -37.8);
  EXPECT_TRUE(Info().HasFreeEnergy());
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

// A job still writing its first frequency line: the modes whose frequency
// it has not printed are not kept.
TEST_F(FrequencyTableTest, ModesWhoseFrequencyWasCutAwayAreNotKept) {
  const std::string modes(WaterModes);
  struct Case {
    std::string_view CutBefore;  // the file ends two bytes into it
    int Modes;
  };
  for (const Case c : {Case{"3998.2391", 1}, Case{"1743.1470", 0}, Case{"B2", 0}}) {
    SCOPED_TRACE(c.CutBefore);
    ASSERT_NO_THROW(Load(Table(modes.substr(0, modes.find(c.CutBefore) + 2))));
    ASSERT_EQ(Modes().Count(), c.Modes);
    if (c.Modes > 0) {
      EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).Frequency), 1743.147);
    }
  }
}

TEST_F(FrequencyTableTest, DamagedHeaderAnnouncingManyModesEndsWithoutExhaustingMemory) {
  // A million mode numbers, then a value line that cannot hold their values.
  // The line is cut to its first MaxLineLength bytes, which hold as many
  // modes as fit after the indent.
  const std::string indent = "           ";
  std::string header = indent;
  for (int mode = 1; mode <= 1'000'000; ++mode) header += " 1";
  EXPECT_THROW(Load(Table(header + "\n A\n Frequencies --  1.0\n")), EConvertError);
  EXPECT_EQ(Modes().Count(), std::min(MaxModes, static_cast<int>((MaxLineLength - indent.size()) / 2)));
}

// Three atoms have at most nine modes: a listing of more ends there, with a
// warning that names the limit; without a geometry the limit is 3 x 500.
TEST_F(FrequencyTableTest, ListingPastThreeModesPerAtomEndsWithAWarning) {
  const std::string water(WaterModes.substr(0, WaterModes.size() - 1));  // no blank line
  Load(StandardOrientation(WaterRows) + Table(water + water + water + water));
  EXPECT_EQ(Modes().Count(), 9);
  EXPECT_EQ(Info().ReadWarnings, std::vector<std::string>{"Warning: the frequency listing goes on past 9 modes (3 "
                                                          "for each of 3 atoms); the modes after them were not read!"});
}

// A field that overflows its format is printed as asterisks: a per-mode
// value is then not available, a frequency still does not convert.
TEST_F(FrequencyTableTest, AsteriskFieldIsNotAvailableUnlessItIsAFrequency) {
  for (const auto& [value, overflowed] : {std::pair{"70.8217", true}, {"1.0840", true}, {"1743.1470", false}}) {
    std::string modes(WaterModes);
    modes.replace(modes.find(value), std::strlen(value), std::string(std::strlen(value), '*'));
    if (!overflowed) {
      EXPECT_THROW(Load(Table(modes)), EConvertError);
      continue;
    }
    Load(Table(modes));
    EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).Frequency), 1743.147);
    const auto& attributes = Modes().ModeAt(0).Attributes;
    EXPECT_EQ(std::ranges::count_if(attributes, [](const auto& a) { return std::isnan(a.Value); }), 1);
    EXPECT_EQ(Info().ReadWarnings.size(), 1U);
  }
}

// 100,000 modes of a molecule of three atoms: each mode keeps what its rows
// list, so the peak memory of a load stays small.
TEST_F(FrequencyTableTest, ManyModesOfASmallMoleculeKeepMemorySmall) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own allocations hide the reader's";
#endif
  const std::filesystem::path path = Folder.Path() / "many.out";
  std::ofstream out(path);
  out << GaussianBanner << TableHeading;
  for (int blocks = 0; blocks < 33'334; ++blocks) out << WaterModes.substr(0, WaterModes.size() - 1);  // no blank line
  out.close();
  const pid_t child = fork();
  if (child == 0) {
    TCoordinateFile file(Desktop);
    file.LoadFile(path.string(), true);
    _exit(file.Info.Modes->Count() == MaxModes ? 0 : 1);
  }
  int status = -1;
  rusage usage{};
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  EXPECT_EQ(status, 0);
  EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KiB";
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

TEST_F(ThermochemistryTest, FreeEnergyIsKnownOnlyWhenPrintedAfterTheLastTable) {
  Load(Table(WaterModes) + std::string(WaterThermochemistry));
  EXPECT_TRUE(Info().HasGibbsEnergy);
  Load(Table(WaterModes) + std::string(WaterThermochemistry) + std::string(NormalTermination) + Table(WaterModes) +
       " Zero-point correction=                           0.021125 (Hartree/Particle)\n");
  EXPECT_FALSE(Info().HasGibbsEnergy);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, 0.0);
}

TEST_F(ThermochemistryTest, CompositeRecipeGivesGWhenItsFreeEnergyHasANumber) {
  const std::string frequencyStep =
      Table(WaterModes) + std::string(WaterThermochemistry) + std::string(NormalTermination);
  Load(frequencyStep + " G4(0 K)=                 -115.648433 G4 Energy=                  -115.647489\n"
                       " G4 Enthalpy=             -115.646545 G4 Free Energy=             -115.673227\n");
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -115.673227);
  EXPECT_TRUE(Info().HasGibbsEnergy);
  EXPECT_EQ(Modes().Count(), 3);
  Load(frequencyStep + " W1BD (0 K)=   -76.380000 W1BD Energy=   -76.370000\n"
                       " W1BD Enthalpy=   -76.360000 W1BD Free Energy=\n");
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
  EXPECT_DOUBLE_EQ(Info().Energy, -76.38);
}

TEST_F(ThermochemistryTest, Gaussian98RotorLinesInCapitalsAreRead) {
  Load(Table(WaterModes) +
       " ROTATIONAL SYMMETRY NUMBER  2.\n ROTATIONAL TEMPERATURES (KELVIN)     40.07227    20.94074    12.89075\n");
  EXPECT_EQ(Info().SymmetryNumber, 2);
  EXPECT_EQ(Info().RotTemperatures, (std::array<double, 3>{40.07227, 20.94074, 12.89075}));
  Load(Table(LinearModes) + " ROTATIONAL TEMPERATURE (KELVIN)      0.56140\n");
  EXPECT_TRUE(Info().LinearRotor);
  EXPECT_DOUBLE_EQ(Info().RotTemperatures[0], 0.5614);
}

TEST_F(ThermochemistryTest, RotorLinesNeedAFrequencyTableButCorrectionsDoNot) {
  Load(WaterThermochemistry);
  EXPECT_DOUBLE_EQ(Info().MolecularMass, 0.0);
  EXPECT_EQ(Info().SymmetryNumber, 0);
  EXPECT_DOUBLE_EQ(Info().ZPECorrection, 0.021125);
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.382871);
}

// What the block's recomputation needs: the job's conditions, the energy and
// multiplicity in force when it starts, its masses and rotational constants
// (an asterisk field read as none), its own H and G; a later job's charge
// line or energy is not the block's.
TEST_F(ThermochemistryTest, BlockKeepsWhatItsRecomputationNeeds) {
  Load(" Charge =  0 Multiplicity = 2\n SCF Done:  E(UB3LYP) =  -76.1000000     A.U. after    9 cycles\n" +
       Table(WaterModes) +
       " Temperature   310.000 Kelvin.  Pressure   2.00000 Atm.\n"
       " Atom     1 has atomic number  8 and mass  15.99491\n"
       " Atom     2 has atomic number  1 and mass   2.01410\n"
       " Rotational constants (GHZ):      ************     3.92365     3.92353\n"
       " Sum of electronic and thermal Enthalpies=            -76.050000\n" +
       std::string(WaterThermochemistry) + std::string(NormalTermination) + " Charge = 0 Multiplicity =\n" +
       " Charge =  1 Multiplicity = 1\n SCF Done:  E(UB3LYP) =  -77.0000000     A.U. after    9 cycles\n" +
       " Rotational constants (GHZ):      1.0     2.0     3.0\n");
  EXPECT_EQ(Info().ThermoTemperature, 310.0);
  EXPECT_EQ(Info().ThermoPressure, 2.0);
  EXPECT_EQ(Info().ThermoEnergy, -76.1);
  EXPECT_EQ(Info().Multiplicity, 2);
  EXPECT_EQ(Info().AtomMasses, (std::vector<double>{15.99491, 2.0141}));
  EXPECT_EQ(Info().RotConstants, (std::array<double, 3>{0, 3.92365, 3.92353}));
  EXPECT_EQ(Info().PrintedEnthalpy, -76.05);
  EXPECT_EQ(Info().PrintedFreeEnergy, -76.382871);
}

class AnharmonicTest : public GaussianReaderTest {};

struct TAnharmonicLayout {
  const char* Name;
  const std::string& Listing;
};

// Each row's anharmonic value goes to the mode whose harmonic frequency is
// the row's E(harm), whatever number the listing gives the mode.
TEST_F(AnharmonicTest, EachLayoutGivesEveryModeItsOwnAnharmonicValue) {
  const TAnharmonicLayout layouts[] = {{"Gaussian 03 and 09, reverse numbering", WaterAnharmonic},
                                       {"Gaussian 09 D and E, status words", WaterAnharmonicWithStatus},
                                       {"Gaussian 16, numbering of its own, later listings", WaterAnharmonicG16}};
  for (const TAnharmonicLayout& layout : layouts) {
    SCOPED_TRACE(layout.Name);
    const std::unique_ptr<TCoordinateFile> file = LoadFresh(Table(WaterModes) + layout.Listing);
    const TOscModes& modes = *file->Info.Modes;
    EXPECT_TRUE(modes.Anharmonic);
    EXPECT_DOUBLE_EQ(static_cast<double>(modes.ModeAt(0).AnharmonicFrequency), 1695.123);
    EXPECT_DOUBLE_EQ(static_cast<double>(modes.ModeAt(1).AnharmonicFrequency), 3807.556);
    EXPECT_DOUBLE_EQ(static_cast<double>(modes.ModeAt(2).AnharmonicFrequency), 3936.431);
    EXPECT_TRUE(file->Info.HasAnharmonicThermo);
    EXPECT_DOUBLE_EQ(static_cast<double>(file->Info.AnharmonicTemperature), 298.15);
  }
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

// A job that never prints the awaited anharmonic thermochemistry keeps the
// rest of the file: the wait ends at the job's termination line.
TEST_F(AnharmonicTest, WaitForItsThermochemistryEndsWithTheJob) {
  const std::string listing = WaterAnharmonicG16.substr(0, WaterAnharmonicG16.find(" ZPE(harm)"));
  Load(Table(WaterModes) + listing + std::string(NormalTermination) + " SCF Done:  E(RHF) =  -70.5     A.U.\n");
  EXPECT_FALSE(Info().HasAnharmonicThermo);
  EXPECT_EQ(Info().Termination, tmNormal);
  EXPECT_DOUBLE_EQ(Info().Energy, -70.5);
}

TEST_F(AnharmonicTest, RowWhoseHarmonicValueFitsNoModeIsPassedOver) {
  std::string anharmonic(WaterAnharmonic);
  anharmonic.replace(anharmonic.find("3998.239"), 8, "3998.241");
  Load(Table(WaterModes) + anharmonic);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(1).AnharmonicFrequency), 0.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(2).AnharmonicFrequency), 3936.431);
  EXPECT_TRUE(Info().HasAnharmonicThermo);
}

// A degenerate pair (the bend of a linear molecule) shares one harmonic
// value: each of its rows takes a mode of its own, the first row the later
// mode, as the reverse numbering gives it.
TEST_F(AnharmonicTest, DegenerateModesTakeOneRowEach) {
  const std::string modes = R"(                      1                      2
                     PIU                    PIU
 Frequencies --    462.6160               462.6160
  Atom  AN      X      Y      Z        X      Y      Z
     1   6     0.00   0.88   0.00     0.88   0.00   0.00

)";
  Load(Table(modes) + " Fundamental Bands\n -----------------\n    Mode(n,l)    Status       E(harm)  E(anharm)\n"
                      "       3(1,-1)   active       462.616   475.169\n"
                      "       3(1,+1)   active       462.616   475.170\n");
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(1).AnharmonicFrequency), 475.169);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).AnharmonicFrequency), 475.17);
}

TEST_F(AnharmonicTest, ListingAfterAnEarlierFrequencyJobMatchesOnlyTheLastTable) {
  Load(Table(LinearModes) + std::string(WaterThermochemistry) + std::string(NormalTermination) + Table(WaterModes) +
       std::string(WaterAnharmonic));
  ASSERT_EQ(Modes().Count(), 3);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(2).AnharmonicFrequency), 3936.431);
  EXPECT_TRUE(Info().HasAnharmonicThermo);
}

TEST_F(AnharmonicTest, SectionBeforeAnyHarmonicTableIsNotRead) {
  Load(std::string(WaterAnharmonic) + Table(WaterModes));
  EXPECT_FALSE(Modes().Anharmonic);
  EXPECT_FALSE(Info().HasAnharmonicThermo);
  EXPECT_DOUBLE_EQ(static_cast<double>(Modes().ModeAt(0).AnharmonicFrequency), 0.0);
}

}  // namespace
}  // namespace harvex
