// The in-memory model of one loaded file, and the loading frame that picks a
// reader by the file's extension.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "chembase/chembase.h"
#include "rtl/Desktop.h"

namespace harvex {

static_assert(sizeof(long double) == 16 && __LDBL_MANT_DIG__ == 64,
              "extended reals must be the 80-bit x87 format");

// Which kind of file filled a TCoordinateFile.
enum TFileKind : std::uint8_t { fkNone = 0, fkXyz = 1, fkGjf = 2, fkOutput = 3, fkCdf = 4 };

// One value line of a mode's frequency block ("Frequencies", "Red. masses", ...).
struct TAdditionalModeAttrib {
  std::string Name;
  // NaN where the file printed no value (an overflowed field).
  double Value = 0;
};

// Atoms 1..500 can have displacement entries in a mode.
constexpr int MaxModeAtoms = 500;

// A molecule of N atoms has at most 3N modes, and the readers keep at most
// MaxModeAtoms atoms: a frequency listing past 3N modes of the geometry read,
// or past 3 x MaxModeAtoms without one, is no molecule's. It ends there, so
// that a listing that counts to millions cannot fill memory.
constexpr int MaxModes = 3 * MaxModeAtoms;
// The limit for a geometry of AtomCount atoms (0: none read).
int ModeLimit(std::size_t atomCount);
// "Warning: the frequency listing goes on past 1500 modes (3 for each of 500
// atoms); the modes after them were not read!"
std::string ModeLimitWarning(int limit);

// The displacements of the atoms a mode's table lists along one axis,
// indexed from 0: the storage grows with the atoms written, so a mode of a
// small molecule costs a few bytes however many modes a file lists.
class TModeDisplacements {
 public:
  // Entries never written read as 0.
  double operator[](std::size_t index) const { return index < Values.size() ? Values[index] : 0.0; }
  // Index below MaxModeAtoms.
  void Set(std::size_t index, double value) {
    if (index >= Values.size()) Values.resize(index + 1);
    Values[index] = value;
  }
  // Gives back what growing reserved beyond the entries written.
  void Trim() { Values.shrink_to_fit(); }
  std::size_t HeldBytes() const { return Values.capacity() * sizeof(double); }

 private:
  std::vector<double> Values;
};

struct TOscMode {
  std::int32_t ModeNumber = 0;
  long double Frequency = 0;            // cm^-1
  long double AnharmonicFrequency = 0;  // cm^-1
  std::vector<TAdditionalModeAttrib> Attributes;
  TModeDisplacements DispX;
  TModeDisplacements DispY;
  TModeDisplacements DispZ;
};

// The vibrational modes in the order read.
class TOscModes {
 public:
  bool HighPrecision = false;
  bool Anharmonic = false;

  TOscMode& AddMode(std::int32_t modeNumber);
  // Drops the last Count modes (all of them when there are fewer).
  void RemoveLast(int count);
  // 0-based; raises EListError "List index out of bounds (%d)" outside 0..Count-1.
  TOscMode& ModeAt(int index);
  const TOscMode& ModeAt(int index) const;
  int Count() const { return static_cast<int>(Items.size()); }

 private:
  // Held by owning pointer: references must survive growth.
  std::vector<std::unique_ptr<TOscMode>> Items;
};

// The first attribute named exactly Name gives Value; false (Value untouched) when none.
bool GetModeAttribute(const std::vector<TAdditionalModeAttrib>& attributes, std::string_view name,
                      long double& value);

// The IR intensity (km/mol) a mode's block printed, "IR Inten" or in a
// high-precision block "IR Intensities"; none when it printed none (ORCA's
// modes carry none).
std::optional<double> ModeIRIntensity(const TOscMode& mode);

// One element per charge-table line read, the table's first line included:
// element k-1 holds the charge of atom k.
using TChargeArray = std::vector<long double>;

// One row of the NBO second-order perturbation table.
struct TDAOrbitalInteraction {
  std::string Donor;
  std::string Acceptor;
  std::int32_t DonorIndex = 0;
  std::int32_t AcceptorIndex = 0;
  // E(2) in kcal/mol (-1 when printed as asterisks), E(j)-E(i) and F(i,j) in a.u.
  std::array<long double, 3> Energies{};
};

class TNBOData {
 public:
  std::deque<TDAOrbitalInteraction> Interactions;
  std::optional<TChargeArray> NPACharges;
  long double Threshold = 0;  // kcal/mol

  TDAOrbitalInteraction& AddInteraction() { return Interactions.emplace_back(); }
  void FreeInteractions() { Interactions.clear(); }
};

// How an output says its program run ended: by its last termination line,
// or by having none. tmNotRead when no output reader looked at the file.
enum TTermination : std::uint8_t { tmNotRead = 0, tmNormal = 1, tmError = 2, tmMissing = 3 };

// Which program wrote an output; opNone for any other file.
enum TOutputProgram : std::uint8_t { opNone = 0, opGaussian = 1, opOrca = 2 };

// The values of the last frequency job kept only for recomputing its
// thermochemistry, beyond the modes and rotor values: each frequency block
// starts them afresh, and so does each output read.
struct TRecomputationValues {
  std::vector<double> AtomMasses;        // amu, in atom order, as the job used them
  std::array<double, 3> RotConstants{};  // GHz; 0 where none was printed
  std::optional<double> ThermoTemperature;  // Kelvin, the job's own
  std::optional<double> ThermoPressure;     // atm
  std::optional<double> ThermoEnergy;       // Hartree: the electronic energy the job's G is built on
  std::optional<double> PrintedEnthalpy;    // Hartree: the job's own H and G, not a recipe's
  std::optional<double> PrintedFreeEnergy;
};

// The thermochemistry of the last frequency block; each block starts it afresh.
struct TThermochemistryValues : TRecomputationValues {
  double ZPECorrection = 0;    // Hartree
  double GibbsCorrection = 0;  // Hartree
  double GibbsEnergy = 0;      // Hartree
  // GibbsEnergy was printed after the last harmonic table (or by a composite
  // recipe); a table with no free energy after it leaves G unknown.
  bool HasGibbsEnergy = false;
  double MolecularMass = 0;    // amu
  std::array<double, 3> RotTemperatures{};  // Kelvin
  std::int32_t SymmetryNumber = 0;
  bool LinearRotor = false;
};

// What each output read starts without: no NBO or charges, no dipole or
// counterpoise flag, no multiplicity.
struct TReadSectionValues {
  std::unique_ptr<TNBOData> NBO;
  std::optional<TChargeArray> MullikenCharges;
  std::optional<TChargeArray> APTCharges;
  std::optional<TChargeArray> ESPCharges;
  bool HasDipole = false;
  bool HasCounterpoise = false;
  std::int32_t Multiplicity = 0;  // 0 when none was read
};

// What tells which level of theory an output's energy belongs to, and
// whether its structure is what its job set out to find; each output read
// starts them afresh. Where a file holds several jobs the values are those
// of its last job, the optimisation values those of its last optimisation,
// the stationarity that of its last frequency job.
struct TStudyValues {
  // Without the reference prefix (R, U, RO) the program puts before an SCF
  // method: "B3LYP", "MP2-FC", "DLPNO-CCSD(T)"; empty when none was read.
  std::string Method;
  std::string Basis;
  // "SMD(Water)", "CPCM(CH2Cl2)", or "none" for a job in the gas phase;
  // "Dispersion" "D3BJ", "D3", "D2", or "none". Empty until a job's route
  // or input was read.
  std::string Solvation;
  std::string Dispersion;
  std::optional<std::int32_t> Charge;
  // The last <S**2> printed (before annihilation where both are).
  std::optional<double> S2;
  // Whether the last optimisation converged; none when the file ran none.
  std::optional<bool> OptimisationConverged;
  // The program's line that said it did not; empty when none did (the job
  // ended, or is still running, before it converged).
  std::string OptimisationStop;
  // The last optimisation searched for a transition state.
  bool TransitionState = false;
  // The items of the last frequency job's own convergence table that said
  // NO ("Maximum Force 0.000512/0.000450"); empty when all said YES or the
  // job printed none.
  std::string NotStationaryItems;
  // The factor the job scaled its frequencies by, when it stated one.
  std::optional<double> ScaleFactor;
};

// What the last output load got from its file; each output load starts it
// afresh.
struct TLoadOutcome {
  // Which program wrote the output.
  TOutputProgram Program = opNone;
  // The program and its version as its banner printed them, "Gaussian 16
  // C.01" or "ORCA 5.0.4"; empty when the output printed none.
  std::string ProgramVersion;
  // So that a load that gave nothing never passes as a good one:
  // SourceOpened when its text could be opened (a plain file, or an
  // archive's output member), EnergyRead when a reader then read an energy
  // line from it. Energy itself keeps an earlier load's value.
  bool SourceOpened = false;
  bool EnergyRead = false;
  // Why the source did not open, when there is a reason to name.
  std::string OpenFailure;
  // Why no text could be read, in plain words, whenever SourceOpened is
  // false: OpenFailure, or what an archive or gzip file lacked.
  std::string SourceFailure;
  // The archive member or gzip text read failed its check values: it was cut
  // short or damaged.
  bool SourceDamaged = false;
  // What a reader passed over or cut short, one warning line each, in the
  // order met.
  std::vector<std::string> ReadWarnings;
};

// Everything read from a program output. The groups it is made of are
// reset each as a whole, by value initialisation; what stands here itself
// (the energy, the anharmonic values, the dipole, the counterpoise sums)
// outlives a load that reads none.
struct TOutInfo : TThermochemistryValues, TReadSectionValues, TStudyValues, TLoadOutcome {
  // 0 first geometry kept, 1 last geometry kept, 2 a Gaussian parse kept none.
  std::uint8_t GeometryState = 0;
  double Energy = 0;  // Hartree
  std::string EnergyLabel;
  std::unique_ptr<TOscModes> Modes;
  bool HasAnharmonicThermo = false;
  long double ZPEAnharmonic = 0;          // Hartree
  long double AnharmonicTemperature = 0;  // Kelvin
  long double GibbsAnharmonic = 0;        // Hartree
  std::array<long double, 3> Dipole{};  // Debye
  std::int32_t DCBSCount = 0;
  std::int32_t MCBSCount = 0;
  long double DCBSSum = 0;  // Hartree
  long double MCBSSum = 0;  // Hartree
  // What the counterpoise sums give, in kcal/mol (the results file's
  // conversion): the BSSE correction, the monomer-basis sum over the
  // dimer-basis one, and the stabilisation energy, the energy below the
  // monomer-basis sum.
  long double BsseCorrection() const { return (MCBSSum - DCBSSum) * KcalPerHartree; }
  long double StabilizationEnergy() const { return (static_cast<long double>(Energy) - MCBSSum) * KcalPerHartree; }
  // Set by the output readers: tmMissing when they start, then by each
  // termination line read.
  TTermination Termination = tmNotRead;

  // Adds the warning line unless it is there already.
  void AddReadWarning(std::string_view text);
  // Each frequency block read starts the thermochemistry values afresh.
  void ClearThermochemistry() { static_cast<TThermochemistryValues&>(*this) = {}; }
  // The values kept only for recomputing the thermochemistry, all but the
  // multiplicity (read before the block).
  void ClearRecomputationValues() { static_cast<TRecomputationValues&>(*this) = {}; }
  // A frequency job printed G: a molecule's after its modes, an atom's
  // without any. The one test of whether a row, a conformer or an ensemble
  // member carries a G.
  bool HasFreeEnergy() const { return HasGibbsEnergy; }
};

// One member of a record's description: the name it goes by outside the
// program (the key of its JSON member), the field that holds it and, for a
// value that a file need not give, the test of whether the record holds a
// reading of it (its JSON is null otherwise). A field where any value is a
// reading has no test.
template <typename TRecord, typename TValue, typename TKnown = std::nullptr_t>
struct TModelField {
  std::string_view Name;
  TValue TRecord::*Member;
  TKnown Known = nullptr;
};
// Spelled out for compilers that deduce no aggregate's arguments (clang 14).
template <typename TRecord, typename TValue>
TModelField(std::string_view, TValue TRecord::*) -> TModelField<TRecord, TValue>;
template <typename TRecord, typename TValue, typename TKnown>
TModelField(std::string_view, TValue TRecord::*, TKnown) -> TModelField<TRecord, TValue, TKnown>;

// The tests of what an output gave: a value that 0 can be a reading of
// needs its own flag; for the others 0 is the mark of none.
inline constexpr auto EnergyKnown = [](const auto& info) { return info.EnergyRead; };
inline constexpr auto LabelKnown = [](const auto& info) { return info.EnergyRead && !info.EnergyLabel.empty(); };
// An atom's zero-point correction is 0; the block that prints it gives the mass.
inline constexpr auto ZPEKnown = [](const auto& info) { return info.MolecularMass != 0 || info.ZPECorrection != 0; };
inline constexpr auto GibbsKnown = [](const auto& info) { return info.HasGibbsEnergy; };
inline constexpr auto MassKnown = [](const auto& info) { return info.MolecularMass != 0; };
inline constexpr auto RotTemperaturesKnown = [](const auto& info) {
  return info.RotTemperatures != std::array<double, 3>{};
};
inline constexpr auto SymmetryKnown = [](const auto& info) { return info.SymmetryNumber != 0; };
inline constexpr auto AnharmonicKnown = [](const auto& info) { return info.HasAnharmonicThermo; };
inline constexpr auto DipoleKnown = [](const auto& info) { return info.HasDipole; };
inline constexpr auto DCBSKnown = [](const auto& info) { return info.DCBSCount > 0; };
inline constexpr auto MCBSKnown = [](const auto& info) { return info.MCBSCount > 0; };
inline constexpr auto TerminationKnown = [](const auto& info) { return info.Termination != tmNotRead; };
inline constexpr auto MultiplicityKnown = [](const auto& info) { return info.Multiplicity != 0; };
inline constexpr auto MethodKnown = [](const auto& info) { return !info.Method.empty(); };
inline constexpr auto BasisKnown = [](const auto& info) { return !info.Basis.empty(); };
inline constexpr auto SolvationKnown = [](const auto& info) { return !info.Solvation.empty(); };
inline constexpr auto DispersionKnown = [](const auto& info) { return !info.Dispersion.empty(); };
// Only an optimisation tells a transition-state search from a minimum.
inline constexpr auto TransitionStateKnown = [](const auto& info) { return info.OptimisationConverged.has_value(); };

// The values read from an output that a loaded file's JSON carries, in the
// order of its members: a new value read gets its field above and its row
// here. The values kept only for recomputing the thermochemistry, and what a
// load reports otherwise (warnings, the reason a file did not open), are no
// members.
inline constexpr std::tuple OutInfoFields{
    TModelField{"GeometryState", &TOutInfo::GeometryState},
    TModelField{"Energy", &TOutInfo::Energy, EnergyKnown},
    TModelField{"EnergyLabel", &TOutInfo::EnergyLabel, LabelKnown},
    TModelField{"Modes", &TOutInfo::Modes},
    TModelField{"ZPECorrection", &TOutInfo::ZPECorrection, ZPEKnown},
    TModelField{"GibbsCorrection", &TOutInfo::GibbsCorrection, GibbsKnown},
    TModelField{"GibbsEnergy", &TOutInfo::GibbsEnergy, GibbsKnown},
    TModelField{"HasGibbsEnergy", &TOutInfo::HasGibbsEnergy},
    TModelField{"MolecularMass", &TOutInfo::MolecularMass, MassKnown},
    TModelField{"RotTemperatures", &TOutInfo::RotTemperatures, RotTemperaturesKnown},
    TModelField{"SymmetryNumber", &TOutInfo::SymmetryNumber, SymmetryKnown},
    TModelField{"LinearRotor", &TOutInfo::LinearRotor},
    TModelField{"HasAnharmonicThermo", &TOutInfo::HasAnharmonicThermo},
    TModelField{"ZPEAnharmonic", &TOutInfo::ZPEAnharmonic, AnharmonicKnown},
    TModelField{"AnharmonicTemperature", &TOutInfo::AnharmonicTemperature, AnharmonicKnown},
    TModelField{"GibbsAnharmonic", &TOutInfo::GibbsAnharmonic, AnharmonicKnown},
    TModelField{"NBO", &TOutInfo::NBO},
    TModelField{"MullikenCharges", &TOutInfo::MullikenCharges},
    TModelField{"APTCharges", &TOutInfo::APTCharges},
    TModelField{"ESPCharges", &TOutInfo::ESPCharges},
    TModelField{"Dipole", &TOutInfo::Dipole, DipoleKnown},
    TModelField{"HasDipole", &TOutInfo::HasDipole},
    TModelField{"HasCounterpoise", &TOutInfo::HasCounterpoise},
    TModelField{"DCBSCount", &TOutInfo::DCBSCount},
    TModelField{"MCBSCount", &TOutInfo::MCBSCount},
    TModelField{"DCBSSum", &TOutInfo::DCBSSum, DCBSKnown},
    TModelField{"MCBSSum", &TOutInfo::MCBSSum, MCBSKnown},
    TModelField{"Termination", &TOutInfo::Termination, TerminationKnown},
    TModelField{"Method", &TOutInfo::Method, MethodKnown},
    TModelField{"Basis", &TOutInfo::Basis, BasisKnown},
    TModelField{"Solvation", &TOutInfo::Solvation, SolvationKnown},
    TModelField{"Dispersion", &TOutInfo::Dispersion, DispersionKnown},
    TModelField{"Charge", &TOutInfo::Charge},
    TModelField{"Multiplicity", &TOutInfo::Multiplicity, MultiplicityKnown},
    TModelField{"S2", &TOutInfo::S2},
    TModelField{"OptimisationConverged", &TOutInfo::OptimisationConverged},
    TModelField{"TransitionState", &TOutInfo::TransitionState, TransitionStateKnown},
    TModelField{"ThermoTemperature", &TOutInfo::ThermoTemperature},
    TModelField{"ThermoPressure", &TOutInfo::ThermoPressure},
    TModelField{"ScaleFactor", &TOutInfo::ScaleFactor},
    TModelField{"SourceOpened", &TOutInfo::SourceOpened},
    TModelField{"EnergyRead", &TOutInfo::EnergyRead},
};

class TLineSource;

// Run by each output reader once its file is open: fresh Modes, the read
// section values and the recomputation values afresh; energies and sums are
// kept.
void ResetOutInfo(TOutInfo& info);

// The output readers, over a source opened on the output's text, which they
// close when done; what they report goes to the context, in the order it
// arises. The Gaussian reader gives false when it read no geometry.
bool ParseGaussianOutput(TLineSource& source, bool finalGeometry, TAtomicArray& atoms, TOutInfo& info,
                         const TLoadContext& context);
void ReadOrcaOutput(TLineSource& source, TAtomicArray& atoms, TOutInfo& info, const TLoadContext& context);
// The geometry readers, over a source opened on the file; the XYZ reader
// names the file in its box.
void ReadXyzFile(TLineSource& source, const std::string& fileName, TAtomicArray& atoms, const TLoadContext& context);
void ReadGjfFile(TLineSource& source, TAtomicArray& atoms, const TLoadContext& context);

// One loaded file: its atoms and everything its reader found.
class TCoordinateFile : public TSimpleAtomList {
 public:
  std::string FileName;
  std::uint8_t FileKind = fkNone;
  TOutInfo Info;
  // What its loads report to and open relative names against.
  TLoadContext Context;

  explicit TCoordinateFile(TLoadContext context = {}) : Context(std::move(context)) {}
  virtual ~TCoordinateFile() = default;
  TCoordinateFile(const TCoordinateFile&) = delete;
  TCoordinateFile& operator=(const TCoordinateFile&) = delete;

  // Loads a file by its extension; see LoadFile's table in CoordinateFile.cpp.
  bool LoadFile(const std::string& fileName, bool finalGeometry);
  // Tells ORCA from Gaussian output by the first banner line and reads it.
  bool LoadOutput(const std::string& fileName, bool finalGeometry);
  // LoadOutput for a file taken as an output by its name.
  bool LoadOutputFile(const std::string& fileName, bool finalGeometry);

  // Readers: each opens its file and runs the reader of the same name over it.
  bool ParseGaussianOutput(const std::string& fileName, bool finalGeometry);
  bool ReadOrcaOutput(const std::string& fileName);
  // Appends one atom from an atom line (see the free function).
  void ParseAtomLine(std::string_view line);
  void ReadXyzFile(const std::string& fileName);
  void ReadGjfFile(const std::string& fileName);

  // See the free function.
  void ResetOutInfo() { harvex::ResetOutInfo(Info); }
  void FreeModes() { Info.Modes.reset(); }

  // The class's error box, captioned "TCoordinateFile Error".
  virtual void ShowError(const std::string& message);
};

// Appends the atom of one line of an element symbol and x, y, z in
// angstrom; an unknown symbol is named in a box, the atom kept without an
// element. A number that does not convert raises EConvertError, the atom
// appended and partly filled.
void ParseAtomLine(std::string_view line, TAtomicArray& atoms, const TLoadContext& context);

// About the bytes a loaded file holds beyond its object: atoms, modes with
// their values and displacements, charges and NBO rows. What a batch keeps
// waiting for its report is bounded by it.
std::size_t HeldBytes(const TCoordinateFile& file);

// The marker texts the Gaussian and the ORCA reader look for, in the order
// of their registries: for measuring the readers against other tools.
std::vector<std::string_view> GaussianMarkers();
std::vector<std::string_view> OrcaMarkers();

// The modes an output lists with a negative (imaginary) frequency; no value
// when it lists no modes at all, as a count of 0 would claim a minimum.
std::optional<int> ImaginaryModeCount(const TOutInfo& info);

// The extension of a path upper-cased (ASCII): from the last "." after the
// last "/", "\" or ":", the dot included; empty when there is none.
std::string UpperExtension(std::string_view fileName);
// The same for the name a gzipped file has under its ".gz" (".OUT" for
// "x.out.gz"); empty when the name does not end in ".gz".
std::string UpperGzippedExtension(std::string_view fileName);

// Whether a plain file begins as a Gaussian or ORCA output: its banner within
// its first lines. False for a file that cannot be read.
bool IsProgramOutput(const std::string& path);

}  // namespace harvex
