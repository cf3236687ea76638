// The ORCA output reader, over small outputs written for the tests and over
// real ones.
#include <gtest/gtest.h>

#include <string>

#include "CoordFiles/CoordFiles.h"
#include "ZipReader/ZipTestSupport.h"
#include "common/LineCuts.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// Loads the text as the file Name, held in memory, keeping the last geometry.
bool LoadText(TCoordinateFile& file, const std::string& name, std::string_view text) {
  file.Context = WithMemoryFile(file.Context, name, std::string(text));
  return file.LoadFile(name, true);
}

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
  std::string text(Banner);
  for (int n = 1; n <= 5; ++n) text += Cycle(n);
  TCoordinateFile file(desktop);
  file.Info.EnergyLabel = "(RB3LYP)";
  ASSERT_TRUE(LoadText(file, "opt.out", text));
  ASSERT_EQ(file.AtomCount(), 2);
  EXPECT_EQ(file.Atoms.AtomAt(1).Symbol, "O");
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(1).X, 5.5);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(2).Y, 0.765051);
  EXPECT_DOUBLE_EQ(file.Info.Energy, -76.425912545295);
  EXPECT_EQ(file.Info.EnergyLabel, "");
  EXPECT_EQ(file.FileKind, fkOutput);
  EXPECT_EQ(file.Info.GeometryState, 1);
  EXPECT_TRUE(desktop.Messages.empty());
}

TEST(OrcaOutput, EnergyLineRightAfterTheBlockIsFound) {
  const std::string text = std::string(Banner) + GeometryBlock(
                                                     "  H      0.0 0.0 0.0\n"
                                                     "\n"
                                                     "FINAL SINGLE POINT ENERGY    -76.5\n");
  TCoordinateFile file;
  ASSERT_TRUE(LoadText(file, "sp.out", text));
  EXPECT_EQ(file.Info.Energy, -76.5);
  EXPECT_EQ(file.AtomCount(), 1);
}

TEST(OrcaOutput, QuotedGaussianBannerLaterDoesNotMakeItGaussian) {
  const std::string text =
      std::string(Banner) + " This is the Gaussian(R) program, quoted\n" + Cycle(1);
  TCoordinateFile file;
  ASSERT_TRUE(LoadText(file, "quoted.out", text));
  EXPECT_EQ(file.AtomCount(), 2);
  EXPECT_DOUBLE_EQ(file.Info.Energy, -76.425912545291);
}

TEST(OrcaOutput, ResetsOutputFlagsButKeepsEnergyWhenNoneIsPrinted) {
  TCoordinateFile file;
  file.Info.Energy = -1.25;
  file.Info.EnergyLabel = "EUMP2";
  file.Info.GibbsEnergy = -2.5;
  file.Info.HasCounterpoise = true;
  file.Info.HasDipole = true;
  file.Info.MullikenCharges = TChargeArray{0, 0.5};
  ASSERT_TRUE(
      LoadText(file, "noenergy.out", std::string(Banner) + "nothing here\n"));
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
  const std::string text = std::string(Banner) + GeometryBlock(
                                                     "  Q      1.0 2.0 3.0\n"
                                                     "  H      4.0 5.0 6.0\n"
                                                     "\n"
                                                     "FINAL SINGLE POINT ENERGY    -0.5\n");
  TCoordinateFile file(desktop);
  ASSERT_TRUE(LoadText(file, "ghost.out", text));
  ASSERT_EQ(file.AtomCount(), 2);
  EXPECT_EQ(file.Atoms.AtomAt(1).Element, 0);
  EXPECT_EQ(file.Info.Energy, -0.5);
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{"TCoordinateFile Error", "UNKNOWN ATOM: \"Q\""}}));
}

// One entry per form of the energy line; the earlier line gives -1.5.
struct TEnergyLineCase {
  const char* Line;
  double Energy;
};

class OrcaEnergyLine : public ::testing::TestWithParam<TEnergyLineCase> {};

TEST_P(OrcaEnergyLine, TakesTheNumberOrPassesTheLineOver) {
  const std::string text = std::string(Banner) + "FINAL SINGLE POINT ENERGY      -1.5\n" + GetParam().Line + "\n";
  TCoordinateFile file;
  file.Info.EnergyLabel = "(RB3LYP)";
  ASSERT_TRUE(LoadText(file, "sp.out", text));
  EXPECT_EQ(file.Info.Energy, GetParam().Energy);
  EXPECT_EQ(file.Info.EnergyLabel, "");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, OrcaEnergyLine,
    ::testing::Values(TEnergyLineCase{"FINAL SINGLE POINT ENERGY       -40.519016264594", -40.519016264594},
                      TEnergyLineCase{"FINAL SINGLE POINT ENERGY (QM/QM2)      -44.570795940694", -44.570795940694},
                      TEnergyLineCase{"FINAL SINGLE POINT ENERGY (QM/MM)  -7.25", -7.25},
                      TEnergyLineCase{"FINAL SINGLE POINT ENERGY", -1.5},
                      TEnergyLineCase{"FINAL SINGLE POINT ENERGY (MM)", -1.5},
                      TEnergyLineCase{"FINAL SINGLE POINT ENERGY (QM/QM2", -1.5},
                      TEnergyLineCase{"FINAL SINGLE POINT ENERGY   n/a", -1.5}));

// The SCF summary's total stands in only where no final energy line is
// printed; the other "Total Energy" lines are not it.
TEST(OrcaOutput, LastSCFTotalIsTheEnergyWithoutAFinalEnergyLine) {
  const std::string summaries =
      "Total Energy       :         -229.85632433809661 Eh          -6254.71474 eV\n"
      "Total Energy after SMD CDS correction =              -229.9 Eh\n"
      "Total Energy calculation    ...        0.1 sec  ( 10.0%)\n";
  const std::string scfOnly = std::string(Banner) + "Total Energy       :     -229.5 Eh     -6245.0 eV\n" + summaries;
  const std::string withFinal = std::string(Banner) + "FINAL SINGLE POINT ENERGY   -230.0\n" + summaries;
  TCoordinateFile file;
  file.Info.EnergyLabel = "EUMP2";
  ASSERT_TRUE(LoadText(file, "vpt2.out", scfOnly));
  EXPECT_EQ(file.Info.Energy, -229.85632433809661);
  EXPECT_EQ(file.Info.EnergyLabel, "");
  ASSERT_TRUE(LoadText(file, "final.out", withFinal));
  EXPECT_EQ(file.Info.Energy, -230.0);
  // A failed job's SCF total may have diverged.
  ASSERT_TRUE(LoadText(file, "failed.out", scfOnly + "ORCA finished by error termination in SCF\n"));
  EXPECT_FALSE(file.Info.EnergyRead);
}

// A failed job may still print the normal end line after its error.
TEST(OrcaOutput, LastTerminationLineTellsHowTheRunEndedUnlessTheJobFailed) {
  const std::string normal = "                             ****ORCA TERMINATED NORMALLY****\n";
  const std::string error = "ORCA finished by error termination in SCF\n";
  const std::string unconverged = "FINAL SINGLE POINT ENERGY  -609.1556691434   (Wavefunction not fully converged!)\n";
  for (const auto& [tail, expected] :
       {std::pair{std::string(), tmMissing}, std::pair{normal, tmNormal}, std::pair{error, tmError},
        std::pair{error + normal, tmError}, std::pair{unconverged + normal, tmError},
        std::pair{"            ERROR !!!\n       ORCA will abort at this point of the run.\n" + normal, tmError},
        std::pair{"     This wavefunction IS NOT FULLY CONVERGED!\n     Aborting the run ...\n" + normal, tmError},
        std::pair{"ORCA finished by error termination in MDCI\n  .... aborting the run\n" + normal, tmError},
        std::pair{"                                 WARNING !!!\n"
                  "       The optimization did not converge but reached the maximum number of\n"
                  "       optimization cycles.\n" + normal, tmError},
        std::pair{"SCF NOT CONVERGED AFTER 125 CYCLES\n" + normal, tmError},
        std::pair{"Error (SHARK/CP-SCF Solver): Unfortunately, the calculation did not converge.\n" + normal, tmError},
        std::pair{"The Coupled-Cluster iterations have NOT converged\n" + normal, tmError}}) {
    TCoordinateFile file;
    ASSERT_TRUE(LoadText(file, "run.out", std::string(Banner) + Cycle(1) + tail));
    EXPECT_EQ(file.Info.Termination, expected) << tail;
    EXPECT_EQ(file.Info.Energy, tail.starts_with("FINAL") ? -609.1556691434 : -76.425912545291) << tail;
  }
}

// Water (or, with a hydrogen moved, three atoms on a line) and the start
// of a frequency block in the ORCA 6 layout, with irreps after the entries.
std::string FrequencyJob(std::string_view hydrogenZ, std::string_view entries) {
  return std::string(Banner) +
         GeometryBlock("  O      0.000000    0.000000    0.000000\n"
                       "  H      0.000000   -1.500000    " +
                       std::string(hydrogenZ) +
                       "\n"
                       "  H      0.000000    1.500000    0.000000\n"
                       "\n"
                       "FINAL SINGLE POINT ENERGY       -76.4\n"
                       "-----------------------\n"
                       "VIBRATIONAL FREQUENCIES\n"
                       "-----------------------\n"
                       "\n"
                       "Scaling factor for frequencies =  1.000000000  (already applied!)\n"
                       "Point group:  C2v\n"
                       "                             Irrep\n") +
         std::string(entries) + "\n";
}

std::string Entries(std::initializer_list<const char*> values) {
  std::string text;
  int entry = 0;
  for (const char* value : values) text += "   " + std::to_string(entry++) + ":     " + value + " cm**-1    1-A1\n";
  return text;
}

struct TFrequencyCase {
  const char* Name;
  const char* HydrogenZ;  // 0: the three atoms lie on a line
  std::string Entries;
  int ModeCount;
  long double FirstFrequency;
  bool Linear;
};

class OrcaFrequencies : public ::testing::TestWithParam<TFrequencyCase> {};

TEST_P(OrcaFrequencies, LeadingRigidMotionsAreNoModes) {
  const TFrequencyCase& row = GetParam();
  TCoordinateFile file;
  ASSERT_TRUE(LoadText(file, "freq.out", FrequencyJob(row.HydrogenZ, row.Entries)));
  ASSERT_EQ(file.Info.Modes->Count(), row.ModeCount);
  EXPECT_EQ(file.Info.Modes->ModeAt(0).ModeNumber, 1);
  EXPECT_EQ(file.Info.Modes->ModeAt(0).Frequency, row.FirstFrequency);
  EXPECT_EQ(file.Info.LinearRotor, row.Linear);
}

INSTANTIATE_TEST_SUITE_P(
    Molecules, OrcaFrequencies,
    ::testing::Values(
        TFrequencyCase{"BentWithImaginaryMode", "0.800000",
                       Entries({"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "-439.85", "209.72", "3800.10"}), 3,
                       -439.85L, false},
        TFrequencyCase{"BentWithAZeroMode", "0.800000",
                       Entries({"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "209.72", "3800.10"}), 3, 0,
                       false},
        TFrequencyCase{"Linear", "0.000000",
                       Entries({"0.00", "0.00", "0.00", "0.00", "0.00", "652.41", "652.41", "1388.20", "2349.10"}), 4,
                       652.41L, true},
        TFrequencyCase{"LinearWithAZeroMode", "0.000000",
                       Entries({"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "652.41", "1388.20", "2349.10"}), 4, 0,
                       true}),
    [](const auto& info) { return std::string(info.param.Name); });

// The displacements of a block, ORCA 6 printing irreps under the entry
// numbers and an empty line between groups; mode 3 comes from the second
// group.
constexpr std::string_view NormalModes = R"(
------------
NORMAL MODES
------------

These modes are the Cartesian displacements weighted by the diagonal matrix
M(i,i)=1/sqrt(m[i]) where m[i] is the mass of the displaced atom
Thus, these vectors are normalized but *not* orthogonal

Point group:  C2v

               0          1          2          3          4          5          6          7
            1-A1       1-B1       1-B2       2-A1       2-B1       2-B2       3-A1       3-B2
    0   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000  -0.070000   0.000000
    1   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000
    2   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.050000   0.000000
    3   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.550000   0.000000
    4   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000
    5   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000  -0.420000   0.000000
    6   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.550000   0.000000
    7   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000
    8   0.000000   0.000000   0.000000   0.000000   0.000000   0.000000   0.420000   0.000000

               8
            4-A1
    0   0.010000
    1   0.020000
    2   0.030000
    3   0.100000
    4   0.200000
    5   0.300000
    6   0.400000
    7   0.500000
    8   0.600000


-----------
IR SPECTRUM
-----------
)";

constexpr std::string_view Thermochemistry = R"(
--------------------------
THERMOCHEMISTRY AT 298.15K
--------------------------

Temperature         ... 298.15 K
Pressure            ... 1.00 atm
Total Mass          ... 18.02 AMU
Zero point energy                ...      0.02113985 Eh      13.27 kcal/mol
Point Group:  C2v, Symmetry Number:   2
Final Gibbs free energy         ...    -76.42241775 Eh
For completeness - the Gibbs free energy minus the electronic energy
G-E(el)                           ...      0.00349479 Eh      2.19 kcal/mol
                             ****ORCA TERMINATED NORMALLY****
)";

std::string FrequencyOutput() {
  return FrequencyJob("0.800000",
                      Entries({"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "-439.85", "209.72", "3800.10"})) +
         std::string(NormalModes) + std::string(Thermochemistry);
}

TEST(OrcaOutput, FrequencyJobGivesModesDisplacementsAndThermochemistry) {
  TCoordinateFile file;
  ASSERT_TRUE(LoadText(file, "freq.out", FrequencyOutput()));
  const TOscModes& modes = *file.Info.Modes;
  ASSERT_EQ(modes.Count(), 3);
  EXPECT_EQ(modes.ModeAt(2).ModeNumber, 3);
  EXPECT_EQ(modes.ModeAt(2).Frequency, 3800.10L);
  EXPECT_EQ(modes.ModeAt(0).DispX[0], -0.07);
  EXPECT_EQ(modes.ModeAt(0).DispZ[1], -0.42);
  EXPECT_EQ(modes.ModeAt(1).DispX[2], 0.0);
  EXPECT_EQ(modes.ModeAt(2).DispY[2], 0.5);
  EXPECT_EQ(modes.ModeAt(2).DispZ[0], 0.03);
  EXPECT_EQ(file.Info.MolecularMass, 18.02);
  EXPECT_EQ(file.Info.ZPECorrection, 0.02113985);
  EXPECT_EQ(file.Info.SymmetryNumber, 2);
  EXPECT_EQ(file.Info.GibbsEnergy, -76.42241775);
  EXPECT_EQ(file.Info.GibbsCorrection, 0.00349479);
  EXPECT_EQ(file.Info.Termination, tmNormal);
}

// A job cut off inside its thermochemistry keeps its modes and what was
// printed; G is not left over from the file loaded before.
// An atom's block holds the three translations alone; its G is kept.
TEST(OrcaOutput, AtomKeepsItsFreeEnergyWithoutModes) {
  TCoordinateFile file;
  const std::string atom = FrequencyJob("0.8", Entries({"0.00", "0.00", "0.00"})) + std::string(Thermochemistry);
  ASSERT_TRUE(LoadText(file, "atom.out", atom));
  EXPECT_TRUE(file.Info.Modes->Count() == 0 && file.Info.HasFreeEnergy());
}

TEST(OrcaOutput, CutOffThermochemistryLeavesGAtZero) {
  const std::string whole = FrequencyOutput();
  const std::string cut = whole.substr(0, whole.find("Zero point energy"));
  TCoordinateFile file;
  file.Info.GibbsEnergy = -5.0;
  file.Info.GibbsCorrection = 0.5;
  ASSERT_TRUE(LoadText(file, "cut.out", cut));
  EXPECT_EQ(file.Info.Modes->Count(), 3);
  EXPECT_EQ(file.Info.MolecularMass, 18.02);
  EXPECT_EQ(file.Info.GibbsEnergy, 0);
  EXPECT_EQ(file.Info.GibbsCorrection, 0);
  EXPECT_EQ(file.Info.Termination, tmMissing);
}

// ORCA 4.0 and older call G the free enthalpy; a second block (a second
// frequency job) replaces the modes and thermochemistry of the first.
TEST(OrcaOutput, LaterFrequencyBlockReplacesTheEarlierOne) {
  std::string second = FrequencyJob("0.800000", Entries({"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "1500.00"}));
  second = second.substr(second.find("FINAL SINGLE POINT ENERGY")) +
           "Final Gibbs free enthalpy         ...    -76.5 Eh\n";
  TCoordinateFile file;
  ASSERT_TRUE(LoadText(file, "twice.out", FrequencyOutput() + second));
  ASSERT_EQ(file.Info.Modes->Count(), 1);
  EXPECT_EQ(file.Info.Modes->ModeAt(0).Frequency, 1500.0L);
  EXPECT_EQ(file.Info.GibbsEnergy, -76.5);
  EXPECT_EQ(file.Info.GibbsCorrection, 0);
  EXPECT_EQ(file.Info.SymmetryNumber, 0);
}

// A cut after any line past the banner loads: at most the atoms of one block
// stay, never more modes than the whole output has, and no number field is
// ever cut.
TEST(OrcaOutput, TruncatedAfterAnyLineLoads) {
  const std::string text = std::string(Banner) + Cycle(1) + Cycle(2) + FrequencyOutput().substr(Banner.size());
  ForEachLineCut(text, text.find("R   C   A"), [](const std::string& cut) {
    TCoordinateFile file;
    ASSERT_NO_THROW(EXPECT_TRUE(LoadText(file, "cut.out", cut)));
    EXPECT_LE(file.AtomCount(), 3);
    EXPECT_LE(file.Info.Modes->Count(), 3);
  });
}

// An output still being written, plain, gzipped or archived: a number cut
// at the end of its last line without a line end is not used, nor the
// geometry block it cuts; the load keeps what came before.
TEST(OrcaOutput, NumberCutAtTheEndOfTheFileIsNotUsed) {
  const std::string start = std::string(Banner) + Cycle(1), energy = start + "FINAL SINGLE POINT ENERGY       -76.4259\n";
  const std::string geometry = start + Cycle(2), frequencies = FrequencyOutput();
  for (const auto& [text, cut] : {std::pair{energy, start.size() + 34}, {energy, start.size() + 40},
                                  {geometry, geometry.rfind("2.5   -0.0") + 9},
                                  {frequencies, frequencies.find("-76.42241775") + 4}}) {
    const std::string gzip = std::string("\x1F\x8B\x08\0\0\0\0\0\0\x03", 10) + ZlibDeflate(text, 0);
    for (const auto& [name, bytes] :
         {std::pair{"a.out", text}, {"a.out.gz", gzip}, {"a.zip", BuildArchive({{"a.out", text, 0}})}}) {
      const std::string cutBytes = bytes.substr(0, bytes.find(text) + cut);
      SCOPED_TRACE(std::string(name) + " ending: " + cutBytes.substr(cutBytes.rfind('\n') + 1));
      TCoordinateFile file;
      ASSERT_NO_THROW(LoadText(file, name, cutBytes));
      EXPECT_DOUBLE_EQ(file.Info.Energy, text == frequencies ? -76.4 : -76.425912545291);
      EXPECT_FALSE(file.Info.HasGibbsEnergy);
      EXPECT_EQ(file.AtomCount(), text == frequencies ? 3 : 2);
    }
  }
}

struct TRealOrcaCase {
  const char* File;
  int AtomCount;
  double Energy;  // 0: the output prints no final energy
  TAtom First, Last;
  int ModeCount;
  long double FirstFrequency;
  double GibbsEnergy;
  TTermination Termination;
};

class RealOrcaOutput : public ::testing::TestWithParam<TRealOrcaCase> {};

// Energy, geometry, mode count, first frequency and G as the file prints them.
TEST_P(RealOrcaOutput, ReportsWhatTheFilePrints) {
  const TRealOrcaCase& row = GetParam();
  TRecordingDesktop desktop;
  TCoordinateFile file(desktop);
  ASSERT_TRUE(file.LoadFile(TestDataPath(std::string("geometry/orca/") + row.File), true));
  EXPECT_EQ(file.Info.Energy, row.Energy);
  ASSERT_EQ(file.AtomCount(), row.AtomCount);
  for (const auto& [index, expected] : {std::pair{1, row.First}, std::pair{row.AtomCount, row.Last}}) {
    const TAtom& atom = file.Atoms.AtomAt(index);
    EXPECT_EQ(atom.Symbol, expected.Symbol);
    EXPECT_EQ(atom.Element, expected.Element);
    EXPECT_EQ(atom.X, expected.X);
    EXPECT_EQ(atom.Y, expected.Y);
    EXPECT_EQ(atom.Z, expected.Z);
  }
  ASSERT_EQ(file.Info.Modes->Count(), row.ModeCount);
  if (row.ModeCount > 0) {
    EXPECT_EQ(file.Info.Modes->ModeAt(0).Frequency, row.FirstFrequency);
  }
  EXPECT_EQ(file.Info.GibbsEnergy, row.GibbsEnergy);
  EXPECT_EQ(file.Info.Termination, row.Termination);
  EXPECT_EQ(file.Info.GeometryState, 1);
  EXPECT_TRUE(desktop.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, RealOrcaOutput,
    ::testing::Values(
        // ORCA 4.2.0 optimisation and frequencies: four energies and blocks.
        TRealOrcaCase{"Orca_opt_freq_test.out", 3, -76.425912545290, {0.000000, -0.000000, 0.007513, 8, "O"},
                      {0.000000, -0.765051, 0.592286, 1, "H"}, 3, 1613.10L, -76.42241775, tmNormal},
        // ORCA 5.0 MP2 single point: the MP2 total energy.
        TRealOrcaCase{"water_mp2.out", 3, -74.999373814715, {1.784914, 1.262422, 0.511985, 8, "O"},
                      {1.183168, 1.256816, -0.238835, 1, "H"}, 0, 0, 0, tmNormal},
        // ORCA 4.1.2 run whose SCF failed: a geometry, no final energy and no SCF summary.
        TRealOrcaCase{"Orca_scf_error.out", 45, 0, {3.709269, -1.020311, -0.021506, 7, "N"},
                      {0.000000, 0.000000, 0.000000, 1, "H"}, 0, 0, 0, tmError},
        // ORCA 6.0 frequency job: irreps after the entries.
        TRealOrcaCase{"dvb_ir.out", 20, -382.055107107616, {-1.415253, 0.230222, 0.000000, 6, "C"},
                      {-4.931645, -0.071105, 0.000000, 1, "H"}, 54, 43.87L, -381.91114546, tmNormal},
        // ORCA 4.0 transition-state search: an imaginary mode, "free enthalpy".
        TRealOrcaCase{"Orca_TS_test.out", 6, -33.865407694733, {-1.965646, -0.439031, 0.012764, 6, "C"},
                      {-4.092979, -0.443083, 0.042888, 9, "F"}, 12, -503.24L, -33.85584307, tmNormal},
        // ORCA 5.0 transition-state search with a Hessian at its start and end: the second block counts.
        TRealOrcaCase{"orca_TS_success.out", 50, -1778.298989312545, {-4.315259, 1.793902, -0.427143, 6, "C"},
                      {4.061200, 1.477930, 2.282270, 1, "H"}, 144, -462.02L, -1777.97456197, tmNormal}),
    [](const auto& info) {
      std::string name = info.param.File;
      return name.substr(0, name.find('.'));
    });

// The archived copy of an output reads as the output itself.
TEST(OrcaOutput, ZipMemberGivesWhatItsUnpackedFileGives) {
  TCoordinateFile plain;
  TCoordinateFile zipped;
  ASSERT_TRUE(plain.LoadFile(TestDataPath("geometry/orca/Orca_opt_freq_test.out"), true));
  ASSERT_TRUE(zipped.LoadFile(TestDataPath("zip/orca_member.zip"), true));
  EXPECT_EQ(zipped.Info.Energy, plain.Info.Energy);
  EXPECT_EQ(zipped.AtomCount(), plain.AtomCount());
  ASSERT_EQ(zipped.Info.Modes->Count(), plain.Info.Modes->Count());
  EXPECT_EQ(zipped.Info.Modes->ModeAt(0).Frequency, plain.Info.Modes->ModeAt(0).Frequency);
  EXPECT_EQ(zipped.Info.Modes->ModeAt(2).DispZ[2], plain.Info.Modes->ModeAt(2).DispZ[2]);
  EXPECT_EQ(zipped.Info.GibbsEnergy, plain.Info.GibbsEnergy);
  EXPECT_EQ(zipped.Info.Termination, plain.Info.Termination);
}

}  // namespace
}  // namespace harvex
