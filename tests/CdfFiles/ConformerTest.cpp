// Conformer descriptions and the loader that combines the outputs they name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CdfFiles/CdfFiles.h"
#include "Gaussian/GaussianFixtures.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using namespace harvex::testing;

constexpr const char* DescrCaption = "TConformerDescription Error";
constexpr const char* CoordCaption = "TCoordinateFile Error";

// ---------------------------------------------------------------------------
// The description file.

TEST(ConformerDescription, ReadsTheNamesOfTheFirstSection) {
  TRecordingDesktop desktop;
  const std::string path = "a.cdf";
  TConfDescrFile descr(WithMemoryFile(desktop, path, R"(; written by hand
[Conformer A]
GEOMFILENAME = opt.out
FreqFileName="freq 1.out"
MP2FileName='sp.out'
WfnFileName=a.wfn
AimFileName=a.sum
IRIntenFileName=a.ir
[Conformer B]
GeomFileName=b.out
MP2FileName=other.out
)"));
  descr.Load(path);
  EXPECT_EQ(descr.FileName, path);
  EXPECT_EQ(descr.SectionName, "Conformer A");
  EXPECT_EQ(descr.GeomFileName, "opt.out");
  EXPECT_EQ(descr.FreqFileName, "freq 1.out");
  EXPECT_EQ(descr.MP2FileName, "sp.out");
  EXPECT_EQ(descr.WfnFileName, "a.wfn");
  EXPECT_EQ(descr.AimFileName, "a.sum");
  EXPECT_EQ(descr.IRIntenFileName, "a.ir");
  EXPECT_TRUE(desktop.Messages.empty());
}

TEST(ConformerDescription, KeysMissingFromTheFirstSectionStayEmpty) {
  TConfDescrFile descr(WithMemoryFile({}, "a.cdf", "[a]\nGeomFileName=opt.out\n[b]\nFreqFileName=freq.out\n"));
  descr.Load("a.cdf");
  EXPECT_EQ(descr.GeomFileName, "opt.out");
  EXPECT_EQ(descr.FreqFileName, "");
}

class InvalidDescription : public ::testing::TestWithParam<const char*> {};

TEST_P(InvalidDescription, ShowsItsBoxAndLeavesTheNamesEmpty) {
  TRecordingDesktop desktop;
  TTempDir folder;
  const std::string path =
      GetParam() == nullptr ? folder.PathOf("absent.cdf") : folder.Write("bad.cdf", GetParam());
  TConfDescrFile descr(desktop);
  descr.Load(path);
  EXPECT_EQ(desktop.Messages,
            (std::vector<TMessage>{{DescrCaption, path + ": Invalid .cdf file!"}}));
  EXPECT_EQ(descr.FileName, path);
  EXPECT_EQ(descr.SectionName, "");
  EXPECT_EQ(descr.GeomFileName, "");
}

INSTANTIATE_TEST_SUITE_P(Files, InvalidDescription,
                         ::testing::Values("", "GeomFileName=opt.out\n", nullptr));

// ---------------------------------------------------------------------------
// The loader, over small Gaussian and ORCA outputs written for the tests.

// A Gaussian output with one SCF energy, a water geometry and, optionally,
// the thermochemistry lines of a frequency job.
std::string GaussianOutput(std::string_view scfLine, std::string_view thermochemistry = {}) {
  return std::string(R"( Entering Gaussian System, Link 0=g03
 ******************************************
 Gaussian 03:  AM64L-G03RevD.01 13-Oct-2005
 ******************************************
 This is the Gaussian(R) 03 program.
                         Standard orientation:
 ---------------------------------------------------------------------
 Center     Atomic     Atomic              Coordinates (Angstroms)
 Number     Number      Type              X           Y           Z
 ---------------------------------------------------------------------
    1          8             0        0.000000    0.000000    0.117300
    2          1             0        0.000000    0.757200   -0.469200
    3          1             0        0.000000   -0.757200   -0.469200
 ---------------------------------------------------------------------
)") + std::string(scfLine) +
         "\n" + std::string(thermochemistry) + " Normal termination of Gaussian 03.\n";
}

constexpr double OptEnergy = -76.4089533684;
constexpr double FreqEnergy = -76.4089533721;
constexpr double SinglePointEnergy = -76.3287101928;
constexpr double ZpeCorrection = 0.021025;
constexpr double GibbsCorrection = 0.003396;
constexpr double FreqGibbsEnergy = -76.405557;
constexpr double OrcaEnergy = -76.425912545290;

// A frequency job: its modes, then its thermochemistry.
const std::string FreqThermochemistry = std::string(TableHeading) + std::string(WaterModes) +
    R"( Zero-point correction=                           0.021025 (Hartree/Particle)
 Thermal correction to Energy=                    0.023861
 Thermal correction to Enthalpy=                  0.024805
 Thermal correction to Gibbs Free Energy=         0.003396
 Sum of electronic and zero-point Energies=            -76.387928
 Sum of electronic and thermal Energies=               -76.385093
 Sum of electronic and thermal Enthalpies=             -76.384148
 Sum of electronic and thermal Free Energies=          -76.405557
)";

constexpr std::string_view OrcaOutput = R"(
                                 * O   R   C   A *
CARTESIAN COORDINATES (ANGSTROEM)
---------------------------------
  O      0.000000   -0.000000    0.007513
  H      0.000000    0.765051    0.592286
  H      0.000000   -0.765051    0.592286

FINAL SINGLE POINT ENERGY       -76.425912545290
)";

// An ORCA frequency job on the same water molecule.
constexpr double OrcaFreqEnergy = -76.425912545290;
constexpr double OrcaGibbsCorrection = 0.00349479;
constexpr double OrcaZpeCorrection = 0.02113985;
constexpr double OrcaGibbsEnergy = -76.42241775;
const std::string OrcaFrequencyOutput = std::string(OrcaOutput) + R"(
VIBRATIONAL FREQUENCIES
-----------------------

   0:         0.00 cm**-1
   1:         0.00 cm**-1
   2:         0.00 cm**-1
   3:         0.00 cm**-1
   4:         0.00 cm**-1
   5:         0.00 cm**-1
   6:      1613.10 cm**-1
   7:      3780.96 cm**-1
   8:      3885.26 cm**-1

Zero point energy                ...      0.02113985 Eh      13.27 kcal/mol
Final Gibbs free energy         ...    -76.42241775 Eh
G-E(el)                           ...      0.00349479 Eh      2.19 kcal/mol
)";

// A scratch folder holding one output of each kind the loader combines.
class ConformerLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder.Write(
        "opt.out",
        GaussianOutput(" SCF Done:  E(RB3LYP) =  -76.4089533684     A.U. after   10 cycles"));
    Folder.Write(
        "freq.out",
        GaussianOutput(" SCF Done:  E(RB3LYP) =  -76.4089533721     A.U. after    1 cycles",
                       FreqThermochemistry));
    Folder.Write(
        "sp.out",
        GaussianOutput(" SCF Done:  E(RwB97XD) =  -76.3287101928     A.U. after   12 cycles"));
    Folder.Write("orca.out", OrcaOutput);
    // Gaussian on Linux names its outputs NAME.log.
    std::filesystem::copy_file(Folder.PathOf("opt.out"), Folder.PathOf("opt.LOG"));
    std::filesystem::copy_file(Folder.PathOf("freq.out"), Folder.PathOf("freq.log"));
    Folder.Write("orcafreq.out", OrcaFrequencyOutput);
    Folder.Write("water.xyz", "O 0 0 0.1173\nH 0 0.7572 -0.4692\nH 0 -0.7572 -0.4692\n");
    // An empty archive: only its end-of-central-directory record.
    Folder.Write("empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  }

  // Writes a description naming the given files (absolute paths inside the
  // scratch folder; an empty name leaves the key out).
  std::string Describe(std::string_view geom, std::string_view freq = {}, std::string_view sp = {},
                       std::string_view name = "conf.cdf") {
    std::string text = "[conformer]\n";
    const auto key = [&](std::string_view key, std::string_view file) {
      if (!file.empty()) text += std::string(key) + "=" + Folder.PathOf(file) + "\n";
    };
    key("GeomFileName", geom);
    key("FreqFileName", freq);
    key("MP2FileName", sp);
    return Folder.Write(name, text);
  }

  TTempDir Folder;
  TRecordingDesktop Desktop;
};

struct TCombinationCase {
  const char* Name;
  const char* Geom;
  const char* Freq;
  const char* SinglePoint;
  TEnergySource Source;
  long double ETotal;
  long double GTotal;
  long double EZpeTotal;
  bool HasThermochemistry;
};

class Combination : public ConformerLoader,
                    public ::testing::WithParamInterface<TCombinationCase> {};

TEST_P(Combination, CombinesTheNamedFilesIntoOneConformer) {
  const TCombinationCase& row = GetParam();
  const std::string path = Describe(row.Geom, row.Freq, row.SinglePoint);
  TCoordinateFile_cdf conformer(Desktop);
  ASSERT_TRUE(conformer.LoadConformer(path, true));
  EXPECT_TRUE(Desktop.Messages.empty());
  EXPECT_TRUE(conformer.IsCdf);
  EXPECT_EQ(conformer.FileKind, fkCdf);
  EXPECT_EQ(conformer.FileName, path);
  ASSERT_TRUE(conformer.Descr);
  EXPECT_EQ(conformer.Descr->SectionName, "conformer");
  ASSERT_EQ(conformer.AtomCount(), 3);
  EXPECT_EQ(conformer.Atoms.AtomAt(1).Element, 8);
  EXPECT_EQ(conformer.EnergySource, row.Source);
  EXPECT_EQ(conformer.HasThermochemistry, row.HasThermochemistry);
  EXPECT_EQ(conformer.ETotal, row.ETotal);
  EXPECT_EQ(conformer.GTotal, row.GTotal);
  EXPECT_EQ(conformer.EZpeTotal, row.EZpeTotal);
  // The totals stored back so that the conformer reads like one output;
  // without thermochemistry no correction is made up from them.
  EXPECT_EQ(conformer.Info.Energy, static_cast<double>(row.ETotal));
  if (!row.HasThermochemistry) {
    EXPECT_FALSE(conformer.Info.HasFreeEnergy());
    EXPECT_FALSE(ZPEKnown(conformer.Info));
    return;
  }
  EXPECT_EQ(conformer.Info.GibbsEnergy, static_cast<double>(row.GTotal));
  EXPECT_EQ(conformer.Info.GibbsCorrection, static_cast<double>(row.GTotal - row.ETotal));
  EXPECT_EQ(conformer.Info.ZPECorrection, static_cast<double>(row.EZpeTotal - row.ETotal));
}

// The sums are formed in extended precision from the double values read.
constexpr long double Wide(double value) { return value; }

INSTANTIATE_TEST_SUITE_P(
    Files, Combination,
    ::testing::Values(TCombinationCase{"GeometryOutputOnly", "opt.out", "", "", esGeometry,
                                       Wide(OptEnergy), 0, 0, false},
                      TCombinationCase{"OrcaGeometryOnly", "orca.out", "", "", esGeometry,
                                       Wide(OrcaEnergy), 0, 0, false},
                      TCombinationCase{"XyzGeometryOnly", "water.xyz", "", "", esNone, 0, 0, 0,
                                       false},
                      TCombinationCase{"GeometryAndFrequency", "opt.out", "freq.out", "",
                                       esFrequency, Wide(FreqEnergy), Wide(FreqGibbsEnergy),
                                       Wide(FreqEnergy) + Wide(ZpeCorrection), true},
                      TCombinationCase{"LogOutputs", "opt.LOG", "freq.log", "", esFrequency, Wide(FreqEnergy),
                                       Wide(FreqGibbsEnergy), Wide(FreqEnergy) + Wide(ZpeCorrection), true},
                      TCombinationCase{"GeometryFrequencyAndSinglePoint", "opt.out", "freq.out",
                                       "sp.out", esSinglePoint, Wide(SinglePointEnergy),
                                       Wide(SinglePointEnergy) + Wide(GibbsCorrection),
                                       Wide(SinglePointEnergy) + Wide(ZpeCorrection), true},
                      TCombinationCase{"XyzGeometryAndSinglePoint", "water.xyz", "", "sp.out",
                                       esSinglePoint, Wide(SinglePointEnergy), 0, 0, false},
                      TCombinationCase{"OrcaFrequencyAndGaussianSinglePoint", "opt.out", "orcafreq.out",
                                       "sp.out", esSinglePoint, Wide(SinglePointEnergy),
                                       Wide(SinglePointEnergy) + Wide(OrcaGibbsCorrection),
                                       Wide(SinglePointEnergy) + Wide(OrcaZpeCorrection), true},
                      TCombinationCase{"OrcaFrequencyOnly", "opt.out", "orcafreq.out", "", esFrequency,
                                       Wide(OrcaFreqEnergy), Wide(OrcaGibbsEnergy),
                                       Wide(OrcaFreqEnergy) + Wide(OrcaZpeCorrection), true},
                      // Frequency files that printed no modes give no thermochemistry.
                      TCombinationCase{"OrcaFileWithoutModes", "opt.out", "orca.out", "", esFrequency,
                                       Wide(OrcaEnergy), 0, 0, false},
                      TCombinationCase{"FrequencyFileWithoutModesAndSinglePoint", "opt.out", "opt.out",
                                       "sp.out", esSinglePoint, Wide(SinglePointEnergy), 0, 0, false}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TFailureCase {
  const char* Name;
  const char* Geom;
  const char* Freq;
  const char* SinglePoint;
  const char* Message;  // followed by the .cdf path
};

class FailedStep : public ConformerLoader, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(FailedStep, ShowsItsMessageWithTheCdfPathAndStops) {
  const TFailureCase& row = GetParam();
  const std::string path = Describe(row.Geom, row.Freq, row.SinglePoint);
  TCoordinateFile_cdf conformer(Desktop);
  EXPECT_FALSE(conformer.LoadConformer(path, true));
  EXPECT_EQ(Desktop.Messages,
            (std::vector<TMessage>{{CoordCaption, std::string(row.Message) + path}}));
  EXPECT_FALSE(conformer.IsCdf);
  EXPECT_TRUE(conformer.Descr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedStep,
    ::testing::Values(
        TFailureCase{"MissingSinglePoint", "water.xyz", "freq.out", "absent.out",
                     "Cann't load Single Point file: "},
        TFailureCase{"SinglePointOfUnknownKind", "water.xyz", "", "sp.chk",
                     "Cann't load Single Point file: "},
        TFailureCase{"SinglePointArchiveWithoutOutput", "water.xyz", "", "empty.zip",
                     "Cann't load Single Point file: "},
        TFailureCase{"MissingFrequency", "water.xyz", "absent.out", "sp.out",
                     "Cann't load IR spectra file: "},
        TFailureCase{"MissingGeometry", "absent.out", "freq.out", "", "Cann't load Geometry file:"},
        TFailureCase{"NoGeometryNamed", "", "freq.out", "", "Cann't load Geometry file:"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConformerLoader, MissingSinglePointLeavesTheOtherFilesUntried) {
  TCoordinateFile_cdf conformer(Desktop);
  conformer.LoadConformer(Describe("opt.out", "freq.out", "absent.out"), true);
  EXPECT_FALSE(conformer.HasThermochemistry);
  EXPECT_EQ(conformer.EnergySource, esNone);
  EXPECT_EQ(conformer.Info.GibbsEnergy, 0);
}

TEST_F(ConformerLoader, InvalidDescriptionShowsBothBoxes) {
  std::filesystem::create_directory(Folder.Path() / "folder.cdf");
  for (const std::string& path : {Folder.Write("empty.cdf", ""), Folder.PathOf("folder.cdf")}) {
    Desktop.Messages.clear();
    TCoordinateFile_cdf conformer(Desktop);
    EXPECT_FALSE(conformer.LoadConformer(path, true));
    EXPECT_EQ(Desktop.Messages,
              (std::vector<TMessage>{{DescrCaption, path + ": Invalid .cdf file!"},
                                     {CoordCaption, "Cann't load Geometry file:" + path}}));
  }
}

TEST_F(ConformerLoader, ExtensionInCapitalsIsADescription) {
  TCoordinateFile_cdf conformer(Desktop);
  EXPECT_TRUE(conformer.LoadConformer(Describe("orca.out", "", "", "CONF.CDF"), true));
  EXPECT_TRUE(conformer.IsCdf);
}

TEST_F(ConformerLoader, OtherPathsLoadAsTheyAre) {
  // ".cdf.out" ends in ".out": an output, not a description.
  const std::string path = Folder.Write("conf.cdf.out", OrcaOutput);
  TCoordinateFile_cdf conformer(Desktop);
  EXPECT_TRUE(conformer.LoadConformer(path, true));
  EXPECT_FALSE(conformer.IsCdf);
  EXPECT_FALSE(conformer.Descr);
  EXPECT_EQ(conformer.FileKind, fkOutput);
  EXPECT_EQ(conformer.Info.Energy, OrcaEnergy);
  EXPECT_EQ(conformer.EnergySource, esNone);
}

TEST_F(ConformerLoader, ConversionErrorInANamedFilePropagates) {
  Folder.Write("bad.xyz", "3\nwater\nO 0.0 x 0.0\n");
  TCoordinateFile_cdf conformer(Desktop);
  EXPECT_THROW(conformer.LoadConformer(Describe("bad.xyz"), true), EConvertError);
}

// Changes the process's current folder for the lifetime of the object.
class TCurrentFolder {
 public:
  explicit TCurrentFolder(const std::filesystem::path& folder)
      : Previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~TCurrentFolder() { std::filesystem::current_path(Previous); }
  TCurrentFolder(const TCurrentFolder&) = delete;
  TCurrentFolder& operator=(const TCurrentFolder&) = delete;

 private:
  std::filesystem::path Previous;
};

TEST_F(ConformerLoader, RelativeNamesResolveAgainstTheCurrentFolder) {
  // The description lies in a subfolder; the name it gives is found in the
  // current folder, not beside the description.
  std::filesystem::create_directory(Folder.Path() / "descriptions");
  const std::string path = Folder.Write("descriptions/conf.cdf", "[c]\nGeomFileName=orca.out\n");
  TCoordinateFile_cdf conformer(Desktop);
  {
    const TCurrentFolder current(Folder.Path());
    EXPECT_TRUE(conformer.LoadConformer(path, true));
  }
  EXPECT_EQ(conformer.ETotal, Wide(OrcaEnergy));
  {
    const TCurrentFolder current(Folder.Path() / "descriptions");
    TCoordinateFile_cdf elsewhere(Desktop);
    EXPECT_FALSE(elsewhere.LoadConformer(path, true));
  }
}

// ---------------------------------------------------------------------------
// A real Gaussian opt + freq output (CH4, M06-2X/3-21G) with a single point
// written for the test, named by a description kept in the project.

TEST(RealConformer, SinglePointShiftsTheFrequencyJobsGibbsCorrection) {
  TRecordingDesktop desktop;
  const std::filesystem::path data = TestDataPath("cdf/ch4.cdf");
  const TCurrentFolder current(std::filesystem::path(data).parent_path());
  TCoordinateFile_cdf conformer(desktop);
  ASSERT_TRUE(conformer.LoadConformer("ch4.cdf", true));
  EXPECT_TRUE(desktop.Messages.empty());
  EXPECT_EQ(conformer.EnergySource, esSinglePoint);
  EXPECT_EQ(conformer.ETotal, Wide(-40.4732157031));
  EXPECT_EQ(conformer.GTotal, Wide(-40.4732157031) + Wide(0.026082));
  EXPECT_EQ(conformer.EZpeTotal, Wide(-40.4732157031) + Wide(0.045747));
  ASSERT_EQ(conformer.AtomCount(), 5);
  EXPECT_EQ(conformer.Atoms.AtomAt(1).Symbol, "C");
}

TEST(RealConformer, FrequencyJobAloneGivesItsOwnEnergies) {
  const std::filesystem::path data = TestDataPath("cdf/ch4_freq.cdf");
  const TCurrentFolder current(std::filesystem::path(data).parent_path());
  TCoordinateFile_cdf conformer;
  ASSERT_TRUE(conformer.LoadConformer("ch4_freq.cdf", true));
  EXPECT_EQ(conformer.EnergySource, esFrequency);
  EXPECT_EQ(conformer.ETotal, Wide(-40.2649626256));
  EXPECT_EQ(conformer.GTotal, Wide(-40.238880));
}

}  // namespace
}  // namespace harvex
