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
  std::string Text;
  double Energy;
  std::string_view Label;
};

// A job's first line and its route as Gaussian prints them.
std::string Job(std::string_view route, std::string_view start = " Entering Link 1 = /opt/g16/l1.exe PID= 7.") {
  const std::string rule = " ----------------------------------------------------------------------\n";
  return std::string(start) + "\n" + rule + " " + std::string(route) + "\n" + rule;
}

// Water's correlated energies, as a CCSD job prints them.
const std::string MPLines =
    " SCF Done:  E(RHF) =  -74.9629282455     A.U. after    9 cycles\n"
    " E2 =    -0.3795333648D-01 EUMP2 =    -0.75002282127785D+02\n"
    " E3=       -0.10518804D-01        EUMP3=      -0.75012800931D+02\n"
    " E4(DQ)=   -0.31002165D-02        UMP4(DQ)=   -0.75015901148D+02\n"
    " E4(SDQ)=  -0.32127250D-02        UMP4(SDQ)=  -0.75016013656D+02\n";
const std::string Iterations =
    " DE(Corr)= -0.48169987E-01 E(Corr)=     -75.012498779\n"
    " DE(Corr)= -0.53354848E-01 E(CORR)=     -75.017683640     Delta=-3.61D-08\n";
const std::string Converged = " Wavefunction amplitudes converged. E(Corr)=     -75.017683641\n";
constexpr std::string_view TDEnergy = " SCF Done:  E(RB3LYP) =  -114.39 A.U.\n Total Energy, E(TD-HF/TD-DFT) =  -114.214128137\n";

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
    {"corrected energy of later Gaussian revisions keeps the same label",
     " SCF Done:  E(RHF) =  -152.9 A.U.\n Counterpoise corrected energy =    -152.908379026304\n",
     -152.908379026304, "Counterpoise: corrected energy"},
    {"ONIOM extrapolation follows the layers' SCF energies",
     " SCF Done:  E(RB3LYP) =  -40.4158 A.U.\n ONIOM: extrapolated energy =     -40.576093511027\n",
     -40.576093511027, "(ONIOM)"},
    {"TD energy of an optimisation on the excited state", Job("#p td b3lyp/6-31g(d) Opt=CalcFC") + std::string(TDEnergy),
     -114.214128137, "(TD-HF/TD-DFT)"},
    {"TD energy of a frequency job whose route is cut inside a word",
     Job("#P Geom=AllCheck Guess=TCheck SCRF=Check GenChk RB97D TD(FC,Read)/def2SVP Fr\n eq") +
         " Total Energy, E(TD-HF/TD-KS) =  -848.655200149\n",
     -848.655200149, "(TD-HF/TD-KS)"},
    {"TD single point keeps its ground-state energy", Job("#p td b3lyp/def2svp") + std::string(TDEnergy), -114.39,
     "(RB3LYP)"},
    {"TD single point after an optimisation job keeps its ground-state energy",
     Job("#p b3lyp opt") + " Normal termination of Gaussian 16\n" +
         Job("#p td b3lyp", " Link1:  Proceeding to internal job step number  2.") + std::string(TDEnergy),
     -114.39, "(RB3LYP)"},
    {"MP3", MPLines.substr(0, MPLines.find(" E4(DQ)")), -75.012800931, "EUMP3"},
    {"MP4(SDQ)", MPLines, -75.016013656, "UMP4(SDQ)"},
    {"MP4(SDTQ)", MPLines + " E4(SDTQ)= -0.52335462D-02        UMP4(SDTQ)= -0.75018437202D+02\n", -75.018437202,
     "UMP4(SDTQ)"},
    {"CCSD of Gaussian 09 ends with its last iteration", Job("#P UCCSD/STO-3G") + MPLines + Iterations,
     -75.017683640, "CCSD"},
    {"QCISD of Gaussian 16 prints its converged energy", Job("# qcisd(maxcyc=50)/sto-3g") + MPLines + Iterations + Converged,
     -75.017683641, "QCISD"},
    {"iterations of a job whose route names no such method are no energy", MPLines + Iterations, -75.016013656,
     "UMP4(SDQ)"},
    {"double hybrid total follows its SCF part",
     " SCF Done:  E(RB2PLYP) =  -118.87 A.U.\n"
     " E2(B2PLYP) =    -0.1547244668D+00 E(B2PLYP) =    -0.11902630007243D+03\n",
     -119.02630007243, "(B2PLYP)"},
    {"double hybrid with dispersion keeps its printed name",
     " E2(B2PLYPD3) =    -0.1547244668D+00 E(B2PLYPD3) =    -0.11903030007243D+03\n", -119.03030007243,
     "(B2PLYPD3)"},
    {"CCSD(T) follows the CCSD energy; the archive copy is no energy line",
     Job("#P CCSD(T)/STO-3G") + MPLines + Iterations + Converged + " CCSD(T)= -0.75017760423D+02\n"
     " 1\\1\\GINC\\SP\\RCCSD(T)\\MP2=-75.0022821\\CCSD(T)=-75.1\\RMSD=2.789e-10\n"
     " CCSD(T)=-75.2\\RMSD=2.789e-10\\PG=C02V\n",
     -75.017760423, "CCSD(T)"},
    {"QCISD(T)", " QCISD(T)= -0.76241302811D+02\n", -76.241302811, "QCISD(T)"},
    {"composite energy at 0 K follows the last SCF energy of the step",
     " SCF Done:  E(RB3LYP) =  -115.7 A.U.\n"
     " G4(0 K)=                 -115.648433 G4 Energy=                  -115.647489\n",
     -115.648433, "(G4(0 K))"},
    {"displaced geometries of a Gaussian 09 numerical differentiation keep the reference energy",
     " E2 =    -0.38D-01 EUMP2 =    -0.76260909800000D+02\n D2Numr ... symmetry will not be used.\n"
     " Re-enter D2Numr: Normal Mode=  1 IStep= 1.\n SCF Done:  E(RHF) =  -76.02 A.U.\n"
     " E2 =    -0.38D-01 EUMP2 =    -0.76260805900000D+02\n",
     -76.2609098, "EUMP2"},
    {"displaced geometries of Gaussian 16 keep the reference energy",
     " SCF Done:  E(RB3LYP) =  -76.4 A.U.\n Re-enter D2Numr:  normal mode   1 step-up   number 1\n"
     " SCF Done:  E(RB3LYP) =  -76.3 A.U.\n",
     -76.4, "(RB3LYP)"},
    {"a job after the numerical differentiation reads its energies again",
     " SCF Done:  E(RB3LYP) =  -76.4 A.U.\n D2Numr ... symmetry will not be used.\n"
     " SCF Done:  E(RB3LYP) =  -76.3 A.U.\n Normal termination of Gaussian 16\n SCF Done:  E(RB3LYP) =  -76.2 A.U.\n",
     -76.2, "(RB3LYP)"},
    {"TDA optimisation takes its CIS total", Job("#p Opt TDA=(Nstates=20,Singlets) pbe1pbe/6-31G(d,p)") +
         " SCF Done:  E(RPBE1PBE) =  -231.9 A.U.\n Total Energy, E(CIS) =  -231.778955055\n",
     -231.778955055, "(CIS)"},
    {"EOM-CCSD optimisation takes its excited-state total",
     Job("#p Opt EOMCCSD=(nstates=2, root=1) STO-3G") + MPLines + Iterations + Converged +
         " Total Energy, E(EOM-CCSD) =  -243.883072409\n",
     -243.883072409, "(EOM-CCSD)"},
    {"EOM-CCSD single point gives its CCSD ground state",
     Job("#p EOMCCSD=(nstates=10, root=1, Singlets, Triplets) STO-3G") + MPLines + Converged +
         " Total Energy, E(EOM-CCSD) =  -74.6\n",
     -75.017683641, "CCSD"},
    {"MP5 follows the fourth order", MPLines + " DEMP5 =  -0.11048815700D-02 MP5 =  -0.75017172934D+02\n",
     -75.017172934, "MP5"},
    {"an external program's recovered energy, the last one of the job",
     Job("#p External='xtb-gaussian' freq") + " Recovered energy= -13.1297379000     dipole=  0.0  0.0  0.0\n"
     " Energy=    -13.1297380     NIter=   0.\n Recovered energy= -13.1297379713     dipole=  0.0  0.0  0.0\n",
     -13.1297379713, "(External)"},
    {"CBS recipe names its energy with a blank before (0 K)",
     " CBS-QB3 (0 K)=            -283.819775 CBS-QB3 Energy=              -283.813741\n", -283.819775,
     "(CBS-QB3 (0 K))"},
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


// The fragment and corrected-energy lines of both Gaussian generations, in
// every mix that revisions print.
struct TCounterpoiseForm {
  const char* Name;
  std::string_view DCBSStart, DCBSEnd, MCBSStart, MCBSEnd, Corrected, Method;
};

constexpr std::string_view OldFragment = " Counterpoise: doing DCBS calculation for fragment";
constexpr std::string_view NewFragment = " Counterpoise: doing calculation for fragment";
constexpr TCounterpoiseForm CounterpoiseForms[] = {
    {"Gaussian 03", OldFragment, " NewBq=T", " Counterpoise: doing MCBS calculation for fragment", "",
     " Counterpoise: corrected energy =", "MP2"},
    {"Gaussian 16", NewFragment, " using the basis set of the full-system, NewBq=T", NewFragment,
     " using the basis set of the fragment.", " Counterpoise corrected energy =", "CCSD(T)"},
    {"old fragments, new corrected energy", OldFragment, " NewBq=T",
     " Counterpoise: doing MCBS calculation for fragment", "", " Counterpoise corrected energy =", "SCF"},
    {"new fragments, old corrected energy", NewFragment, " using the basis set of the full-system, NewBq=T",
     NewFragment, " using the basis set of the fragment.", " Counterpoise: corrected energy =", "SCF"},
};

// How each calculation of a series ends: an SCF job with its SCF line, a
// correlated one with its own line after that.
std::string EnergyLines(std::string_view method, std::string_view energy) {
  const std::string scf = " SCF Done:  E(RHF) =  -75.1 A.U.\n";
  if (method == "MP2") return scf + " E2 = -0.3D+00 EUMP2 = " + std::string(energy) + "\n";
  if (method == "CCSD(T)") return scf + " CCSD(T)= " + std::string(energy) + "\n";
  return " SCF Done:  E(RB3LYP) =  " + std::string(energy) + "     A.U.\n";
}

std::string WaterDimerSeries(const TCounterpoiseForm& form) {
  auto fragment = [&](std::string_view start, int number, std::string_view end, std::string_view energy) {
    return std::string(start) + "   " + std::to_string(number) + std::string(end) + "\n" + EnergyLines(form.Method, energy);
  };
  return " Counterpoise: doing full-system calculation.\n" + EnergyLines(form.Method, "-152.909099006") +
         fragment(form.DCBSStart, 1, form.DCBSEnd, "-76.4587770239") +
         fragment(form.DCBSStart, 2, form.DCBSEnd, "-76.458779184877") +
         fragment(form.MCBSStart, 1, form.MCBSEnd, "-76.458417057") +
         fragment(form.MCBSStart, 2, form.MCBSEnd, "-76.4584191718") + std::string(form.Corrected) +
         "    -152.908379026304\n"
         "                   BSSE energy =       0.000719979977\n"
         "                sum of monomers =    -152.916836228800\n"
         "           complexation energy =       5.31 kcal/mole (corrected)\n";
}

// The report's BSSE correction and stabilisation energy agree with the
// figures Gaussian prints, to their printed digits, whatever the method.
TEST_F(CounterpoiseTest, EveryFormGivesGaussiansOwnBsseAndComplexationEnergy) {
  constexpr long double kcalPerHartree = 627.5095L;
  for (const TCounterpoiseForm& form : CounterpoiseForms) {
    SCOPED_TRACE(form.Name);
    const auto file = LoadFresh(WaterDimerSeries(form));
    const TOutInfo& info = file->Info;
    EXPECT_EQ(info.DCBSCount, 2);
    EXPECT_EQ(info.MCBSCount, 2);
    EXPECT_DOUBLE_EQ(info.Energy, -152.908379026304);
    EXPECT_EQ(info.EnergyLabel, "Counterpoise: corrected energy");
    EXPECT_NEAR(static_cast<double>((info.MCBSSum - info.DCBSSum) * kcalPerHartree),
                static_cast<double>(0.000719979977L * kcalPerHartree), 5e-6);
    EXPECT_NEAR(static_cast<double>((info.Energy - info.MCBSSum) * kcalPerHartree), 5.31, 0.005);
  }
}

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
  EXPECT_EQ(File.FileName, "job.out");
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
    TCoordinateFile file(Desktop);
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

// A periodic job's translation vector (atomic number -2) is no atom and
// shows nothing.
// Translation vectors (-2) and ghost centres (0) are no atoms.
TEST_F(OrientationTest, UnknownAtomicNumberIsShownForEachRowAndKeptWithoutElement) {
  EXPECT_TRUE(Load(StandardOrientation("      1        150           0        0.000000    0.000000    1.000000\n"
                                       "      2          8           0        0.000000    0.000000    0.000000\n"
                                       "      3          0           0        0.000000    0.000000    2.000000\n"
                                       "      4        150           0        0.000000    0.000000   -1.000000\n"
                                       "      5         -2           0        0.000000    0.000000    4.000000\n")));
  const TMessage unknownAtom{"Error", "Unknown atom! (z=150)"};
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

// A table that never closes ends at the atom limit, with a warning; one of
// 500 rows that closes is whole.
TEST_F(OrientationTest, TableEndsAtTheAtomLimit) {
  const std::string row = WaterRows.substr(0, WaterRows.find('\n') + 1);
  std::string rows;
  for (int atom = 0; atom < MaxModeAtoms; ++atom) rows += row;
  std::string open = StandardOrientation(rows + row + row);
  open.erase(open.rfind(" ---"));
  const std::string unclosed = open + " SCF Done:  E(RHF) =  -1.5\n";
  for (const auto& [text, warned] : {std::pair{StandardOrientation(rows), false}, {unclosed, true}}) {
    EXPECT_EQ(LoadFresh(text)->AtomCount(), MaxModeAtoms);
    EXPECT_EQ(LoadFresh(text)->Info.ReadWarnings.size(), warned ? 1U : 0U);
  }
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

// A file with linked jobs holds one termination line per job: the last says
// how the run ended.
TEST_F(PassEndTest, LastTerminationLineSaysHowTheRunEnded) {
  constexpr std::string_view normal = " Normal termination of Gaussian 09 at Fri Aug 10 08:56:39 2018.\n";
  constexpr std::string_view error = " Error termination via Lnk1e in /opt/g09/l502.exe at Fri Aug 10 2018.\n";
  const struct {
    std::string Text;
    TTermination Termination;
  } cases[] = {
      {" SCF Done:  E(RHF) =  -1.5 A.U.\n", tmMissing},
      {std::string(normal), tmNormal},
      {std::string(error), tmError},
      {std::string(error) + std::string(normal), tmNormal},
      {std::string(normal) + std::string(error), tmError},
      // A later step that started and did not end: an "opt freq" job, or a
      // --Link1-- file, cut while it runs.
      {std::string(normal) + " Link1:  Proceeding to internal job step number  2.\n", tmMissing},
      {std::string(normal) + " Entering Link 1 = /opt/g09/l1.exe PID=    137902.\n", tmMissing},
      {std::string(normal) + " Link1:  Proceeding to internal job step number  2.\n" + std::string(normal), tmNormal},
  };
  for (const auto& [text, termination] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(LoadFresh(text)->Info.Termination, termination);
  }
}

// A job still writing its output: a number that runs up to the end of a
// last line without a line end is not used, and the load ends there; a
// termination line without its line end is still one.
TEST_F(PassEndTest, NumberCutAtTheEndOfTheFileIsNotUsed) {
  const std::string before = " SCF Done:  E(RB3LYP) =  -40.5 A.U.\n";
  const std::string normal(NormalTermination.substr(0, NormalTermination.size() - 1));
  for (const auto& [text, termination] : {std::pair{before + " SCF Done:  E(RB3LYP) =  -40.23", tmMissing},
                                          {before + " SCF Done:  E(RB3LYP) =  ", tmMissing},
                                          {before + " SCF Done:  E(RB3LYP) =  -4", tmMissing},
                                          {before + normal, tmNormal}}) {
    SCOPED_TRACE(text);
    std::unique_ptr<TCoordinateFile> file;
    ASSERT_NO_THROW(file = LoadFresh(text));
    EXPECT_DOUBLE_EQ(file->Info.Energy, -40.5);
    EXPECT_EQ(file->Info.Termination, termination);
  }
  EXPECT_THROW(Load(before + " SCF Done:  E(RB3LYP) =  \n"), EConvertError) << "a complete line";
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
