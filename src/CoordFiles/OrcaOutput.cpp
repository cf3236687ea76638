// The ORCA output reader: one forward pass that keeps the last Cartesian
// geometry in angstrom, the last final single-point energy (else the last
// SCF total of a job that did not fail), the modes of the last frequency block with their
// displacements, the thermochemistry printed after it, and how the run
// ended.
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "CoordFiles/MarkerRegistry.h"
#include "CoordFiles/OrcaInput.h"
#include "CoordFiles/ReaderPass.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

// ---------------------------------
// CARTESIAN COORDINATES (ANGSTROEM)
// ---------------------------------
//   O      1.784914    1.262422    0.511985
//   H      2.648237    1.072929    0.131631
// (empty line)
// The block titled "CARTESIAN COORDINATES (A.U.)" does not hold this marker.
constexpr std::string_view GeometryMarker = "CARTESIAN COORDINATES (ANGSTROEM)";

// The total of each cycle; multiscale jobs print their parts and then the
// whole under a tag, the last line being the whole:
// FINAL SINGLE POINT ENERGY       -40.519016264594
// FINAL SINGLE POINT ENERGY (QM/QM2)      -44.570795940694
constexpr std::string_view EnergyMarker = "FINAL SINGLE POINT ENERGY";

// The SCF summary, the energy of runs that print no final energy line
// (VPT2 jobs). The blanks and the colon keep out the other lines that begin
// "Total Energy" ("Total Energy after SMD CDS correction =",
// "Total Energy calculation ... sec").
// Total Energy       :         -229.85632433809661 Eh          -6254.71474 eV
constexpr std::string_view SCFTotalEnergyMarker = "Total Energy       :";

//                              ****ORCA TERMINATED NORMALLY****
// ORCA finished by error termination in SCF
constexpr std::string_view NormalTerminationMarker = "****ORCA TERMINATED NORMALLY****";
constexpr std::string_view ErrorTerminationMarker = "ORCA finished by error termination";

// A job that failed may still end with the normal end line: an
// optimisation out of cycles, an SCF, CP-SCF or coupled-cluster solution
// that did not converge. Its error box, its warning, its unconverged final
// energy, or its last words mark it failed whatever end line follows:
//                                    ERROR !!!
//        The optimization did not converge but reached the maximum
//        ORCA will abort at this point of the run.
//                                  WARNING !!!
//        The optimization did not converge but reached the maximum number of
//        optimization cycles.
// SCF NOT CONVERGED AFTER 125 CYCLES
// Error (SHARK/CP-SCF Solver): Unfortunately, the calculation did not converge.
// The Coupled-Cluster iterations have NOT converged
// FINAL SINGLE POINT ENERGY      -609.155669143400   (Wavefunction not fully converged!)
//      This wavefunction IS NOT FULLY CONVERGED!
//      Aborting the run ...
//   .... aborting the run
constexpr std::array FailureMarkers = {
    TWindowedMarker{"ERROR !!!", "OR !!"},
    TWindowedMarker{"ORCA will abort", "CA wi"},
    TWindowedMarker{"(Wavefunction not fully converged!)", "ot fu"},
    TWindowedMarker{"IS NOT FULLY CONVERGED!"},
    TWindowedMarker{"borting the run", "e run"},
    TWindowedMarker{"The optimization did not converge", " did "},
    TWindowedMarker{"SCF NOT CONVERGED", "CF NO"},
    TWindowedMarker{"Unfortunately, the calculation did not converge", "fortu"},
    TWindowedMarker{"iterations have NOT converged", "ve NO"}};

// VIBRATIONAL FREQUENCIES
// -----------------------
//
// Scaling factor for frequencies =  1.000000000  (already applied!)
// Point group:  C2h                                (ORCA 6)
//                              Irrep               (ORCA 6)
//      0:       0.00 cm**-1    1-Au
//      6:     -43.87 cm**-1 ***imaginary mode***
// The leading 0.00 entries are translations and rotations.
constexpr std::string_view FrequenciesMarker = "VIBRATIONAL FREQUENCIES";
constexpr std::string_view WavenumberUnit = "cm**-1";
constexpr int NonlinearRigidMotions = 6;
constexpr int LinearRigidMotions = 5;

// NORMAL MODES, then a few lines of text, then groups of columns: a line of
// entry numbers (in ORCA 6 a line of irreps under it) and one row per
// Cartesian coordinate, 3 per atom in the order x, y, z:
//                   0          1          2          3          4          5
//       0       0.000000   0.000000   0.000000   0.000000   0.000000   0.000000
constexpr std::string_view NormalModesMarker = "NORMAL MODES";
// Real outputs print at most ten columns per group.
constexpr std::size_t MaxColumns = 64;
// Lines of text between a section's title and its first entry or column line.
constexpr int MaxPreambleLines = 10;

// Thermochemistry, each value after "...":
// Total Mass          ...   130.19 AMU
// Zero point energy                ...      0.17701463 Eh     111.08 kcal/mol
// Final Gibbs free energy         ...   -381.91114546 Eh     (ORCA 4.0 and older: "free enthalpy")
// G-E(el)                           ...      0.14396165 Eh     90.34 kcal/mol
// Point Group:  C2h, Symmetry Number:   2
template <typename TField>
struct TValueLine {
  std::string_view Marker;
  TField TOutInfo::*Field;
  std::string_view Window = {};
};
constexpr std::array ThermochemistryLines = {
    TValueLine<double>{"Total Mass", &TOutInfo::MolecularMass, "al Ma"},
    TValueLine<double>{"Zero point energy", &TOutInfo::ZPECorrection, "ero p"},
    TValueLine<double>{"Final Gibbs free ", &TOutInfo::GibbsEnergy, "l Gib"},
    TValueLine<double>{"G-E(el)", &TOutInfo::GibbsCorrection},
};
constexpr std::string_view ValueLead = "...";
constexpr std::string_view SymmetryNumberMarker = "Symmetry Number:";

// The job's conditions and the values its G is built on, kept for
// recomputing the thermochemistry:
// Temperature         ... 298.15 K
// Pressure            ... 1.00 atm
// Electronic energy                ...    -76.42591254 Eh
// Total Enthalpy                    ...    -76.40099288 Eh
using TOptionalLine = TValueLine<std::optional<double>>;
constexpr std::array RecomputationLines = {
    TOptionalLine{"Temperature", &TOutInfo::ThermoTemperature},
    TOptionalLine{"Pressure", &TOutInfo::ThermoPressure, "essur"},
    TOptionalLine{"Electronic energy", &TOutInfo::ThermoEnergy, "ic en"},
    TOptionalLine{"Total Enthalpy", &TOutInfo::PrintedEnthalpy, " Enth"},
};

// ORCA 4.0 prints no symmetry number line, only the one it assumed, in its
// caution on the rotational entropy:
//     sn is the rotational symmetry number. We have assumed 3 here
constexpr std::string_view AssumedSymmetryMarker = "We have assumed";
constexpr std::array SymmetryNumberMarkers = {TWindowedMarker{SymmetryNumberMarker, "ry Nu"},
                                              TWindowedMarker{AssumedSymmetryMarker, "sumed"}};

// The input summary and (ORCA 6) the property header:
//  Multiplicity           Mult            ....    1
// Multiplicity       :   1
constexpr std::string_view MultiplicityMarker = "Multiplicity";

// Printed with each geometry (ORCA 4.1 and later), and in the
// thermochemistry block in cm-1 only:
// Rotational constants in MHz : 825455.664078 428297.932197 281985.993975
// Rotational constants in cm-1:    27.534237    14.286481     9.406040
constexpr std::string_view RotationalConstantsMHzMarker = "Rotational constants in MHz :";
constexpr std::string_view RotationalConstantsWavenumberMarker = "Rotational constants in cm-1:";
constexpr double GHzPerMHz = 1e-3;
constexpr double GHzPerWavenumber = 29.9792458;

// The masses ORCA's thermochemistry uses (standard atomic weights), in the
// MASS column of the geometry in bohr:
// ----------------------------
// CARTESIAN COORDINATES (A.U.)
// ----------------------------
//   NO LB      ZA    FRAG     MASS         X           Y           Z
//    0 O     8.0000    0    15.999    3.373005    2.385618    0.967513
constexpr std::string_view MassGeometryMarker = "CARTESIAN COORDINATES (A.U.)";
constexpr std::size_t MassColumn = 4;

// Sections read line by line: each line first goes to the open section; a
// line the section does not take goes on to the marker checks.
enum class TOrcaSection { None, Frequencies, NormalModes };

struct TOrcaPass : TReaderPass {
  TOrcaPass(TLineSource& source, TAtomicArray& atoms, TOutInfo& info, const TLoadContext& context)
      : TReaderPass(source), Atoms(atoms), Info(info), Context(context) {}

  TAtomicArray& Atoms;
  TOutInfo& Info;
  const TLoadContext& Context;
  bool Failed = false;
  bool FinalEnergySeen = false;
  std::optional<double> SCFEnergy;
  bool FrequenciesSeen = false;
  bool NormalModesPending = false;  // the last frequency block's displacements are still to come
  std::vector<std::string> GeometryRows;  // atom lines of the last geometry block
  bool GeometryPending = false;           // they are not yet the atom list
  std::vector<std::string> MassRows;      // atom lines of the last geometry block in bohr
  std::array<double, 3> RotConstants{};   // GHz, of the last geometry that printed them
  std::string UtilizedBasis;              // the basis ORCA said it uses, before the input's echo

  TOrcaSection Section = TOrcaSection::None;
  int PreambleLines = 0;
  bool EntriesSeen = false;  // an entry line or a column line of the open section was read
  int ZerosToSkip = 0;       // leading 0.00 entries still to be passed over
  int FirstModeEntry = 0;    // the entry number of mode 1
  std::vector<int> Columns;  // mode index of each column of the current group; -1 for none
  bool AfterColumnLine = false;

  void OpenSection(TOrcaSection section) {
    Section = section;
    PreambleLines = 0;
    EntriesSeen = false;
  }

  // A line of the open section that is none of its own: before the first
  // entry a few (underline, titles, point group) go by and the section stays
  // open; after it, the line ends the section.
  bool PassOverForeignLine() {
    if (EntriesSeen || ++PreambleLines > MaxPreambleLines) Section = TOrcaSection::None;
    return false;
  }
};

// Whether a number starts at the cursor once blanks are skipped.
bool NumberStarts(std::string_view line, int& cursor) {
  SkipBlanks(line, cursor);
  const auto at = static_cast<std::size_t>(cursor) - 1;
  if (at >= line.size()) return false;
  if (IsDigit(line[at])) return true;
  const bool leads = line[at] == '-' || line[at] == '+' || line[at] == '.';
  return leads && at + 1 < line.size() && (IsDigit(line[at + 1]) || line[at + 1] == '.');
}

// An unsigned run of at most nine digits after blanks.
bool ReadIndex(std::string_view line, int& cursor, int& value) {
  SkipBlanks(line, cursor);
  value = 0;
  int digits = 0;
  for (; static_cast<std::size_t>(cursor) <= line.size() && IsDigit(line[cursor - 1]); ++cursor, ++digits) {
    if (digits == 9) return false;
    value = value * 10 + (line[cursor - 1] - '0');
  }
  return digits > 0;
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// The number after the "..." that follows the marker at its 0-based offset;
// the line is passed over when none follows.
bool ReadValueAfter(std::string_view line, std::size_t marker, double& field) {
  const std::size_t at = line.find(ValueLead, marker);
  if (at == std::string_view::npos) return false;
  int cursor = static_cast<int>(at + ValueLead.size()) + 1;
  if (!NumberStarts(line, cursor)) return false;
  field = ReadDouble(line, cursor);
  return true;
}

// Each block's rows replace those of the one before, so an optimisation
// keeps its last geometry; one cut off by the end of the input (a job still
// writing it) does not count. The rows become atoms only where the geometry
// is needed (a frequency block, the end of the file): the many geometries of
// a long optimisation cost no number conversions. The line that ends the
// block stays current and goes to the checks after this.
void ReadGeometryBlock(TOrcaPass& pass) {
  if (!pass.NextLine()) return;  // the underline
  std::vector<std::string> rows;
  while (pass.NextLine()) {
    if (pass.Line.empty()) {
      pass.GeometryRows = std::move(rows);
      pass.GeometryPending = true;
      return;
    }
    rows.push_back(pass.Line);
  }
}

void ReadMassGeometryBlock(TOrcaPass& pass) {
  if (pass.NextLine()) pass.NextLine();  // the underline and the column titles
  pass.MassRows.clear();
  while (pass.NextLine()) {
    if (IsBlank(pass.Line)) break;
    pass.MassRows.push_back(pass.Line);
  }
}

// The MASS field of each row; none at all when a row lacks one.
std::vector<double> MassesOf(const std::vector<std::string>& rows) {
  std::vector<double> masses;
  for (const std::string& row : rows) {
    int cursor = 1;
    for (std::size_t field = 0; field < MassColumn; ++field) {
      SkipBlanks(row, cursor);
      while (static_cast<std::size_t>(cursor) <= row.size() && row[cursor - 1] != ' ' && row[cursor - 1] != '\t')
        ++cursor;
    }
    const std::optional<double> mass = NumberStarts(row, cursor) ? TryReadDouble(row, cursor) : std::nullopt;
    if (!mass) return {};
    masses.push_back(*mass);
  }
  return masses;
}

// Three constants after the marker, converted to GHz; false when the line
// holds fewer.
bool ReadRotationalConstants(std::string_view line, std::size_t marker, std::size_t length, double toGHz,
                             std::array<double, 3>& constants) {
  int cursor = static_cast<int>(marker + length) + 1;
  std::array<double, 3> read{};
  for (double& constant : read) {
    const std::optional<double> value = NumberStarts(line, cursor) ? TryReadDouble(line, cursor) : std::nullopt;
    if (!value) return false;
    constant = *value * toGHz;
  }
  constants = read;
  return true;
}

void ReadGeometryRotationalConstants(TOrcaPass& pass) {
  ReadRotationalConstants(pass.Line, pass.Match.At, RotationalConstantsMHzMarker.size(), GHzPerMHz, pass.RotConstants);
}

void ReadMultiplicity(TOrcaPass& pass) {
  const std::string_view line = pass.Line;
  const std::size_t lead = line.find_first_of(".:", pass.Match.At);
  if (lead == std::string_view::npos) return;
  int cursor = static_cast<int>(line.find_first_not_of(".:", lead)) + 1;
  if (cursor > 0 && NumberStarts(line, cursor)) {
    int multiplicity = 0;
    if (ReadIndex(line, cursor, multiplicity)) pass.Info.Multiplicity = multiplicity;
  }
}

void BuildPendingGeometry(TOrcaPass& pass) {
  if (!pass.GeometryPending) return;
  pass.GeometryPending = false;
  pass.Atoms.ClearAtoms();
  for (const std::string& row : pass.GeometryRows) ParseAtomLine(row, pass.Atoms, pass.Context);
}

// A parenthesised tag after the marker is passed over; a line with no
// number is not an energy line.
void ReadFinalEnergy(TOrcaPass& pass) {
  const std::string_view line = pass.Line;
  int cursor = static_cast<int>(pass.Match.At + EnergyMarker.size()) + 1;
  SkipBlanks(line, cursor);
  if (static_cast<std::size_t>(cursor) <= line.size() && line[cursor - 1] == '(') {
    const std::size_t close = line.find(')', static_cast<std::size_t>(cursor));
    if (close == std::string_view::npos) return;
    cursor = static_cast<int>(close) + 2;
  }
  if (!NumberStarts(line, cursor)) return;
  pass.Info.EnergyLabel.clear();
  pass.Info.Energy = ReadDouble(line, cursor);
  pass.Info.EnergyRead = true;
  pass.FinalEnergySeen = true;
}

void ReadSCFTotalEnergy(TOrcaPass& pass) {
  int cursor = static_cast<int>(pass.Match.At + SCFTotalEnergyMarker.size()) + 1;
  if (NumberStarts(pass.Line, cursor)) pass.SCFEnergy = ReadDouble(pass.Line, cursor);
}

void NoteFailure(TOrcaPass& pass) {
  pass.Failed = true;
  pass.Info.Termination = tmError;
}

void ReadTermination(TOrcaPass& pass) {
  if (Contains(pass.Line, NormalTerminationMarker)) pass.Info.Termination = pass.Failed ? tmError : tmNormal;
  if (Contains(pass.Line, ErrorTerminationMarker)) NoteFailure(pass);
}

// A block replaces the modes and thermochemistry of an earlier one (the
// initial Hessian of a transition-state search, an earlier job). A linear
// molecule has five rigid motions; a genuine 0.00 mode after them is kept.
void StartFrequencyBlock(TOrcaPass& pass) {
  TOutInfo& info = pass.Info;
  info.Modes = std::make_unique<TOscModes>();
  info.ClearThermochemistry();
  info.AtomMasses = MassesOf(pass.MassRows);
  info.RotConstants = pass.RotConstants;
  BuildPendingGeometry(pass);
  info.LinearRotor = IsLinearGeometry(pass.Atoms);
  pass.ZerosToSkip = info.LinearRotor ? LinearRigidMotions : NonlinearRigidMotions;
  pass.FrequenciesSeen = true;
  pass.NormalModesPending = true;
  pass.OpenSection(TOrcaSection::Frequencies);
}

//    6:      -439.85 cm**-1 ***imaginary mode***
bool ReadFrequencyEntry(std::string_view line, int& entry, long double& frequency) {
  if (!Contains(line, WavenumberUnit)) return false;
  int cursor = 1;
  if (!ReadIndex(line, cursor, entry) || ReadChar(line, cursor) != ':' || !NumberStarts(line, cursor)) return false;
  frequency = ReadReal(line, cursor);
  return true;
}

bool ReadFrequencyLine(TOrcaPass& pass) {
  int entry = 0;
  long double frequency = 0;
  if (!ReadFrequencyEntry(pass.Line, entry, frequency)) return pass.PassOverForeignLine();
  pass.EntriesSeen = true;
  TOscModes& modes = *pass.Info.Modes;
  if (modes.Count() == 0 && pass.ZerosToSkip > 0 && frequency == 0) {
    --pass.ZerosToSkip;
    return true;
  }
  if (modes.Count() == 0) pass.FirstModeEntry = entry;
  if (const int limit = ModeLimit(pass.GeometryRows.size()); modes.Count() >= limit) {
    pass.Info.AddReadWarning(ModeLimitWarning(limit));
    return true;
  }
  modes.AddMode(modes.Count() + 1).Frequency = frequency;
  return true;
}

void StartNormalModes(TOrcaPass& pass) {
  if (!pass.NormalModesPending) return;
  pass.NormalModesPending = false;
  pass.Columns.clear();
  pass.AfterColumnLine = false;
  pass.OpenSection(TOrcaSection::NormalModes);
}

// A line of entry numbers only: the columns of the next group.
bool ReadColumnLine(TOrcaPass& pass) {
  const std::string_view line = pass.Line;
  if (line.find_first_not_of(" \t0123456789") != std::string_view::npos) return false;
  const int modeCount = pass.Info.Modes->Count();
  pass.Columns.clear();
  int cursor = 1;
  int entry = 0;
  while (pass.Columns.size() < MaxColumns && ReadIndex(line, cursor, entry)) {
    const int mode = entry - pass.FirstModeEntry;
    pass.Columns.push_back(mode >= 0 && mode < modeCount ? mode : -1);
  }
  return true;
}

// A row: the coordinate number, then one value per column. Rows of atoms
// beyond the displacement arrays are passed over.
bool ReadDisplacementRow(TOrcaPass& pass) {
  const std::string_view line = pass.Line;
  int cursor = 1;
  int coordinate = 0;
  if (pass.Columns.empty() || line.find('.') == std::string_view::npos || !ReadIndex(line, cursor, coordinate))
    return false;
  const int atom = coordinate / 3 + 1;
  if (atom > MaxModeAtoms) return true;
  const auto index = static_cast<std::size_t>(atom - 1);
  TOscModes& modes = *pass.Info.Modes;
  for (int column : pass.Columns) {
    if (!NumberStarts(line, cursor)) break;
    const auto value = ReadDouble(line, cursor);
    if (column < 0) continue;
    TOscMode& mode = modes.ModeAt(column);
    (coordinate % 3 == 0 ? mode.DispX : coordinate % 3 == 1 ? mode.DispY : mode.DispZ).Set(index, value);
  }
  return true;
}

bool ReadNormalModesLine(TOrcaPass& pass) {
  if (IsBlank(pass.Line)) return true;
  const bool afterColumnLine = pass.AfterColumnLine;
  pass.AfterColumnLine = false;
  if (ReadColumnLine(pass)) {
    pass.EntriesSeen = true;
    pass.AfterColumnLine = true;
    return true;
  }
  // ORCA 6 prints the irreps of the columns under their numbers.
  if (ReadDisplacementRow(pass) || afterColumnLine) return true;
  return pass.PassOverForeignLine();
}

bool ReadSectionLine(TOrcaPass& pass) {
  switch (pass.Section) {
    case TOrcaSection::Frequencies:
      return ReadFrequencyLine(pass);
    case TOrcaSection::NormalModes:
      return ReadNormalModesLine(pass);
    case TOrcaSection::None:
      break;
  }
  return false;
}

// Thermochemistry belongs to the frequency block before it.
void ReadThermochemistryValue(TOrcaPass& pass) {
  if (!pass.FrequenciesSeen) return;
  const auto entry = std::ranges::find(ThermochemistryLines, pass.Match.Marker, &TValueLine<double>::Marker);
  // G counts as printed only when its number was read.
  if (ReadValueAfter(pass.Line, pass.Match.At, pass.Info.*entry->Field) && entry->Field == &TOutInfo::GibbsEnergy) {
    pass.Info.HasGibbsEnergy = true;
    pass.Info.PrintedFreeEnergy = pass.Info.GibbsEnergy;
  }
}

void ReadRecomputationValue(TOrcaPass& pass) {
  if (!pass.FrequenciesSeen) return;
  const auto entry = std::ranges::find(RecomputationLines, pass.Match.Marker, &TOptionalLine::Marker);
  if (double value = 0; ReadValueAfter(pass.Line, pass.Match.At, value)) pass.Info.*entry->Field = value;
}

void ReadSymmetryNumber(TOrcaPass& pass) {
  if (!pass.FrequenciesSeen) return;
  int cursor = static_cast<int>(pass.Match.At + pass.Match.Marker.size()) + 1;
  if (int number = 0; ReadIndex(pass.Line, cursor, number)) pass.Info.SymmetryNumber = number;
}

// Those of the geometry, when it printed them, come first.
void ReadThermochemistryRotationalConstants(TOrcaPass& pass) {
  if (!pass.FrequenciesSeen || pass.Info.RotConstants != std::array<double, 3>{}) return;
  ReadRotationalConstants(pass.Line, pass.Match.At, RotationalConstantsWavenumberMarker.size(), GHzPerWavenumber,
                          pass.Info.RotConstants);
}

// The banner's version line, "Program Version 5.0.4 -  RELEASE  -", gives
// "ORCA 5.0.4".
constexpr std::string_view VersionMarker = "Program Version ";

void ReadProgramVersion(TOrcaPass& pass) {
  const std::string_view line = pass.Line;
  const std::size_t start = line.find_first_not_of(' ', pass.Match.At + VersionMarker.size());
  if (start == line.npos) return;
  pass.Info.ProgramVersion = "ORCA " + std::string(line.substr(start, line.find(' ', start) - start));
}

// The echo of the input, one "|  N> " line each, up to its end line:
//                                        INPUT FILE
// ================================================================================
// NAME = dvb_ir.inp
// |  1> !  b3lyp sto-3g usesym freq
// |  2>                          ****END OF INPUT****
// The last job's keywords give the level of theory; a job that optimises
// has not converged until it says so.
constexpr std::string_view InputFileMarker = "INPUT FILE";
constexpr std::string_view InputEndMarker = "****END OF INPUT****";
constexpr std::string_view InputLineLead = "> ";
// Lines between the title and the first input line.
constexpr int MaxInputPreamble = 4;
// An input longer than this is no input; the lines after it go to the checks.
constexpr std::size_t MaxInputLines = 100000;

void ReadInputEcho(TOrcaPass& pass) {
  std::vector<std::string> lines;
  for (int preamble = 0; lines.empty() && preamble < MaxInputPreamble;) {
    if (!pass.NextLine()) return;
    if (pass.Line.starts_with('|')) break;
    ++preamble;
  }
  if (!pass.Line.starts_with('|')) return;
  while (pass.Line.starts_with('|') && !Contains(pass.Line, InputEndMarker) && lines.size() < MaxInputLines) {
    const std::size_t lead = pass.Line.find(InputLineLead);
    if (lead != std::string::npos) lines.push_back(pass.Line.substr(lead + InputLineLead.size()));
    if (!pass.NextLine()) break;
  }
  TOrcaJobLevel level = OrcaJobLevel(lines);
  TOutInfo& info = pass.Info;
  info.Method = std::move(level.Method);
  info.Basis = level.Basis.empty() ? pass.UtilizedBasis : std::move(level.Basis);
  info.Solvation = std::move(level.Solvation);
  info.Dispersion = std::move(level.Dispersion);
  info.TransitionState = level.TransitionState;
  info.OptimisationConverged.reset();
  info.OptimisationStop.clear();
  if (level.Optimises) info.OptimisationConverged = false;
}

// The basis ORCA says it uses, printed before the echo of the input: what a
// job whose input names none (a semi-empirical one, or one that names it in
// a way not read here) goes by.
// Your calculation utilizes the basis: def2-SVP
constexpr std::string_view UtilizedBasisMarker = "Your calculation utilizes the basis:";

void ReadUtilizedBasis(TOrcaPass& pass) {
  std::string_view name = std::string_view(pass.Line).substr(pass.Match.At + UtilizedBasisMarker.size());
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return;
  name.remove_prefix(first);
  pass.UtilizedBasis = name.substr(0, name.find(' '));
  if (pass.Info.Basis.empty()) pass.Info.Basis = pass.UtilizedBasis;
}

// Expectation value of <S**2>     :     2.071046
constexpr std::string_view SpinMarker = "Expectation value of <S**2>";

// The number after the run of lead characters that first follows the marker
// at its 0-based offset; none when no number stands there.
std::optional<double> NumberAfterLead(std::string_view line, std::size_t marker, std::string_view lead) {
  const std::size_t at = line.find_first_of(lead, marker);
  const std::size_t after = at == std::string_view::npos ? at : line.find_first_not_of(lead, at);
  if (after == std::string_view::npos) return std::nullopt;
  int cursor = static_cast<int>(after) + 1;
  return NumberStarts(line, cursor) ? TryReadDouble(line, cursor) : std::nullopt;
}

void ReadSpin(TOrcaPass& pass) {
  if (const std::optional<double> value = NumberAfterLead(pass.Line, pass.Match.At, ":")) pass.Info.S2 = value;
}

//  Total Charge           Charge          ....   -1
constexpr std::string_view ChargeMarker = "Total Charge";

void ReadCharge(TOrcaPass& pass) {
  if (const std::optional<double> charge = NumberAfterLead(pass.Line, pass.Match.At, ".:"))
    pass.Info.Charge = static_cast<std::int32_t>(*charge);
}

//                     ***        THE OPTIMIZATION HAS CONVERGED     ***
// and the warning of one out of cycles (see FailureMarkers).
constexpr std::string_view OptimisationConvergedMarker = "THE OPTIMIZATION HAS CONVERGED";
constexpr std::string_view OptimisationFailedMarker = "The optimization did not converge";

void ReadOptimisationEnd(TOrcaPass& pass) {
  TOutInfo& info = pass.Info;
  info.OptimisationConverged = pass.Match.Marker == OptimisationConvergedMarker;
  info.OptimisationStop.clear();
  if (!*info.OptimisationConverged) {
    std::string_view line = pass.Line;
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    info.OptimisationStop = line;
  }
}

// Scaling factor for frequencies =  1.000000000  (already applied!)
constexpr std::string_view ScaleFactorMarker = "Scaling factor for frequencies";

void ReadScaleFactor(TOrcaPass& pass) {
  if (const std::optional<double> value = NumberAfterLead(pass.Line, pass.Match.At, "=")) pass.Info.ScaleFactor = value;
}

using TOrcaCheck = void (*)(TOrcaPass& pass);
using TOrcaRow = TMarkerRow<TOrcaCheck>;

// Every check of the pass with its markers, in the order the checks run.
constexpr std::array OrcaRows = JoinRows(
    std::array{
        TOrcaRow{GeometryMarker, ReadGeometryBlock, " (ANG"},
        TOrcaRow{MassGeometryMarker, ReadMassGeometryBlock, " (A.U"},
        TOrcaRow{RotationalConstantsMHzMarker, ReadGeometryRotationalConstants, "n MHz"},
        TOrcaRow{MultiplicityMarker, ReadMultiplicity, "plici"},
        TOrcaRow{VersionMarker, ReadProgramVersion, "m Ver"},
        TOrcaRow{EnergyMarker, ReadFinalEnergy, "GLE P"},
        TOrcaRow{SCFTotalEnergyMarker, ReadSCFTotalEnergy, "al En"},
        TOrcaRow{NormalTerminationMarker, ReadTermination, "***OR"},
        TOrcaRow{ErrorTerminationMarker, ReadTermination, "CA fi"},
    },
    RowsFor(NoteFailure, FailureMarkers),
    std::array{
        TOrcaRow{FrequenciesMarker, StartFrequencyBlock},
        TOrcaRow{NormalModesMarker, StartNormalModes, "AL MO"},
    },
    RowsFor(ReadThermochemistryValue, ThermochemistryLines), RowsFor(ReadRecomputationValue, RecomputationLines),
    RowsFor(ReadSymmetryNumber, SymmetryNumberMarkers),
    std::array{
        TOrcaRow{RotationalConstantsWavenumberMarker, ReadThermochemistryRotationalConstants, "n cm-"},
        TOrcaRow{InputFileMarker, ReadInputEcho, "T FIL"},
        TOrcaRow{UtilizedBasisMarker, ReadUtilizedBasis, "tiliz"},
        TOrcaRow{SpinMarker, ReadSpin, "S**2>"},
        TOrcaRow{ChargeMarker, ReadCharge, "l Cha"},
        TOrcaRow{OptimisationConvergedMarker, ReadOptimisationEnd, "N HAS"},
        TOrcaRow{OptimisationFailedMarker, ReadOptimisationEnd, " did "},
        TOrcaRow{ScaleFactorMarker, ReadScaleFactor, "g fac"},
    });

}  // namespace

std::vector<std::string_view> OrcaMarkers() {
  std::vector<std::string_view> markers;
  for (const TOrcaRow& row : OrcaRows) markers.push_back(row.Marker);
  return markers;
}

void ReadOrcaOutput(TLineSource& source, TAtomicArray& atoms, TOutInfo& info, const TLoadContext& context) {
  static const TMarkerRegistry<TOrcaCheck> registry{OrcaRows};
  ResetOutInfo(info);
  info.Termination = tmMissing;
  TOrcaPass pass(source, atoms, info, context);
  ReadPass(registry, pass, ReadSectionLine);
  source.CloseSource();
  BuildPendingGeometry(pass);
  // The SCF total of a failed job may be a diverged value, never its energy.
  if (!pass.FinalEnergySeen && pass.SCFEnergy && !pass.Failed) {
    info.EnergyLabel.clear();
    info.Energy = *pass.SCFEnergy;
    info.EnergyRead = true;
  }
  info.GeometryState = atoms.Count() > 0 ? 1 : 0;
}

bool TCoordinateFile::ReadOrcaOutput(const std::string& fileName) {
  TLineSource source(Context, TDamageReport::AsSoonAsRead);
  if (!source.OpenSource(fileName)) return false;
  harvex::ReadOrcaOutput(source, Atoms, Info, Context);
  Info.SourceDamaged = source.DamageFound();
  return true;
}

}  // namespace harvex
