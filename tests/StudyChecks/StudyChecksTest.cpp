// The study checks over short outputs written for the tests: one per
// finding, clean jobs that must give none, and a batch of two levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CoordFiles/LevelOfTheory.h"
#include "Gaussian/GaussianFixtures.h"
#include "Gaussian/GaussianTestSupport.h"
#include "StudyChecks/StudyChecks.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

using namespace harvex::testing;

constexpr std::string_view Banner = " This is part of the Gaussian(R) 16 program.\n Gaussian 16:  ES64L-G16RevC.01  3-Jul-2019\n";
constexpr std::string_view Rule = " ----------------------------------------------------------------------\n";
constexpr std::string_view Normal = " Normal termination of Gaussian 16 at Wed Dec  1 08:53:11 2021.\n";
constexpr std::string_view Completed = " Optimization completed.\n    -- Stationary point found.\n";
constexpr std::string_view Stationary =
    "         Item               Value     Threshold  Converged?\n"
    " Maximum Force            0.000035     0.000450     YES\n"
    " RMS     Force            0.000010     0.000300     YES\n";

// One job: its route, the charge line, the geometry, an energy, the body.
std::string Job(std::string_view route, std::string_view body, int multiplicity = 1,
                const std::string& rows = WaterRows) {
  return " Entering Link 1 = /g16/l1.exe PID=      5097.\n" + std::string(Rule) + " " + std::string(route) + "\n" +
         std::string(Rule) + " Charge =  0 Multiplicity = " + std::to_string(multiplicity) + "\n" +
         StandardOrientation(rows) + " SCF Done:  E(RB3LYP) =  -76.4089     A.U. after   10 cycles\n" +
         std::string(body) + std::string(Normal);
}

// The water modes with the first frequency replaced.
std::string Modes(std::string_view first = "1743.1470") {
  std::string modes = std::string(TableHeading) + std::string(WaterModes);
  return modes.replace(modes.find("1743.1470"), 9, first);
}

// An optimisation and the frequency job Gaussian runs after it.
std::string OptFreq(std::string_view options, std::string_view first) {
  return Job("#p B3LYP/6-31G(d) Opt" + std::string(options) + " Freq", Completed) +
         Job("#P Geom=AllCheck Guess=TCheck RB3LYP/6-31G(d) Freq", std::string(Stationary) + Modes(first));
}

struct TFindingCase {
  const char* Name;
  std::string Text;
  std::vector<std::string> Codes;
};

class FileFindingTable : public ::testing::TestWithParam<TFindingCase> {
 protected:
  TTempDir Folder;
};

std::vector<std::string> CodesOf(const std::vector<TFinding>& findings) {
  std::vector<std::string> codes;
  for (const TFinding& finding : findings) codes.push_back(finding.Code);
  return codes;
}

std::vector<std::string> TextsOf(const std::vector<TFinding>& findings) {
  std::vector<std::string> texts;
  for (const TFinding& finding : findings) texts.push_back(finding.Text);
  return texts;
}

std::vector<TFinding> FindingsOfFile(const std::string& path) {
  TCoordinateFile_cdf file;
  file.LoadConformer(path, true);
  return FileFindings(StudyFactsOf(path, file));
}

TEST_P(FileFindingTable, FiresExactlyItsFindings) {
  const std::string path = Folder.Write("job.out", std::string(Banner) + GetParam().Text);
  EXPECT_EQ(CodesOf(FindingsOfFile(path)), GetParam().Codes);
}

const std::string FourAtoms = WaterRows + "      4          1           0        1.000000    1.000000    1.000000\n";

INSTANTIATE_TEST_SUITE_P(
    Fixtures, FileFindingTable,
    ::testing::Values(
        TFindingCase{"CleanMinimum", OptFreq("", "1743.1470"), {}},
        TFindingCase{"CleanTransitionState", OptFreq("=(TS,CalcFC,NoEigenTest)", "-1743.1470"), {}},
        TFindingCase{"ImaginaryMinimum", OptFreq("", "-200.7700"), {"imaginary-minimum"}},
        TFindingCase{"ImaginaryModes", Job("#p B3LYP/6-31G(d) Freq", Modes("-200.7700")), {"imaginary-modes"}},
        TFindingCase{"TransitionStateWithoutImaginaryMode", OptFreq("=(TS,CalcFC)", "1743.1470"),
                     {"ts-imaginary-count"}},
        TFindingCase{"SmallImaginary", OptFreq("", "-20.5000"), {"small-imaginary"}},
        TFindingCase{"OptimisationStopped",
                     Job("#p B3LYP/6-31G(d) Opt",
                         " Optimization stopped.\n    -- Number of steps exceeded,  NStep=  20\n"),
                     {"opt-not-converged"}},
        TFindingCase{"NotStationary",
                     Job("#p B3LYP/6-31G(d) Freq",
                         "         Item               Value     Threshold  Converged?\n"
                         " Maximum Force            0.004468     0.000450     NO \n"
                         " RMS     Force            0.000010     0.000300     YES\n" +
                             Modes()),
                     {"not-stationary"}},
        TFindingCase{"SpinContamination",
                     Job("#p UB3LYP/6-31G(d)", " S**2 before annihilation     0.8500,   after     0.7500\n", 2),
                     {"spin-contamination"}},
        TFindingCase{"SpinWithinItsShare",
                     Job("#p UB3LYP/6-31G(d)", " S**2 before annihilation     0.8200,   after     0.7500\n", 2), {}},
        TFindingCase{"ModeCount", Job("#p B3LYP/6-31G(d) Freq", Modes(), 1, FourAtoms), {"mode-count"}},
        TFindingCase{"StillRunning", " Entering Link 1 = /g16/l1.exe PID=      5097.\n" + std::string(Rule) +
                                         " #p B3LYP/6-31G(d) Opt\n" + std::string(Rule),
                     {}}),
    [](const auto& info) { return std::string(info.param.Name); });

// ORCA's transition-state searches and optimisations, read from its own lines.
class OrcaFindingTable : public FileFindingTable {};

std::string OrcaInput(std::string_view lines);

std::string OrcaJob(std::string_view keywords, std::string_view end, std::string_view frequencies) {
  std::string text = OrcaInput(keywords) +
                     "CARTESIAN COORDINATES (ANGSTROEM)\n---------------------------------\n"
                     "  O      0.000000    0.000000    0.119159\n  H      0.000000    0.790649   -0.476637\n"
                     "  H      0.000000   -0.790649   -0.476637\n\n" +
                     std::string(end);
  if (!frequencies.empty()) {
    text += "VIBRATIONAL FREQUENCIES\n-----------------------\n\n";
    for (int entry = 0; entry < 6; ++entry) text += "   " + std::to_string(entry) + ":         0.00 cm**-1\n";
    text += std::string(frequencies) + "\n";
  }
  return text + "FINAL SINGLE POINT ENERGY      -76.4\n                             ****ORCA TERMINATED NORMALLY****\n";
}

constexpr std::string_view OrcaConverged = "                    ***        THE OPTIMIZATION HAS CONVERGED     ***\n";

TEST_P(OrcaFindingTable, FiresExactlyItsFindings) {
  EXPECT_EQ(CodesOf(FindingsOfFile(Folder.Write("job.out", GetParam().Text))), GetParam().Codes);
}

INSTANTIATE_TEST_SUITE_P(
    Orca, OrcaFindingTable,
    ::testing::Values(
        TFindingCase{"CleanTransitionState",
                     OrcaJob("! B3LYP def2-SVP OptTS Freq", OrcaConverged,
                             "   6:     -439.85 cm**-1 ***imaginary mode***\n   7:    3998.24 cm**-1\n"
                             "   8:    4136.90 cm**-1\n"),
                     {}},
        TFindingCase{"TransitionStateWithTwoModes",
                     OrcaJob("! B3LYP def2-SVP OptTS Freq", OrcaConverged,
                             "   6:     -439.85 cm**-1 ***imaginary mode***\n"
                             "   7:     -120.00 cm**-1 ***imaginary mode***\n   8:    4136.90 cm**-1\n"),
                     {"ts-imaginary-count"}},
        TFindingCase{"OptimisationOutOfCycles",
                     OrcaJob("! B3LYP def2-SVP Opt",
                             "       The optimization did not converge but reached the maximum number of\n", ""),
                     {"opt-not-converged"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// Across files: the groups of each value, at most five files named in each.
TEST(StudyChecks, ConditionsSolventsAndVersionsAcrossFilesAreNamedByGroup) {
  std::vector<TStudyFacts> files(8);
  for (std::size_t index = 0; index < files.size(); ++index) {
    TStudyFacts& facts = files[index];
    facts.Path = "f" + std::to_string(index) + ".out";
    facts.Level.Solvation = index == 0 ? "none" : "SMD(Water)";
    facts.ProgramVersion = index < 7 ? "Gaussian 16 C.01" : "Gaussian 09 D.01";
    facts.ThermoTemperature = 298.15;
  }
  files[2].Level.Solvation = "smd(water)";
  // One level of theory as Gaussian and ORCA spell it is no difference.
  files[1].Level.Method = "M062X";
  files[1].Level.Basis = "Def2TZVP";
  files[6].Level.Method = "M06-2X";
  files[6].Level.Basis = "def2-TZVP";
  files[3].ThermoPressure = 1.0;
  const std::vector<TFinding> findings = StudyFindings(files);
  ASSERT_EQ(CodesOf(findings), (std::vector<std::string>{"solvent-differs", "version-differs"}));
  EXPECT_EQ(findings[0].Text,
            "solvation models differ: none: f0.out; SMD(Water): f1.out, f2.out, f3.out, f4.out, f5.out, and 2 more");
  EXPECT_EQ(findings[1].Severity, TFindingSeverity::Warning);
  files[4].ThermoTemperature = 310;
  EXPECT_EQ(StudyFindings(files).back().Text,
            "thermochemistry temperatures differ: 298.15 K: f0.out, f1.out, f2.out, f3.out, f5.out, and 2 more; "
            "310.00 K: f4.out");
}

// The finding names the mode and the evidence.
TEST(StudyChecks, FindingNamesItsEvidence) {
  TTempDir folder;
  const std::vector<TFinding> findings =
      FindingsOfFile(folder.Write("min.out", std::string(Banner) + OptFreq("", "-200.7700")));
  ASSERT_EQ(findings.size(), 1U);
  EXPECT_EQ(findings[0].Severity, TFindingSeverity::Error);
  EXPECT_EQ(findings[0].Text, "optimised as a minimum but has 1 imaginary mode: -200.77 cm-1");
  EXPECT_EQ(FindingLines(findings, false),
            "error\timaginary-minimum\t" + folder.PathOf("min.out") + "\t" + findings[0].Text + "\n");
}

// A conformer whose single point was run at another geometry than its
// frequency job.
TEST(StudyChecks, ConformerGeometriesThatDifferAreFound) {
  TTempDir folder;
  const std::string freq = folder.Write("freq.out", std::string(Banner) + Job("#p B3LYP/6-31G(d) Freq", Modes()));
  const std::string near = folder.Write("near.out", std::string(Banner) + Job("#p M062X/def2TZVP", ""));
  const std::string far =
      folder.Write("far.out", std::string(Banner) + Job("#p M062X/def2TZVP", "", 1, StretchedWaterRows));
  for (const auto& [single, codes] : {std::pair{near, std::vector<std::string>{}},
                                      std::pair{far, std::vector<std::string>{"geometry-differs"}}}) {
    const std::string cdf =
        folder.Write("c.cdf", "[c]\nGeomFileName=" + freq + "\nFreqFileName=" + freq + "\nMP2FileName=" + single + "\n");
    TCoordinateFile_cdf file;
    ASSERT_TRUE(file.LoadConformer(cdf, true));
    const TStudyFacts facts = StudyFactsOf(cdf, file);
    EXPECT_EQ(CodesOf(FileFindings(facts)), codes) << single;
    // The single point gives the conformer's level of theory.
    EXPECT_EQ(facts.Level.Method, "M062X");
    EXPECT_EQ(facts.Level.Basis, "def2TZVP");
  }
}

TEST(StudyChecks, BatchOfTwoLevelsOfTheoryIsNotComparable) {
  TTempDir folder;
  std::vector<TStudyFacts> files;
  const auto add = [&](const std::string& name, std::string_view route, const std::string& body) {
    const std::string path = folder.Write(name, std::string(Banner) + Job(route, body));
    TCoordinateFile_cdf file;
    file.LoadConformer(path, true);
    files.push_back(StudyFactsOf(path, file));
  };
  add("a.out", "#p B3LYP/6-31G(d) SCRF=(SMD,Solvent=Water) EmpiricalDispersion=GD3BJ", "");
  add("b.out", "#p B3LYP/6-31G(d) SCRF=(SMD,Solvent=Water) EmpiricalDispersion=GD3BJ", "");
  add("c.out", "#p M062X/def2TZVP", "");
  const std::vector<TFinding> findings = StudyFindings(files);
  EXPECT_EQ(CodesOf(findings), (std::vector<std::string>{"method-differs", "basis-differs", "solvent-differs",
                                                         "dispersion-differs", "duplicate", "duplicate"}));
  EXPECT_EQ(findings[0].Text, "methods differ: B3LYP: " + folder.PathOf("a.out") + ", " + folder.PathOf("b.out") +
                                  "; M062X: " + folder.PathOf("c.out"));
  EXPECT_TRUE(findings[0].File.empty());
  EXPECT_TRUE(HasErrorFinding(findings));
  files.pop_back();
  EXPECT_EQ(CodesOf(StudyFindings(files)), std::vector<std::string>{"duplicate"});
}

// With the batch ranked as ensembles, each molecule's files are compared
// among themselves too, when there is more than one molecule.
TEST(StudyChecks, EachMoleculeIsComparedOnItsOwnWhenAsked) {
  const auto facts = [](std::string path, std::vector<std::int32_t> elements, std::string method) {
    TStudyFacts file;
    file.Path = std::move(path);
    file.Member.Elements = std::move(elements);
    file.Level.Method = std::move(method);
    return file;
  };
  const std::vector<std::int32_t> water = {8, 1, 1};
  const std::vector<std::int32_t> methane = {6, 1, 1, 1, 1};
  std::vector<TStudyFacts> files = {facts("a.out", water, "B3LYP"), facts("b.out", water, "M062X"),
                                    facts("c.out", methane, "B3LYP"), facts("d.out", methane, "B3LYP")};
  const std::string across = "methods differ: B3LYP: a.out, c.out, d.out; M062X: b.out";
  EXPECT_EQ(TextsOf(StudyFindings(files)), std::vector<std::string>{across});
  EXPECT_EQ(TextsOf(StudyFindings(files, true)),
            (std::vector<std::string>{across, "H2O: methods differ: B3LYP: a.out; M062X: b.out"}));
  files.resize(2);
  EXPECT_EQ(TextsOf(StudyFindings(files, true)), TextsOf(StudyFindings(files)));
}

// What the readers take for the level of theory, from the route, the PCM
// block, the archive entry and the echoed ORCA input.
struct TLevelCase {
  const char* Name;
  std::string Text;
  std::string Method, Basis, Solvation, Dispersion;
  std::optional<bool> TransitionState;  // none without an optimisation
};

class LevelTable : public ::testing::TestWithParam<TLevelCase> {};

constexpr std::string_view PCMBlock = R"( Polarizable Continuum Model (PCM)
 Model                : PCM (using non-symmetric T matrix).
 Atomic radii         : SMD-Coulomb.
 Solvent              : Water, Eps=  78.355300 Eps(inf)=   1.777849
)";
constexpr std::string_view OrcaBanner = "\n                                 * O   R   C   A *\n";

std::string OrcaInput(std::string_view lines) {
  std::string text = std::string(OrcaBanner) + "                                       INPUT FILE\n" + std::string(80, '=') +
                     "\nNAME = job.inp\n";
  int number = 0;
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t end = std::min(lines.find('\n', start), lines.size());
    text += "| " + std::to_string(++number) + "> " + std::string(lines.substr(start, end - start)) + "\n";
    start = end + 1;
  }
  return text + "|  9>                         ****END OF INPUT****\n";
}

// The reference an SCF method names (R, U, RO) is no part of the method;
// names that merely begin with those letters keep them.
TEST(LevelOfTheory, MethodDropsItsReferenceOnly) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"RB3LYP", "B3LYP"}, {"ROB3LYP", "B3LYP"}, {"UCCSD(T)", "CCSD(T)"}, {"RHF", "HF"},
      {"B3LYP", "B3LYP"},  {"RevPBE", "RevPBE"}, {"UFF", "UFF"},          {"RUFF", "UFF"},
  };
  for (const auto& [method, expected] : cases) EXPECT_EQ(WithoutReference(method), expected) << method;
}

TEST_P(LevelTable, ReadsTheLevelOfTheory) {
  TTempDir folder;
  const TLevelCase& row = GetParam();
  TCoordinateFile file;
  file.LoadFile(folder.Write("job.out", row.Text), true);
  const TOutInfo& info = file.Info;
  EXPECT_EQ(info.Method, row.Method);
  EXPECT_EQ(info.Basis, row.Basis);
  EXPECT_EQ(info.Solvation, row.Solvation);
  EXPECT_EQ(info.Dispersion, row.Dispersion);
  EXPECT_EQ(info.OptimisationConverged.has_value() ? std::optional(info.TransitionState) : std::nullopt,
            row.TransitionState);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, LevelTable,
    ::testing::Values(
        TLevelCase{"GaussianRouteAndPCMBlock",
                   std::string(Banner) + Job("#p B3LYP/6-31G(d) SCRF=(SMD,Solvent=Water) EmpiricalDispersion=GD3BJ",
                                             PCMBlock),
                   "B3LYP", "6-31G(d)", "SMD(Water)", "D3BJ", std::nullopt},
        TLevelCase{"GaussianFunctionalWithItsDispersion",
                   std::string(Banner) + Job("#p wB97XD/Def2TZVP Opt=(CalcFC,TS)", ""), "wB97XD", "Def2TZVP", "none",
                   "D2", true},
        TLevelCase{"GaussianArchiveOverRouteAndSCFTag",
                   std::string(Banner) + Job("#p m062x def2tzvp Opt",
                                             " 1\\1\\GINC-NODE\\FOpt\\RM062X\\def2TZVP\\H2O1\\USER\\01-Jan-20\n"
                                             " 20\\0\\\\#p m062x def2tzvp\n"),
                   "M062X", "def2TZVP", "none", "none", false},
        TLevelCase{"GaussianCompositeOptimises",
                   std::string(Banner) + Job("# cbs-qb3",
                                             " 1\\1\\GINC-NODE33\\Mixed\\CBS-QB3\\CBS-QB3\\C7H7(2)\\LAITCL\\16-Feb-2017\\0\\\\# \n"
                                             " cbs-qb3\\\\Benzyl Energy\n"),
                   "CBS-QB3", "CBS-QB3", "none", "none", false},
        TLevelCase{"GaussianRouteWithoutPCMBlock",
                   std::string(Banner) + Job("#p B3LYP/6-31G(d) SCRF=(CPCM,Solvent=Toluene)", "") +
                       Job("#p B3LYP/6-31G(d) SCRF=Check Freq", ""),
                   "B3LYP", "6-31G(d)", "CPCM(Toluene)", "none", std::nullopt},
        TLevelCase{"OrcaKeywords", OrcaInput("! B3LYP D3BJ def2-TZVP def2/J RIJCOSX OptTS Freq CPCM(water)"), "B3LYP",
                   "def2-TZVP", "CPCM(water)", "D3BJ", true},
        TLevelCase{"OrcaBlocksAndLastJob",
                   OrcaInput("! PBE0 def2-SVP Opt\n$new_job\n! RKS wB97X-D3 ma-def2-TZVP TightSCF CPCM\n"
                             "%cpcm smd true\nSMDsolvent \"toluene\"\nend"),
                   "wB97X-D3", "ma-def2-TZVP", "SMD(toluene)", "D3", std::nullopt},
        TLevelCase{"OrcaLastJobKeepsWhatItDoesNotRestate",
                   OrcaInput("! PBE0 D4 def2-SVP CPCM(water) Opt\n$new_job\n! Freq"), "PBE0", "def2-SVP",
                   "CPCM(water)", "D4", std::nullopt},
        TLevelCase{"OrcaHartreeFock", OrcaInput("!UHF 6-31G* TightOpt"), "HF", "6-31G*", "none", "none", false},
        // Relativistic and job settings may come before the method.
        TLevelCase{"OrcaSettingsBeforeMethod", OrcaInput("! ZORA NormalOpt NoSym PBE0 ZORA-def2-TZVP SARC/J"), "PBE0",
                   "ZORA-def2-TZVP", "none", "none", false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace harvex
