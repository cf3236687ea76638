// An output holding every section the Gaussian reader acts on, cut after
// each of its lines: every cut loads without an error, keeps either no
// geometry or a whole one, and never more modes than the whole output.
#include <string>
#include <vector>

#include "Gaussian/GaussianFixtures.h"
#include "Gaussian/GaussianTestSupport.h"
#include "common/LineCuts.h"

namespace harvex {
namespace {

using namespace harvex::testing;

std::string WholeOutput() {
  return StandardOrientation(WaterRows) + " SCF Done:  E(RHF) =  -74.9629282455     A.U. after    9 cycles\n" +
         " E2 =    -0.3795333610D-01 EUMP2 =    -0.75002282127454D+02\n" +
         " Counterpoise: doing DCBS calculation for fragment   1 NewBq=T\n" +
         " SCF Done:  E(RHF) =  -74.0     A.U. after    9 cycles\n" +
         " Counterpoise: doing MCBS calculation for fragment   1\n" +
         " SCF Done:  E(RHF) =  -73.0     A.U. after    9 cycles\n" +
         " Counterpoise: corrected energy =   -74.96\n" +
         " Dipole moment (field-independent basis, Debye):\n" +
         "    X=              0.1250    Y=             -0.5000    Z=             -1.6735  Tot=              1.7510\n" +
         StandardOrientation(StretchedWaterRows) + Table(HighPrecisionWaterModes) + Table(WaterModes) +
         std::string(WaterThermochemistry) + std::string(WaterAnharmonic) + std::string(NaturalOrbitalHeader) +
         std::string(NaturalPopulation) + std::string(SecondOrderTable) +
         " Mulliken charges:\n               1\n     1  O   -0.339215\n     2  H    0.169607\n     3  H    0.169607\n"
         " Sum of Mulliken charges =  -0.00000\n"
         " APT charges:\n               1\n     1  O   -0.169225\n     2  H    0.084612\n     3  H    0.084612\n"
         " Sum of APT charges =  -0.00000\n"
         " Electrostatic Properties Using The SCF Density\n"
         " Charges from ESP fit, RMS=   0.00061 RRMS=   0.13745:\n ESP charges:\n"
         "               1\n     1  O   -0.6\n     2  H    0.3\n     3  H    0.3\n Sum of ESP charges =   0.00000\n";
}

class TruncationTest : public GaussianReaderTest {};

TEST_F(TruncationTest, WholeOutputFillsEverySection) {
  ASSERT_TRUE(Load(WholeOutput()));
  EXPECT_EQ(File.AtomCount(), 3);
  EXPECT_EQ(Modes().Count(), 3);
  EXPECT_TRUE(Info().HasAnharmonicThermo);
  EXPECT_EQ(Info().NBO->Interactions.size(), 5u);
  EXPECT_TRUE(Info().ESPCharges.has_value());
}

TEST_F(TruncationTest, OutputCutAfterAnyLineLoadsWithoutError) {
  ForEachLineCut(WholeOutput(), 0, [this](const std::string& cut) {
    std::unique_ptr<TCoordinateFile> file;
    ASSERT_NO_THROW(file = LoadFresh(cut));
    EXPECT_TRUE(file->AtomCount() == 0 || file->AtomCount() == 3) << file->AtomCount() << " atoms";
    EXPECT_LE(file->Info.Modes->Count(), 3);
  });
}

}  // namespace
}  // namespace harvex
