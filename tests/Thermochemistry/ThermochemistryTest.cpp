// Recomputed thermochemistry: the worked isobutane example, the program's
// own G reproduced from every frequency output in tests/data, and the
// invariants the formulas must keep whatever the molecule.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "chembase/Units.h"
#include "Thermochemistry/Thermochemistry.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

using testing::TestDataPath;

TThermoSource LoadedSource(const std::string& relative, TCoordinateFile_cdf* keep = nullptr) {
  TCoordinateFile_cdf file;
  TCoordinateFile_cdf& loaded = keep ? *keep : file;
  EXPECT_TRUE(loaded.LoadConformer(TestDataPath(relative), true)) << relative;
  return ThermoSourceOf(loaded);
}

// GoodVibes's isobutane at 298.15 K, worked out with CODATA 2018 constants;
// the table prints 7 decimals. The scaled row has no worked qh-H (NaN).
struct TWorkedRow {
  std::string_view Name;
  std::function<void(TThermoConditions&)> Change;
  double ZPE, H, QhH, TS, TQhS, G, QhG;
};

TEST(ThermochemistryTest, IsobutaneGivesTheWorkedValues) {
  const testing::TRecordingDesktop desktop;
  const TThermoSource source = LoadedSource("gaussian/isobutane.out");
  ASSERT_TRUE(source.Molecule) << source.Missing;
  const TWorkedRow rows[] = {
      {"harmonic", [](TThermoConditions& c) { c.Entropy = TEntropyModel::Harmonic; },
       0.1323801, -158.3198044, -158.3198658, 0.0342412, 0.0342412, -158.3540456, -158.3540456},
      {"Grimme and Head-Gordon", [](TThermoConditions& c) { c.HeadGordon = true; },
       0.1323801, -158.3198044, -158.3198658, 0.0342412, 0.0342517, -158.3540456, -158.3541175},
      {"1 mol/L", [](TThermoConditions& c) { c.Concentration = 1; },
       0.1323801, -158.3198044, -158.3198658, 0.0312224, 0.0312329, -158.3510268, -158.3510374},
      {"scaled by 0.977", [](TThermoConditions& c) { c.Scale = 0.977; },
       0.1293353, -158.3227587, std::nan(""), 0.0343990, 0.0344088, -158.3571577, -158.3571675},
  };
  for (const TWorkedRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TThermoConditions conditions;
    row.Change(conditions);
    const TThermoResult result = ComputeThermochemistry(*source.Molecule, conditions);
    constexpr double Printed = 5.1e-8;
    EXPECT_NEAR(result.ZPE, row.ZPE, Printed);
    EXPECT_NEAR(result.H, row.H, Printed);
    if (!std::isnan(row.QhH)) {
      EXPECT_NEAR(result.QhH, row.QhH, Printed);
    }
    EXPECT_NEAR(result.TS, row.TS, Printed);
    EXPECT_NEAR(result.TQhS, row.TQhS, Printed);
    EXPECT_NEAR(result.G, row.G, Printed);
    EXPECT_NEAR(result.QhG, row.QhG, Printed);
  }
}

// Gaussian prints G with 6 decimals, ORCA with 8 but from slightly other
// constants (a triplet TS with modes near 17 cm-1 differs by 3.8e-6).
TEST(ThermochemistryTest, EveryFrequencyOutputReproducesItsPrintedFreeEnergy) {
  const testing::TRecordingDesktop desktop;
  const std::pair<std::string_view, double> outputs[] = {
      {"gaussian/isobutane.out", 1e-6},       {"gaussian/CH4.out", 1e-6},
      {"gaussian/TS_freq.out", 1e-6},         {"gaussian/dvb_ir.out", 1e-6},
      {"gaussian/BenzylEnergy.out", 1e-6},    {"gaussian/ethane_spc.out", 1e-6},
      {"geometry/orca/Orca_TS_test.out", 1e-5}, {"geometry/orca/Orca_opt_freq_test.out", 1e-5},
      {"geometry/orca/dvb_ir.out", 1e-5},     {"geometry/orca/orca_TS_success.out", 1e-5},
  };
  for (const auto& [name, limit] : outputs) {
    SCOPED_TRACE(name);
    const TThermoSource source = LoadedSource(std::string(name));
    EXPECT_TRUE(source.Warnings.empty() || name == "gaussian/BenzylEnergy.out");
    const std::optional<double> difference = SelfCheckDifference(source);
    ASSERT_TRUE(difference.has_value()) << source.Missing;
    EXPECT_LT(std::abs(*difference), limit);
  }
}

// A frequency job on an atom lists no modes but prints its block (values of
// an aluminium doublet at 400 K); at 298.15 K GoodVibes gives H -242.326347,
// T.S 0.017670 and G -242.344018.
constexpr std::string_view AluminiumAtom = R"( This is part of the Gaussian(R) 09 program.
 Charge =  0 Multiplicity = 2
                         Standard orientation:
 ---------------------------------------------------------------------
 Center     Atomic      Atomic             Coordinates (Angstroms)
 Number     Number       Type             X           Y           Z
 ---------------------------------------------------------------------
      1         13           0        0.000000    0.000000    0.000000
 ---------------------------------------------------------------------
 SCF Done:  E(UB97D) =  -242.328707909     A.U. after    1 cycles
 Harmonic frequencies (cm**-1), IR intensities (KM/Mole), Raman scattering

 - Thermochemistry -
 Temperature   400.000 Kelvin.  Pressure   1.00000 Atm.
 Atom     1 has atomic number 13 and mass  26.98154
 Sum of electronic and thermal Free Energies=         -242.350178
)";

TEST(ThermochemistryTest, AtomIsRecomputedFromTranslationAndSpin) {
  const testing::TRecordingDesktop desktop;
  const testing::TTempDir folder;
  TCoordinateFile_cdf file;
  ASSERT_TRUE(file.LoadConformer(folder.Write("al.out", AluminiumAtom), true));
  const TThermoSource source = ThermoSourceOf(file);
  ASSERT_TRUE(source.Molecule) << source.Missing;
  EXPECT_EQ(source.Molecule->Rotor, TRotor::Atom);
  EXPECT_LT(std::abs(SelfCheckDifference(source).value_or(1)), 1e-6);
  const TThermoResult result = ComputeThermochemistry(*source.Molecule, {});
  EXPECT_NEAR(result.H, -242.326347, 5e-7);
  EXPECT_NEAR(result.TS, 0.017670, 5e-7);
  EXPECT_NEAR(result.G, -242.344018, 5e-7);
}

// Without printed rotational temperatures the constants serve, without those
// the geometry with the block's masses.
TEST(ThermochemistryTest, EveryRotationalSourceGivesThePrintedFreeEnergy) {
  const testing::TRecordingDesktop desktop;
  TCoordinateFile_cdf file;
  LoadedSource("gaussian/isobutane.out", &file);
  for (int dropped = 1; dropped <= 2; ++dropped) {
    file.Info.RotTemperatures = {};
    if (dropped == 2) file.Info.RotConstants = {0, 3.92, 0};
    const std::optional<double> difference = SelfCheckDifference(ThermoSourceOf(file));
    ASSERT_TRUE(difference.has_value());
    EXPECT_LT(std::abs(*difference), 1e-6) << dropped;
  }
  file.Info.AtomMasses.pop_back();
  EXPECT_EQ(ThermoSourceOf(file).Missing, "no rotational data");
}

// Water with one soft mode, at 298.15 K and 1 atm.
TThermoMolecule SoftWater() {
  return {{-120.0, 60.0, 1743.1, 3998.2, 4136.9}, 18.01056, TRotor::Nonlinear, {40.07, 20.94, 12.89}, 2, 1, -76.4};
}

constexpr double RT = codata::GasConstant * 298.15 / codata::JoulePerMolePerHartree;

struct TInvariant {
  std::string_view Name;
  std::function<void(TThermoMolecule&, TThermoConditions&)> Change;
  std::function<double(const TThermoResult& base, const TThermoResult& changed)> Measure;
  double Expected;
};

TEST(ThermochemistryTest, FormulasKeepTheirInvariants) {
  const TInvariant invariants[] = {
      {"1 mol/L raises G by RT ln(c R T / p)", [](auto&, auto& c) { c.Concentration = 1; },
       [](auto& b, auto& v) { return v.G - b.G; }, 0.00301880},
      {"1 mol/L leaves H", [](auto&, auto& c) { c.Concentration = 1; }, [](auto& b, auto& v) { return v.H - b.H; }, 0},
      {"zero cutoff makes Grimme harmonic", [](auto&, auto& c) { c.EntropyCutoff = 0; },
       [](auto&, auto& v) { return v.TQhS - v.TS; }, 0},
      {"zero cutoff makes Truhlar harmonic",
       [](auto&, auto& c) { c.EntropyCutoff = 0;
         c.Entropy = TEntropyModel::Truhlar; },
       [](auto&, auto& v) { return v.TQhS - v.TS; }, 0},
      {"Truhlar is harmonic above its cutoff",
       [](auto&, auto& c) { c.EntropyCutoff = 59;
         c.Entropy = TEntropyModel::Truhlar; },
       [](auto&, auto& v) { return v.TQhS - v.TS; }, 0},
      {"a linear rotor has RT/2 less", [](auto& m, auto&) { m.Rotor = TRotor::Linear; },
       [](auto& b, auto& v) { return v.H - b.H; }, -RT / 2},
      {"an atom has no rotational entropy", [](auto& m, auto&) { m.Rotor = TRotor::Atom; },
       [](auto&, auto& v) { return v.TSRotation; }, 0},
      {"an atom has 3/2 RT less", [](auto& m, auto&) { m.Rotor = TRotor::Atom; },
       [](auto& b, auto& v) { return v.H - b.H; }, -1.5 * RT},
      {"twice the symmetry number", [](auto& m, auto&) { m.SymmetryNumber *= 2; },
       [](auto& b, auto& v) { return v.TS - b.TS; }, -RT * std::log(2.0)},
      {"a doublet", [](auto& m, auto&) { m.Multiplicity = 2; },
       [](auto& b, auto& v) { return v.TSElectronic - b.TSElectronic; }, RT * std::log(2.0)},
      {"Head-Gordon leaves high modes", [](auto& m, auto&) { m.Frequencies = {3998.2, 4136.9}; },
       [](auto&, auto& v) { return v.QhH - v.H; }, 0},
      {"Head-Gordon gives RT/2 for a very low mode", [](auto& m, auto&) { m.Frequencies = {3998.2, 0.5}; },
       [](auto&, auto& v) {
         TThermoMolecule high = SoftWater();
         high.Frequencies = {3998.2};
         return v.QhH - ComputeThermochemistry(high, {}).QhH;
       },
       RT / 2},
      {"an imaginary mode above the threshold is inverted",
       [](auto&, auto& c) { c.Imaginary = TImaginaryModes::Invert;
         c.InvertThreshold = -130; },
       [](auto&, auto& v) { return v.InvertedModes.size() * 10.0 + v.ModesUsed; }, 15},
      {"an imaginary mode below the threshold stays out", [](auto&, auto& c) { c.Imaginary = TImaginaryModes::Invert; },
       [](auto&, auto& v) { return v.InvertedModes.size() * 10.0 + v.ModesUsed; }, 4},
  };
  const TThermoResult base = ComputeThermochemistry(SoftWater(), {});
  for (const TInvariant& invariant : invariants) {
    TThermoMolecule molecule = SoftWater();
    TThermoConditions conditions;
    invariant.Change(molecule, conditions);
    EXPECT_NEAR(invariant.Measure(base, ComputeThermochemistry(molecule, conditions)), invariant.Expected, 1e-7)
        << invariant.Name;
  }
}

TEST(ThermochemistryTest, GrimmeWeighsAModeAtTheCutoffHalfAndHalf) {
  TThermoMolecule molecule = SoftWater();
  molecule.Frequencies = {100};
  const auto vibration = [&molecule](double cutoff) {
    TThermoConditions conditions;
    conditions.EntropyCutoff = cutoff;
    return ComputeThermochemistry(molecule, conditions).TQhSVibration;
  };
  EXPECT_NEAR(vibration(100), (vibration(0) + vibration(1e6)) / 2, 1e-12);
}

// Only the damping weights look at the printed frequencies.
TEST(ThermochemistryTest, ScaleActsAsScaledFrequenciesExceptInTheWeights) {
  TThermoMolecule scaled = SoftWater();
  for (double& frequency : scaled.Frequencies) frequency *= 0.9;
  TThermoConditions conditions;
  conditions.Scale = 0.9;
  const TThermoResult byScale = ComputeThermochemistry(SoftWater(), conditions);
  const TThermoResult byFrequencies = ComputeThermochemistry(scaled, {});
  EXPECT_NEAR(byScale.ZPE, byFrequencies.ZPE, 1e-12);
  EXPECT_NEAR(byScale.H, byFrequencies.H, 1e-10);
  EXPECT_NEAR(byScale.TS, byFrequencies.TS, 1e-12);
  EXPECT_GT(std::abs(byScale.TQhS - byFrequencies.TQhS), 1e-6);
}

TEST(ThermochemistryTest, OneKelvinGivesFiniteValues) {
  for (const TEntropyModel model : {TEntropyModel::Grimme, TEntropyModel::Truhlar}) {
    TThermoConditions conditions;
    conditions.Temperature = 1;
    conditions.Entropy = model;
    const TThermoResult result = ComputeThermochemistry(SoftWater(), conditions);
    for (const double value : {result.ZPE, result.H, result.QhH, result.TS, result.TQhS, result.G, result.QhG})
      EXPECT_TRUE(std::isfinite(value));
  }
}

}  // namespace
}  // namespace harvex
