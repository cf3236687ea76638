// Checks of the Gaussian pass that read a frequency job: the harmonic mode
// table in its ordinary and high-precision layouts, the thermochemistry lines
// after it and the anharmonic section.
#include <algorithm>
#include <array>

#include "CoordFiles/GaussianPass.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr std::string_view TwelveBlanks = "            ";
constexpr long double KJPerKcal = 4.184L;
constexpr long double KcalPerHartree = 627.5095L;

// A block header holds the numbers of its modes:
//                            1         2         3
std::vector<TOscMode*> AddBlockModes(std::string_view header, TOscModes& modes) {
  std::vector<TOscMode*> block;
  int cursor = 1;
  SkipBlanks(header, cursor);
  do {
    block.push_back(&modes.AddMode(ReadInt(header, cursor)));
    SkipBlanks(header, cursor);
  } while (static_cast<std::size_t>(cursor) <= header.size());
  return block;
}

// Value lines carry a label, a dash marker and one value per mode; "---"
// marks the high-precision layout:
//  Frequencies --     52.7882                83.9373               148.1576
//  Red. masses --      3.2050                 2.4755                 2.0858
//        Frequencies ---    52.7882   83.9373  148.1576  178.6728  262.8397
// False when the line is no value line.
constexpr std::string_view HighPrecisionDashes = "---";
constexpr std::string_view OrdinaryDashes = "--";

bool ReadValueLine(TGaussianPass& pass, const std::vector<TOscMode*>& block) {
  const std::string_view line = pass.Line;
  std::string_view dashes = OrdinaryDashes;
  if (Contains(line, HighPrecisionDashes)) {
    pass.HighPrecisionListing = true;
    dashes = HighPrecisionDashes;
  }
  const std::size_t marker = line.find(dashes);
  if (marker == std::string_view::npos) return false;
  // The label runs from the line's first non-blank to the marker, without
  // the spaces before the marker.
  int cursor = 1;
  SkipBlanks(line, cursor);
  std::string_view label = line.substr(0, marker);
  label.remove_prefix(std::min(static_cast<std::size_t>(cursor) - 1, label.size()));
  while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
  const std::string_view values = line.substr(marker + dashes.size());
  int valueCursor = 1;
  for (TOscMode* mode : block) {
    SkipBlanks(values, valueCursor);
    mode->Attributes.push_back({std::string(label), ReadDouble(values, valueCursor)});
  }
  return true;
}

// Displacement rows: the ordinary layout has one row per atom with x, y, z
// for each mode; the high-precision layout one row per atom and axis.
//     1   6     0.00   0.00   0.08     0.00   0.00  -0.08     0.00   0.00  -0.03
//   3     1     6          0.08012  -0.08437  -0.03040   0.00000   0.00000
// Rows of atoms beyond the displacement arrays are passed over.
void ReadDisplacementRow(std::string_view row, bool highPrecision, const std::vector<TOscMode*>& block) {
  int cursor = 1;
  int axis = 0;
  if (highPrecision) {
    SkipBlanks(row, cursor);
    axis = ReadInt(row, cursor);
  }
  SkipBlanks(row, cursor);
  const int atom = ReadInt(row, cursor);
  SkipBlanks(row, cursor);
  ReadInt(row, cursor);
  if (atom < 1 || atom > MaxModeAtoms) return;
  const auto index = static_cast<std::size_t>(atom - 1);
  for (TOscMode* mode : block) {
    if (highPrecision) {
      SkipBlanks(row, cursor);
      if (axis == 1) mode->DispX[index] = ReadDouble(row, cursor);
      if (axis == 2) mode->DispY[index] = ReadDouble(row, cursor);
      if (axis == 3) mode->DispZ[index] = ReadDouble(row, cursor);
    } else {
      for (auto* axisValues : {&mode->DispX, &mode->DispY, &mode->DispZ}) {
        SkipBlanks(row, cursor);
        (*axisValues)[index] = ReadDouble(row, cursor);
      }
    }
  }
}

// A row starts with a digit or a minus sign; an empty line, a blank one or
// text ends the table.
bool EndsModeTable(std::string_view line) {
  int cursor = 1;
  SkipBlanks(line, cursor);
  const char first = ReadChar(line, cursor);
  return !(first == '-' || (first >= '0' && first <= '9'));
}

// One block of the mode table, its header line (the mode numbers) being the
// current line. True when the table has ended; false when the current line
// is the header of a further block. The end of the input ends the table.
//                            1         2         3
//                           AU        BG        AU
//  Frequencies --     52.7882                83.9373               148.1576
bool ReadFrequencyBlock(TGaussianPass& pass, TOscModes& modes) {
  const std::vector<TOscMode*> block = AddBlockModes(pass.Line, modes);
  if (!pass.NextLine()) return true;  // symmetry labels
  pass.HighPrecisionListing = false;
  bool more = true;
  while ((more = pass.NextLine()) && ReadValueLine(pass, block)) {
  }
  for (TOscMode* mode : block) GetModeAttribute(mode->Attributes, "Frequencies", mode->Frequency);
  if (!more || !pass.NextLine()) return true;  // the first row, after the column header
  for (;;) {
    ReadDisplacementRow(pass.Line, pass.HighPrecisionListing, block);
    if (!pass.NextLine() || EndsModeTable(pass.Line)) return true;
    if (pass.Line.starts_with(TwelveBlanks)) return false;
  }
}

}  // namespace

//  Harmonic frequencies (cm**-1), IR intensities (KM/Mole), Raman scattering
//  activities (A**4/AMU), depolarization ratios for plane and unpolarized
//  ...
//                            1         2         3
// The high-precision listing, when printed, comes first and holds the same
// modes as the ordinary one after it, which is then not read.
constexpr std::string_view HarmonicFrequenciesMarker = "Harmonic frequencies";

void ReadHarmonicFrequencies(TGaussianPass& pass, TOutInfo& info) {
  if (pass.HighPrecisionListing || !Contains(pass.Line, HarmonicFrequenciesMarker)) return;
  if (!pass.SkipToLineWith(TwelveBlanks)) return;
  while (!ReadFrequencyBlock(pass, *info.Modes)) {
  }
  info.Modes->HighPrecision = pass.HighPrecisionListing;
  // Thermochemistry printed before a harmonic table belongs to another job.
  info.ClearThermochemistry();
  pass.FrequenciesSeen = true;
}

namespace {

// The cursor on the value of a rotor line read after a harmonic table: the
// one character right after the marker is passed over unread, then blanks.
// False when no table was read yet or the line lacks the marker.
bool FindRotorValue(const TGaussianPass& pass, std::string_view marker, int& cursor) {
  if (!pass.FrequenciesSeen) return false;
  const int position = PositionOf(pass.Line, marker);
  if (position == 0) return false;
  cursor = position + static_cast<int>(marker.size()) + 1;
  SkipBlanks(pass.Line, cursor);
  return true;
}

}  // namespace

//  Molecular mass:   130.07825 amu.
constexpr std::string_view MolecularMassMarker = "Molecular mass:";
static_assert(MolecularMassMarker.size() + 1 == 16);

void ReadMolecularMass(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (FindRotorValue(pass, MolecularMassMarker, cursor)) info.MolecularMass = ReadDouble(pass.Line, cursor);
}

// The period after the number ends the integer:
//  Rotational symmetry number  2.
constexpr std::string_view SymmetryNumberMarker = "Rotational symmetry number";
static_assert(SymmetryNumberMarker.size() + 1 == 27);

void ReadSymmetryNumber(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (FindRotorValue(pass, SymmetryNumberMarker, cursor)) info.SymmetryNumber = ReadInt(pass.Line, cursor);
}

// A linear molecule has one rotational temperature:
//  Rotational temperature (Kelvin)      2.74892
constexpr std::string_view LinearRotorMarker = "Rotational temperature (Kelvin)";
static_assert(LinearRotorMarker.size() + 1 == 32);

void ReadLinearRotorTemperature(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (!FindRotorValue(pass, LinearRotorMarker, cursor)) return;
  info.LinearRotor = true;
  info.RotTemperatures[0] = ReadDouble(pass.Line, cursor);
}

//  Rotational temperatures (Kelvin)      0.22204     0.03287     0.02863
constexpr std::string_view RotationalTemperaturesMarker = "Rotational temperatures (Kelvin)";
static_assert(RotationalTemperaturesMarker.size() + 1 == 33);

void ReadRotationalTemperatures(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (!FindRotorValue(pass, RotationalTemperaturesMarker, cursor)) return;
  info.LinearRotor = false;
  for (double& temperature : info.RotTemperatures) {
    SkipBlanks(pass.Line, cursor);
    temperature = ReadDouble(pass.Line, cursor);
  }
}

//  Zero-point correction=                           0.177140 (Hartree/Particle)
//  Thermal correction to Gibbs Free Energy=         0.143335
//  Sum of electronic and thermal Free Energies=         -382.164931
constexpr std::string_view ZPECorrectionMarker = "Zero-point correction";
constexpr std::string_view GibbsCorrectionMarker = "Thermal correction to Gibbs Free Energy";
constexpr std::string_view GibbsEnergyMarker = "Sum of electronic and thermal Free Energies";

void ReadThermochemistry(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  double* field = nullptr;
  if (Contains(line, ZPECorrectionMarker)) {
    field = &info.ZPECorrection;
  } else if (Contains(line, GibbsCorrectionMarker)) {
    field = &info.GibbsCorrection;
  } else if (Contains(line, GibbsEnergyMarker)) {
    field = &info.GibbsEnergy;
  } else {
    return;
  }
  int cursor = CursorAfter(line, '=');
  SkipBlanks(line, cursor);
  *field = ReadDouble(line, cursor);
}

// Anharmonic fundamentals, numbered in the reverse order of the harmonic
// table (mode 1 here is the last harmonic mode), then the anharmonic
// zero-point energy and thermochemistry in kJ/mol:
//  Fundamental Bands (DE w.r.t. Ground State)
//       1(1)           3151.798     3006.285       -41.059       -35.929
//  ZPE(harm) =   9.87654D+01 KJ/mol   ZPE(anh)=   9.71234D+01 KJ/mol
//  Input values of T(K) and P(atm):   298.15     1.00000
//  Enthalpy          99.765432      109.876543
//  Entropy          201.234567      245.678901
constexpr std::string_view FundamentalBandsMarker = "Fundamental Bands ";
constexpr std::string_view AnharmonicZPEMarker = "ZPE(anh)";
constexpr std::string_view TemperatureMarker = "Input values of T";
constexpr std::string_view EnthalpyMarker = "Enthalpy";
constexpr std::string_view EntropyMarker = "Entropy";

namespace {

void ReadFundamentalBand(std::string_view row, TOscModes& modes) {
  int cursor = 1;
  SkipBlanks(row, cursor);
  const int band = ReadInt(row, cursor);
  while (static_cast<std::size_t>(cursor) <= row.size() && row[cursor - 1] != ' ' && row[cursor - 1] != '\t')
    ++cursor;
  SkipBlanks(row, cursor);
  ReadReal(row, cursor);  // the harmonic value
  SkipBlanks(row, cursor);
  modes.ModeAt(modes.Count() - band).AnharmonicFrequency = ReadReal(row, cursor);
}

// The second number after the marker at the given offset; the first is not used.
long double SecondValueAfter(std::string_view line, int cursor) {
  SkipBlanks(line, cursor);
  ReadReal(line, cursor);
  SkipBlanks(line, cursor);
  return ReadReal(line, cursor);
}

}  // namespace

void ReadAnharmonicSection(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.FrequenciesSeen || !Contains(pass.Line, FundamentalBandsMarker)) return;
  TOscModes& modes = *info.Modes;
  modes.Anharmonic = true;
  for (int band = modes.Count(); band > 0; --band) {
    if (!pass.NextLine()) return;
    ReadFundamentalBand(pass.Line, modes);
  }
  if (!pass.AwaitLineWith(AnharmonicZPEMarker)) return;
  int cursor = PositionOf(pass.Line, AnharmonicZPEMarker) + 9;
  SkipBlanks(pass.Line, cursor);
  info.ZPEAnharmonic = ReadReal(pass.Line, cursor) / KJPerKcal / KcalPerHartree;

  if (!pass.AwaitLineWith(TemperatureMarker)) return;
  cursor = CursorAfter(pass.Line, ':');
  SkipBlanks(pass.Line, cursor);
  info.AnharmonicTemperature = ReadReal(pass.Line, cursor);

  if (!pass.AwaitLineWith(EnthalpyMarker)) return;
  const long double enthalpy =
      SecondValueAfter(pass.Line, PositionOf(pass.Line, EnthalpyMarker) + 8) / KJPerKcal / KcalPerHartree;
  if (!pass.AwaitLineWith(EntropyMarker)) return;
  const long double entropy =
      SecondValueAfter(pass.Line, PositionOf(pass.Line, EntropyMarker) + 7) / 1000 / KJPerKcal / KcalPerHartree;
  info.GibbsAnharmonic = enthalpy - info.AnharmonicTemperature * entropy;
  info.HasAnharmonicThermo = true;
}

namespace {

constexpr std::array VibrationMarkerList = {
    HarmonicFrequenciesMarker, MolecularMassMarker,   SymmetryNumberMarker,  LinearRotorMarker,
    RotationalTemperaturesMarker, ZPECorrectionMarker, GibbsCorrectionMarker, GibbsEnergyMarker,
    FundamentalBandsMarker,
};

}  // namespace

std::span<const std::string_view> VibrationMarkers() { return VibrationMarkerList; }

}  // namespace harvex
