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

// A linked excited-state frequency job with an IRC coupling line, its table
// repeated after recovering the modes, and a composite recipe's energies.
std::string SecondJob() {
  std::string modes(WaterModes);
  modes.insert(modes.find("  Atom  AN"), " IRC Coupling -      0.0000                 0.0000                -0.0605\n");
  return " Berny optimization.\n Total Energy, E(TD-HF/TD-DFT) =  -75.8\n" + Table(modes) +
         " ROTATIONAL SYMMETRY NUMBER  2.\n ROTATIONAL TEMPERATURES (KELVIN)     40.07227    20.94074    12.89075\n" +
         " Sum of electronic and thermal Free Energies=         -75.9\n" +
         " Recovering previously computed normal modes.\n" + Table(modes) +
         " CBS-QB3 (0 K)=            -76.319775 CBS-QB3 Energy=              -76.313741\n" +
         " CBS-QB3 Enthalpy=         -76.312797 CBS-QB3 Free Energy=         -76.349963\n" +
         std::string(NormalTermination);
}

std::string WholeOutput() {
  std::string alphaSpin(NaturalPopulation);
  alphaSpin.replace(alphaSpin.find("-0.37667"), 8, "-0.11111");
  return InputOrientation(StretchedWaterRows) + StandardOrientation(WaterRows) +
         " SCF Done:  E(RHF) =  -74.9629282455     A.U. after    9 cycles\n" +
         " E2 =    -0.3795333610D-01 EUMP2 =    -0.75002282127454D+02\n" +
         " Counterpoise: doing DCBS calculation for fragment   1 NewBq=T\n" +
         " SCF Done:  E(RHF) =  -74.0     A.U. after    9 cycles\n" +
         " Counterpoise: doing MCBS calculation for fragment   1\n" +
         " SCF Done:  E(RHF) =  -73.0     A.U. after    9 cycles\n" +
         " Counterpoise: corrected energy =   -74.96\n" +
         " Counterpoise: doing calculation for fragment   1 using the basis set of the full-system, NewBq=T\n" +
         " SCF Done:  E(RHF) =  -74.0     A.U. after    9 cycles\n" +
         " Counterpoise: doing calculation for fragment   1 using the basis set of the fragment.\n" +
         " SCF Done:  E(RHF) =  -73.0     A.U. after    9 cycles\n" +
         " Counterpoise corrected energy =    -74.95\n" +
         " E2(B2PLYP) =    -0.1547244668D+00 E(B2PLYP) =    -0.11902630007243D+03\n" +
         " ONIOM: extrapolated energy =     -40.576093511027\n CCSD(T)= -0.75017760423D+02\n" +
         Table("\n -------------------\n - Thermochemistry -\n -------------------\n") +
         " Dipole moment (field-independent basis, Debye):\n" +
         "    X=              0.1250    Y=             -0.5000    Z=             -1.6735  Tot=              1.7510\n" +
         StandardOrientation(StretchedWaterRows) + Table(HighPrecisionWaterModes) + Table(WaterModes) +
         std::string(WaterThermochemistry) + WaterAnharmonicG16 + std::string(NaturalOrbitalHeader) +
         std::string(NaturalPopulation) + alphaSpin + std::string(SecondOrderTable) +
         " Mulliken charges:\n               1\n     1  O   -0.339215\n     2  H    0.169607\n     3  H    0.169607\n"
         " Sum of Mulliken charges =  -0.00000\n"
         " APT charges:\n               1\n     1  O   -0.169225\n     2  H    0.084612\n     3  H    0.084612\n"
         " Sum of APT charges =  -0.00000\n"
         " Total atomic charges:\n              1\n     1  O   -0.4\n     2  H    0.2\n     3  H    0.2\n"
         " Sum of Mulliken charges=   0.00000\n"
         " Dipole moment (Debye):\n    X=     0.0000    Y=     0.0000    Z=    -2.1000  Tot=     2.1000\n"
         " Electrostatic Properties Using The SCF Density\n"
         " Charges from ESP fit, RMS=   0.00061 RRMS=   0.13745:\n ESP charges:\n"
         "               1\n     1  O   -0.6\n     2  H    0.3\n     3  H    0.3\n Sum of ESP charges =   0.00000\n" +
         std::string(PointDipoleESPTable) + std::string(NormalTermination) + SecondJob();
}

class TruncationTest : public GaussianReaderTest {};

TEST_F(TruncationTest, WholeOutputFillsEverySection) {
  ASSERT_TRUE(Load(WholeOutput()));
  EXPECT_EQ(File.AtomCount(), 3);
  EXPECT_EQ(Modes().Count(), 3);
  EXPECT_TRUE(Info().HasAnharmonicThermo);
  EXPECT_EQ(Info().NBO->Interactions.size(), 5u);
  EXPECT_TRUE(Info().ESPCharges.has_value());
  EXPECT_EQ(Info().EnergyLabel, "(CBS-QB3 (0 K))");
  EXPECT_DOUBLE_EQ(Info().GibbsEnergy, -76.349963);
  EXPECT_EQ(Modes().ModeAt(0).Attributes.back().Name, "IRC Coupling");
  EXPECT_EQ(Info().SymmetryNumber, 2);
  EXPECT_EQ(Info().Termination, tmNormal);
  EXPECT_EQ(Info().NBO->NPACharges->front(), -0.37667L);
  EXPECT_EQ(Info().MullikenCharges->front(), -0.4L);
  EXPECT_EQ(Info().Dipole[2], -2.1L);
  EXPECT_EQ(Info().ESPCharges->front(), -1.012553L);
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
