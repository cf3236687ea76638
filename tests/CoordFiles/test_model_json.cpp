// The JSON of a loaded file is written as it goes; it must be the text a
// whole object's dump gives: valid, in the members' order, numbers and
// strings formatted as the library formats them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "CdfFiles/CdfFiles.h"
#include "ModelJson/ModelJson.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

std::string Written(const TCoordinateFile_cdf& file, TModelJson thermo = nullptr) {
  std::ostringstream out;
  WriteModelJson(out, "in.out", file, std::move(thermo));
  return out.str();
}

// What the library writes for the same text read back.
std::string Redumped(const std::string& line) {
  std::ostringstream out;
  WriteJsonLine(out, TModelJson::parse(line));
  return out.str();
}

TEST(ModelJson, StreamedTextIsTheLibrarysDump) {
  // Files that fill modes with attributes and displacements, NBO rows and
  // charges, an ORCA reader's values, a conformer description.
  for (const char* relative : {"gaussian/dvb_ir.out", "gaussian/Trp_polar.out", "gaussian/water_ccsdt.out",
                               "geometry/orca/Orca_scf_error.out", "cdf/ch4_freq.cdf",
                               "geometry/input/ethane_coords.xyz"}) {
    testing::TRecordingDesktop desktop;
    TCoordinateFile_cdf file(desktop);
    file.LoadConformer(testing::TestDataPath(relative), true);
    const std::string line = Written(file);
    ASSERT_TRUE(line.ends_with("}\n")) << relative;
    EXPECT_EQ(line, Redumped(line)) << relative;
    EXPECT_EQ(TModelJson::parse(line), ModelToJson("in.out", file)) << relative;
  }
}

TEST(ModelJson, OddValuesAndTheThermoMember) {
  TCoordinateFile_cdf file;
  file.Info.Energy = std::numeric_limits<double>::quiet_NaN();
  file.Info.EnergyRead = true;
  file.Info.HasAnharmonicThermo = true;
  file.Info.ZPEAnharmonic = std::numeric_limits<long double>::infinity();
  file.Info.EnergyLabel = "E(\xff\"\\\t)";
  file.Info.Modes = std::make_unique<TOscModes>();
  file.Info.Modes->AddMode(1).Attributes.push_back({"Frc consts", std::nan("")});
  file.Atoms.AddAtom().Symbol = "C";
  file.Info.Modes->ModeAt(0).DispZ.Set(0, -0.5);
  const std::string line = Written(file, {{"G", 1.5}, {"Rows", {1, nullptr}}});
  EXPECT_EQ(line, Redumped(line));
  const TModelJson model = TModelJson::parse(line);
  EXPECT_TRUE(model["Info"]["Energy"].is_null());
  EXPECT_TRUE(model["Info"]["ZPEAnharmonic"].is_null());
  EXPECT_EQ(model["Info"]["EnergyLabel"], "E(\xef\xbf\xbd\"\\\t)");
  const TModelJson& mode = model["Info"]["Modes"]["Modes"][0];
  EXPECT_TRUE(mode["Attributes"][0]["Value"].is_null());
  EXPECT_EQ(mode["DispZ"], TModelJson::array({-0.5}));
  EXPECT_EQ(model.back(), (TModelJson{{"G", 1.5}, {"Rows", {1, nullptr}}}));
  EXPECT_EQ(std::prev(model.end()).key(), "Thermo");
  // Members in their order, empty containers and absent records as such.
  EXPECT_NE(line.find(R"("Atoms":[{"Symbol":"C","Element":0,"X":0.0,"Y":0.0,"Z":0.0}],"Info":{"GeometryState":0,)"),
            std::string::npos);
  EXPECT_NE(line.find(R"("NBO":null,"MullikenCharges":null,)"), std::string::npos);
  EXPECT_NE(line.find(R"("HasThermochemistry":false,"Descr":null},"Thermo")"), std::string::npos);
}

// A water output cut down to what each case needs: the banner's version
// line, a geometry of three atoms, an energy and a Mulliken table.
std::string GaussianText(std::string_view versionLine, bool energy) {
  std::string text = " Entering Gaussian System, Link 0=g16\n This is part of the Gaussian(R) 16 program.\n";
  (text += versionLine) += "\n Gaussian 16, Revision C.01,\n";
  text +=
      "                         Standard orientation:\n"
      " ---------------------------------------------------------------------\n"
      " Center     Atomic      Atomic             Coordinates (Angstroms)\n"
      " Number     Number       Type             X           Y           Z\n"
      " ---------------------------------------------------------------------\n"
      "      1          8           0        0.000000    0.000000    0.119345\n"
      "      2          1           0        0.000000    0.763468   -0.477378\n"
      "      3          1           0        0.000000   -0.763468   -0.477378\n"
      " ---------------------------------------------------------------------\n";
  if (energy) text += " SCF Done:  E(RB3LYP) =  -76.4089050000     A.U. after   10 cycles\n";
  text +=
      " Mulliken charges:\n               1\n     1  O   -0.339215\n     2  H    0.169607\n"
      "     3  H    0.169607\n Sum of Mulliken charges =  -0.00000\n"
      " Normal termination of Gaussian 16 at Tue Jul  2 10:00:00 2019.\n";
  return text;
}

std::string OrcaText(std::string_view versionLine) {
  return std::string("                                 * O   R   C   A *\n") + std::string(versionLine) +
         "\n\n                             ****ORCA TERMINATED NORMALLY****\n";
}

// What a program can trust in the JSON of files held in memory: a value not
// read is null, codes are words, charge arrays have one entry per atom, and
// the program's version is read from each form of its banner.
TEST(ModelJson, PropertiesOfReportedFiles) {
  struct TCase {
    const char* Name;
    std::string Text;
    TModelJson Program;
    TModelJson Version;
    const char* FileKind;
    TModelJson Termination;
    bool EnergyRead;
    int Charges;  // entries of MullikenCharges; -1: null
  };
  const TCase cases[] = {
      {"g16.out", GaussianText(" Gaussian 16:  ES64L-G16RevC.01  3-Jul-2019", true), "Gaussian", "Gaussian 16 C.01",
       "Output", "Normal", true, 3},
      {"m1.out", GaussianText(" Gaussian 16:  Apple M1-G16RevC.02  7-Dec-2021", false), "Gaussian",
       "Gaussian 16 C.02", "Output", "Normal", false, 3},
      {"g03.out", GaussianText(" Gaussian 03:  IA32L-G03RevC.02 12-Jun-2004", true), "Gaussian", "Gaussian 03 C.02",
       "Output", "Normal", true, 3},
      {"norev.out", GaussianText(" Gaussian 09:  EM64L-G09", true), "Gaussian", "Gaussian 09", "Output", "Normal",
       true, 3},
      {"nobanner.out", GaussianText(" Gaussian 09, Revision D.01,", true), "Gaussian", nullptr, "Output", "Normal",
       true, 3},
      {"orca5.out", OrcaText("                          Program Version 5.0.4 -  RELEASE  -"), "ORCA", "ORCA 5.0.4",
       "Output", "Normal", false, -1},
      {"orca4.out", OrcaText("                          Program Version 4.0.1.2 - RELEASE -"), "ORCA",
       "ORCA 4.0.1.2", "Output", "Normal", false, -1},
      {"water.xyz", "1\nwater\nO 0 0 0\n", nullptr, nullptr, "XYZ", nullptr, false, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    testing::TTempDir folder;
    testing::TRecordingDesktop desktop;
    TCoordinateFile_cdf file(desktop);
    file.LoadConformer(folder.Write(c.Name, c.Text), true);
    const TModelJson model = TModelJson::parse(Written(file));
    const TModelJson& info = model["Info"];
    EXPECT_EQ(model["Program"], c.Program);
    EXPECT_EQ(model["ProgramVersion"], c.Version);
    EXPECT_EQ(model["FileKind"], c.FileKind);
    EXPECT_EQ(info["Termination"], c.Termination);
    EXPECT_EQ(info["Energy"].is_null(), !c.EnergyRead);
    EXPECT_EQ(info["EnergyLabel"].is_null(), !c.EnergyRead);
    if (c.Charges < 0) {
      EXPECT_TRUE(info["MullikenCharges"].is_null());
    } else {
      EXPECT_EQ(info["MullikenCharges"].size(), static_cast<std::size_t>(c.Charges));
      EXPECT_EQ(info["MullikenCharges"].back(), 0.169607);
    }
    // None of these files has a frequency job, a dipole or a counterpoise job.
    for (const char* member : {"ZPECorrection", "GibbsCorrection", "GibbsEnergy", "MolecularMass", "RotTemperatures",
                               "SymmetryNumber", "ZPEAnharmonic", "Dipole", "DCBSSum", "MCBSSum"})
      EXPECT_TRUE(info[member].is_null()) << member;
    EXPECT_EQ(model["Conformer"]["EnergySource"], "None");
    EXPECT_TRUE(model["Conformer"]["GTotal"].is_null());
  }
}

// A table with fewer rows than the geometry's atoms gives null for the atoms
// it missed; a frequency job's values are there, an atom's zero ZPE as 0.
TEST(ModelJson, ShortChargeTableAndAnAtomsThermochemistry) {
  TCoordinateFile_cdf file;
  for (int atom = 0; atom < 3; ++atom) file.Atoms.AddAtom().Symbol = "H";
  file.Info.MullikenCharges = TChargeArray{0.5, -0.5, 0};
  file.Info.MolecularMass = 1.00783;
  file.Info.HasGibbsEnergy = true;
  file.Info.GibbsEnergy = -0.5;
  const TModelJson model = TModelJson::parse(Written(file));
  EXPECT_EQ(model["Info"]["MullikenCharges"], TModelJson::parse("[0.5,-0.5,null]"));
  EXPECT_EQ(model["Info"]["ZPECorrection"], 0.0);
  EXPECT_EQ(model["Info"]["GibbsEnergy"], -0.5);
  EXPECT_EQ(model["Info"]["MolecularMass"], 1.00783);
}

}  // namespace
}  // namespace harvex
