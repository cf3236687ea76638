// The Gaussian reader's charge tables and NBO analysis: small outputs written
// for the tests.
#include <string>
#include <vector>

#include "Gaussian/GaussianFixtures.h"
#include "Gaussian/GaussianTestSupport.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using namespace harvex::testing;

std::vector<double> Values(const std::optional<TChargeArray>& charges) {
  std::vector<double> values;
  if (charges)
    for (long double charge : *charges) values.push_back(static_cast<double>(charge));
  return values;
}

struct TChargeCase {
  const char* Name;
  std::string_view Text;
  std::optional<TChargeArray> TOutInfo::*Target;
  std::vector<double> Expected;  // one element per table line, the header's included
};

const TChargeCase ChargeCases[] = {
    {"Mulliken table of Gaussian 03 to 09 C.01",
     " Mulliken atomic charges:\n              1\n     1  O   -0.339215\n     2  H    0.169607\n     3  H    0.169607\n"
     " Sum of Mulliken charges=   0.00000\n",
     &TOutInfo::MullikenCharges, {-0.339215, 0.169607, 0.169607, 0.0}},
    {"Mulliken table of Gaussian 98",
     " Total atomic charges:\n              1\n     1  O   -0.339215\n     2  H    0.339215\n"
     " Sum of Mulliken charges=   0.00000\n",
     &TOutInfo::MullikenCharges, {-0.339215, 0.339215, 0.0}},
    {"Mulliken table of Gaussian 09 D.01 and 16",
     " Mulliken charges:\n               1\n     1  O   -0.339215\n     2  H    0.169607\n     3  H    0.169607\n"
     " Sum of Mulliken charges =  -0.00000\n",
     &TOutInfo::MullikenCharges, {-0.339215, 0.169607, 0.169607, 0.0}},
    {"open-shell Mulliken table: the charge, not the spin density",
     " Mulliken charges and spin densities:\n               1          2\n     1  H    0.048630   0.592431\n"
     "     2  H   -0.097260  -0.184861\n Sum of Mulliken charges =  -0.00000   1.00000\n",
     &TOutInfo::MullikenCharges, {0.04863, -0.09726, 0.0}},
    {"charge printed as asterisks reads as zero",
     " Mulliken charges:\n               1\n     1  U    ********\n     2  H    0.5\n Sum of Mulliken charges = 0\n",
     &TOutInfo::MullikenCharges, {0.0, 0.5, 0.0}},
    {"row of an atom outside the table is passed over",
     " Mulliken charges:\n               1\n     1  H    0.25\n     7  H    0.5\n Sum of Mulliken charges = 0\n",
     &TOutInfo::MullikenCharges, {0.25, 0.0, 0.0}},
    {"last table of a kind wins",
     " Mulliken charges:\n               1\n     1  H    0.25\n Sum of Mulliken charges = 0\n"
     " Mulliken charges:\n               1\n     1  H    0.75\n     2  H   -0.75\n Sum of Mulliken charges = 0\n",
     &TOutInfo::MullikenCharges, {0.75, -0.75, 0.0}},
    {"APT table of Gaussian 03 to 09 C.01",
     " APT atomic charges:\n              1\n     1  O   -0.169225\n     2  H    0.084612\n"
     " Sum of APT charges=   0.00000\n",
     &TOutInfo::APTCharges, {-0.169225, 0.084612, 0.0}},
    {"APT table of Gaussian 09 D.01 and 16",
     " APT charges:\n               1\n     1  O   -0.169225\n     2  H    0.084612\n Sum of APT charges =  -0.00000\n",
     &TOutInfo::APTCharges, {-0.169225, 0.084612, 0.0}},
    {"ESP table closed by a rule (Gaussian 09)",
     " Electrostatic Properties Using The SCF Density\n"
     "     777 points will be used for fitting atomic charges\n"
     " Charges from ESP fit, RMS=   0.00182 RRMS=   0.10908:\n"
     " Charge=   0.00000 Dipole=    -0.2191    -1.8535     0.0000 Tot=     1.8664\n"
     "              1\n     1  C    0.424045\n     2  N   -0.424045\n"
     " -----------------------------------------------------------------\n",
     &TOutInfo::ESPCharges, {0.424045, -0.424045, 0.0}},
    {"ESP table closed by its sum line (Gaussian 16)",
     " Electrostatic Properties Using The SCF Density\n"
     " Charges from ESP fit, RMS=   0.00061 RRMS=   0.13745:\n ESP charges:\n"
     "               1\n     1  C    0.157632\n     2  H   -0.157632\n Sum of ESP charges =   0.00000\n"
     " ESP charges with hydrogens summed into heavy atoms:\n               1\n     1  C    0.000000\n"
     " -----------------------------------------------------------------\n",
     &TOutInfo::ESPCharges, {0.157632, -0.157632, 0.0}},
    {"ESP table with point dipoles, closed by its totals", PointDipoleESPTable,
     &TOutInfo::ESPCharges, {-1.012553, 0.506277, 0.506276, 0.0}},
};

class ChargeTableTest : public GaussianReaderTest {};

TEST_F(ChargeTableTest, TableFillsItsArrayByAtomNumber) {
  for (const TChargeCase& c : ChargeCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Values(LoadFresh(c.Text)->Info.*c.Target), c.Expected);
  }
}

TEST_F(ChargeTableTest, TablesWithHydrogensSummedAreNotRead) {
  Load(" Mulliken charges with hydrogens summed into heavy atoms:\n               1\n     1  O   -0.000000\n"
       " APT charges with hydrogens summed into heavy atoms:\n               1\n     1  O   -0.000000\n");
  EXPECT_FALSE(Info().MullikenCharges.has_value());
  EXPECT_FALSE(Info().APTCharges.has_value());
}

TEST_F(ChargeTableTest, GarbageRowIsAConversionError) {
  EXPECT_THROW(Load(" Mulliken charges:\n               1\n     1  O   -0.3\n  Electronic spatial extent\n"),
               EConvertError);
}

class NBOTest : public GaussianReaderTest {};

TEST_F(NBOTest, NaturalChargesFollowTheElementLabel) {
  Load(std::string(NaturalOrbitalHeader) + std::string(NaturalPopulation));
  ASSERT_NE(Info().NBO, nullptr);
  EXPECT_EQ(Values(Info().NBO->NPACharges), (std::vector<double>{-0.37667, 0.18833, 0.18833, 0.0}));
}

// An open-shell analysis prints the total summary, then those of the alpha
// and the beta spin; each analysis takes the first one after its header.
TEST_F(NBOTest, OpenShellRunKeepsTheChargesOfTheTotalDensity) {
  std::string alpha(NaturalPopulation);
  alpha.replace(alpha.find("-0.37667"), 8, "-0.11111");
  std::string beta(NaturalPopulation);
  beta.replace(beta.find("-0.37667"), 8, "-0.22222");
  std::string second(NaturalPopulation);
  second.replace(second.find("-0.37667"), 8, "-0.33333");
  for (const auto& [text, oxygen] :
       {std::pair{std::string(NaturalOrbitalHeader) + std::string(NaturalPopulation) + alpha + beta, -0.37667},
        std::pair{std::string(NaturalOrbitalHeader) + alpha + beta + std::string(NaturalOrbitalHeader) + second +
                      alpha + beta,
                  -0.33333}}) {
    const std::unique_ptr<TCoordinateFile> file = LoadFresh(text);
    EXPECT_EQ(Values(file->Info.NBO->NPACharges), (std::vector<double>{oxygen, 0.18833, 0.18833, 0.0}));
  }
}

TEST_F(NBOTest, SecondOrderTableKeepsEveryRowOfAllParts) {
  Load(std::string(NaturalOrbitalHeader) + std::string(SecondOrderTable));
  ASSERT_NE(Info().NBO, nullptr);
  const TNBOData& nbo = *Info().NBO;
  EXPECT_EQ(nbo.Threshold, 0.5L);
  ASSERT_EQ(nbo.Interactions.size(), 5u);
  const TDAOrbitalInteraction& first = nbo.Interactions[0];
  EXPECT_EQ(first.DonorIndex, 1);
  EXPECT_EQ(first.Donor, "BD (   1) O   1 - H   2        ");
  EXPECT_EQ(first.AcceptorIndex, 7);
  EXPECT_EQ(first.Acceptor, "BD*(   1) O   1 - H   3            ");
  EXPECT_DOUBLE_EQ(static_cast<double>(first.Energies[0]), 1.46);
  EXPECT_DOUBLE_EQ(static_cast<double>(first.Energies[1]), 1.42);
  EXPECT_DOUBLE_EQ(static_cast<double>(first.Energies[2]), 0.041);
  EXPECT_EQ(nbo.Interactions[4].DonorIndex, 8);
}

TEST_F(NBOTest, AsterisksInTheE2ColumnReadAsMinusOne) {
  Load(std::string(NaturalOrbitalHeader) + std::string(SecondOrderTable));
  const TDAOrbitalInteraction& row = Info().NBO->Interactions[3];
  EXPECT_EQ(row.AcceptorIndex, 10);
  EXPECT_EQ(row.Acceptor, "RY*(   1) H   5                  ");
  EXPECT_EQ(row.Energies[0], -1.0L);
  EXPECT_DOUBLE_EQ(static_cast<double>(row.Energies[1]), 0.98);
  EXPECT_DOUBLE_EQ(static_cast<double>(row.Energies[2]), 0.059);
}

TEST_F(NBOTest, AnalysisBeforeTheNaturalOrbitalHeaderIsNotRead) {
  Load(std::string(NaturalPopulation) + std::string(SecondOrderTable));
  EXPECT_EQ(Info().NBO, nullptr);
}

TEST_F(NBOTest, LaterAnalysisReplacesTheEarlierOne) {
  std::string second(SecondOrderTable);
  second.replace(second.find("0.50 kcal"), 4, "0.25");
  second.erase(second.find(" within unit  1"), second.find(" from unit  1") - second.find(" within unit  1"));
  Load(std::string(NaturalOrbitalHeader) + std::string(NaturalPopulation) + std::string(SecondOrderTable) +
       std::string(NaturalOrbitalHeader) + second);
  const TNBOData& nbo = *Info().NBO;
  EXPECT_EQ(nbo.Threshold, 0.25L);
  EXPECT_EQ(nbo.Interactions.size(), 3u);
  EXPECT_FALSE(nbo.NPACharges.has_value());
}

TEST_F(NBOTest, RowWithoutNumbersIsAConversionError) {
  std::string table(SecondOrderTable);
  constexpr std::string_view numbers = "            1.46    1.42    0.041";
  table.erase(table.find(numbers), numbers.size());
  EXPECT_THROW(Load(std::string(NaturalOrbitalHeader) + table), EConvertError);
}

}  // namespace
}  // namespace harvex
