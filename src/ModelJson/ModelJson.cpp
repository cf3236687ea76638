#include "ModelJson/ModelJson.h"

#include <algorithm>
#include <ostream>

namespace harvex {
namespace {

constexpr const char* FileKindNames[] = {"fkNone", "fkXyz", "fkGjf", "fkOutput", "fkCdf"};
constexpr const char* EnergySourceNames[] = {"esSinglePoint", "esFrequency", "esGeometry", "esNone"};
constexpr const char* TerminationNames[] = {"tmNotRead", "tmNormal", "tmError", "tmMissing"};

template <std::size_t N>
std::string CodeName(const char* const (&names)[N], unsigned code) {
  return code < N ? names[code] : std::to_string(code);
}

double Real(long double value) { return static_cast<double>(value); }

template <typename Container>
TModelJson Reals(const Container& values) {
  TModelJson array = TModelJson::array();
  for (const auto value : values) array.push_back(Real(value));
  return array;
}

TModelJson Charges(const std::optional<TChargeArray>& charges) {
  return charges ? Reals(*charges) : TModelJson(nullptr);
}

TModelJson AtomsJson(const TAtomicArray& atoms) {
  TModelJson array = TModelJson::array();
  for (int number = 1; number <= atoms.Count(); ++number) {
    const TAtom& atom = atoms.AtomAt(number);
    array.push_back({{"Symbol", atom.Symbol}, {"Element", atom.Element}, {"X", atom.X}, {"Y", atom.Y}, {"Z", atom.Z}});
  }
  return array;
}

// Displacements of atoms 1 to AtomCount (at most the 500 a mode can hold).
TModelJson Displacements(const TModeDisplacements& axis, int atomCount) {
  std::vector<double> values(static_cast<std::size_t>(std::clamp(atomCount, 0, MaxModeAtoms)));
  for (std::size_t index = 0; index < values.size(); ++index) values[index] = axis[index];
  return Reals(values);
}

TModelJson ModeJson(const TOscMode& mode, int atomCount) {
  TModelJson attributes = TModelJson::array();
  for (const TAdditionalModeAttrib& attribute : mode.Attributes)
    attributes.push_back({{"Name", attribute.Name}, {"Value", attribute.Value}});
  return {{"ModeNumber", mode.ModeNumber},
          {"Frequency", Real(mode.Frequency)},
          {"AnharmonicFrequency", Real(mode.AnharmonicFrequency)},
          {"Attributes", std::move(attributes)},
          {"DispX", Displacements(mode.DispX, atomCount)},
          {"DispY", Displacements(mode.DispY, atomCount)},
          {"DispZ", Displacements(mode.DispZ, atomCount)}};
}

TModelJson ModesJson(const std::unique_ptr<TOscModes>& modes, int atomCount) {
  if (!modes) return nullptr;
  TModelJson items = TModelJson::array();
  for (int index = 0; index < modes->Count(); ++index) items.push_back(ModeJson(modes->ModeAt(index), atomCount));
  return {{"HighPrecision", modes->HighPrecision}, {"Anharmonic", modes->Anharmonic}, {"Modes", std::move(items)}};
}

TModelJson NboJson(const std::unique_ptr<TNBOData>& nbo) {
  if (!nbo) return nullptr;
  TModelJson interactions = TModelJson::array();
  for (const TDAOrbitalInteraction& interaction : nbo->Interactions) {
    interactions.push_back({{"Donor", interaction.Donor},
                            {"Acceptor", interaction.Acceptor},
                            {"DonorIndex", interaction.DonorIndex},
                            {"AcceptorIndex", interaction.AcceptorIndex},
                            {"Energies", Reals(interaction.Energies)}});
  }
  return {{"Interactions", std::move(interactions)},
          {"NPACharges", Charges(nbo->NPACharges)},
          {"Threshold", Real(nbo->Threshold)}};
}

TModelJson InfoJson(const TOutInfo& info, int atomCount) {
  return {{"GeometryState", info.GeometryState},
          {"Energy", info.Energy},
          {"EnergyLabel", info.EnergyLabel},
          {"Modes", ModesJson(info.Modes, atomCount)},
          {"ZPECorrection", info.ZPECorrection},
          {"GibbsCorrection", info.GibbsCorrection},
          {"GibbsEnergy", info.GibbsEnergy},
          {"HasGibbsEnergy", info.HasGibbsEnergy},
          {"MolecularMass", info.MolecularMass},
          {"RotTemperatures", Reals(info.RotTemperatures)},
          {"SymmetryNumber", info.SymmetryNumber},
          {"LinearRotor", info.LinearRotor},
          {"HasAnharmonicThermo", info.HasAnharmonicThermo},
          {"ZPEAnharmonic", Real(info.ZPEAnharmonic)},
          {"AnharmonicTemperature", Real(info.AnharmonicTemperature)},
          {"GibbsAnharmonic", Real(info.GibbsAnharmonic)},
          {"NBO", NboJson(info.NBO)},
          {"MullikenCharges", Charges(info.MullikenCharges)},
          {"APTCharges", Charges(info.APTCharges)},
          {"ESPCharges", Charges(info.ESPCharges)},
          {"Dipole", Reals(info.Dipole)},
          {"HasDipole", info.HasDipole},
          {"HasCounterpoise", info.HasCounterpoise},
          {"DCBSCount", info.DCBSCount},
          {"MCBSCount", info.MCBSCount},
          {"DCBSSum", Real(info.DCBSSum)},
          {"MCBSSum", Real(info.MCBSSum)},
          {"Termination", CodeName(TerminationNames, info.Termination)},
          {"SourceOpened", info.SourceOpened},
          {"EnergyRead", info.EnergyRead}};
}

TModelJson DescrJson(const std::unique_ptr<TConfDescrFile>& descr) {
  if (!descr) return nullptr;
  return {{"FileName", descr->FileName},         {"SectionName", descr->SectionName},
          {"GeomFileName", descr->GeomFileName}, {"FreqFileName", descr->FreqFileName},
          {"MP2FileName", descr->MP2FileName},   {"WfnFileName", descr->WfnFileName},
          {"AimFileName", descr->AimFileName},   {"IRIntenFileName", descr->IRIntenFileName}};
}

TModelJson ConformerJson(const TCoordinateFile_cdf& file) {
  return {{"IsCdf", file.IsCdf},
          {"ETotal", Real(file.ETotal)},
          {"EnergySource", CodeName(EnergySourceNames, file.EnergySource)},
          {"GTotal", Real(file.GTotal)},
          {"EZpeTotal", Real(file.EZpeTotal)},
          {"HasThermochemistry", file.HasThermochemistry},
          {"Descr", DescrJson(file.Descr)}};
}

}  // namespace

TModelJson ModelToJson(const std::string& path, const TCoordinateFile_cdf& file) {
  return {{"Path", path},
          {"FileName", file.FileName},
          {"FileKind", CodeName(FileKindNames, file.FileKind)},
          {"Tag", file.Tag},
          {"Atoms", AtomsJson(file.Atoms)},
          {"Info", InfoJson(file.Info, file.AtomCount())},
          {"Conformer", ConformerJson(file)}};
}

void WriteJsonLine(std::ostream& out, const TModelJson& object) {
  out << object.dump(-1, ' ', false, TModelJson::error_handler_t::replace) << '\n';
}

void WriteModelJson(std::ostream& out, const std::string& path, const TCoordinateFile_cdf& file, TModelJson thermo) {
  TModelJson object = ModelToJson(path, file);
  if (!thermo.is_null()) object["Thermo"] = std::move(thermo);
  WriteJsonLine(out, object);
}

}  // namespace harvex
