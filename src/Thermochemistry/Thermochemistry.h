// Ideal-gas thermochemistry recomputed from what a frequency job printed:
// translation, rigid rotation, harmonic vibration and electronic spin, with
// the quasi-harmonic treatments of low modes (Grimme's or Truhlar's entropy,
// Head-Gordon's enthalpy), a frequency scale factor, any temperature and a
// standard state of a pressure or a concentration. Pure computation: the
// caller reads the outputs and decides what to show.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CdfFiles/CdfFiles.h"

namespace harvex {

enum class TRotor : std::uint8_t { Atom, Linear, Nonlinear };
enum class TEntropyModel : std::uint8_t { Harmonic, Grimme, Truhlar };
enum class TImaginaryModes : std::uint8_t { Drop, Invert };

// What the computation needs of one molecule.
struct TThermoMolecule {
  std::vector<double> Frequencies;  // cm^-1 as printed; imaginary modes negative
  double Mass = 0;                  // amu
  TRotor Rotor = TRotor::Nonlinear;
  std::array<double, 3> RotationalTemperatures{};  // Kelvin; a linear rotor has only the first
  int SymmetryNumber = 1;
  int Multiplicity = 1;
  double Energy = 0;  // electronic energy, Hartree
};

struct TThermoConditions {
  double Temperature = 298.15;  // Kelvin
  // The standard state: a pressure (atm), or a fixed concentration (mol/L)
  // when one is given.
  double Pressure = 1;
  std::optional<double> Concentration;
  double Scale = 1;  // multiplies every printed frequency
  TEntropyModel Entropy = TEntropyModel::Grimme;
  double EntropyCutoff = 100;  // cm^-1
  bool HeadGordon = false;     // qh-G is built on qh-H rather than H
  double EnthalpyCutoff = 100;  // cm^-1
  TImaginaryModes Imaginary = TImaginaryModes::Drop;
  double InvertThreshold = -50;  // cm^-1; only imaginary modes above it are inverted
};

// Energies in Hartree per particle.
struct TThermoResult {
  int ModesUsed = 0;
  int ImaginaryModes = 0;              // modes at or below 0 cm^-1 left out
  std::vector<double> InvertedModes;   // the printed values of the modes used as |value|
  double ZPE = 0;
  double H = 0;
  double QhH = 0;   // Head-Gordon enthalpy
  double TS = 0;    // harmonic entropy times T
  double TQhS = 0;  // the chosen entropy model's entropy times T
  double G = 0;     // H - T S
  double QhG = 0;   // H - T qh-S, or qh-H - T qh-S with HeadGordon
  double TSTranslation = 0;
  double TSRotation = 0;
  double TSVibration = 0;
  double TQhSVibration = 0;
  double TSElectronic = 0;
};

// The entropy model a word names: "grimme", "truhlar" or "none" (harmonic).
std::optional<TEntropyModel> EntropyModelNamed(std::string_view word);

// Sets the treatment of imaginary modes Text names: "drop", "invert", or
// "invert:CM" with a threshold CM below 0 cm^-1. False for any other text,
// Conditions then unchanged.
bool SetImaginaryModes(std::string_view text, TThermoConditions& conditions);

TThermoResult ComputeThermochemistry(const TThermoMolecule& molecule, const TThermoConditions& conditions);

// Everything a loaded output gives for its thermochemistry: the molecule
// when it can be recomputed (else why not), the warnings on values assumed,
// and what the self-check compares with.
struct TThermoSource {
  std::optional<TThermoMolecule> Molecule;
  std::string Missing;  // why there is no molecule
  std::vector<std::string> Warnings;
  TOutputProgram Program = opNone;
  double FrequencyEnergy = 0;  // the energy the job's own G is built on
  std::optional<double> PrintedG;
  std::optional<double> JobTemperature;  // Kelvin
  std::optional<double> JobPressure;     // atm
};

// A .cdf conformer with a single point takes that energy as E; any other
// file the energy of its last frequency job.
TThermoSource ThermoSourceOf(const TCoordinateFile_cdf& file);

// The recomputed G minus the printed one at the job's own temperature and
// pressure, scale 1, with the entropy the program itself uses (harmonic for
// Gaussian, Grimme's at 100 cm^-1 for ORCA); none when the job printed no G
// or no conditions.
std::optional<double> SelfCheckDifference(const TThermoSource& source);

// The principal moments of inertia (amu angstrom^2, ascending) of point
// masses (amu) at the positions (angstrom).
std::array<double, 3> PrincipalMoments(const std::vector<double>& masses, const std::vector<std::array<double, 3>>& positions);

}  // namespace harvex
