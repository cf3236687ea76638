// The Gaussian reader's registry: each marker reaches its check wherever it
// stands, and the line a block reader stops on still reaches every check.
#include <string>

#include "CoordFiles/GaussianPass.h"
#include "Gaussian/GaussianFixtures.h"
#include "Gaussian/GaussianTestSupport.h"

namespace harvex {
namespace {

using namespace harvex::testing;

TEST(GaussianRegistryTest, EveryMarkerReachesItsCheckAtAnyColumn) {
  const TMarkerRegistry<TGaussianCheck>& registry = GaussianRegistry();
  for (const TGaussianRow& row : GaussianRows()) {
    const TCheckSet check = TCheckSet{1} << registry.IndexOf(row.Check);
    const int shifts = row.Place == TMarkerPlace::OpensLine ? 1 : 4;
    for (int shift = 0; shift < shifts; ++shift) {
      const std::string line = std::string(static_cast<std::size_t>(shift), ' ') + std::string(row.Marker);
      SCOPED_TRACE(line);
      TMarkerFilter::TMatches matches;
      EXPECT_NE(registry.ChecksFor(line, matches) & check, 0u);
      // The check is told where its marker stands.
      const TMarkerMatch& match = matches[static_cast<std::size_t>(registry.IndexOf(row.Check))];
      EXPECT_EQ(line.compare(match.At, match.Marker.size(), match.Marker), 0);
      if (match.Marker == row.Marker) {
        EXPECT_EQ(match.At, static_cast<std::size_t>(shift));
      }
    }
  }
}

// A line holding several markers of one check hands it the marker of its
// first row, wherever each stands; a marker that opens its line matches at 0.
TEST(MarkerFilterTest, MatchIsTheFirstRowsMarkerTheLineHolds) {
  const TMarkerFilter::TEntry entries[] = {{"Zero-point", 0, {}, TMarkerPlace::Anywhere},
                                           {"Molecular mass", 0, {}, TMarkerPlace::Anywhere},
                                           {" E2(", 1, {}, TMarkerPlace::OpensLine}};
  const TMarkerFilter filter(entries);
  TMarkerFilter::TMatches matches;
  EXPECT_EQ(filter.ChecksFor(" E2(B2PLYP) Molecular mass Zero-point", matches), 3u);
  EXPECT_EQ(matches[0].Marker, "Zero-point");
  EXPECT_EQ(matches[0].At, 27u);
  EXPECT_EQ(matches[1].Marker, " E2(");
  EXPECT_EQ(matches[1].At, 0u);
  EXPECT_EQ(filter.ChecksFor("  E2( Molecular mass", matches), 1u);
  EXPECT_EQ(matches[0].Marker, "Molecular mass");
  EXPECT_EQ(matches[0].At, 6u);
}

TEST(GaussianRegistryTest, LineHoldingNoMarkerRunsNoCheck) {
  const TMarkerRegistry<TGaussianCheck>& registry = GaussianRegistry();
  for (const char* line : {" ErrMax= 1.23D-03 EMaxC= 1.00D-01 BMatC= 5.67D-03 BMatP= 1.23D-03",
                           " ---------------------------------------------------------------------",
                           "  Shift=    0.000  Harm", "      1          8           0        0.000000    0.000000"})
    EXPECT_EQ(registry.ChecksFor(line), 0u) << line;
}

TEST(MarkerFilterTest, WindowMustBeFiveBytesOfItsMarker) {
  for (std::string_view window : {"Dome:", "Done", "Done: "}) {
    const TMarkerFilter::TEntry entry{"SCF Done:", 0, window, TMarkerPlace::Anywhere};
    EXPECT_THROW(TMarkerFilter({&entry, 1}), std::logic_error) << window;
  }
}

// Each block ends on a line it does not take, which must still reach every
// check: here one whose check runs before the block's own in the registry.
constexpr std::string_view EnergyLine = " SCF Done:  E(RHF) =  -9.5     A.U. after    1 cycles\n";

struct TBlockCase {
  const char* Name;
  std::string Block;
};

TEST_F(GaussianReaderTest, LineAfterAConsumedBlockReachesEveryCheck) {
  const std::string modes(WaterModes.substr(0, WaterModes.size() - 1));  // the table without its closing blank
  const TBlockCase cases[] = {
      {"frequency table", std::string(TableHeading) + modes},
      {"frequency block without its column header",
       std::string(TableHeading) + modes.substr(0, modes.find("  Atom"))},
      {"dipole title without its components", " Dipole moment (field-independent basis, Debye):\n"},
      {"orientation title without its table", "                         Standard orientation:\n"},
  };
  for (const TBlockCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto file = LoadFresh(StandardOrientation(WaterRows) + c.Block + std::string(EnergyLine));
    EXPECT_DOUBLE_EQ(file->Info.Energy, -9.5);
  }
}

}  // namespace
}  // namespace harvex
