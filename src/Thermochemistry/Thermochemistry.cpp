// The formulas are those of the textbook rigid-rotor harmonic-oscillator
// ideal gas (as Gaussian and ORCA print them), with the quasi-harmonic
// entropy of Grimme (Chem. Eur. J. 2012, 18, 9955) or Truhlar (Ribeiro et
// al., J. Phys. Chem. B 2011, 115, 14556) and the quasi-harmonic enthalpy of
// Head-Gordon (Li et al., J. Phys. Chem. C 2015, 119, 1840). The damping
// weights and Truhlar's floor take the scale factor the way GoodVibes does,
// so that its values are reproduced: the weight is computed from the
// unscaled frequency, the floor is scaled.
#include "Thermochemistry/Thermochemistry.h"

#include <cmath>
#include <numbers>

#include "chembase/Units.h"
#include "str_pars/OptionNumbers.h"

namespace harvex {
namespace {

using namespace codata;

constexpr double Pi = std::numbers::pi;
constexpr double GrimmeAverageMoment = 1.0e-44;  // kg m^2, Grimme's B_av
constexpr double DampingExponent = 4;

// Per mole, in J/mol and J/(mol K).
struct TContributions {
  double ZPE = 0;
  double Energy = 0;        // translation, rotation, harmonic vibration (ZPE included)
  double QhEnergy = 0;      // the same with Head-Gordon's vibration
  double STranslation = 0;
  double SRotation = 0;
  double SVibration = 0;
  double SQhVibration = 0;
  double SElectronic = 0;
};

// The weight of the harmonic term against the free rotor or RT/2 of a mode.
double DampingWeight(double frequency, double cutoff) {
  return 1 / (1 + std::pow(cutoff / frequency, DampingExponent));
}

// x = h c v / (k T) of a mode.
double ReducedFrequency(double frequency, double temperature) {
  return Planck * LightSpeed * frequency / (Boltzmann * temperature);
}

// expm1 keeps a high mode at a low temperature finite: 1/inf is 0.
double HarmonicEntropy(double frequency, double temperature) {
  const double x = ReducedFrequency(frequency, temperature);
  return GasConstant * (x / std::expm1(x) - std::log1p(-std::exp(-x)));
}

double HarmonicEnergy(double frequency, double temperature) {
  const double x = ReducedFrequency(frequency, temperature);
  return GasConstant * temperature * x * (0.5 + 1 / std::expm1(x));
}

double FreeRotorEntropy(double frequency, double temperature) {
  const double moment = Planck / (8 * Pi * Pi * LightSpeed * frequency);
  const double reduced = moment * GrimmeAverageMoment / (moment + GrimmeAverageMoment);
  return GasConstant * (0.5 + std::log(std::sqrt(8 * Pi * Pi * Pi * reduced * Boltzmann * temperature) / Planck));
}

double QuasiHarmonicEntropy(double printed, double scaled, const TThermoConditions& conditions) {
  const double temperature = conditions.Temperature;
  switch (conditions.Entropy) {
    case TEntropyModel::Harmonic:
      break;
    case TEntropyModel::Grimme: {
      const double weight = DampingWeight(printed, conditions.EntropyCutoff);
      return weight * HarmonicEntropy(scaled, temperature) +
             (1 - weight) * FreeRotorEntropy(scaled, temperature);
    }
    case TEntropyModel::Truhlar:
      if (printed <= conditions.EntropyCutoff)
        return HarmonicEntropy(conditions.Scale * conditions.EntropyCutoff, temperature);
      break;
  }
  return HarmonicEntropy(scaled, temperature);
}

// The printed frequencies that enter the sums, imaginary ones inverted
// where asked for.
std::vector<double> UsedFrequencies(const std::vector<double>& frequencies, const TThermoConditions& conditions,
                                    TThermoResult& result) {
  std::vector<double> used;
  used.reserve(frequencies.size());
  for (const double frequency : frequencies) {
    if (frequency > 0) {
      used.push_back(frequency);
    } else if (conditions.Imaginary == TImaginaryModes::Invert && frequency < 0 &&
               frequency > conditions.InvertThreshold) {
      used.push_back(-frequency);
      result.InvertedModes.push_back(frequency);
    } else {
      ++result.ImaginaryModes;
    }
  }
  result.ModesUsed = static_cast<int>(used.size());
  return used;
}

void AddVibrations(const std::vector<double>& frequencies, const TThermoConditions& conditions,
                   TContributions& sums) {
  const double temperature = conditions.Temperature;
  const double halfRT = GasConstant * temperature / 2;
  for (const double printed : frequencies) {
    const double scaled = conditions.Scale * printed;
    const double energy = HarmonicEnergy(scaled, temperature);
    const double weight = DampingWeight(printed, conditions.EnthalpyCutoff);
    sums.ZPE += GasConstant * ReducedFrequency(scaled, temperature) * temperature / 2;
    sums.Energy += energy;
    sums.QhEnergy += weight * energy + (1 - weight) * halfRT;
    sums.SVibration += HarmonicEntropy(scaled, temperature);
    sums.SQhVibration += QuasiHarmonicEntropy(printed, scaled, conditions);
  }
}

// Number density of the standard state, molecules per m^3.
double NumberDensity(const TThermoConditions& conditions) {
  if (conditions.Concentration) return *conditions.Concentration * LitresPerCubicMetre * Avogadro;
  return conditions.Pressure * StandardAtmosphere / (Boltzmann * conditions.Temperature);
}

void AddTranslation(const TThermoMolecule& molecule, const TThermoConditions& conditions, TContributions& sums) {
  const double temperature = conditions.Temperature;
  const double mass = molecule.Mass * AtomicMassUnit;
  const double thermalVolume = std::pow(2 * Pi * mass * Boltzmann * temperature / (Planck * Planck), 1.5);
  sums.STranslation = GasConstant * (std::log(thermalVolume / NumberDensity(conditions)) + 2.5);
  sums.Energy += 1.5 * GasConstant * temperature;
}

void AddRotation(const TThermoMolecule& molecule, double temperature, TContributions& sums) {
  const double sigma = molecule.SymmetryNumber;
  const std::array<double, 3>& theta = molecule.RotationalTemperatures;
  switch (molecule.Rotor) {
    case TRotor::Atom:
      return;
    case TRotor::Linear:
      sums.SRotation = GasConstant * (std::log(temperature / (sigma * theta[0])) + 1);
      sums.Energy += GasConstant * temperature;
      return;
    case TRotor::Nonlinear: {
      const double partition =
          std::sqrt(Pi) / sigma * std::sqrt(std::pow(temperature, 3) / (theta[0] * theta[1] * theta[2]));
      sums.SRotation = GasConstant * (std::log(partition) + 1.5);
      sums.Energy += 1.5 * GasConstant * temperature;
      return;
    }
  }
}

}  // namespace

TThermoResult ComputeThermochemistry(const TThermoMolecule& molecule, const TThermoConditions& conditions) {
  TThermoResult result;
  const double temperature = conditions.Temperature;
  TContributions sums;
  AddTranslation(molecule, conditions, sums);
  AddRotation(molecule, temperature, sums);
  sums.QhEnergy = sums.Energy;
  AddVibrations(UsedFrequencies(molecule.Frequencies, conditions, result), conditions, sums);
  sums.SElectronic = GasConstant * std::log(static_cast<double>(molecule.Multiplicity));

  const auto hartree = [](double joulePerMole) { return joulePerMole / JoulePerMolePerHartree; };
  const double pV = GasConstant * temperature;
  result.ZPE = hartree(sums.ZPE);
  result.H = molecule.Energy + hartree(sums.Energy + pV);
  result.QhH = molecule.Energy + hartree(sums.QhEnergy + pV);
  result.TSTranslation = hartree(temperature * sums.STranslation);
  result.TSRotation = hartree(temperature * sums.SRotation);
  result.TSVibration = hartree(temperature * sums.SVibration);
  result.TQhSVibration = hartree(temperature * sums.SQhVibration);
  result.TSElectronic = hartree(temperature * sums.SElectronic);
  const double rest = result.TSTranslation + result.TSRotation + result.TSElectronic;
  result.TS = rest + result.TSVibration;
  result.TQhS = rest + result.TQhSVibration;
  result.G = result.H - result.TS;
  result.QhG = (conditions.HeadGordon ? result.QhH : result.H) - result.TQhS;
  return result;
}

std::optional<TEntropyModel> EntropyModelNamed(std::string_view word) {
  if (word == "grimme") return TEntropyModel::Grimme;
  if (word == "truhlar") return TEntropyModel::Truhlar;
  if (word == "none") return TEntropyModel::Harmonic;
  return std::nullopt;
}

bool SetImaginaryModes(std::string_view text, TThermoConditions& conditions) {
  constexpr std::string_view Invert = "invert";
  if (text == "drop") {
    conditions.Imaginary = TImaginaryModes::Drop;
    return true;
  }
  if (!text.starts_with(Invert)) return false;
  if (text.size() == Invert.size()) {
    conditions.Imaginary = TImaginaryModes::Invert;
    return true;
  }
  const std::optional<double> threshold = text[Invert.size()] == ':' ? OptionNumber(text.substr(Invert.size() + 1))
                                                                       : std::nullopt;
  if (!threshold || *threshold >= 0) return false;
  conditions.Imaginary = TImaginaryModes::Invert;
  conditions.InvertThreshold = *threshold;
  return true;
}

}  // namespace harvex
