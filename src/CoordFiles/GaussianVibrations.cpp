// Checks of the Gaussian pass that read a frequency job: the harmonic mode
// table in its ordinary and high-precision layouts, the thermochemistry lines
// after it and the anharmonic section.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <limits>

#include "CoordFiles/GaussianPass.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr std::string_view TwelveBlanks = "            ";

// A block header holds the numbers of its modes:
//                            1         2         3
std::vector<TOscMode*> AddBlockModes(std::string_view header, TOscModes& modes, int limit) {
  std::vector<TOscMode*> block;
  int cursor = 1;
  SkipBlanks(header, cursor);
  do {
    block.push_back(&modes.AddMode(ReadInt(header, cursor)));
    SkipBlanks(header, cursor);
  } while (static_cast<std::size_t>(cursor) <= header.size() && modes.Count() < limit);
  return block;
}

// The mode limit of the geometry read so far: the rows of its last whole
// orientation table.
int ModeLimitOf(const TGaussianFileState& file) {
  return ModeLimit(file.GeometryRows.empty() ? file.InputGeometryRows.size() : file.GeometryRows.size());
}

// True, with the warning, when the listing has reached the mode limit.
bool ModeLimitReached(const TGaussianFileState& file, TOutInfo& info) {
  const int limit = ModeLimitOf(file);
  if (info.Modes->Count() < limit) return false;
  info.AddReadWarning(ModeLimitWarning(limit));
  return true;
}

constexpr std::string_view FrequenciesLabel = "Frequencies";
constexpr std::string_view OverflowWarning =
    "Warning: a per-mode value printed as asterisks (too large for its field) is read as not available!";

// Gaussian prints a value too large for its field as asterisks:
//  IR Inten    --  ************             0.0000                 2.1163
// Passes over such a field; false, the cursor unmoved, for any other.
bool SkipOverflowField(std::string_view values, int& cursor) {
  const auto start = static_cast<std::size_t>(cursor - 1);
  if (start >= values.size()) return false;
  const std::size_t end = std::min(values.find_first_not_of('*', start), values.size());
  if (end == start || (end < values.size() && values[end] != ' ' && values[end] != '\t')) return false;
  cursor = static_cast<int>(end) + 1;
  return true;
}

// Value lines carry a label, a dash marker and one value per mode; "---"
// marks the high-precision layout:
//  Frequencies --     52.7882                83.9373               148.1576
//  Red. masses --      3.2050                 2.4755                 2.0858
//        Frequencies ---    52.7882   83.9373  148.1576  178.6728  262.8397
// IRC and projected-frequency jobs add a line with a single dash:
//  IRC Coupling -      0.0000                 0.0000                -0.0605
// False when the line is no value line.
constexpr std::string_view HighPrecisionDashes = "---";
constexpr std::string_view OrdinaryDashes = "--";
constexpr std::string_view IRCCouplingLine = "IRC Coupling -";
constexpr std::string_view SingleDash = "-";

bool ReadValueLine(TGaussianPass& pass, const std::vector<TOscMode*>& block, TOutInfo& info) {
  const std::string_view line = pass.Line;
  std::string_view dashes = OrdinaryDashes;
  if (Contains(line, HighPrecisionDashes)) {
    pass.Job.HighPrecisionListing = true;
    dashes = HighPrecisionDashes;
  }
  std::size_t marker = line.find(dashes);
  if (marker == std::string_view::npos) {
    const std::size_t coupling = line.find(IRCCouplingLine);
    if (coupling == std::string_view::npos) return false;
    dashes = SingleDash;
    marker = coupling + IRCCouplingLine.size() - SingleDash.size();
  }
  // The label runs from the line's first non-blank to the marker, without
  // the spaces before the marker.
  int cursor = 1;
  SkipBlanks(line, cursor);
  std::string_view label = line.substr(0, marker);
  label.remove_prefix(std::min(static_cast<std::size_t>(cursor) - 1, label.size()));
  while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
  const std::string_view values = line.substr(marker + dashes.size());
  int valueCursor = 1;
  // A frequency always converts; any other value the row does not need.
  const bool perModeValue = label != FrequenciesLabel;
  for (TOscMode* mode : block) {
    SkipBlanks(values, valueCursor);
    double value = std::numeric_limits<double>::quiet_NaN();
    if (perModeValue && SkipOverflowField(values, valueCursor)) {
      info.AddReadWarning(OverflowWarning);
    } else if (!perModeValue && pass.Source.LineCut()) {
      // A job still writing its frequencies: those not printed yet are not read.
      const std::optional<double> frequency = TryReadDouble(values, valueCursor);
      if (!frequency) break;
      value = *frequency;
    } else {
      value = ReadDouble(values, valueCursor);
    }
    mode->Attributes.push_back({std::string(label), value});
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
      if (axis == 1) mode->DispX.Set(index, ReadDouble(row, cursor));
      if (axis == 2) mode->DispY.Set(index, ReadDouble(row, cursor));
      if (axis == 3) mode->DispZ.Set(index, ReadDouble(row, cursor));
    } else {
      for (auto* axisValues : {&mode->DispX, &mode->DispY, &mode->DispZ}) {
        SkipBlanks(row, cursor);
        axisValues->Set(index, ReadDouble(row, cursor));
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
  return !(first == '-' || IsDigit(first));
}

void TrimDisplacements(const std::vector<TOscMode*>& block) {
  for (TOscMode* mode : block) {
    mode->DispX.Trim();
    mode->DispY.Trim();
    mode->DispZ.Trim();
  }
}

// One block of the mode table, its header line (the mode numbers) being the
// current line. True when the table has ended; false when the current line
// is the header of a further block. The end of the input ends the table, and
// so does a line other than the column header after the value lines.
//                            1         2         3
//                           AU        BG        AU
//  Frequencies --     52.7882                83.9373               148.1576
//  ...
//   Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z
//    Coord Atom Element:
constexpr std::string_view DisplacementColumnsMarker = "Atom";

bool ReadFrequencyBlock(TGaussianPass& pass, TOutInfo& info) {
  const std::vector<TOscMode*> block = AddBlockModes(pass.Line, *info.Modes, ModeLimitOf(pass.File));
  bool more = pass.NextLine();  // symmetry labels
  pass.Job.HighPrecisionListing = false;
  while (more && (more = pass.NextLine()) && ReadValueLine(pass, block, info)) {
  }
  // A mode is the frequency the job printed: the modes of a block cut off
  // before its frequencies are not kept.
  const auto unread = std::ranges::count_if(
      block, [](TOscMode* mode) { return !GetModeAttribute(mode->Attributes, FrequenciesLabel, mode->Frequency); });
  if (unread > 0) {
    info.Modes->RemoveLast(static_cast<int>(unread));
    return true;
  }
  if (!more || !Contains(pass.Line, DisplacementColumnsMarker) || !pass.NextLine()) return true;
  for (;;) {
    ReadDisplacementRow(pass.Line, pass.Job.HighPrecisionListing, block);
    if (!pass.NextLine() || EndsModeTable(pass.Line)) break;
    if (pass.Line.starts_with(TwelveBlanks)) {
      TrimDisplacements(block);
      return ModeLimitReached(pass.File, info);
    }
  }
  TrimDisplacements(block);
  return true;
}

}  // namespace

//  Harmonic frequencies (cm**-1), IR intensities (KM/Mole), Raman scattering
//  activities (A**4/AMU), depolarization ratios for plane and unpolarized
//  ...
//                            1         2         3
// The high-precision listing, when printed, comes first and holds the same
// modes as the ordinary one after it, which is then not read. Each table
// read replaces the modes before it: it lists them again, or those of a
// later job, whose row the file's last table gives.
constexpr std::string_view HarmonicFrequenciesMarker = "Harmonic frequencies";
// A single atom has no modes: the thermochemistry follows the heading.
constexpr std::string_view ThermochemistryBanner = "- Thermochemistry -";

namespace {

bool IsModeNumberLine(std::string_view line) {
  return line.find_first_not_of(" 0123456789") == std::string_view::npos &&
         line.find_first_of("0123456789") != std::string_view::npos;
}

// Moves to the header of the table's first block; false when the table has
// none, the current line then being the one that showed it.
bool FindFirstBlockHeader(TGaussianPass& pass) {
  while (pass.NextLine()) {
    if (Contains(pass.Line, ThermochemistryBanner)) return false;
    if (Contains(pass.Line, TwelveBlanks)) return IsModeNumberLine(pass.Line);
  }
  return false;
}

}  // namespace

void ReadHarmonicFrequencies(TGaussianPass& pass, TOutInfo& info) {
  if (pass.Job.HighPrecisionListing || pass.Job.ModesRecovered || !Contains(pass.Line, HarmonicFrequenciesMarker)) return;
  info.Modes = std::make_unique<TOscModes>();
  if (FindFirstBlockHeader(pass)) {
    while (!ReadFrequencyBlock(pass, info)) {
    }
  }
  info.Modes->HighPrecision = pass.Job.HighPrecisionListing;
  // Thermochemistry printed before a harmonic table belongs to another job.
  info.ClearThermochemistry();
  pass.File.FrequenciesSeen = true;
  pass.File.FundamentalBandsDue = true;
}

// A Gaussian 16 anharmonic job prints its harmonic table once more within
// the job, after
//  Recovering previously computed normal modes.
constexpr std::string_view RecoveredModesMarker = "Recovering previously computed normal modes";

void NoteRecoveredModes(TGaussianPass& pass, TOutInfo&) { pass.Job.ModesRecovered = true; }

namespace {

// The cursor on the value of a rotor line read after a harmonic table: the
// one character right after the marker is passed over unread, then blanks.
// False when no table was read yet or the line lacks both spellings of the
// marker (Gaussian 98 prints some in capitals).
bool FindRotorValue(const TGaussianPass& pass, int& cursor) {
  if (!pass.File.FrequenciesSeen) return false;
  cursor = static_cast<int>(pass.Match.At + pass.Match.Marker.size()) + 2;
  SkipBlanks(pass.Line, cursor);
  return true;
}

}  // namespace

//  Molecular mass:   130.07825 amu.
constexpr std::string_view MolecularMassMarker = "Molecular mass:";
static_assert(MolecularMassMarker.size() + 1 == 16);

void ReadMolecularMass(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (FindRotorValue(pass, cursor)) info.MolecularMass = ReadDouble(pass.Line, cursor);
}

// The period after the number ends the integer:
//  Rotational symmetry number  2.
//  ROTATIONAL SYMMETRY NUMBER  2.
constexpr std::string_view SymmetryNumberMarker = "Rotational symmetry number";
constexpr std::string_view CapitalSymmetryNumberMarker = "ROTATIONAL SYMMETRY NUMBER";
static_assert(SymmetryNumberMarker.size() + 1 == 27);

void ReadSymmetryNumber(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (FindRotorValue(pass, cursor))
    info.SymmetryNumber = ReadInt(pass.Line, cursor);
}

// A linear molecule has one rotational temperature:
//  Rotational temperature (Kelvin)      2.74892
//  ROTATIONAL TEMPERATURE (KELVIN)      2.74892
constexpr std::string_view LinearRotorMarker = "Rotational temperature (Kelvin)";
constexpr std::string_view CapitalLinearRotorMarker = "ROTATIONAL TEMPERATURE (KELVIN)";
static_assert(LinearRotorMarker.size() + 1 == 32);

// The rotor's temperatures after either marker: one for a linear molecule,
// three for any other.
template <bool Linear>
void ReadRotorTemperatures(TGaussianPass& pass, TOutInfo& info) {
  int cursor = 0;
  if (!FindRotorValue(pass, cursor)) return;
  info.LinearRotor = Linear;
  for (std::size_t axis = 0; axis < (Linear ? 1 : info.RotTemperatures.size()); ++axis) {
    SkipBlanks(pass.Line, cursor);
    info.RotTemperatures[axis] = ReadDouble(pass.Line, cursor);
  }
}

//  Rotational temperatures (Kelvin)      0.22204     0.03287     0.02863
//  ROTATIONAL TEMPERATURES (KELVIN)      0.22204     0.03287     0.02863
constexpr std::string_view RotationalTemperaturesMarker = "Rotational temperatures (Kelvin)";
constexpr std::string_view CapitalRotationalTemperaturesMarker = "ROTATIONAL TEMPERATURES (KELVIN)";
static_assert(RotationalTemperaturesMarker.size() + 1 == 33);

//  Zero-point correction=                           0.177140 (Hartree/Particle)
//  Thermal correction to Gibbs Free Energy=         0.143335
//  Sum of electronic and thermal Free Energies=         -382.164931
namespace {

struct TThermochemistryLine {
  std::string_view Marker;
  double TOutInfo::*Field;
  std::string_view Window;
};
constexpr std::array ThermochemistryLines = {
    TThermochemistryLine{"Zero-point correction", &TOutInfo::ZPECorrection, "ero-p"},
    TThermochemistryLine{"Thermal correction to Gibbs Free Energy", &TOutInfo::GibbsCorrection, "o Gib"},
    TThermochemistryLine{"Sum of electronic and thermal Free Energies", &TOutInfo::GibbsEnergy, "al Fr"},
};

}  // namespace

void ReadThermochemistry(TGaussianPass& pass, TOutInfo& info) {
  const auto line = std::ranges::find(ThermochemistryLines, pass.Match.Marker, &TThermochemistryLine::Marker);
  int cursor = CursorAfter(pass.Line, '=');
  SkipBlanks(pass.Line, cursor);
  info.*line->Field = ReadDouble(pass.Line, cursor);
  if (line->Field != &TOutInfo::GibbsEnergy) return;
  info.HasGibbsEnergy = true;
  info.PrintedFreeEnergy = info.GibbsEnergy;
}

namespace {

// The number after the blanks at the cursor; none when the line holds no
// number there (cut off, asterisks, another layout).
std::optional<double> NumberAt(std::string_view line, int cursor) {
  SkipBlanks(line, cursor);
  if (static_cast<std::size_t>(cursor) > line.size()) return std::nullopt;
  return TryReadDouble(line, cursor);
}

}  // namespace

// The charge line of the job's input; the block takes the last one before it.
// A counterpoise job's fragment lines are not the molecule's:
//  Charge =  0 Multiplicity = 1
//  Charge =  0 Multiplicity = 1 in supermolecule
//  Charge =  0 Multiplicity = 1 in fragment      1.
constexpr std::string_view MultiplicityMarker = "Multiplicity =";
constexpr std::string_view ChargeMarker = "Charge =";
constexpr std::string_view FragmentLine = "in fragment";

void ReadMultiplicity(TGaussianPass& pass, TOutInfo& info) {
  const int position = PositionOf(pass.Line, MultiplicityMarker);
  if (position == 0 || Contains(pass.Line, FragmentLine)) return;
  const std::optional<double> multiplicity = NumberAt(pass.Line, position + static_cast<int>(MultiplicityMarker.size()));
  constexpr double HighestMultiplicity = 1000;  // beyond it the line is damaged
  if (!multiplicity || *multiplicity < 1 || *multiplicity > HighestMultiplicity) return;
  pass.File.Multiplicity = static_cast<int>(*multiplicity);
  // A frequency block keeps the multiplicity of its own job.
  if (!pass.File.FrequenciesSeen) info.Multiplicity = pass.File.Multiplicity;
  if (const int charge = PositionOf(pass.Line, ChargeMarker); charge != 0 && charge < position)
    if (const std::optional<double> value = NumberAt(pass.Line, charge + static_cast<int>(ChargeMarker.size())))
      info.Charge = static_cast<std::int32_t>(*value);
}

// The first line of the thermochemistry block gives the job's conditions; the
// energy in force is the one the block's G is built on.
//  - Thermochemistry -
//  -------------------
//  Temperature   298.150 Kelvin.  Pressure   1.00000 Atm.
constexpr std::string_view ConditionsMarker = "Kelvin.  Pressure";
constexpr std::string_view TemperatureLead = "Temperature";

void ReadThermochemistryConditions(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  const int conditions = PositionOf(line, ConditionsMarker);
  const int temperature = PositionOf(line, TemperatureLead);
  if (conditions == 0 || temperature == 0 || temperature > conditions) return;
  info.ThermoTemperature = NumberAt(line, temperature + static_cast<int>(TemperatureLead.size()));
  info.ThermoPressure = NumberAt(line, conditions + static_cast<int>(ConditionsMarker.size()));
  if (pass.File.EnergyRead) info.ThermoEnergy = pass.File.Energy;
  info.Multiplicity = pass.File.Multiplicity;
  info.AtomMasses.clear();
  info.RotConstants = {};
  pass.Job.InThermochemistry = true;
}

// The masses the block used, isotopes included, one line per atom:
//  Atom     3 has atomic number  1 and mass   1.00783
constexpr std::string_view AtomMassMarker = "has atomic number";
constexpr std::string_view MassLead = "and mass";

void ReadAtomMass(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.Job.InThermochemistry) return;
  const int lead = PositionOf(pass.Line, MassLead);
  if (lead == 0) return;
  if (const std::optional<double> mass = NumberAt(pass.Line, lead + static_cast<int>(MassLead.size())))
    info.AtomMasses.push_back(*mass);
}

// Three constants, or one for a linear molecule; a field too wide for its
// format is printed as asterisks and is taken as not printed:
//  Rotational constants (GHZ):           7.73657     7.73641     4.47871
//  Rotational constant (GHZ):          57.278252
//  Rotational constants (GHZ):      ************     3.92365     3.92353
constexpr std::string_view RotationalConstantsMarker = "Rotational constants (GHZ):";
constexpr std::string_view LinearRotationalConstantMarker = "Rotational constant (GHZ):";

void ReadRotationalConstants(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.Job.InThermochemistry) return;
  const std::string_view line = pass.Line;
  int position = PositionOf(line, RotationalConstantsMarker);
  std::size_t length = RotationalConstantsMarker.size();
  if (position == 0) {
    position = PositionOf(line, LinearRotationalConstantMarker);
    length = LinearRotationalConstantMarker.size();
  }
  if (position == 0) return;
  int cursor = position + static_cast<int>(length);
  for (double& constant : info.RotConstants) {
    SkipBlanks(line, cursor);
    const int start = cursor;
    while (static_cast<std::size_t>(cursor) <= line.size() && line[cursor - 1] != ' ') ++cursor;
    constant = NumberAt(line.substr(0, static_cast<std::size_t>(cursor) - 1), start).value_or(0);
  }
}

//  Sum of electronic and thermal Enthalpies=            -158.319804
constexpr std::string_view EnthalpyEnergyMarker = "Sum of electronic and thermal Enthalpies";

void ReadPrintedEnthalpy(TGaussianPass& pass, TOutInfo& info) {
  if (Contains(pass.Line, EnthalpyEnergyMarker)) info.PrintedEnthalpy = NumberAt(pass.Line, CursorAfter(pass.Line, '='));
}

// Anharmonic fundamentals, then the anharmonic zero-point energy and
// thermochemistry in kJ/mol. Gaussian 03 and 09 list the rows right under
// the title, numbered from the highest harmonic mode down; 09 D and E add
// each mode's status word:
//  Fundamental Bands (DE w.r.t. Ground State)
//       1(1)           3151.798     3006.285       -41.059       -35.929
//       1(1) active      3873.845    3685.814    21.750737    9.002066    6.226146
// Gaussian 16 puts a rule and a column header between, and numbers the
// modes in an order of its own:
//  Fundamental Bands
//  -----------------
//      Mode(n)      Status      E(harm)  E(anharm)     Aa(y)      Ba(z)      Ca(x)
//         1(1)      active      3872.094  3698.614  27.132559  14.301594   9.078922
//     Mode(n,l)    Status       E(harm)  E(anharm)     Aa(z)      Ba(x)      Ca(y)
// After the listing:
//  ZPE(harm) =   9.87654D+01 KJ/mol   ZPE(anh)=   9.71234D+01 KJ/mol
//  Input values of T(K) and P(atm):   298.15     1.00000
//  Enthalpy          99.765432      109.876543
//  Entropy          201.234567      245.678901
// Later listings of the same bands ("Electric dipole : Fundamental Bands",
// those under "Anharmonic Infrared Spectroscopy") are not the section.
constexpr std::string_view FundamentalBandsMarker = "Fundamental Bands";
constexpr std::string_view ListingRule = "-----";
constexpr std::string_view BandColumnsMarker = "Mode(";
constexpr std::array ModeStatusWords = {std::string_view("active"), std::string_view("passive"),
                                        std::string_view("inactive")};
constexpr std::string_view AnharmonicZPEMarker = "ZPE(anh)";
constexpr std::string_view TemperatureMarker = "Input values of T";
constexpr std::string_view EnthalpyMarker = "Enthalpy";
constexpr std::string_view EntropyMarker = "Entropy";

namespace {

// A row of the listing starts with its mode number and "(": "1(1)", "3(1,-1)".
bool IsFundamentalBandRow(std::string_view line) {
  int cursor = 1;
  SkipBlanks(line, cursor);
  std::size_t at = static_cast<std::size_t>(cursor) - 1;
  const std::size_t digits = at;
  while (at < line.size() && IsDigit(line[at])) ++at;
  return at > digits && at < line.size() && line[at] == '(';
}

// The number of decimals a number is printed with, from its text.
int DecimalsOf(std::string_view number) {
  const std::size_t point = number.find_first_of(".,");
  if (point == std::string_view::npos) return 0;
  std::size_t end = point + 1;
  while (end < number.size() && IsDigit(number[end])) ++end;
  return static_cast<int>(end - point - 1);
}

// The index of the mode whose harmonic frequency equals the row's E(harm)
// to the decimals printed, and which no earlier row of the listing took;
// among several (a degenerate pair) the nearest, then the last, as the
// reverse numbering of the older listings has it. -1 when no mode fits.
int ModeOfHarmonicValue(const TOscModes& modes, long double harmonic, int decimals, const std::vector<bool>& taken) {
  const long double scale = std::pow(10.0L, static_cast<long double>(decimals));
  constexpr long double halfUnit = 0.5L + 1e-6L;  // rounding of the printed value, with slack for binary fractions
  int best = -1;
  long double bestDistance = halfUnit;
  for (int index = 0; index < modes.Count(); ++index) {
    if (taken[static_cast<std::size_t>(index)]) continue;
    const long double distance = std::fabs(modes.ModeAt(index).Frequency - harmonic) * scale;
    if (distance <= bestDistance) {
      best = index;
      bestDistance = distance;
    }
  }
  return best;
}

// One row: the mode number word, a status word where printed, E(harm) and
// E(anharm). The anharmonic value goes to the mode of that harmonic value.
void ReadFundamentalBand(std::string_view row, TOscModes& modes, std::vector<bool>& taken) {
  int cursor = 1;
  SkipBlanks(row, cursor);
  ReadInt(row, cursor);  // Gaussian's mode number, in an order of its own
  while (static_cast<std::size_t>(cursor) <= row.size() && row[cursor - 1] != ' ' && row[cursor - 1] != '\t')
    ++cursor;
  SkipBlanks(row, cursor);
  const int beforeWord = cursor;
  const std::string word = ReadWord(row, cursor);
  if (std::find(ModeStatusWords.begin(), ModeStatusWords.end(), word) == ModeStatusWords.end()) cursor = beforeWord;
  SkipBlanks(row, cursor);
  const int harmonicStart = cursor;
  const long double harmonic = ReadReal(row, cursor);
  const int decimals = DecimalsOf(row.substr(static_cast<std::size_t>(harmonicStart) - 1,
                                             static_cast<std::size_t>(cursor - harmonicStart)));
  SkipBlanks(row, cursor);
  const long double anharmonic = ReadReal(row, cursor);
  const int index = ModeOfHarmonicValue(modes, harmonic, decimals, taken);
  if (index < 0) return;
  modes.ModeAt(index).AnharmonicFrequency = anharmonic;
  taken[static_cast<std::size_t>(index)] = true;
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
  if (!pass.File.FundamentalBandsDue || !Contains(pass.Line, FundamentalBandsMarker)) return;
  pass.File.FundamentalBandsDue = false;
  TOscModes& modes = *info.Modes;
  modes.Anharmonic = true;
  if (!pass.NextLine()) return;
  if (Contains(pass.Line, ListingRule) && !(pass.NextLineHolds(BandColumnsMarker) && pass.NextLine())) return;
  std::vector<bool> taken(static_cast<std::size_t>(modes.Count()), false);
  while (IsFundamentalBandRow(pass.Line)) {
    ReadFundamentalBand(pass.Line, modes, taken);
    if (!pass.NextLine()) return;
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

constexpr std::array VibrationRowList = JoinRows(
    std::array{
        TGaussianRow{RecoveredModesMarker, NoteRecoveredModes, "previ"},
        TGaussianRow{HarmonicFrequenciesMarker, ReadHarmonicFrequencies, "ic fr"},
        TGaussianRow{MolecularMassMarker, ReadMolecularMass},
        TGaussianRow{SymmetryNumberMarker, ReadSymmetryNumber, "ry nu"},
        TGaussianRow{CapitalSymmetryNumberMarker, ReadSymmetryNumber},
        TGaussianRow{LinearRotorMarker, ReadRotorTemperatures<true>, "re (K"},
        TGaussianRow{CapitalLinearRotorMarker, ReadRotorTemperatures<true>},
        TGaussianRow{RotationalTemperaturesMarker, ReadRotorTemperatures<false>, "s (Ke"},
        TGaussianRow{CapitalRotationalTemperaturesMarker, ReadRotorTemperatures<false>},
    },
    RowsFor(ReadThermochemistry, ThermochemistryLines),
    std::array{
        TGaussianRow{FundamentalBandsMarker, ReadAnharmonicSection, "ndame"},
        TGaussianRow{MultiplicityMarker, ReadMultiplicity, "ltipl"},
        TGaussianRow{ConditionsMarker, ReadThermochemistryConditions, "vin. "},
        TGaussianRow{AtomMassMarker, ReadAtomMass, "ic nu"},
        TGaussianRow{RotationalConstantsMarker, ReadRotationalConstants, " (GHZ"},
        TGaussianRow{LinearRotationalConstantMarker, ReadRotationalConstants, "t (GH"},
        TGaussianRow{EnthalpyEnergyMarker, ReadPrintedEnthalpy, "alpie"},
    });

std::span<const TGaussianRow> VibrationRows() { return VibrationRowList; }

}  // namespace harvex
