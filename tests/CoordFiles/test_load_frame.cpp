#include <string>

#include <gtest/gtest.h>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

using testing::TRecordingDesktop;
using testing::TTempDir;

TEST(UpperExtension, TakesTheLastDotOfTheFileNamePart) {
  struct Case {
    const char* Path;
    const char* Extension;
  } cases[] = {{"a.out", ".OUT"},          {"a.Out", ".OUT"},
               {"dir/a.b.log", ".LOG"},    {"a.out.bak", ".BAK"},
               {"/data/run.1/mol", ""},    {"run.1/mol", ""},
               {"C:\\run.1\\mol", ""},     {"C:mol", ""},
               {"mol", ""},                {"a.", "."},
               {"/x/.hidden", ".HIDDEN"},  {"conf.CDF", ".CDF"}};
  for (const Case& c : cases) EXPECT_EQ(UpperExtension(c.Path), c.Extension) << c.Path;
}

// Paths the loader refuses by name: it returns false and reads nothing, so
// even a missing file gives no error.
TEST(LoadFile, RefusesOtherExtensionsWithoutReading) {
  TRecordingDesktop desktop;
  for (const char* path : {"/nonexistent/a.log.bak", "/nonexistent/a.out.bak", "/nonexistent/run.1/mol",
                           "/nonexistent/a.txt", "/nonexistent/a"}) {
    TCoordinateFile file(desktop);
    EXPECT_FALSE(file.LoadFile(path, true)) << path;
    EXPECT_EQ(file.FileKind, fkNone) << path;
  }
  EXPECT_TRUE(desktop.Messages.empty());
}

TEST(LoadFile, OutputOfNeitherProgramIsAnOutputThatDidNotLoad) {
  TRecordingDesktop desktop;
  TTempDir dir;
  // Gaussian on Linux names its outputs NAME.log.
  for (const char* name : {"a.out", "b.OUT", "c.Out", "d.log", "e.LOG", "f.Log"}) {
    TCoordinateFile file(desktop);
    EXPECT_FALSE(file.LoadFile(dir.Write(name, "plain text\nno banner here\n"), true)) << name;
    EXPECT_EQ(file.FileKind, fkOutput) << name;
    EXPECT_EQ(file.Info.Modes, nullptr);
  }
  TCoordinateFile missing(desktop);
  EXPECT_FALSE(missing.LoadFile((dir.Path() / "missing.out").string(), true));
  EXPECT_EQ(missing.FileKind, fkOutput);
  EXPECT_TRUE(desktop.Messages.empty());
}

// Nothing could be opened in it: a .cdf naming it says it could not be loaded.
TEST(LoadFile, AnArchiveWithoutAnOutputMemberIsNotTaken) {
  TTempDir dir;
  TCoordinateFile file;
  EXPECT_FALSE(file.LoadFile(dir.Write("not-an-archive.ZIP", "just text\n"), true));
  EXPECT_FALSE(file.Info.SourceOpened);
  EXPECT_EQ(file.FileKind, fkOutput);
  EXPECT_EQ(file.AtomCount(), 0);
}

TEST(LoadFile, EmptiesTheAtomsAndReleasesModesOnlyWhenAtomsWereHeld) {
  TTempDir dir;
  const std::string path = dir.Write("plain.out", "no banner\n");

  TCoordinateFile withAtoms;
  withAtoms.Atoms.AddAtom();
  withAtoms.Info.Modes = std::make_unique<TOscModes>();
  withAtoms.LoadFile(path, true);
  EXPECT_EQ(withAtoms.AtomCount(), 0);
  EXPECT_EQ(withAtoms.Info.Modes, nullptr);

  TCoordinateFile withoutAtoms;
  withoutAtoms.Info.Modes = std::make_unique<TOscModes>();
  withoutAtoms.LoadFile(path, true);
  EXPECT_NE(withoutAtoms.Info.Modes, nullptr);
}

TEST(TCoordinateFile, ResetOutInfoKeepsEnergiesAndSums) {
  TCoordinateFile file;
  file.Info.Energy = -1.5;
  file.Info.EnergyLabel = "(RHF)";
  file.Info.GibbsEnergy = -1.4;
  file.Info.MCBSSum = 2;
  file.Info.HasDipole = file.Info.HasCounterpoise = true;
  file.Info.MullikenCharges = TChargeArray{0, 1};
  file.Info.NBO = std::make_unique<TNBOData>();
  file.Info.Modes = std::make_unique<TOscModes>();
  file.Info.Modes->AddMode(1);
  file.Info.Multiplicity = 3;
  file.Info.AtomMasses = {15.999};
  file.Info.ThermoTemperature = 298.15;
  file.Info.SymmetryNumber = 2;
  file.Info.Dipole = {0, 0, 1.5};
  file.Info.ReadWarnings = {"kept"};
  file.ResetOutInfo();
  ASSERT_NE(file.Info.Modes, nullptr);
  EXPECT_EQ(file.Info.Modes->Count(), 0);
  EXPECT_FALSE(file.Info.Modes->HighPrecision || file.Info.Modes->Anharmonic);
  EXPECT_FALSE(file.Info.MullikenCharges || file.Info.NBO || file.Info.HasDipole ||
               file.Info.HasCounterpoise);
  EXPECT_EQ(file.Info.Energy, -1.5);
  EXPECT_EQ(file.Info.EnergyLabel, "(RHF)");
  EXPECT_EQ(file.Info.GibbsEnergy, -1.4);
  EXPECT_EQ(file.Info.MCBSSum, 2);
  EXPECT_EQ(file.Info.Multiplicity, 0);
  EXPECT_TRUE(file.Info.AtomMasses.empty());
  EXPECT_FALSE(file.Info.ThermoTemperature);
  EXPECT_EQ(file.Info.SymmetryNumber, 2);
  EXPECT_EQ(file.Info.Dipole[2], 1.5L);
  EXPECT_EQ(file.Info.ReadWarnings.size(), 1U);
}

// A frequency block starts its thermochemistry afresh and nothing else.
TEST(TOutInfo, ClearThermochemistryKeepsWhatIsNotThermochemistry) {
  TOutInfo info;
  info.Energy = -76.4;
  info.Multiplicity = 2;
  info.HasDipole = true;
  info.ZPECorrection = info.GibbsEnergy = 0.1;
  info.HasGibbsEnergy = info.LinearRotor = true;
  info.RotTemperatures = {1, 2, 3};
  info.AtomMasses = {1.008};
  info.PrintedFreeEnergy = -76.3;
  info.ClearThermochemistry();
  EXPECT_EQ(info.ZPECorrection, 0);
  EXPECT_EQ(info.GibbsEnergy, 0);
  EXPECT_FALSE(info.HasGibbsEnergy || info.LinearRotor || info.PrintedFreeEnergy);
  EXPECT_EQ(info.RotTemperatures, (std::array<double, 3>{}));
  EXPECT_TRUE(info.AtomMasses.empty());
  EXPECT_EQ(info.Energy, -76.4);
  EXPECT_EQ(info.Multiplicity, 2);
  EXPECT_TRUE(info.HasDipole);
}

// The readers need no model: over a source opened on a buffer they fill an
// atom list and the output values as a load of the file does, and report
// to the context.
TEST(Readers, ReadAnyOpenedSourceIntoAtomsAndValues) {
  for (const char* relative : {"gaussian/water.out", "geometry/orca/Orca_opt_freq_test.out"}) {
    const std::string path = testing::TestDataPath(relative);
    TRecordingDesktop loaded;
    TCoordinateFile file(loaded);
    ASSERT_TRUE(file.LoadFile(path, true)) << relative;
    TRecordingDesktop read;
    const TLoadContext context = WithMemoryFile(read, "text", testing::ReadWholeFile(path));
    TLineSource source(context);
    ASSERT_TRUE(source.OpenSource("text"));
    TAtomicArray atoms;
    TOutInfo info;
    if (file.Info.Program == opGaussian) {
      EXPECT_TRUE(ParseGaussianOutput(source, true, atoms, info, context));
    } else {
      ReadOrcaOutput(source, atoms, info, context);
    }
    EXPECT_EQ(atoms.Count(), file.AtomCount()) << relative;
    EXPECT_EQ(info.Energy, file.Info.Energy) << relative;
    EXPECT_EQ(info.Modes->Count(), file.Info.Modes->Count()) << relative;
    EXPECT_EQ(info.Termination, file.Info.Termination) << relative;
    EXPECT_EQ(read.Messages, loaded.Messages) << relative;
  }
}

TEST(TOscModes, ModeAtRaisesTheListIndexError) {
  TOscModes modes;
  modes.AddMode(7);
  EXPECT_EQ(modes.ModeAt(0).ModeNumber, 7);
  try {
    modes.ModeAt(1);
    FAIL();
  } catch (const EListError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW(modes.ModeAt(-1), EListError);
}

TEST(GetModeAttribute, FindsTheFirstExactNameOnly) {
  const std::vector<TAdditionalModeAttrib> attributes = {
      {"Frequencies", 100}, {"Red. masses", 2}, {"Frequencies", 300}};
  long double value = -7;
  EXPECT_TRUE(GetModeAttribute(attributes, "Frequencies", value));
  EXPECT_EQ(value, 100);
  value = -7;
  EXPECT_FALSE(GetModeAttribute(attributes, "frequencies", value));
  EXPECT_FALSE(GetModeAttribute(attributes, "Frequency", value));
  EXPECT_EQ(value, -7);
}

TEST(ShowError, UsesTheClassCaption) {
  TRecordingDesktop desktop;
  TCoordinateFile(desktop).ShowError("text");
  ASSERT_EQ(desktop.Messages.size(), 1u);
  EXPECT_EQ(desktop.Messages[0], (testing::TMessage{"TCoordinateFile Error", "text"}));
}

// Which reader ran shows in GeometryState: only the Gaussian reader sets it
// (to 2 when it kept no geometry); the ORCA reader leaves it at 0 and
// reports success whenever the file opened.
struct BannerCase {
  const char* Name;
  const char* Text;
  bool Loaded;
  int GeometryState;
};

class BannerScan : public ::testing::TestWithParam<BannerCase> {};

TEST_P(BannerScan, TheFirstBannerLineChoosesTheReader) {
  TRecordingDesktop desktop;
  TTempDir dir;
  TCoordinateFile file(desktop);
  EXPECT_EQ(file.LoadFile(dir.Write("job.out", GetParam().Text), true), GetParam().Loaded);
  EXPECT_EQ(file.Info.GeometryState, GetParam().GeometryState);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, BannerScan,
    ::testing::Values(
        BannerCase{"Gaussian03", " This is the Gaussian(R) 03 program.\n", false, 2},
        BannerCase{"Gaussian16", " This is part of the Gaussian(R) 16 program.\n", false, 2},
        BannerCase{"Orca", "                 * O   R   C   A *\n", true, 0},
        BannerCase{"OrcaQuotingGaussianLater",
                   " * O   R   C   A *\n This is part of the Gaussian(R) 16 program.\n", true, 0},
        BannerCase{"GaussianQuotingOrcaLater",
                   " This is the Gaussian(R) 03 program.\n * O   R   C   A *\n", false, 2},
        BannerCase{"BothOnOneLineIsGaussian", " * O   R   C   A * This is the Gaussian(R)\n", false, 2},
        BannerCase{"BannerAfterCtrlZIsNotSeen", "text\n\x1a This is the Gaussian(R) 03\n", false, 0},
        BannerCase{"BinaryBytes", "\x7f" "ELF\x01\x02\0\0\xff\xfe\r\r\n\x00\x01", false, 0}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace harvex
