// The Gaussian output reader: one forward pass over the lines, each line
// going to the checks whose markers it holds. This file holds the pass, the
// checks for energies, counterpoise fragments, the dipole and the geometry,
// the end of a job, and the registry of all checks.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "CoordFiles/GaussianPass.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {

void TGaussianPass::SetEnergy(TOutInfo& info, double energy, std::string_view label) {
  if (Job.DisplacedGeometries) return;
  File.Energy = energy;
  File.EnergyRead = true;
  info.Energy = energy;
  info.EnergyLabel = label;
  info.EnergyRead = true;
}

// Each job of a file ends with a termination line; the last one read says
// how the run ended. What the pass keeps about the current job ends there.
//  Normal termination of Gaussian 16 at Wed Dec  1 08:53:11 2021.
//  Error termination via Lnk1e in /opt/g16/l502.exe at Tue Mar  3 10:00:00 2020.
constexpr std::string_view NormalTerminationMarker = " Normal termination of Gaussian";
constexpr std::string_view ErrorTerminationMarker = " Error termination";

bool TGaussianPass::SkipToLineWith(std::string_view marker) {
  while (NextLine()) {
    if (Contains(Line, marker)) return true;
    // A line awaited within a job is not looked for past the job's end (a
    // layout that never prints it would hide the rest of the file); the
    // termination line goes to the checks.
    if (Contains(Line, NormalTerminationMarker) || Contains(Line, ErrorTerminationMarker)) return false;
  }
  return false;
}

bool TGaussianPass::AwaitLineWith(std::string_view marker) {
  return Contains(Line, marker) || SkipToLineWith(marker);
}

namespace {

// Counterpoise runs compute the complex, then each fragment in the basis of
// the complex (DCBS) and in its own basis (MCBS). Gaussian 03 and early 09
// print
//  Counterpoise: doing DCBS calculation for fragment   1 NewBq=T
//  Counterpoise: doing MCBS calculation for fragment   2
//  Counterpoise: corrected energy =   -4670.408589411856
// later revisions
//  Counterpoise: doing calculation for fragment   1 using the basis set of the full-system, NewBq=T
//  Counterpoise: doing calculation for fragment   2 using the basis set of the fragment.
//  Counterpoise corrected energy =    -152.908379026304
// and some revisions mix the two.
constexpr std::string_view MCBSFragmentMarker = "Counterpoise: doing MCBS calculation for fragment";
constexpr std::string_view DCBSFragmentMarker = "Counterpoise: doing DCBS calculation for fragment";
constexpr std::string_view FragmentMarker = "Counterpoise: doing calculation for fragment";
constexpr std::string_view FullSystemBasis = "using the basis set of the full-system";
constexpr std::string_view FragmentBasis = "using the basis set of the fragment";
constexpr std::string_view CorrectedEnergyMarker = "Counterpoise: corrected energy";
constexpr std::string_view NewCorrectedEnergyMarker = "Counterpoise corrected energy";

// The energy in force when the next counterpoise line comes is the last one
// of the pending fragment's calculation. Fragment 1 starts a new series, so
// a counterpoise optimisation keeps the sums of its last series.
void FoldInto(int& pendingFragment, std::int32_t& count, long double& sum, double energy) {
  if (pendingFragment == 1) {
    count = 0;
    sum = 0;
  }
  if (pendingFragment != 0) {
    ++count;
    sum += energy;
  }
  pendingFragment = 0;
}

void FoldFragmentEnergy(TGaussianPass& pass, TOutInfo& info) {
  TGaussianFileState& file = pass.File;
  if (!file.HasCounterpoise || (file.PendingMCBSFragment == 0 && file.PendingDCBSFragment == 0)) return;
  FoldInto(file.PendingMCBSFragment, file.MCBSCount, file.MCBSSum, file.Energy);
  FoldInto(file.PendingDCBSFragment, file.DCBSCount, file.DCBSSum, file.Energy);
  info.MCBSCount = file.MCBSCount;
  info.MCBSSum = file.MCBSSum;
  info.DCBSCount = file.DCBSCount;
  info.DCBSSum = file.DCBSSum;
}

// Both forms carry the energy after an "=" that follows the marker.
void ReadCorrectedEnergy(TGaussianPass& pass, TOutInfo& info) {
  int cursor = static_cast<int>(pass.Match.At + pass.Match.Marker.size()) + 1;
  SkipBlanks(pass.Line, cursor);
  ReadChar(pass.Line, cursor);  // "="
  SkipBlanks(pass.Line, cursor);
  pass.SetEnergy(info, ReadDouble(pass.Line, cursor), CorrectedEnergyMarker);
}

// The number of the fragment whose calculation this line opens, after the
// marker matched; the marker common to both bases only with the basis named.
void ReadFragmentNumber(TGaussianPass& pass, TOutInfo& info, std::string_view basis, int& pendingFragment) {
  if (pass.Match.Marker == FragmentMarker && !Contains(pass.Line, basis)) return;
  int cursor = static_cast<int>(pass.Match.At + pass.Match.Marker.size()) + 1;
  SkipBlanks(pass.Line, cursor);
  pendingFragment = ReadInt(pass.Line, cursor);
  pass.File.HasCounterpoise = true;
  info.HasCounterpoise = true;
}

void ReadMCBSFragmentStart(TGaussianPass& pass, TOutInfo& info) {
  ReadFragmentNumber(pass, info, FragmentBasis, pass.File.PendingMCBSFragment);
}

void ReadDCBSFragmentStart(TGaussianPass& pass, TOutInfo& info) {
  ReadFragmentNumber(pass, info, FullSystemBasis, pass.File.PendingDCBSFragment);
}

// The label is the method tag from its parenthesis on, so that a leading E
// rebuilds E(RB3LYP):
//  SCF Done:  E(RB3LYP) =  -382.294279146     A.U. after   12 cycles
//  SCF Done:  E(UHF) =  -37.5803405847     A.U. after    9 cycles
constexpr std::string_view SCFDoneMarker = "SCF Done:";
constexpr std::string_view MethodTagStart = "E(";

void ReadSCFEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  const std::size_t tag = line.find(MethodTagStart);
  const std::size_t close = line.find(')');
  const std::size_t start = tag == std::string_view::npos ? 0 : tag + 1;
  const bool tagged = close != std::string_view::npos && close >= start;
  const std::string_view label = tagged ? line.substr(start, close - start + 1) : std::string_view();
  int cursor = CursorAfter(line, '=');
  SkipBlanks(line, cursor);
  pass.SetEnergy(info, ReadDouble(line, cursor), label);
  NoteSCFMethod(info, label);
}

// Moller-Plesset energies follow the SCF energy, each after its label with
// a Fortran exponent and, in some steps, no blank before the "=". The
// highest order the job ran is printed last:
//  E2 =    -0.3795333610D-01 EUMP2 =    -0.75002282127454D+02
//  E2=       -0.8292409265D+00 EUMP2=       -0.26997188088328D+03
//  E3=       -0.53761225D-02        EUMP3=      -0.76195744314D+02
//  E4(DQ)=   -0.27959200D-02        UMP4(DQ)=   -0.76200803418D+02
//  E4(SDTQ)= -0.52335462D-02        UMP4(SDTQ)= -0.76200977860D+02
//  DEMP5 =  -0.11048815700D-02 MP5 =  -0.75017172934D+02
// The fourth-order label is the marker with its terms, e.g. "UMP4(SDTQ)".
constexpr std::string_view MP2EnergyMarker = "EUMP2";
constexpr std::string_view MP3EnergyMarker = "EUMP3";
constexpr std::string_view MP4EnergyMarker = "UMP4(";
constexpr std::string_view MP5EnergyMarker = " MP5 =";

constexpr std::string_view MP5Label = "MP5";

// The energy after the first "=" that follows the 0-based offset.
void ReadFortranEnergyAfter(TGaussianPass& pass, std::size_t offset, std::string_view label, TOutInfo& info) {
  std::string tail = pass.Line.substr(offset);
  const std::size_t equals = tail.find('=');
  if (equals == std::string::npos) return;
  if (const std::size_t exponent = tail.find('D', equals); exponent != std::string::npos) tail[exponent] = 'E';
  int cursor = static_cast<int>(equals) + 2;
  SkipBlanks(tail, cursor);
  pass.SetEnergy(info, ReadDouble(tail, cursor), label);
}

void ReadMPEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  const auto [marker, at] = pass.Match;
  if (marker != MP4EnergyMarker) {
    ReadFortranEnergyAfter(pass, at, marker == MP5EnergyMarker ? MP5Label : marker, info);
  } else if (const std::size_t close = line.find(')', at); close != std::string_view::npos) {
    ReadFortranEnergyAfter(pass, at, line.substr(at, close - at + 1), info);
  }
}

// The number after the first "=" that follows the 0-based offset; nothing
// is read from a line without one.
bool ReadEnergyAfter(TGaussianPass& pass, std::size_t offset, std::string_view label, TOutInfo& info) {
  const std::string_view line = pass.Line;
  const std::size_t equals = line.find('=', offset);
  if (equals == std::string_view::npos) return false;
  int cursor = static_cast<int>(equals) + 2;
  SkipBlanks(line, cursor);
  pass.SetEnergy(info, ReadDouble(line, cursor), label);
  return true;
}

// A coupled-cluster, QCI or CI job prints its total energy at each
// iteration, the last one being the converged energy; Gaussian 16 prints it
// once more after the iterations. The route names the method:
//  DE(Corr)= -0.48169987E-01 E(Corr)=     -75.012498779
//  DE(Corr)= -0.53354848E-01 E(CORR)=     -75.017683640     Delta=-3.61D-08
//  Wavefunction amplitudes converged. E(Corr)=     -76.238041859
// A CCSD(T) or QCISD(T) job prints its "(T)" energy after them.
constexpr std::string_view AmplitudesEnergyMarker = " E(Corr)=";
constexpr std::string_view IterationEnergyMarker = " E(CORR)=";

void ReadAmplitudesEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string method = CorrelatedMethodOf(pass.Job.Route);
  if (!method.empty()) ReadEnergyAfter(pass, pass.Match.At, method, info);
}

// An ONIOM job's energy is the extrapolation printed after the SCF energies
// of its layers:
//  ONIOM: extrapolated energy =     -40.576093511027
constexpr std::string_view ONIOMEnergyMarker = "ONIOM: extrapolated energy";

void ReadONIOMEnergy(TGaussianPass& pass, TOutInfo& info) { ReadEnergyAfter(pass, pass.Match.At, "(ONIOM)", info); }

// A frequency job that differentiates numerically (anharmonic analyses,
// Freq=Numer) announces it, then prints a full energy at every displaced
// geometry; the job's energy stays the one of its reference geometry.
//  D2Numr ... symmetry will not be used.
//  Re-enter D2Numr: Normal Mode=  1 IStep= 1.
//  Re-enter D2Numr:  normal mode   1 step-up   number 1
constexpr std::string_view NumericalDifferentiationMarker = "D2Numr";

void NoteNumericalDifferentiation(TGaussianPass& pass, TOutInfo&) { pass.Job.DisplacedGeometries = true; }

// The total energy of an excited state, labelled with its tag as printed:
// a TD job's (Gaussian 09 tags it TD-HF/TD-KS), a TDA or CIS job's, an
// EOM-CCSD job's:
//  Total Energy, E(TD-HF/TD-DFT) =  -114.214128137
//  Total Energy, E(TD-HF/TD-KS) =  -848.655200149
//  Total Energy, E(CIS) =  -231.778955055
//  Total Energy, E(EOM-CCSD) =  -243.883072409
// It is the job's energy when the job's route asks for an optimisation or
// frequencies on that state (the geometry and thermochemistry are built on
// it); a single point, which prints it too, keeps its ground-state energy.
constexpr std::string_view ExcitedStateEnergyMarker = "Total Energy, E(";

void ReadExcitedStateEnergy(TGaussianPass& pass, TOutInfo& info) {
  if (!RouteRequests(pass.Job.Route, "opt") && !RouteRequests(pass.Job.Route, "freq")) return;
  const std::string_view line = pass.Line;
  const std::size_t open = pass.Match.At + ExcitedStateEnergyMarker.size() - 1;
  const std::size_t close = line.find(')', open);
  if (close != std::string_view::npos) ReadEnergyAfter(pass, close, line.substr(open, close - open + 1), info);
}

// A job that hands the energy to an external program (External='xtb-gaussian')
// prints no SCF energy; the energy it got back comes with each step:
//  Recovered energy= -13.1297379713     dipole=     -0.000000000000      0.000000000000     -0.000000000000
constexpr std::string_view ExternalEnergyMarker = "Recovered energy=";

void ReadExternalEnergy(TGaussianPass& pass, TOutInfo& info) {
  ReadEnergyAfter(pass, pass.Match.At, "(External)", info);
}

// A double hybrid prints its total after the SCF part, both tagged with the
// functional's name:
//  E2(B2PLYP) =    -0.1547244668D+00 E(B2PLYP) =    -0.11902630007243D+03
// The tag opens the line; its opening is the line filter's only short one.
constexpr std::string_view DoubleHybridMarker = " E2(";

void ReadDoubleHybridEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  if (!line.starts_with(DoubleHybridMarker)) return;
  const std::size_t open = DoubleHybridMarker.size() - 1;
  const std::size_t close = line.find(')', open);
  if (close == std::string_view::npos) return;
  const std::string_view label = line.substr(open, close - open + 1);
  const std::size_t total = line.find(" E" + std::string(label), close);
  if (total != std::string_view::npos) ReadEnergyAfter(pass, total, label, info);
}

// Coupled cluster and QCI energies open their line:
//  CCSD(T)= -0.10033835608D+03
// The archive block's "\CCSD(T)=-100.3383561" is no energy line.
constexpr std::string_view CCSDTMarker = "CCSD(T)=";
constexpr std::string_view QCISDTMarker = "QCISD(T)=";

void ReadCorrelatedEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  if (Contains(line, "\\")) return;
  int cursor = 1;
  SkipBlanks(line, cursor);
  for (std::string_view marker : {CCSDTMarker, QCISDTMarker}) {
    if (line.substr(static_cast<std::size_t>(cursor) - 1).starts_with(marker)) {
      ReadEnergyAfter(pass, static_cast<std::size_t>(cursor) - 1, marker.substr(0, marker.size() - 1), info);
      return;
    }
  }
}

// A composite recipe ends with its energy at 0 K and its free energy:
//  G4(0 K)=                 -115.648433 G4 Energy=                  -115.647489
//  G4 Enthalpy=             -115.646545 G4 Free Energy=             -115.673227
//  CBS-QB3 (0 K)=            -283.819775 CBS-QB3 Energy=              -283.813741
// The label is the name with its "(0 K)" as printed, e.g. "(G4(0 K))".
constexpr std::string_view CompositeEnergyMarker = "(0 K)=";
constexpr std::string_view CompositeFreeEnergyMarker = " Free Energy=";

void ReadCompositeEnergy(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  const std::size_t at = pass.Match.At;
  int cursor = 1;
  SkipBlanks(line, cursor);
  const std::size_t start = std::min(static_cast<std::size_t>(cursor) - 1, at);
  std::string_view name = line.substr(start, at - start);
  std::string label = "(";
  label.append(line.substr(start, at + CompositeEnergyMarker.size() - 1 - start)).push_back(')');
  if (!ReadEnergyAfter(pass, at, label, info)) return;
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  pass.Job.CompositeMethod = name;
}

// The recipe's free energy is G when a number follows it; otherwise the
// thermochemistry of the recipe's frequency step stays.
void ReadCompositeFreeEnergy(TGaussianPass& pass, TOutInfo& info) {
  if (pass.Job.CompositeMethod.empty()) return;
  const std::string marker = pass.Job.CompositeMethod + std::string(CompositeFreeEnergyMarker);
  const std::size_t at = pass.Line.find(marker);
  if (at == std::string::npos) return;
  int cursor = static_cast<int>(at + marker.size()) + 1;
  SkipBlanks(pass.Line, cursor);
  if (static_cast<std::size_t>(cursor) > pass.Line.size()) return;
  const char first = pass.Line[static_cast<std::size_t>(cursor) - 1];
  if (first != '-' && first != '.' && (first < '0' || first > '9')) return;
  info.GibbsEnergy = ReadDouble(pass.Line, cursor);
  info.HasGibbsEnergy = true;
}

// Gaussian 98 titles the section "Dipole moment (Debye):".
//  Dipole moment (field-independent basis, Debye):
//     X=             -0.0000    Y=              0.0000    Z=             -1.6735  Tot=              1.6735
constexpr std::string_view DipoleMarker = "Dipole moment (field-independent basis, Debye):";
constexpr std::string_view OldDipoleMarker = "Dipole moment (Debye):";
constexpr std::string_view DipoleComponentsMarker = "X=";

void ReadDipoleMoment(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.NextLineHolds(DipoleComponentsMarker)) return;
  info.HasDipole = true;
  int cursor = 1;
  for (long double& component : info.Dipole) {
    SkipBlanks(pass.Line, cursor);
    cursor += 2;  // the axis tag and its "="
    SkipBlanks(pass.Line, cursor);
    component = ReadReal(pass.Line, cursor);
  }
}

// The orientation tables fire on their title. Each complete table replaces
// the rows of the one before of its kind; one cut off by the end of the
// input, or whose header is not the one shown here, does not count. The
// standard orientation is the geometry; jobs run without symmetry (nosymm,
// most scans) print only the input orientation, which then takes its place.
//                          Standard orientation:
//  ---------------------------------------------------------------------
//  Center     Atomic      Atomic             Coordinates (Angstroms)
//  Number     Number       Type             X           Y           Z
//  ---------------------------------------------------------------------
//       1          6           0        1.205666    0.676891   -0.000000
//  ---------------------------------------------------------------------
constexpr std::string_view OrientationRule = "---------------------------------------------------------------------";
constexpr std::string_view StandardOrientationMarker = "Standard orientation:";
constexpr std::string_view InputOrientationMarker = "Input orientation:";
constexpr std::array OrientationHeader = {OrientationRule, std::string_view("Center"), std::string_view("Number"),
                                          OrientationRule};
constexpr std::string_view OrientationCutWarning =
    "Warning: an orientation table lists more than 500 atoms; the first 500 were kept!";
static_assert(MaxModeAtoms == 500, "the warning names the atom limit");

// The rows of a table up to its closing rule, at most MaxModeAtoms; none
// when the input ends first.
std::optional<std::vector<std::string>> ReadOrientationRows(TGaussianPass& pass, TOutInfo& info) {
  for (std::string_view header : OrientationHeader)
    if (!pass.NextLineHolds(header)) return std::nullopt;
  std::vector<std::string> rows;
  for (;;) {
    if (!pass.NextLine()) return std::nullopt;
    if (Contains(pass.Line, OrientationRule)) return rows;
    // A table that never closes must not gather the rest of the file: it
    // ends at the atom limit, the row past it left to the other checks.
    if (rows.size() == MaxModeAtoms) {
      info.AddReadWarning(OrientationCutWarning);
      return rows;
    }
    rows.push_back(pass.Line);
  }
}

void ReadStandardOrientation(TGaussianPass& pass, TOutInfo& info) {
  std::optional<std::vector<std::string>> rows = ReadOrientationRows(pass, info);
  if (!rows) return;
  pass.File.GeometryRows = std::move(*rows);
  if (!pass.FinalGeometry) pass.Stop = true;
}

void ReadInputOrientation(TGaussianPass& pass, TOutInfo& info) {
  TGaussianFileState& file = pass.File;
  if (!file.GeometryRows.empty()) return;
  // Without FinalGeometry the first table is kept, as for the standard one.
  const bool keep = pass.FinalGeometry || file.InputGeometryRows.empty();
  std::optional<std::vector<std::string>> rows = ReadOrientationRows(pass, info);
  if (rows && keep) file.InputGeometryRows = std::move(*rows);
}

// A row of the orientation table: center number, atomic number, atomic type,
// x, y, z in angstrom. An atomic number the element table lacks is shown and
// the atom kept without an element. A periodic job lists its translation
// vectors in the table too, with atomic number -2, and a job with ghost
// centres (Bq) lists them with atomic number 0: they are no atoms.
//      57          0           0        0.000000    0.000000    0.000000
constexpr std::int32_t TranslationVectorNumber = -2;
constexpr std::int32_t GhostCentreNumber = 0;

void AddAtomFromRow(std::string_view row, TAtomicArray& atoms, const TLoadContext& context) {
  int cursor = 1;
  SkipBlanks(row, cursor);
  ReadInt(row, cursor);  // center number
  SkipBlanks(row, cursor);
  const std::int32_t atomicNumber = ReadInt(row, cursor);
  if (atomicNumber == TranslationVectorNumber || atomicNumber == GhostCentreNumber) return;
  TAtom& atom = atoms.AddAtom();
  const int element = ElementByNumber(atomicNumber);
  if (element == 0) {
    context.ShowMessage("Error", "Unknown atom! (z=" + std::to_string(atomicNumber) + ")");
  } else {
    atom.Element = element;
    atom.Symbol = AtomProps[static_cast<std::size_t>(element)].Symbol;
  }
  SkipBlanks(row, cursor);
  ReadInt(row, cursor);  // atomic type
  for (double* coordinate : {&atom.X, &atom.Y, &atom.Z}) {
    SkipBlanks(row, cursor);
    *coordinate = ReadDouble(row, cursor);
  }
}

// A row that does not convert leaves no half-built geometry behind.
void BuildAtoms(const std::vector<std::string>& rows, TAtomicArray& atoms, const TLoadContext& context) {
  atoms.ClearAtoms();
  try {
    for (const std::string& row : rows) AddAtomFromRow(row, atoms, context);
  } catch (...) {
    atoms.ClearAtoms();
    throw;
  }
}

// A job step that starts after a termination line has not ended until its
// own one comes: a file cut while a later step runs is unfinished. Its route
// follows.
//  Link1:  Proceeding to internal job step number  2.
//  Entering Link 1 = /usr/local/gaussian/g09/l1.exe PID=    137902.
constexpr std::string_view JobStepMarker = "Link1:  Proceeding to internal job step number";
constexpr std::string_view NewJobMarker = " Entering Link 1 = ";

void StartJobStep(TGaussianPass& pass, TOutInfo& info) {
  info.Termination = tmMissing;
  ReadRoute(pass, info);
}

// What the pass keeps about the current job ends at its termination line.
void ReadTerminationLine(TGaussianPass& pass, TOutInfo& info) {
  info.Termination = Contains(pass.Line, NormalTerminationMarker) ? tmNormal : tmError;
  pass.Job = TGaussianJob();
}

// The version line of the banner, whose build name ends in the revision:
//  Gaussian 16:  ES64L-G16RevC.01  3-Jul-2019
// gives "Gaussian 16 C.01" ("Gaussian 16" when no revision follows). The
// citation's " Gaussian 16, Revision C.01," opens its line too and is passed
// over: the banner comes first.
constexpr std::string_view VersionMarker = " Gaussian ";
constexpr std::string_view RevisionMarker = "Rev";

}  // namespace

bool IsBannerLine(std::string_view line) { return line.starts_with(VersionMarker); }

void ReadProgramVersion(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view line = pass.Line;
  const std::size_t colon = line.find(':', VersionMarker.size());
  if (colon == line.npos || colon == VersionMarker.size()) return;
  const std::string_view release = line.substr(VersionMarker.size(), colon - VersionMarker.size());
  if (release.find_first_not_of("0123456789") != release.npos) return;
  std::string version = "Gaussian " + std::string(release);
  if (const std::size_t revision = line.find(RevisionMarker, colon); revision != line.npos) {
    const std::size_t start = revision + RevisionMarker.size();
    const std::string_view name = line.substr(start, line.find(' ', start) - start);
    if (!name.empty()) (version += ' ') += name;
  }
  info.ProgramVersion = std::move(version);
}

namespace {

constexpr std::array EnergyAndGeometryRowList = {
    TGaussianRow{MCBSFragmentMarker, FoldFragmentEnergy, "g MCB"},
    TGaussianRow{DCBSFragmentMarker, FoldFragmentEnergy, "g DCB"},
    TGaussianRow{FragmentMarker, FoldFragmentEnergy, "g cal"},
    TGaussianRow{CorrectedEnergyMarker, FoldFragmentEnergy, "se: c"},
    TGaussianRow{NewCorrectedEnergyMarker, FoldFragmentEnergy, "oise "},
    TGaussianRow{CorrectedEnergyMarker, ReadCorrectedEnergy, "se: c"},
    TGaussianRow{NewCorrectedEnergyMarker, ReadCorrectedEnergy, "oise "},
    TGaussianRow{MCBSFragmentMarker, ReadMCBSFragmentStart, "g MCB"},
    TGaussianRow{FragmentMarker, ReadMCBSFragmentStart, "g cal"},
    TGaussianRow{DCBSFragmentMarker, ReadDCBSFragmentStart, "g DCB"},
    TGaussianRow{FragmentMarker, ReadDCBSFragmentStart, "g cal"},
    TGaussianRow{NumericalDifferentiationMarker, NoteNumericalDifferentiation},
    TGaussianRow{SCFDoneMarker, ReadSCFEnergy, "Done:"},
    TGaussianRow{MP2EnergyMarker, ReadMPEnergy},
    TGaussianRow{MP3EnergyMarker, ReadMPEnergy},
    TGaussianRow{MP5EnergyMarker, ReadMPEnergy},
    TGaussianRow{MP4EnergyMarker, ReadMPEnergy},
    TGaussianRow{AmplitudesEnergyMarker, ReadAmplitudesEnergy, "E(Cor"},
    TGaussianRow{IterationEnergyMarker, ReadAmplitudesEnergy, "E(COR"},
    TGaussianRow{ONIOMEnergyMarker, ReadONIOMEnergy},
    TGaussianRow{ExcitedStateEnergyMarker, ReadExcitedStateEnergy, "rgy, "},
    TGaussianRow{ExternalEnergyMarker, ReadExternalEnergy},
    TGaussianRow{DoubleHybridMarker, ReadDoubleHybridEnergy, {}, TMarkerPlace::OpensLine},
    TGaussianRow{CCSDTMarker, ReadCorrelatedEnergy, "D(T)="},
    TGaussianRow{QCISDTMarker, ReadCorrelatedEnergy},
    TGaussianRow{CompositeEnergyMarker, ReadCompositeEnergy},
    TGaussianRow{CompositeFreeEnergyMarker, ReadCompositeFreeEnergy, "Free "},
    TGaussianRow{DipoleMarker, ReadDipoleMoment, "bye):"},
    TGaussianRow{OldDipoleMarker, ReadDipoleMoment, "t (De"},
    TGaussianRow{StandardOrientationMarker, ReadStandardOrientation, "rd or"},
    TGaussianRow{InputOrientationMarker, ReadInputOrientation},
};

constexpr std::array JobEndRowList = {
    TGaussianRow{VersionMarker, ReadProgramVersion, {}, TMarkerPlace::OpensLine},
    TGaussianRow{JobStepMarker, StartJobStep, "ink1:"},
    TGaussianRow{NewJobMarker, StartJobStep, "ng Li"},
    TGaussianRow{NormalTerminationMarker, ReadTerminationLine, "rmina"},
    TGaussianRow{ErrorTerminationMarker, ReadTerminationLine, "ror t"},
};

}  // namespace

std::span<const TGaussianRow> EnergyAndGeometryRows() { return EnergyAndGeometryRowList; }
std::span<const TGaussianRow> JobEndRows() { return JobEndRowList; }

std::span<const TGaussianRow> GaussianRows() {
  static const std::vector<TGaussianRow> rows = [] {
    std::vector<TGaussianRow> all;
    for (std::span<const TGaussianRow> group :
         {EnergyAndGeometryRows(), VibrationRows(), PopulationRows(), StudyRows(), JobEndRows()})
      all.insert(all.end(), group.begin(), group.end());
    return all;
  }();
  return rows;
}

std::vector<std::string_view> GaussianMarkers() {
  std::vector<std::string_view> markers;
  for (const TGaussianRow& row : GaussianRows()) markers.push_back(row.Marker);
  return markers;
}

const TMarkerRegistry<TGaussianCheck>& GaussianRegistry() {
  static const TMarkerRegistry<TGaussianCheck> registry{GaussianRows()};
  return registry;
}

bool ParseGaussianOutput(TLineSource& source, bool finalGeometry, TAtomicArray& atoms, TOutInfo& info,
                         const TLoadContext& context) {
  const TMarkerRegistry<TGaussianCheck>& registry = GaussianRegistry();
  ResetOutInfo(info);
  info.GeometryState = 2;
  info.Termination = tmMissing;
  TGaussianPass pass(source, finalGeometry);
  ReadPass(registry, pass, [](TGaussianPass&) { return false; }, info);
  source.CloseSource();
  FinishStudyValues(info);
  const TGaussianFileState& file = pass.File;
  const std::vector<std::string>& rows = file.GeometryRows.empty() ? file.InputGeometryRows : file.GeometryRows;
  BuildAtoms(rows, atoms, context);
  if (rows.empty()) return false;
  info.GeometryState = finalGeometry ? 1 : 0;
  return true;
}

bool TCoordinateFile::ParseGaussianOutput(const std::string& fileName, bool finalGeometry) {
  TLineSource source(Context, TDamageReport::AsSoonAsRead);
  if (!source.OpenSource(fileName)) {
    ShowError("Can not open file " + fileName);
    return false;
  }
  const bool geometryRead = harvex::ParseGaussianOutput(source, finalGeometry, Atoms, Info, Context);
  Info.SourceDamaged = source.DamageFound();
  if (!geometryRead) return false;
  FileName = fileName;
  return true;
}

}  // namespace harvex
