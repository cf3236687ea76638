// Small Gaussian output sections written for the tests, in the layouts the
// reader meets; the check tests and the truncation sweep build on them.
#pragma once

#include <string>
#include <string_view>

namespace harvex::testing {

inline const std::string WaterRows =
    "      1          8           0        0.000000    0.000000    0.119159\n"
    "      2          1           0        0.000000    0.790649   -0.476637\n"
    "      3          1           0        0.000000   -0.790649   -0.476637\n";
inline const std::string StretchedWaterRows =
    "      1          8           0        0.000000    0.000000    0.127131\n"
    "      2          1           0        0.000000    0.758039   -0.508525\n"
    "      3          1           0        0.000000   -0.758039   -0.508525\n";

inline constexpr std::string_view TableHeading = R"( Harmonic frequencies (cm**-1), IR intensities (KM/Mole), Raman scattering
 activities (A**4/AMU), depolarization ratios for plane and unpolarized
 incident light, reduced masses (AMU), force constants (mDyne/A),
 and normal coordinates:
)";

// Water: 3N - 6 = 3 modes in one block of the ordinary layout.
inline constexpr std::string_view WaterModes = R"(                      1                      2                      3
                     A1                     A1                     B2
 Frequencies --   1743.1470              3998.2391              4136.9014
 Red. masses --      1.0840                 1.0452                 1.0825
 Frc consts  --      1.9406                 9.8446                10.9155
 IR Inten    --     70.8217                 4.9968                22.0683
  Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z
     1   8     0.00   0.00   0.07     0.00   0.00  -0.05     0.00   0.07   0.00
     2   1     0.00   0.43  -0.56     0.00   0.58   0.40     0.00  -0.56   0.43
     3   1     0.00  -0.43  -0.56     0.00  -0.58   0.40     0.00  -0.56  -0.43

)";

// A linear triatomic: 3N - 5 = 4 modes, a block of three and a block of one;
// the first mode is imaginary.
inline constexpr std::string_view LinearModes = R"(                      1                      2                      3
                     PIU                    PIU                    SGG
 Frequencies --    -52.1000               652.1000              1372.3000
 Red. masses --     12.8774                12.8774                15.9949
  Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z
     1   6     0.00   0.88   0.00     0.88   0.00   0.00     0.00   0.00   0.00
     2   8     0.00  -0.33   0.00    -0.33   0.00   0.00     0.00   0.00   0.71
     3   8     0.00  -0.33   0.00    -0.33   0.00   0.00     0.00   0.00  -0.71
                      4
                     SGU
 Frequencies --   2436.4000
 Red. masses --     12.8774
  Atom  AN      X      Y      Z
     1   6     0.00   0.00   0.88
     2   8     0.00   0.00  -0.33
     3   8     0.00   0.00  -0.33

)";

// The high-precision listing (value lines marked "---", one row per atom and
// axis), which Gaussian prints before the ordinary listing of the same modes.
inline constexpr std::string_view HighPrecisionWaterModes = R"(                           1         2         3
                          A1        A1        B2
       Frequencies ---  1743.1470 3998.2391 4136.9014
    Reduced masses ---     1.0840    1.0452    1.0825
 Coord Atom Element:
   1     1     8          0.00000   0.00000   0.00000
   2     1     8          0.00000   0.00000   0.06915
   3     1     8          0.06852  -0.04859   0.00000
   1     2     1          0.00000   0.00000   0.00000
   2     2     1          0.42811   0.58119  -0.55512
   3     2     1         -0.55681   0.39978   0.43160
   1     3     1          0.00000   0.00000   0.00000
   2     3     1         -0.42811  -0.58119  -0.55512
   3     3     1         -0.55681   0.39978  -0.43160
)";

inline constexpr std::string_view WaterThermochemistry = R"( Molecular mass:    18.01056 amu.
 Rotational symmetry number  2.
 Rotational temperatures (Kelvin)     40.07227    20.94074    12.89075
 Zero-point correction=                           0.021125 (Hartree/Particle)
 Thermal correction to Gibbs Free Energy=         0.003762
 Sum of electronic and thermal Free Energies=         -76.382871
)";

// The anharmonic zero-point energy and thermochemistry after a listing.
inline constexpr std::string_view WaterAnharmonicThermochemistry = R"( ZPE(harm) =   4.91234D+01 KJ/mol   ZPE(anh)=   4.85555D+01 KJ/mol
 Input values of T(K) and P(atm):   298.15     1.00000
 Enthalpy          10.000000      20.920000
 Entropy          100.000000     188.280000
)";

// Each job of a file ends with its termination line.
inline constexpr std::string_view NormalTermination =
    " Normal termination of Gaussian 16 at Wed Dec  1 08:53:11 2021.\n";

// Gaussian 03 and 09 number the listing from the highest harmonic mode down.
inline const std::string WaterAnharmonic = R"( Fundamental Bands (DE w.r.t. Ground State)
      1(1)           4136.901     3936.431       -47.210       -47.210
      2(1)           3998.239     3807.556       -45.335       -45.335
      3(1)           1743.147     1695.123       -10.123       -10.123
)" + std::string(WaterAnharmonicThermochemistry);

// Gaussian 09 D and E add a status word after the mode number.
inline const std::string WaterAnharmonicWithStatus = R"( Fundamental Bands (DE w.r.t. Ground State)
      1(1) active      4136.901    3936.431    21.750737    9.002066    6.226146
      2(1) passive     3998.239    3807.556    22.432539    8.825362    6.203337
      3(1) inactive    1743.147    1695.123    22.432539    8.825362    6.203337
 Overtones (DE w.r.t. Ground State)
      1(2) active      8273.802    7742.531
)" + std::string(WaterAnharmonicThermochemistry);

// Gaussian 16: a rule and a column header, its own numbering of the modes,
// and later listings of the same bands, which are not the section.
inline const std::string WaterAnharmonicG16 = R"( Fundamental Bands
 -----------------
     Mode(n)      Status      E(harm)  E(anharm)     Aa(y)      Ba(z)      Ca(x)
        1(1)      active      3998.239  3807.556  27.132559  14.301594   9.078922
        2(1)      active      1743.147  1695.123  30.546321  14.652520   9.115692
        3(1)      active      4136.901  3936.431  26.675323  14.412051   9.109929

)" + std::string(WaterAnharmonicThermochemistry) + R"(
 Electric dipole : Fundamental Bands
 ------------------------------------------------------------------------
   Mode(n)                          X               Y               Z
      1(1)                      -0.236620D-14    0.129733D-15   -0.350298D-13

              Anharmonic Infrared Spectroscopy
 Fundamental Bands
 -----------------
   Mode(n)                E(harm)   E(anharm)        I(harm)       I(anharm)
      1(1)               3998.239   3799.000     26.94443649     27.03688668
      2(1)               1743.147   1699.000    510.04230420    485.79711553
)";

inline constexpr std::string_view NaturalOrbitalHeader =
    "            N A T U R A L   A T O M I C   O R B I T A L   A N D\n"
    "         N A T U R A L   B O N D   O R B I T A L   A N A L Y S I S\n";

inline constexpr std::string_view NaturalPopulation = R"( Summary of Natural Population Analysis:

                                       Natural Population
                Natural  -----------------------------------------------
    Atom  No    Charge         Core      Valence    Rydberg      Total
 -----------------------------------------------------------------------
      O    1   -0.37667      2.00000     6.37667    0.00000     8.37667
      H    2    0.18833      0.00000     0.81167    0.00000     0.81167
      H    3    0.18833      0.00000     0.81167    0.00000     0.81167
 =======================================================================
   * Total *   -0.00000      2.00000     8.00000    0.00000    10.00000
)";

// An ESP fit with point dipoles: each atom's charge, then its dipole; a row
// of totals ends the table.
inline constexpr std::string_view PointDipoleESPTable = R"( Electrostatic Properties Using The SCF Density
 Charges from ESP fit, RMS=   0.00049 RRMS=   0.09872:
 ESP charges         Point Dipoles (au):
               1          2          3          4
     1  O   -1.012553  -0.188014   0.088301   0.000000
     2  H    0.506277  -0.169604   0.215148   0.000000
     3  H    0.506276  -0.169605   0.215148   0.000000
       Tot   0.000000  -0.527223   0.518597   0.000000
)";

// A table of three parts, one per unit and per pair of units.
inline constexpr std::string_view SecondOrderTable = R"( Second Order Perturbation Theory Analysis of Fock Matrix in NBO Basis

     Threshold for printing:   0.50 kcal/mol
                                                                              E(2)  E(j)-E(i) F(i,j)
         Donor NBO (i)                     Acceptor NBO (j)                 kcal/mol   a.u.    a.u.
 ===================================================================================================

 within unit  1
   1. BD (   1) O   1 - H   2        /  7. BD*(   1) O   1 - H   3            1.46    1.42    0.041
   2. BD (   1) O   1 - H   3        /  6. BD*(   1) O   1 - H   2            1.46    1.42    0.041

 from unit  1 to unit  2
   4. LP (   1) O   1                /  9. BD*(   1) O   4 - H   5           12.81    1.13    0.108
   5. LP (   2) O   1                / 10. RY*(   1) H   5                  ********    0.98    0.059

 from unit  2 to unit  1
   8. BD (   1) O   4 - H   5        /  6. BD*(   1) O   1 - H   2            0.07    1.45    0.009


 Natural Bond Orbitals (Summary):
   1. BD (   1) O   1 - H   2          1.99837    -0.78162  7(g)
)";

// A harmonic table: the heading, then the blocks of modes.
inline std::string Table(std::string_view modes) { return std::string(TableHeading) + std::string(modes); }

}  // namespace harvex::testing
