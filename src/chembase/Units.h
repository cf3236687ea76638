// The units and physical constants of the whole program, in one place.
#pragma once

namespace harvex {

// The results file's and the memo's conversions: kcal/mol per Hartree and kJ
// per kcal, held in extended precision so that derived values are formed in
// it. 627.5095 is the factor the program has always written its BSSE and
// stabilisation energies with, and the programs that read the results file
// rely on it; it stays even though CODATA gives 627.50947...
constexpr long double KcalPerHartree = 627.5095L;
constexpr long double KJPerKcal = 4.184L;

}  // namespace harvex

// CODATA 2018, for the thermochemistry and the ensembles the program computes
// itself. Planck, Boltzmann, Avogadro and the speed of
// light are exact by the definition of the SI units; the others are the
// recommended values.
namespace harvex::codata {

inline constexpr double Planck = 6.62607015e-34;              // J s
inline constexpr double Boltzmann = 1.380649e-23;             // J/K
inline constexpr double Avogadro = 6.02214076e23;             // 1/mol
inline constexpr double LightSpeed = 2.99792458e10;           // cm/s, for wavenumbers in cm^-1
inline constexpr double AtomicMassUnit = 1.66053906660e-27;   // kg
inline constexpr double HartreeEnergy = 4.3597447222071e-18;  // J
inline constexpr double BohrRadius = 0.529177210903;          // angstrom
inline constexpr double StandardAtmosphere = 101325;          // Pa

inline constexpr double GasConstant = Avogadro * Boltzmann;                   // J/(mol K)
inline constexpr double JoulePerMolePerHartree = HartreeEnergy * Avogadro;   // J/mol
inline constexpr double JoulePerKcal = 4184;                                   // the thermochemical calorie
// 627.509474...: the conversion of the values the program derives itself
// (the ensemble's differences and populations), unlike KcalPerHartree above.
inline constexpr double KcalPerMolePerHartree = JoulePerMolePerHartree / JoulePerKcal;
inline constexpr double LitresPerCubicMetre = 1000;

}  // namespace harvex::codata
