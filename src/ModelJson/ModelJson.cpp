#include "ModelJson/ModelJson.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <tuple>

#include "ReportedValues/ReportedValues.h"

namespace harvex {
namespace {

// The words a reader of the JSON sees for each code, in code order.
constexpr const char* FileKindNames[] = {"None", "XYZ", "GJF", "Output", "Conformer"};
constexpr const char* EnergySourceNames[] = {"SinglePoint", "Frequency", "Geometry", "None"};
constexpr const char* TerminationNames[] = {"NotRead", "Normal", "Error", "Missing"};
constexpr const char* ProgramNames[] = {"None", "Gaussian", "ORCA"};

template <std::size_t N>
std::string CodeName(const char* const (&names)[N], unsigned code) {
  return code < N ? names[code] : std::to_string(code);
}

// Writes one JSON text as it goes: structure by hand, every scalar through
// the library's own serializer, so that numbers and strings come out as a
// whole object's dump would give them.
class TJsonWriter {
 public:
  explicit TJsonWriter(std::ostream& out)
      : Out(out),
        Serializer(nlohmann::detail::output_adapter<char>(out), ' ', TModelJson::error_handler_t::replace) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  void Key(std::string_view name) {
    Separate();
    Scalar(TModelJson(name));
    Out.put(':');
    AfterKey = true;
  }
  // Any JSON value, written whole.
  void Value(const TModelJson& value) {
    Separate();
    Scalar(value);
  }
  void Null() { Value(nullptr); }

 private:
  void Separate() {
    if (AfterKey) {
      AfterKey = false;
    } else if (!First) {
      Out.put(',');
    }
    First = false;
  }
  void Open(char bracket) {
    Separate();
    Out.put(bracket);
    First = true;
  }
  void Close(char bracket) {
    Out.put(bracket);
    First = false;
  }
  void Scalar(const TModelJson& value) { Serializer.dump(value, false, false, 0); }

  std::ostream& Out;
  nlohmann::detail::serializer<TModelJson> Serializer;
  bool First = true;
  bool AfterKey = false;
};

// What a value's JSON may depend on beyond the value.
struct TJsonScope {
  int AtomCount = 0;
};

// A field that any value of is a reading.
bool IsKnown(std::nullptr_t, const auto&) { return true; }
template <typename TKnown, typename TRecord>
bool IsKnown(const TKnown& known, const TRecord& record) {
  return known(record);
}

template <typename TRecord, typename TFields>
void WriteObject(TJsonWriter& json, const TRecord& record, const TFields& fields, const TJsonScope& scope);

// Extended reals are given as doubles; values that are not finite become null.
void WriteValue(TJsonWriter& json, double value, const TJsonScope&) { json.Value(value); }
void WriteValue(TJsonWriter& json, long double value, const TJsonScope&) { json.Value(static_cast<double>(value)); }
void WriteValue(TJsonWriter& json, bool value, const TJsonScope&) { json.Value(value); }
void WriteValue(TJsonWriter& json, std::uint8_t value, const TJsonScope&) { json.Value(value); }
void WriteValue(TJsonWriter& json, std::int32_t value, const TJsonScope&) { json.Value(value); }
void WriteValue(TJsonWriter& json, const std::string& value, const TJsonScope&) { json.Value(value); }
void WriteValue(TJsonWriter& json, TTermination value, const TJsonScope&) {
  json.Value(CodeName(TerminationNames, value));
}
void WriteValue(TJsonWriter& json, TEnergySource value, const TJsonScope&) {
  json.Value(CodeName(EnergySourceNames, value));
}

template <typename TValue>
void WriteValue(TJsonWriter& json, const std::optional<TValue>& value, const TJsonScope& scope) {
  if (value) {
    WriteValue(json, *value, scope);
  } else {
    json.Null();
  }
}

template <typename TValues>
void WriteReals(TJsonWriter& json, const TValues& values) {
  json.BeginArray();
  for (const auto value : values) WriteValue(json, value, {});
  json.EndArray();
}

template <typename TReal, std::size_t N>
void WriteValue(TJsonWriter& json, const std::array<TReal, N>& values, const TJsonScope&) {
  WriteReals(json, values);
}

// One entry per atom: element k-1 of the array holds atom k, and the array
// has one element more than its table had atom rows. Atoms the table gave no
// row for are null; with no geometry read, the table's own rows count.
void WriteValue(TJsonWriter& json, const std::optional<TChargeArray>& charges, const TJsonScope& scope) {
  if (!charges) {
    json.Null();
    return;
  }
  const std::size_t rows = charges->empty() ? 0 : charges->size() - 1;
  const std::size_t atoms = scope.AtomCount > 0 ? static_cast<std::size_t>(scope.AtomCount) : rows;
  json.BeginArray();
  for (std::size_t index = 0; index < atoms; ++index) {
    if (index < rows) {
      WriteValue(json, (*charges)[index], scope);
    } else {
      json.Null();
    }
  }
  json.EndArray();
}

template <typename TRecord>
void WriteValue(TJsonWriter& json, const std::vector<TRecord>& records, const TJsonScope& scope) {
  json.BeginArray();
  for (const TRecord& record : records) WriteValue(json, record, scope);
  json.EndArray();
}

template <typename TRecord>
void WriteValue(TJsonWriter& json, const std::unique_ptr<TRecord>& record, const TJsonScope& scope) {
  if (record) {
    WriteValue(json, *record, scope);
  } else {
    json.Null();
  }
}

// Displacements of atoms 1 to AtomCount (at most the 500 a mode can hold).
void WriteValue(TJsonWriter& json, const TModeDisplacements& axis, const TJsonScope& scope) {
  json.BeginArray();
  const auto count = static_cast<std::size_t>(std::clamp(scope.AtomCount, 0, MaxModeAtoms));
  for (std::size_t index = 0; index < count; ++index) json.Value(axis[index]);
  json.EndArray();
}

// The members of each record's object, in their order.
constexpr std::tuple AtomFields{
    TModelField{"Symbol", &TAtom::Symbol}, TModelField{"Element", &TAtom::Element}, TModelField{"X", &TAtom::X},
    TModelField{"Y", &TAtom::Y},           TModelField{"Z", &TAtom::Z},
};

constexpr std::tuple AttributeFields{
    TModelField{"Name", &TAdditionalModeAttrib::Name},
    TModelField{"Value", &TAdditionalModeAttrib::Value},
};

constexpr std::tuple ModeFields{
    TModelField{"ModeNumber", &TOscMode::ModeNumber},
    TModelField{"Frequency", &TOscMode::Frequency},
    TModelField{"AnharmonicFrequency", &TOscMode::AnharmonicFrequency,
                [](const TOscMode& mode) { return mode.AnharmonicFrequency != 0; }},
    TModelField{"Attributes", &TOscMode::Attributes},
    TModelField{"DispX", &TOscMode::DispX},
    TModelField{"DispY", &TOscMode::DispY},
    TModelField{"DispZ", &TOscMode::DispZ},
};

constexpr std::tuple InteractionFields{
    TModelField{"Donor", &TDAOrbitalInteraction::Donor},
    TModelField{"Acceptor", &TDAOrbitalInteraction::Acceptor},
    TModelField{"DonorIndex", &TDAOrbitalInteraction::DonorIndex},
    TModelField{"AcceptorIndex", &TDAOrbitalInteraction::AcceptorIndex},
    TModelField{"Energies", &TDAOrbitalInteraction::Energies},
};

constexpr std::tuple DescrFields{
    TModelField{"FileName", &TConfDescrFile::FileName},
    TModelField{"SectionName", &TConfDescrFile::SectionName},
    TModelField{"GeomFileName", &TConfDescrFile::GeomFileName},
    TModelField{"FreqFileName", &TConfDescrFile::FreqFileName},
    TModelField{"MP2FileName", &TConfDescrFile::MP2FileName},
    TModelField{"WfnFileName", &TConfDescrFile::WfnFileName},
    TModelField{"AimFileName", &TConfDescrFile::AimFileName},
    TModelField{"IRIntenFileName", &TConfDescrFile::IRIntenFileName},
};

constexpr auto ConformerThermoKnown = [](const TCoordinateFile_cdf& file) { return file.HasThermochemistry; };

constexpr std::tuple ConformerFields{
    TModelField{"IsCdf", &TCoordinateFile_cdf::IsCdf},
    TModelField{"ETotal", &TCoordinateFile_cdf::ETotal,
                [](const TCoordinateFile_cdf& file) { return file.EnergySource != esNone; }},
    TModelField{"EnergySource", &TCoordinateFile_cdf::EnergySource},
    TModelField{"GTotal", &TCoordinateFile_cdf::GTotal, ConformerThermoKnown},
    TModelField{"EZpeTotal", &TCoordinateFile_cdf::EZpeTotal, ConformerThermoKnown},
    TModelField{"HasThermochemistry", &TCoordinateFile_cdf::HasThermochemistry},
    TModelField{"Descr", &TCoordinateFile_cdf::Descr},
};

void WriteValue(TJsonWriter& json, const TAtom& atom, const TJsonScope& scope) {
  WriteObject(json, atom, AtomFields, scope);
}
void WriteValue(TJsonWriter& json, const TAdditionalModeAttrib& attribute, const TJsonScope& scope) {
  WriteObject(json, attribute, AttributeFields, scope);
}
void WriteValue(TJsonWriter& json, const TOscMode& mode, const TJsonScope& scope) {
  WriteObject(json, mode, ModeFields, scope);
}
void WriteValue(TJsonWriter& json, const TDAOrbitalInteraction& interaction, const TJsonScope& scope) {
  WriteObject(json, interaction, InteractionFields, scope);
}
void WriteValue(TJsonWriter& json, const TConfDescrFile& descr, const TJsonScope& scope) {
  WriteObject(json, descr, DescrFields, scope);
}

void WriteValue(TJsonWriter& json, const TOscModes& modes, const TJsonScope& scope) {
  json.BeginObject();
  json.Key("HighPrecision");
  json.Value(modes.HighPrecision);
  json.Key("Anharmonic");
  json.Value(modes.Anharmonic);
  json.Key("Modes");
  json.BeginArray();
  for (int index = 0; index < modes.Count(); ++index) WriteValue(json, modes.ModeAt(index), scope);
  json.EndArray();
  json.EndObject();
}

void WriteValue(TJsonWriter& json, const TNBOData& nbo, const TJsonScope& scope) {
  json.BeginObject();
  json.Key("Interactions");
  json.BeginArray();
  for (const TDAOrbitalInteraction& interaction : nbo.Interactions) WriteValue(json, interaction, scope);
  json.EndArray();
  json.Key("NPACharges");
  WriteValue(json, nbo.NPACharges, scope);
  json.Key("Threshold");
  WriteValue(json, nbo.Threshold, scope);
  json.EndObject();
}

void WriteValue(TJsonWriter& json, const TAtomicArray& atoms, const TJsonScope& scope) {
  json.BeginArray();
  for (int number = 1; number <= atoms.Count(); ++number) WriteValue(json, atoms.AtomAt(number), scope);
  json.EndArray();
}

template <typename TRecord, typename TFields>
void WriteObject(TJsonWriter& json, const TRecord& record, const TFields& fields, const TJsonScope& scope) {
  json.BeginObject();
  std::apply(
      [&](const auto&... field) {
        ((json.Key(field.Name),
          IsKnown(field.Known, record) ? WriteValue(json, record.*(field.Member), scope) : json.Null()),
         ...);
      },
      fields);
  json.EndObject();
}

void WriteModel(TJsonWriter& json, const std::string& path, const TCoordinateFile_cdf& file,
                const TModelJson* thermo, const TModelJson* findings = nullptr) {
  const TJsonScope scope{file.AtomCount()};
  json.BeginObject();
  json.Key("Path");
  json.Value(path);
  json.Key("FileName");
  json.Value(file.FileName);
  json.Key("FileKind");
  json.Value(CodeName(FileKindNames, file.FileKind));
  // Whether its values can be trusted, and why not: no reason for an ok file.
  const TStatusReason status = ReportedStatusOf(file, path);
  json.Key("Status");
  json.Value(std::string(StatusName(status.Status)));
  json.Key("Reason");
  if (status.Status == TFileStatus::Ok) {
    json.Null();
  } else {
    json.Value(status.Reason);
  }
  // Which program wrote an output, and its version as the program printed it.
  const bool output = file.Info.Program != opNone;
  json.Key("Program");
  if (output) {
    json.Value(CodeName(ProgramNames, file.Info.Program));
  } else {
    json.Null();
  }
  json.Key("ProgramVersion");
  if (output && !file.Info.ProgramVersion.empty()) {
    json.Value(file.Info.ProgramVersion);
  } else {
    json.Null();
  }
  json.Key("Tag");
  json.Value(file.Tag);
  json.Key("Atoms");
  WriteValue(json, file.Atoms, scope);
  json.Key("Info");
  WriteObject(json, file.Info, OutInfoFields, scope);
  json.Key("Conformer");
  WriteObject(json, file, ConformerFields, scope);
  if (thermo) {
    json.Key("Thermo");
    json.Value(*thermo);
  }
  if (findings) {
    json.Key("Findings");
    json.Value(*findings);
  }
  json.EndObject();
}

}  // namespace

TModelJson ModelToJson(const std::string& path, const TCoordinateFile_cdf& file) {
  std::stringstream text;
  TJsonWriter json(text);
  WriteModel(json, path, file, nullptr);
  return TModelJson::parse(text);
}

void WriteJsonLine(std::ostream& out, const TModelJson& object) {
  out << object.dump(-1, ' ', false, TModelJson::error_handler_t::replace) << '\n';
}

void WriteModelJson(std::ostream& out, const std::string& path, const TCoordinateFile_cdf& file, TModelJson thermo,
                    TModelJson findings) {
  TJsonWriter json(out);
  WriteModel(json, path, file, thermo.is_null() ? nullptr : &thermo, findings.is_null() ? nullptr : &findings);
  out << '\n';
}

}  // namespace harvex
