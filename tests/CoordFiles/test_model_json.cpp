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

}  // namespace
}  // namespace harvex
