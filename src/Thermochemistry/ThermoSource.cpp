// What a loaded output gives for recomputing its thermochemistry: the modes
// of its last frequency job, the masses, the rotor and its rotational
// temperatures, the symmetry number and multiplicity, and the printed values
// the self-check compares with.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "ReportedValues/ReportedValues.h"
#include "chembase/Units.h"
#include "Thermochemistry/Thermochemistry.h"

namespace harvex {
namespace {

using namespace codata;

constexpr double HzPerGHz = 1e9;
constexpr double SquareMetresPerSquareAngstrom = 1e-20;
// ORCA damps its entropy with Grimme's scheme at this cutoff unless told
// otherwise.
constexpr double OrcaEntropyCutoff = 100;  // cm^-1

using TMatrix = std::array<std::array<double, 3>, 3>;

// The eigenvalues of a symmetric 3x3 matrix in closed form (the
// trigonometric solution of its characteristic cubic), ascending.
std::array<double, 3> SymmetricEigenvalues(const TMatrix& a) {
  const double offDiagonal = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
  const double mean = (a[0][0] + a[1][1] + a[2][2]) / 3;
  std::array<double, 3> values = {a[0][0], a[1][1], a[2][2]};
  if (offDiagonal > 0) {
    const double spread = std::sqrt(((a[0][0] - mean) * (a[0][0] - mean) + (a[1][1] - mean) * (a[1][1] - mean) +
                                     (a[2][2] - mean) * (a[2][2] - mean) + 2 * offDiagonal) /
                                    6);
    TMatrix b = a;
    for (int i = 0; i < 3; ++i) b[i][i] -= mean;
    const double determinant = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                               b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                               b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double half = std::clamp(determinant / (2 * spread * spread * spread), -1.0, 1.0);
    const double angle = std::acos(half) / 3;
    values[0] = mean + 2 * spread * std::cos(angle);
    values[2] = mean + 2 * spread * std::cos(angle + 2 * std::numbers::pi / 3);
    values[1] = 3 * mean - values[0] - values[2];
  }
  std::sort(values.begin(), values.end());
  return values;
}

double RotationalTemperatureOfMoment(double moment) {
  const double hbar = Planck / (2 * std::numbers::pi);
  return hbar * hbar / (2 * moment * AtomicMassUnit * SquareMetresPerSquareAngstrom * Boltzmann);
}

double RotationalTemperatureOfConstant(double gigahertz) { return Planck * gigahertz * HzPerGHz / Boltzmann; }

bool AllPositive(const std::array<double, 3>& values, std::size_t count) {
  return std::all_of(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count),
                     [](double value) { return std::isfinite(value) && value > 0; });
}

// Rotational temperatures in the order of preference: the printed ones, the
// printed rotational constants, the moments of the geometry with the job's
// masses. A Gaussian linear molecule prints one of each; false when no
// source is left.
bool FindRotationalTemperatures(const TCoordinateFile& file, TThermoMolecule& molecule) {
  const TOutInfo& info = file.Info;
  const std::size_t count = molecule.Rotor == TRotor::Linear ? 1 : 3;
  if (AllPositive(info.RotTemperatures, count)) {
    molecule.RotationalTemperatures = info.RotTemperatures;
    return true;
  }
  const bool singleConstant = info.RotConstants[1] == 0 && info.RotConstants[2] == 0;
  if (AllPositive(info.RotConstants, count) && (count == 3 || singleConstant)) {
    for (std::size_t axis = 0; axis < count; ++axis)
      molecule.RotationalTemperatures[axis] = RotationalTemperatureOfConstant(info.RotConstants[axis]);
    return true;
  }
  if (info.AtomMasses.size() != static_cast<std::size_t>(file.AtomCount())) return false;
  std::vector<std::array<double, 3>> positions;
  for (int number = 1; number <= file.AtomCount(); ++number) {
    const TAtom& atom = file.Atoms.AtomAt(number);
    positions.push_back({atom.X, atom.Y, atom.Z});
  }
  const std::array<double, 3> moments = PrincipalMoments(info.AtomMasses, positions);
  if (IsLinearGeometry(file.Atoms)) molecule.Rotor = TRotor::Linear;
  if (molecule.Rotor == TRotor::Linear) {
    molecule.RotationalTemperatures = {RotationalTemperatureOfMoment(moments[2]), 0, 0};
  } else {
    for (std::size_t axis = 0; axis < 3; ++axis)
      molecule.RotationalTemperatures[axis] = RotationalTemperatureOfMoment(moments[axis]);
  }
  return AllPositive(molecule.RotationalTemperatures, molecule.Rotor == TRotor::Linear ? 1 : 3);
}

std::vector<double> Frequencies(const TOutInfo& info) {
  std::vector<double> frequencies;
  if (!info.Modes) return frequencies;
  for (int index = 0; index < info.Modes->Count(); ++index)
    frequencies.push_back(static_cast<double>(info.Modes->ModeAt(index).Frequency));
  return frequencies;
}

// The masses the job used; the printed molecular mass without them.
double MoleculeMass(const TOutInfo& info) {
  if (!info.AtomMasses.empty()) return std::accumulate(info.AtomMasses.begin(), info.AtomMasses.end(), 0.0);
  return info.MolecularMass;
}

// Why the file's thermochemistry cannot be recomputed; empty when it can.
std::string BuildMolecule(const TCoordinateFile_cdf& file, TThermoSource& source, TThermoMolecule& molecule) {
  const TOutInfo& info = file.Info;
  const bool atom = file.AtomCount() == 1;
  molecule.Frequencies = Frequencies(info);
  if (molecule.Frequencies.empty() && !(atom && info.ThermoTemperature)) return "no frequency job";
  if (!atom && std::none_of(molecule.Frequencies.begin(), molecule.Frequencies.end(), [](double v) { return v > 0; }))
    return "no real mode";
  molecule.Mass = MoleculeMass(info);
  if (!(molecule.Mass > 0)) return "no molecular mass";
  molecule.Rotor = atom ? TRotor::Atom : info.LinearRotor ? TRotor::Linear : TRotor::Nonlinear;
  if (!atom && !FindRotationalTemperatures(file, molecule)) return "no rotational data";
  molecule.SymmetryNumber = info.SymmetryNumber;
  if (molecule.SymmetryNumber <= 0 && !atom) source.Warnings.emplace_back("no symmetry number, 1 assumed");
  molecule.SymmetryNumber = std::max(molecule.SymmetryNumber, 1);
  molecule.Multiplicity = info.Multiplicity;
  if (molecule.Multiplicity <= 0) source.Warnings.emplace_back("no multiplicity, 1 assumed");
  molecule.Multiplicity = std::max(molecule.Multiplicity, 1);
  // A conformer's single point is the energy it reports; otherwise the
  // frequency job's own energy.
  const std::optional<TReportedValues> reported = ReportedValuesOf(file);
  const bool singlePoint = reported && reported->EnergySource == esSinglePoint;
  molecule.Energy = singlePoint ? static_cast<double>(reported->E) : source.FrequencyEnergy;
  if (!file.IsCdf && info.PrintedFreeEnergy && info.HasGibbsEnergy && info.GibbsEnergy != *info.PrintedFreeEnergy)
    source.Warnings.emplace_back("from the frequency step of the composite recipe");
  return {};
}

}  // namespace

std::array<double, 3> PrincipalMoments(const std::vector<double>& masses,
                                       const std::vector<std::array<double, 3>>& positions) {
  std::array<double, 3> centre{};
  const double total = std::accumulate(masses.begin(), masses.end(), 0.0);
  for (std::size_t atom = 0; atom < masses.size(); ++atom)
    for (std::size_t axis = 0; axis < 3; ++axis) centre[axis] += masses[atom] * positions[atom][axis] / total;
  TMatrix inertia{};
  for (std::size_t atom = 0; atom < masses.size(); ++atom) {
    std::array<double, 3> r{};
    for (std::size_t axis = 0; axis < 3; ++axis) r[axis] = positions[atom][axis] - centre[axis];
    const double squared = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j) inertia[i][j] += masses[atom] * ((i == j ? squared : 0) - r[i] * r[j]);
  }
  return SymmetricEigenvalues(inertia);
}

TThermoSource ThermoSourceOf(const TCoordinateFile_cdf& file) {
  TThermoSource source;
  const TOutInfo& info = file.Info;
  source.Program = info.Program;
  source.FrequencyEnergy = info.ThermoEnergy.value_or(info.Energy);
  source.PrintedG = info.PrintedFreeEnergy;
  source.JobTemperature = info.ThermoTemperature;
  source.JobPressure = info.ThermoPressure;
  TThermoMolecule molecule;
  source.Missing = BuildMolecule(file, source, molecule);
  if (source.Missing.empty()) source.Molecule = std::move(molecule);
  return source;
}

std::optional<double> SelfCheckDifference(const TThermoSource& source) {
  if (!source.Molecule || !source.PrintedG || !source.JobTemperature || !(*source.JobTemperature > 0))
    return std::nullopt;
  TThermoConditions conditions;
  conditions.Temperature = *source.JobTemperature;
  conditions.Pressure = source.JobPressure.value_or(1);
  conditions.Entropy = source.Program == opOrca ? TEntropyModel::Grimme : TEntropyModel::Harmonic;
  conditions.EntropyCutoff = OrcaEntropyCutoff;
  TThermoMolecule molecule = *source.Molecule;
  molecule.Energy = source.FrequencyEnergy;
  return ComputeThermochemistry(molecule, conditions).QhG - *source.PrintedG;
}

}  // namespace harvex
