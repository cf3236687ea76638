// Conformer ensembles: ranking, superposition, duplicates, populations and
// the table. Expected populations were worked out apart from the program
// (Boltzmann factors in double precision with the CODATA 2018 constants).
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "Ensemble/Ensemble.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "common/TestLocales.h"

namespace harvex {
namespace {

// The ensemble's table as a file gets it.
std::string TabText(const TEnsemble& ensemble) { return TableText(EnsembleTable(ensemble), TTableForm::Tabs); }


using testing::TestDataPath;

// CODATA 2018: the Hartree energy times Avogadro's number over 4184 J/kcal.
constexpr double KcalPerHartree = 627.5094740630558;
// The Hartree energy over Boltzmann's constant, in Kelvin.
constexpr double HartreeKelvin = 4.3597447222071e-18 / 1.380649e-23;

// CHFClBr: chiral, so its mirror image is another molecule in space.
const std::vector<std::int32_t> HalomethaneElements = {6, 1, 9, 17, 35};
const std::vector<TPoint> Halomethane = {{0.000, 0.000, 0.000},
                                         {0.629, 0.629, 0.629},
                                         {-0.780, -0.780, 0.780},
                                         {-1.020, 1.020, -1.020},
                                         {1.130, -1.130, -1.130}};

// The points turned by Angle (radians) about the unit Axis, then shifted.
std::vector<TPoint> Moved(const std::vector<TPoint>& points, TPoint axis, double angle, TPoint shift) {
  const double c = std::cos(angle), s = std::sin(angle);
  std::vector<TPoint> moved;
  for (const TPoint& p : points) {
    const double dot = axis[0] * p[0] + axis[1] * p[1] + axis[2] * p[2];
    const TPoint cross = {axis[1] * p[2] - axis[2] * p[1], axis[2] * p[0] - axis[0] * p[2],
                          axis[0] * p[1] - axis[1] * p[0]};
    TPoint q;
    for (int i = 0; i < 3; ++i) q[i] = p[i] * c + cross[i] * s + axis[i] * dot * (1 - c) + shift[i];
    moved.push_back(q);
  }
  return moved;
}

const TPoint Diagonal = {0.48, 0.6, 0.64};  // a unit vector

TEnsembleMember Member(std::string path, long double e, std::optional<long double> g,
                       std::vector<TPoint> coordinates = Halomethane,
                       std::vector<std::int32_t> elements = HalomethaneElements) {
  TEnsembleMember member;
  member.Path = std::move(path);
  member.HasEnergy = true;
  member.E = e;
  member.G = g;
  if (!coordinates.empty()) member.Elements = std::move(elements);
  member.Coordinates = std::move(coordinates);
  member.Termination = tmNormal;
  return member;
}

std::vector<std::string> RankedPaths(const TEnsemble& ensemble) {
  std::vector<std::string> paths;
  for (const TEnsembleRow& row : ensemble.Rows) paths.push_back(row.Member.Path);
  return paths;
}

int TenthsSum(const TEnsemble& ensemble) {
  return std::accumulate(ensemble.Rows.begin(), ensemble.Rows.end(), 0, [](int sum, const TEnsembleRow& row) {
    return sum + (row.Population ? row.PopulationTenths : 0);
  });
}

// ---------------------------------------------------------------------------
// Superposition.

TEST(Superposition, RotatedTranslatedCopyMatchesAndAStretchKeepsItsOwnDistance) {
  EXPECT_LT(SuperposedRmsd(Halomethane, Moved(Halomethane, Diagonal, 2.1, {3, -1, 7})), 1e-6);
  // Two atoms 2 A apart against 2.2 A apart: 0.1 A each after superposition.
  const std::vector<TPoint> pair = {{-1, 0, 0}, {1, 0, 0}};
  const std::vector<TPoint> stretched = Moved({{-1.1, 0, 0}, {1.1, 0, 0}}, Diagonal, 0.9, {5, 5, 5});
  EXPECT_NEAR(SuperposedRmsd(pair, stretched), 0.1, 1e-9);
}

TEST(Superposition, MirrorImageIsNeverSuperposedByAReflection) {
  std::vector<TPoint> mirror = Halomethane;
  for (TPoint& p : mirror) p[0] = -p[0];
  EXPECT_GT(SuperposedRmsd(Halomethane, Moved(mirror, Diagonal, 0.4, {1, 2, 3})), 0.3);
}

// ---------------------------------------------------------------------------
// Populations of three conformers given out of order.

struct TPopulationCase {
  double Temperature;
  std::array<double, 3> Percent;  // by rank
  std::array<int, 3> Tenths;      // as printed, summing to 100.0
  double FreeEnergy;
};

class Populations : public ::testing::TestWithParam<TPopulationCase> {};

TEST_P(Populations, FollowBoltzmannRelativeToTheLowestAndSumToAHundred) {
  const TPopulationCase& expected = GetParam();
  // One shape at energies 0.5 kcal/mol and more apart: no duplicates.
  const TEnsemble ensemble =
      ComputeEnsemble({Member("c.out", -500.50, -500.1215567L, Moved(Halomethane, Diagonal, 1.0, {})),
                       Member("a.out", -500.49, -500.1234567L, Moved(Halomethane, Diagonal, 2.0, {})),
                       Member("b.out", -500.48, -500.1226567L, Moved(Halomethane, Diagonal, 3.0, {}))},
                      expected.Temperature);
  EXPECT_TRUE(ensemble.UsesG);
  EXPECT_EQ(RankedPaths(ensemble), (std::vector<std::string>{"a.out", "b.out", "c.out"}));
  for (std::size_t rank = 0; rank < 3; ++rank) {
    const TEnsembleRow& row = ensemble.Rows[rank];
    EXPECT_EQ(row.DuplicateOf, 0);
    ASSERT_TRUE(row.Population);
    EXPECT_NEAR(*row.Population, expected.Percent[rank], 1e-9) << rank;
    EXPECT_EQ(row.PopulationTenths, expected.Tenths[rank]) << rank;
  }
  EXPECT_NEAR(static_cast<double>(*ensemble.Rows[2].DeltaG), 0.0019 * KcalPerHartree, 1e-9);
  EXPECT_NEAR(static_cast<double>(ensemble.Rows[2].DeltaE), -0.01 * KcalPerHartree, 1e-9);
  EXPECT_NEAR(static_cast<double>(*ensemble.FreeEnergy), expected.FreeEnergy, 1e-10);
  EXPECT_EQ(TenthsSum(ensemble), 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Temperatures, Populations,
    ::testing::Values(
        TPopulationCase{
            298.15, {64.0101372791898, 27.43308502101543, 8.556777699794766}, {640, 274, 86}, -500.12387792798665},
        // 58.5 + 29.7 + 11.7 would make 99.9: the largest remainder takes the tenth.
        TPopulationCase{
            373.15, {58.532292571475736, 29.742749625375577, 11.724957803148678}, {585, 298, 117}, -500.124089606279},
        TPopulationCase{
            200, {75.04296573797073, 21.22035211842273, 3.736682143606535}, {751, 212, 37}, -500.12363854424825}));

TEST(Ensemble, OneMemberWithoutGMakesEveryMemberUseE) {
  const TEnsemble ensemble =
      ComputeEnsemble({Member("no-g.out", -40.51, std::nullopt, Moved(Halomethane, Diagonal, 1.0, {})),
                       Member("high.out", -40.509, -40.4905L, Moved(Halomethane, Diagonal, 2.0, {})),
                       Member("low.out", -40.5115, -40.49L, Moved(Halomethane, Diagonal, 3.0, {}))},
                      298.15);
  EXPECT_FALSE(ensemble.UsesG);
  EXPECT_EQ(RankedPaths(ensemble), (std::vector<std::string>{"low.out", "no-g.out", "high.out"}));
  const std::array<double, 3> percent = {78.43110268764036, 16.015365935660554, 5.553531376699093};
  for (std::size_t rank = 0; rank < 3; ++rank) EXPECT_NEAR(*ensemble.Rows[rank].Population, percent[rank], 1e-9);
  EXPECT_NEAR(static_cast<double>(*ensemble.FreeEnergy), -40.51172938935419, 1e-10);
  // dG against the lowest-ranked member that has a G.
  EXPECT_FALSE(ensemble.Rows[1].DeltaG);
  EXPECT_NEAR(static_cast<double>(*ensemble.Rows[2].DeltaG), -0.0005 * KcalPerHartree, 1e-9);
  EXPECT_EQ(MemberWarnings(ensemble.Rows[1].Member), (std::vector<std::string_view>{"no thermochemistry"}));
}

TEST(Ensemble, EqualEnergiesKeepTheOrderGiven) {
  const TEnsemble ensemble = ComputeEnsemble(
      {Member("first.out", -1, -1, {}), Member("second.out", -1, -1, {}), Member("third.out", -1, -1, {})}, 298.15);
  EXPECT_EQ(RankedPaths(ensemble), (std::vector<std::string>{"first.out", "second.out", "third.out"}));
  EXPECT_EQ(ensemble.Rows[0].PopulationTenths, 334);
  EXPECT_EQ(ensemble.Rows[1].PopulationTenths, 333);
  EXPECT_EQ(ensemble.Rows[2].PopulationTenths, 333);
}

// ---------------------------------------------------------------------------
// Duplicates: the same conformer reached twice.

struct TDuplicateCase {
  const char* Name;
  std::vector<TPoint> Second;
  double KcalAbove;  // the second member's energy above the first's
  bool Duplicate;
  std::vector<std::int32_t> SecondElements = HalomethaneElements;
};

std::vector<TPoint> BromineMovedBy(double distance) {
  std::vector<TPoint> points = Halomethane;
  points[4][0] += distance;
  return points;
}

std::vector<TPoint> Mirrored() {
  std::vector<TPoint> points = Halomethane;
  for (TPoint& p : points) p[2] = -p[2];
  return points;
}

class Duplicates : public ::testing::TestWithParam<TDuplicateCase> {};

TEST_P(Duplicates, NeedTheSameAtomsEnergyAndShape) {
  const TDuplicateCase& c = GetParam();
  const long double g = -700.25L;
  const TEnsemble ensemble =
      ComputeEnsemble({Member("first.out", -700.5, g),
                       Member("second.out", -700.5, g + static_cast<long double>(c.KcalAbove / KcalPerHartree), c.Second, c.SecondElements),
                       Member("other.out", -700.5, g + 0.0005L, Moved(Halomethane, Diagonal, 1.0, {}))},
                      298.15);
  ASSERT_EQ(RankedPaths(ensemble)[1], "second.out");
  EXPECT_EQ(ensemble.Rows[1].DuplicateOf, c.Duplicate ? 1 : 0);
  EXPECT_EQ(ensemble.Rows[1].Population.has_value(), !c.Duplicate);
  // A duplicate counts once: the others share 100 %.
  const double otherPercent = c.Duplicate ? 100 / (1 + std::exp(-0.0005 * HartreeKelvin / 298.15))
                                          : *ensemble.Rows[0].Population;
  EXPECT_NEAR(*ensemble.Rows[0].Population, otherPercent, 1e-9);
  EXPECT_EQ(TenthsSum(ensemble), 1000);
}

INSTANTIATE_TEST_SUITE_P(Pairs, Duplicates,
                         ::testing::Values(TDuplicateCase{"RotatedTranslatedCopy",
                                                          Moved(Halomethane, Diagonal, 2.5, {4, 0, -3}), 0.04, true},
                                           TDuplicateCase{"SmallShift", BromineMovedBy(0.05), 0, true},
                                           TDuplicateCase{"EnergyOutsideTheWindow", Halomethane, 0.06, false},
                                           TDuplicateCase{"DifferentShape", BromineMovedBy(0.3), 0, false},
                                           TDuplicateCase{"MirrorImage", Mirrored(), 0, false},
                                           TDuplicateCase{
                                               "AtomsInAnotherOrder", Halomethane, 0, false, {6, 1, 17, 9, 35}},
                                           TDuplicateCase{"NoGeometry", {}, 0, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Ensemble, RepeatedConformerIsADuplicateOfTheFirstEachTime) {
  const TEnsemble ensemble =
      ComputeEnsemble({Member("a.out", -1, -1), Member("b.out", -1, -1, Moved(Halomethane, Diagonal, 1.0, {1, 1, 1})),
                       Member("c.out", -1, -1, Moved(Halomethane, Diagonal, 2.0, {}))},
                      298.15);
  EXPECT_EQ(ensemble.Rows[1].DuplicateOf, 1);
  EXPECT_EQ(ensemble.Rows[2].DuplicateOf, 1);
  EXPECT_EQ(ensemble.Rows[0].PopulationTenths, 1000);
}

// ---------------------------------------------------------------------------
// Members of different molecules and members that are not ranked.

TEST(Ensembles, OneTablePerFormulaWithPopulationsEach) {
  const std::vector<TPoint> water = {{0, 0, 0.1173}, {0, 0.7572, -0.4692}, {0, -0.7572, -0.4692}};
  const std::vector<TEnsemble> ensembles =
      ComputeEnsembles({Member("ch.out", -1, -2), Member("water.out", -0.9, -1.9, water, {8, 1, 1}),
                        Member("ch2.out", -1, -2, Moved(Halomethane, Diagonal, 1.0, {})),
                        Member("water2.out", -0.9, -1.9, water, {1, 8, 1})},
                       298.15);
  ASSERT_EQ(ensembles.size(), 2U);
  EXPECT_EQ(ensembles[0].Formula, "CHBrClF");
  EXPECT_EQ(RankedPaths(ensembles[0]), (std::vector<std::string>{"ch.out", "ch2.out"}));
  EXPECT_EQ(ensembles[1].Formula, "H2O");
  EXPECT_EQ(RankedPaths(ensembles[1]), (std::vector<std::string>{"water.out", "water2.out"}));
  for (const TEnsemble& ensemble : ensembles) {
    EXPECT_TRUE(ensemble.FreeEnergy);
    EXPECT_EQ(TenthsSum(ensemble), 1000);
  }
  EXPECT_TRUE(TabText(ensembles[1]).starts_with("# H2O: 2 members ranked by G at 298.15 K\n")) << TabText(ensembles[1]);
}

// A member without a geometry joins the only molecule; among two it is
// listed with the first, not ranked.
TEST(Ensembles, MemberWithoutGeometryJoinsTheOnlyFormula) {
  const std::vector<TPoint> water = {{0, 0, 0.1173}, {0, 0.7572, -0.4692}, {0, -0.7572, -0.4692}};
  EXPECT_EQ(RankedPaths(ComputeEnsembles({Member("ch.out", -1, -2), Member("bare.out", -1.1, -2.1, {})}, 298.15)[0]),
            (std::vector<std::string>{"bare.out", "ch.out"}));
  std::vector<TEnsemble> two = ComputeEnsembles(
      {Member("ch.out", -1, -2), Member("bare.out", -1.1, -2.1, {}), Member("w.out", -0.9, -1.9, water, {8, 1, 1})},
      298.15);
  EXPECT_EQ(RankedPaths(two[0]), (std::vector<std::string>{"ch.out"}));
  ASSERT_EQ(two[0].Excluded.size(), 1U);
  EXPECT_EQ(two[0].Excluded[0].Path, "bare.out");
}

// A failed job and a missing file are listed with their status and take no
// part in the ranking, the differences or the populations.
TEST(Ensemble, MembersThatAreNotOkAreListedAndNotRanked) {
  TEnsembleMember failed = Member("failed.out", -2, -3);
  failed.Status = {TFileStatus::Failed, "error termination"};
  failed.ImaginaryModes = 1;
  TEnsembleMember missing = Member("missing.out", 0, std::nullopt, {});
  missing.HasEnergy = false;
  missing.Status = {TFileStatus::Unreadable, "could not be opened"};
  TEnsembleMember unread = Member("empty.out", 0, std::nullopt, {});
  unread.HasEnergy = false;
  const TEnsemble ensemble =
      ComputeEnsemble({failed, Member("a.out", -1, -1.5), missing, Member("b.out", -0.999, -1.499), unread}, 298.15);
  EXPECT_TRUE(ensemble.UsesG);
  EXPECT_EQ(RankedPaths(ensemble), (std::vector<std::string>{"a.out", "b.out"}));
  EXPECT_NEAR(static_cast<double>(ensemble.Rows[1].DeltaE), 0.001 * KcalPerHartree, 1e-9);
  EXPECT_EQ(TenthsSum(ensemble), 1000);
  ASSERT_EQ(ensemble.Excluded.size(), 3U);
  EXPECT_EQ(ensemble.Excluded[2].Status.Status, TFileStatus::NoEnergy);
  const std::string table = TabText(ensemble);
  EXPECT_TRUE(table.starts_with("# CHBrClF: 2 members ranked by G at 298.15 K, 3 not ranked\n")) << table;
  // Nothing was read of the missing and the empty file: no count of imaginary modes either.
  EXPECT_TRUE(table.ends_with("\tfailed\tfailed.out\t-2.0000000\t-3.0000000\t\t\t\t1\terror termination\t\n"
                              "\tunreadable\tmissing.out\t\t\t\t\t\t\tcould not be opened\t\n"
                              "\tno energy\tempty.out\t\t\t\t\t\t\tno energy was read\t\n"))
      << table;
}

// Without a G for every ranked member all of them rank by E, and the
// warning names the members without frequencies.
TEST(Ensemble, MemberWithoutFrequenciesMakesEveryMemberRankByEWithAWarning) {
  TEnsemble ensemble = ComputeEnsemble(
      {Member("a.out", -1, -1.5), Member("sp.out", -1.001, std::nullopt), Member("sp2.out", -0.99, std::nullopt)},
      298.15);
  ensemble.FreeEnergyName = "qh-G (Grimme)";
  EXPECT_FALSE(ensemble.UsesG);
  EXPECT_EQ(RankedPaths(ensemble), (std::vector<std::string>{"sp.out", "a.out", "sp2.out"}));
  EXPECT_EQ(ensemble.WithoutFrequencies, (std::vector<std::string>{"sp.out", "sp2.out"}));
  const std::string warning =
      "warning: ranked by E, not qh-G (Grimme): no frequencies to recompute it from in sp.out, sp2.out";
  EXPECT_EQ(BasisWarning(ensemble), warning);
  const std::string table = TabText(ensemble);
  EXPECT_TRUE(table.starts_with("# CHBrClF: 3 members ranked by E at 298.15 K\n"
                                "# ensemble free energy from E: ")) << table;
  EXPECT_NE(table.find("\n# " + warning + "\nrank\t"), std::string::npos) << table;
  // With G everywhere there is no warning.
  EXPECT_EQ(BasisWarning(ComputeEnsemble({Member("a.out", -1, -1.5)}, 298.15)), "");
}

TEST(Ensemble, NoMembersGiveAnEmptyTable) {
  const TEnsemble ensemble = ComputeEnsemble({}, 298.15);
  EXPECT_TRUE(ensemble.Rows.empty());
  EXPECT_FALSE(ensemble.FreeEnergy);
  EXPECT_EQ(TabText(ensemble),
            "# 0 members ranked by E at 298.15 K\nrank\tstatus\tpath\tE [Hartree]\tG [Hartree]\tdE [kcal/mol]\t"
            "dG [kcal/mol]\tpopulation [%]\timaginary modes\twarnings\tduplicate of\n");
}

TEST(Ensemble, NonFiniteEnergyRanksLastWithoutAPopulation) {
  const TEnsemble ensemble = ComputeEnsemble(
      {Member("nan.out", NAN, NAN), Member("a.out", -1, -1, {}), Member("inf.out", INFINITY, -INFINITY, {})}, 298.15);
  EXPECT_EQ(RankedPaths(ensemble)[0], "a.out");
  EXPECT_EQ(ensemble.Rows[0].PopulationTenths, 1000);
  EXPECT_FALSE(ensemble.Rows[1].Population);
  EXPECT_FALSE(ensemble.Rows[2].Population);
  EXPECT_NE(TabText(ensemble).find("\tnan.out\tNAN\tNAN\tNAN\tNAN\t\t"), std::string::npos) << TabText(ensemble);
}

// ---------------------------------------------------------------------------
// Members made from loaded files.

TEST(EnsembleMember, ConformerTakesItsCombinedEnergiesAndTheGeometryFilesAtoms) {
  testing::TRecordingDesktop desktop;
  testing::TTempDir folder;
  const std::string path = folder.Write("ch4.cdf", "[CH4]\nGeomFileName=" + TestDataPath("cdf/CH4.out") +
                                                       "\nFreqFileName=" + TestDataPath("cdf/CH4.out") +
                                                       "\nMP2FileName=" + TestDataPath("cdf/ch4_sp.out") + "\n");
  TCoordinateFile_cdf conformer;
  ASSERT_TRUE(conformer.LoadConformer(path, true));
  const std::optional<TEnsembleMember> member = EnsembleMember("ch4.cdf", conformer);
  EXPECT_EQ(member->Path, "ch4.cdf");
  EXPECT_TRUE(IsRanked(*member));
  EXPECT_EQ(member->E, conformer.ETotal);
  EXPECT_EQ(member->G, conformer.GTotal);
  EXPECT_EQ(member->Elements, (std::vector<std::int32_t>{6, 1, 1, 1, 1}));
  EXPECT_EQ(member->Coordinates[4], (TPoint{-1.087125, -0.069629, -0.075582}));
  EXPECT_EQ(member->ImaginaryModes, 0);
}

TEST(EnsembleMember, OutputCountsItsImaginaryModesAndOtherFilesAreNotRanked) {
  testing::TRecordingDesktop desktop;
  TCoordinateFile_cdf transitionState;
  transitionState.LoadConformer(TestDataPath("gaussian/TS_freq.out"), true);
  const std::optional<TEnsembleMember> member = EnsembleMember("ts.out", transitionState);
  EXPECT_EQ(member->ImaginaryModes, 1);
  EXPECT_EQ(member->G, transitionState.Info.GibbsEnergy);

  TCoordinateFile_cdf geometry;
  geometry.FileKind = fkXyz;
  // Cut before its energy: the 0 of its results row is no energy.
  TCoordinateFile_cdf cut;
  cut.LoadConformer(TestDataPath("gaussian/CH4_before_E.out"), true);
  const TEnsembleMember unfinished = EnsembleMember("cut.out", cut);
  EXPECT_EQ(unfinished.Status.Status, TFileStatus::Unfinished);
  EXPECT_FALSE(unfinished.HasEnergy);

  const TEnsembleMember notAnOutput = EnsembleMember("g.xyz", geometry);
  EXPECT_FALSE(notAnOutput.HasEnergy);
  EXPECT_FALSE(IsRanked(notAnOutput));
}

// ---------------------------------------------------------------------------
// The table.

TEST(EnsembleTable, IsTabSeparatedWithPointsWhateverTheLocale) {
  const testing::TLocaleScope locale("de_DE.UTF-8");
  ASSERT_TRUE(locale.Ok);
  TEnsembleMember unfinished = Member("b\tc.out", -40.5, std::nullopt, Moved(Halomethane, Diagonal, 1.0, {}));
  unfinished.ImaginaryModes = 2;
  // A member without a frequency listing has no count of imaginary modes, not 0.
  TEnsembleMember minimum = Member("a.out", -40.5183829, -40.491802);
  minimum.ImaginaryModes = 0;
  const TEnsemble ensemble =
      ComputeEnsemble({unfinished, minimum, Member("copy.out", -40.5183829, -40.491802)}, 310.5);
  EXPECT_EQ(TabText(ensemble),
            "# CHBrClF: 3 members ranked by E at 310.5 K\n"
            "# ensemble free energy from E: -40.5183829 Hartree; lowest member's share: 100.0 %\n"
            "# warning: ranked by E, not G: no frequencies to recompute it from in b c.out\n"
            "rank\tstatus\tpath\tE [Hartree]\tG [Hartree]\tdE [kcal/mol]\tdG [kcal/mol]\tpopulation [%]\t"
            "imaginary modes\twarnings\tduplicate of\n"
            "1\tok\ta.out\t-40.5183829\t-40.4918020\t0.00\t0.00\t100.0\t0\t\t\n"
            "2\tok\tcopy.out\t-40.5183829\t-40.4918020\t0.00\t0.00\t\t\t\t1\n"
            "3\tok\tb c.out\t-40.5000000\t\t11.54\t\t0.0\t2\tno thermochemistry\t\n");
}

}  // namespace
}  // namespace harvex
