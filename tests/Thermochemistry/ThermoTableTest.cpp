// The thermochemistry table of many files: rows per temperature, the energy
// an ensemble ranks by, the self-check's notices and the JSON values.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "Thermochemistry/ThermoTable.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

using testing::TestDataPath;

struct TNotices {
  std::vector<std::pair<std::string, std::string>> Told;
  TThermoNotice Callback() {
    return [this](const std::string& path, const std::string& message) { Told.emplace_back(path, message); };
  }
};

std::unique_ptr<TCoordinateFile_cdf> Loaded(const std::string& relative) {
  auto file = std::make_unique<TCoordinateFile_cdf>();
  EXPECT_TRUE(file->LoadConformer(TestDataPath(relative), true)) << relative;
  return file;
}

std::string TabText(const TThermoTable& table) { return TableText(table.Table(), TTableForm::Tabs); }

// The ranking energy is qh-G at the ensemble's temperature, whatever
// temperatures the rows are at; a file with nothing to recompute has none.
TEST(ThermoTable, RanksAtTheEnsemblesTemperatureAndRowsAtEachOfTheTable) {
  const testing::TRecordingDesktop desktop;
  const std::unique_ptr<TCoordinateFile_cdf> isobutane = Loaded("gaussian/isobutane.out");
  const std::unique_ptr<TCoordinateFile_cdf> noModes = Loaded("gaussian/dvb_gopt.out");
  TNotices notices;
  TThermoTable table(TThermoConditions{}, {200, 400}, 298.15, true, notices.Callback());
  const TThermoRows rows = table.Add("iso\tbutane.out", *isobutane);
  ASSERT_TRUE(rows.RankingEnergy);
  EXPECT_NEAR(static_cast<double>(*rows.RankingEnergy), -158.3540562, 5e-8);  // qh-G at 298.15 K
  ASSERT_EQ(rows.Json.size(), 2U);
  EXPECT_EQ(rows.Json[1]["Temperature"], 400.0);
  EXPECT_LT(rows.Json[1]["QhG"].get<double>(), rows.Json[0]["QhG"].get<double>());
  const TThermoRows none = table.Add("gopt.out", *noModes);
  EXPECT_FALSE(none.RankingEnergy);
  EXPECT_TRUE(none.Json[0]["G"].is_null());
  EXPECT_EQ(table.Table().Rows.size(), 4U);  // two rows for each file
  const std::string text = TabText(table);
  EXPECT_TRUE(text.starts_with("# thermochemistry recomputed with S: Grimme, 100 cm-1; harmonic H; imaginary modes "
                               "left out\npath\tprogram\tT [K]\tp [atm]\t"))
      << text;
  EXPECT_NE(text.find("\niso butane.out\tGaussian\t200\t"), std::string::npos) << text;
  // What a file without modes does not give is left empty.
  EXPECT_NE(text.find("\ngopt.out\tGaussian\t400\t1\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t"), std::string::npos)
      << text;
  EXPECT_TRUE(notices.Told.empty());
  EXPECT_TRUE(table.Clean());
}

// A recomputation far from the printed G is told once per file and marks
// the table; the rows are written all the same.
TEST(ThermoTable, FailedSelfCheckIsToldAndMarksTheTable) {
  const testing::TRecordingDesktop desktop;
  const std::unique_ptr<TCoordinateFile_cdf> file = Loaded("gaussian/isobutane.out");
  file->Info.PrintedFreeEnergy = -158.354146;  // 1e-4 below the printed one
  TNotices notices;
  TThermoTable table(TThermoConditions{}, {298.15, 310}, 298.15, false, notices.Callback());
  const TThermoRows rows = table.Add("a.out", *file);
  EXPECT_TRUE(rows.Json.is_null());
  ASSERT_EQ(notices.Told.size(), 1U);
  EXPECT_EQ(notices.Told[0].first, "a.out");
  EXPECT_TRUE(notices.Told[0].second.starts_with("printed G -158.354146 but recomputed -158.3540456"))
      << notices.Told[0].second;
  EXPECT_FALSE(table.Clean());
  EXPECT_EQ(table.Table().Rows.size(), 2U);
  EXPECT_EQ(RankingEnergyName(table.RankingConditions()), "qh-G (Grimme, 100 cm-1, 1 atm)");
}

}  // namespace
}  // namespace harvex
