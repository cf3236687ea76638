// The core as the Python extension harvex._harvex: loads files on the
// core's own loaders with the interpreter's lock released, and hands out
// what each load gave. The package's Python part (harvex/__init__.py) turns
// the records into its API and its exceptions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "FileStatus/FileStatus.h"
#include "FolderWalk/PathCollection.h"
#include "ModelJson/ModelJson.h"
#include "ParallelLoad/BatchLoader.h"
#include "Ensemble/Ensemble.h"
#include "ReportedValues/ReportedValues.h"
#include "StudyChecks/StudyChecks.h"
#include "StudyTable/StudyTable.h"
#include "Thermochemistry/ThermoTable.h"
#include "Unit1/Unit1.h"
#include "rtl/RuntimeErrors.h"
#include "str_pars/OptionNumbers.h"

namespace py = pybind11;

namespace harvex {
namespace {

constexpr const char* FileKindWords[] = {nullptr, "xyz", "gjf", "output", "cdf"};
constexpr const char* ProgramWords[] = {nullptr, "Gaussian", "ORCA"};

// What one load gave: the file, or the message of what ended its load, and
// the messages it raised on the way, in order.
class TLoadedOutput {
 public:
  TLoadedOutput(std::string path, TLoadedFile loaded) : Path(std::move(path)) {
    for (const TQueuedMessage& message : loaded.Messages->Messages) Boxes.push_back(message.Text);
    Warnings = Boxes;
    if (loaded.Error) {
      try {
        std::rethrow_exception(loaded.Error);
      } catch (...) {
        Failure = CurrentExceptionMessage();
      }
      return;
    }
    // The model no longer needs what it was loaded from: a memory file's
    // bytes go with the context.
    loaded.File->Context = {};
    File = std::move(loaded.File);
    for (const std::string& warning : File->Info.ReadWarnings) Warnings.push_back(warning);
  }
  // What ended a choice before any file was loaded (a list, a folder).
  TLoadedOutput(std::string path, std::string failure) : Path(std::move(path)), Failure(std::move(failure)) {}

  const std::string& GetPath() const { return Path; }
  const std::vector<std::string>& GetWarnings() const { return Warnings; }

  std::optional<std::string> Kind() const {
    if (!File) return std::nullopt;
    if (File->IsCdf) return "cdf";
    const char* word = File->FileKind < std::size(FileKindWords) ? FileKindWords[File->FileKind] : nullptr;
    return word ? std::optional<std::string>(word) : std::nullopt;
  }
  std::optional<std::string> Program() const {
    if (!File || File->Info.Program == opNone) return std::nullopt;
    return ProgramWords[File->Info.Program];
  }
  std::optional<std::string> ProgramVersion() const {
    if (!File || File->Info.Program == opNone || File->Info.ProgramVersion.empty()) return std::nullopt;
    return File->Info.ProgramVersion;
  }
  TStatusReason Status() const {
    if (!File) return {TFileStatus::Unreadable, Failure};
    return ReportedStatusOf(*File, Path);
  }
  std::string StatusWord() const { return std::string(StatusName(Status().Status)); }
  std::optional<std::string> Reason() const {
    const TStatusReason status = Status();
    if (status.Status == TFileStatus::Ok) return std::nullopt;
    return status.Reason;
  }

  std::optional<double> Energy() const {
    if (!File) return std::nullopt;
    if (File->IsCdf) {
      if (File->EnergySource == esNone) return std::nullopt;
      return static_cast<double>(File->ETotal);
    }
    if (File->FileKind != fkOutput || !EnergyKnown(File->Info)) return std::nullopt;
    return File->Info.Energy;
  }
  std::optional<std::string> EnergyLabel() const {
    if (!File || File->IsCdf || !LabelKnown(File->Info)) return std::nullopt;
    return File->Info.EnergyLabel;
  }
  std::optional<double> Gibbs() const {
    if (!File) return std::nullopt;
    const std::optional<TReportedValues> values = ReportedValuesOf(*File);
    if (!values || !values->G) return std::nullopt;
    return static_cast<double>(*values->G);
  }
  std::optional<double> Zpe() const {
    if (!File) return std::nullopt;
    if (File->IsCdf) {
      if (!File->HasThermochemistry) return std::nullopt;
      return static_cast<double>(File->EZpeTotal);
    }
    if (!ZPEKnown(File->Info)) return std::nullopt;
    return File->Info.ZPECorrection;
  }

  std::optional<py::array_t<double>> Frequencies() const {
    const int count = ModeCount();
    if (count == 0) return std::nullopt;
    py::array_t<double> values(count);
    auto out = values.mutable_unchecked<1>();
    for (int index = 0; index < count; ++index)
      out(index) = static_cast<double>(File->Info.Modes->ModeAt(index).Frequency);
    return values;
  }
  // None when no mode printed one; NaN for a mode that did not.
  std::optional<py::array_t<double>> IRIntensities() const {
    const int count = ModeCount();
    if (count == 0) return std::nullopt;
    py::array_t<double> values(count);
    auto out = values.mutable_unchecked<1>();
    bool any = false;
    for (int index = 0; index < count; ++index) {
      const std::optional<double> intensity = ModeIRIntensity(File->Info.Modes->ModeAt(index));
      any |= intensity.has_value();
      out(index) = intensity.value_or(std::numeric_limits<double>::quiet_NaN());
    }
    if (!any) return std::nullopt;
    return values;
  }
  std::optional<double> FirstFrequency() const {
    if (ModeCount() == 0) return std::nullopt;
    return static_cast<double>(File->Info.Modes->ModeAt(0).Frequency);
  }

  std::optional<std::vector<std::string>> Symbols() const {
    if (AtomCount() == 0) return std::nullopt;
    std::vector<std::string> symbols;
    for (int number = 1; number <= AtomCount(); ++number) symbols.push_back(File->Atoms.AtomAt(number).Symbol);
    return symbols;
  }
  std::optional<py::array_t<std::int32_t>> Numbers() const {
    if (AtomCount() == 0) return std::nullopt;
    py::array_t<std::int32_t> numbers(AtomCount());
    auto out = numbers.mutable_unchecked<1>();
    for (int number = 1; number <= AtomCount(); ++number) out(number - 1) = File->Atoms.AtomAt(number).Element;
    return numbers;
  }
  std::optional<py::array_t<double>> Coordinates() const {
    if (AtomCount() == 0) return std::nullopt;
    py::array_t<double> coordinates({AtomCount(), 3});
    auto out = coordinates.mutable_unchecked<2>();
    for (int number = 1; number <= AtomCount(); ++number) {
      const TAtom& atom = File->Atoms.AtomAt(number);
      out(number - 1, 0) = atom.X;
      out(number - 1, 1) = atom.Y;
      out(number - 1, 2) = atom.Z;
    }
    return coordinates;
  }
  // The BSSE correction and the stabilisation energy, kcal/mol.
  std::optional<std::pair<double, double>> Counterpoise() const {
    if (!File || File->IsCdf || !File->Info.HasCounterpoise) return std::nullopt;
    return std::pair{static_cast<double>(File->Info.BsseCorrection()),
                     static_cast<double>(File->Info.StabilizationEnergy())};
  }

  // The level of theory, charge, multiplicity and <S**2> as the file's JSON
  // carries them; none where the file gave none.
  std::optional<std::string> Method() const { return StudyValue(&TOutInfo::Method, MethodKnown); }
  std::optional<std::string> Basis() const { return StudyValue(&TOutInfo::Basis, BasisKnown); }
  std::optional<std::string> Solvation() const { return StudyValue(&TOutInfo::Solvation, SolvationKnown); }
  std::optional<std::string> Dispersion() const { return StudyValue(&TOutInfo::Dispersion, DispersionKnown); }
  std::optional<std::int32_t> Charge() const { return StudyValue(&TOutInfo::Charge); }
  std::optional<std::int32_t> Multiplicity() const { return StudyValue(&TOutInfo::Multiplicity, MultiplicityKnown); }
  std::optional<double> S2() const { return StudyValue(&TOutInfo::S2); }

  // What the checks take of the file; none for a file that did not load.
  std::optional<TStudyFacts> Facts() const {
    if (!File) return std::nullopt;
    return StudyFactsOf(Path, *File);
  }
  std::vector<TFinding> Findings() const {
    const std::optional<TStudyFacts> facts = Facts();
    return facts ? FileFindings(*facts) : std::vector<TFinding>{};
  }

  // The file's row of the study table; qh-G recomputed at Conditions.
  TStudyRow StudyRow(const std::optional<TThermoConditions>& conditions) const {
    if (!File) {
      TStudyRow row;
      row.Path = Path;
      row.Status = {TFileStatus::Unreadable, Failure};
      row.Warnings = {Failure};
      return row;
    }
    TStudyRow row = StudyRowOf(*Facts(), *File, Boxes);
    if (conditions) SetRecomputedFreeEnergy(row, *File, RankingEnergyOf(*File, *conditions));
    return row;
  }
  // The file as a member of an ensemble ranked by the free energy
  // recomputed at Conditions; none for a file that did not load.
  std::optional<TEnsembleMember> EnsembleMemberAt(const TThermoConditions& conditions) const {
    if (!File) return std::nullopt;
    TEnsembleMember member = EnsembleMember(Path, *File);
    member.G = RankingEnergyOf(*File, conditions);
    return member;
  }

  // The file's object as harvex-batch --json prints it, one line.
  std::string Json() const {
    std::ostringstream out;
    WriteModelJson(out, Path, RequireFile());
    return out.str();
  }

  // The recomputed thermochemistry at Conditions as --thermo --json gives it
  // for the file: one object at the conditions' temperature.
  std::string ThermoJson(const TThermoConditions& conditions) const {
    TThermoTable table(conditions, {conditions.Temperature}, conditions.Temperature, true,
                       [](const std::string&, const std::string&) {});
    const TThermoRows rows = table.Add(Path, RequireFile());
    return rows.Json.at(0).dump(-1, ' ', false, TModelJson::error_handler_t::replace);
  }

 private:
  // Member is one of TOutInfo's or of a part of it.
  template <typename TPart, typename TValue, typename TKnown>
  std::optional<TValue> StudyValue(TValue TPart::*member, TKnown known) const {
    if (!File || !known(File->Info)) return std::nullopt;
    return File->Info.*member;
  }
  template <typename TPart, typename TValue>
  std::optional<TValue> StudyValue(std::optional<TValue> TPart::*member) const {
    return File ? File->Info.*member : std::nullopt;
  }

  const TCoordinateFile_cdf& RequireFile() const {
    if (!File) throw std::runtime_error(Path + ": " + Failure);
    return *File;
  }
  int ModeCount() const { return File && File->Info.Modes ? File->Info.Modes->Count() : 0; }
  int AtomCount() const { return File ? File->AtomCount() : 0; }

  std::string Path;
  std::unique_ptr<const TCoordinateFile_cdf> File;
  std::string Failure;
  std::vector<std::string> Boxes;  // the messages the load raised
  std::vector<std::string> Warnings;
};

// Loads one path as a report of it alone would: relative names inside it
// resolve against its folder.
TLoadedOutput LoadPath(const std::string& path) {
  const std::string full = AbsolutePath(path);
  const std::vector<TLoadItem> items{{full, ChoiceFolder(full)}};
  TBatchLoader loader(items, 1);
  return TLoadedOutput(full, loader.Take(0));
}

// Loads Bytes as the file Name: a name ending in .gz or .zip is unpacked.
TLoadedOutput LoadBytes(const std::string& name, std::string bytes) {
  TLoadedFile loaded;
  loaded.Messages = std::make_unique<TMessageQueue>();
  try {
    loaded.File = LoadForReport(name, WithMemoryFile(TLoadContext(*loaded.Messages), name, std::move(bytes)));
  } catch (...) {
    loaded.Error = std::current_exception();
  }
  return TLoadedOutput(name, std::move(loaded));
}

// The files of many paths, in order, loaded ahead on Jobs threads: folders
// stand for the outputs below them and lists for the files they name, as in
// harvex-batch. A folder or list that gives no file, or cannot be read, gives
// one record that says why.
class TLoadBatch {
 public:
  // Plans the loads; they start with the first Next.
  TLoadBatch(const std::vector<std::string>& paths, std::size_t jobs) : Jobs(LoadingJobs(jobs)) {
    for (const std::string& path : paths) PlanPath(AbsolutePath(path));
  }

  // What each record will be of, in order: a file, or the folder or list
  // that gave none or could not be read (which, given again, fails again).
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const TEntry& entry : Entries) {
      for (std::size_t item = entry.Item; item < entry.ItemEnd; ++item) paths.push_back(Items[item].Path);
      if (!entry.Failure.empty()) paths.push_back(entry.Path);
    }
    return paths;
  }

  // The next record; none after the last.
  std::optional<TLoadedOutput> Next() {
    std::lock_guard lock(Mutex);
    if (!Loader) Loader = std::make_unique<TBatchLoader>(Items, Jobs);
    while (Entry < Entries.size()) {
      TEntry& entry = Entries[Entry];
      if (entry.Item < entry.ItemEnd) {
        const std::size_t item = entry.Item++;
        return TLoadedOutput(Items[item].Path, Loader->Take(item));
      }
      ++Entry;
      if (!entry.Failure.empty()) return TLoadedOutput(entry.Path, entry.Failure);
    }
    return std::nullopt;
  }

 private:
  // One path given: the load items it stands for, then what ended it.
  struct TEntry {
    std::string Path;
    std::size_t Item = 0;
    std::size_t ItemEnd = 0;
    std::string Failure;
  };

  void PlanPath(const std::string& path) {
    std::string folderFailure;
    const std::vector<std::string> files =
        CollectPaths({path}, [&](const std::string&, const std::string& reason) { folderFailure = reason; });
    for (const TBatchChoice& choice : PlanChoices(files, std::nullopt, Items)) {
      std::string failure;
      if (choice.ListError) {
        try {
          std::rethrow_exception(choice.ListError);
        } catch (...) {
          failure = CurrentExceptionMessage();
        }
      } else if (choice.ItemCount == 0) {
        failure = "the list names no file";
      }
      Entries.push_back({choice.Path, choice.FirstItem, choice.FirstItem + choice.ItemCount, failure});
    }
    if (!folderFailure.empty()) Entries.push_back({path, Items.size(), Items.size(), folderFailure});
  }

  std::size_t Jobs;
  std::vector<TLoadItem> Items;
  std::vector<TEntry> Entries;
  std::unique_ptr<TBatchLoader> Loader;
  std::size_t Entry = 0;
  std::mutex Mutex;
};

double CheckedCondition(const char* name, double value, TOptionRange range, const char* what) {
  if (!range.Holds(value))
    throw py::value_error(std::string(name) + " needs " + what + ", not " +
                          py::str(py::float_(value)).cast<std::string>());
  return value;
}

TThermoConditions ThermoConditions(double temperature, std::optional<double> pressure,
                                   std::optional<double> concentration, const std::string& qs, bool qh,
                                   double cutoff, double scale, const std::string& imaginary) {
  TThermoConditions conditions;
  conditions.Temperature = CheckedCondition("temperature", temperature, KelvinRange, "a temperature from 1 to 10000 K");
  if (pressure && concentration) throw py::value_error("give a pressure or a concentration, not both");
  if (pressure)
    conditions.Pressure =
        CheckedCondition("pressure", *pressure, StandardStateRange, "a pressure from 1e-9 to 1e9 atm");
  if (concentration)
    conditions.Concentration =
        CheckedCondition("concentration", *concentration, StandardStateRange, "a concentration from 1e-9 to 1e9 mol/L");
  const std::optional<TEntropyModel> entropy = EntropyModelNamed(qs);
  if (!entropy) throw py::value_error("qs needs grimme, truhlar or none, not " + qs);
  conditions.Entropy = *entropy;
  conditions.HeadGordon = qh;
  conditions.EntropyCutoff = CheckedCondition("cutoff", cutoff, CutoffRange, "a frequency from 0 to 10000 cm-1");
  conditions.EnthalpyCutoff = conditions.EntropyCutoff;
  conditions.Scale = CheckedCondition("scale", scale, ScaleRange, "a factor from 0.1 to 10");
  if (!SetImaginaryModes(imaginary, conditions))
    throw py::value_error("imaginary needs drop, invert or invert:CM with CM below 0, not " + imaginary);
  return conditions;
}

// A table as Python takes it apart: notes, columns (name, whether numbers)
// and rows of cells, in the form for other programs.
py::tuple TablePieces(const TTextTable& table) {
  std::vector<std::pair<std::string, bool>> columns;
  for (const TTableColumn& column : table.Columns) columns.emplace_back(column.Name, column.Number);
  return py::make_tuple(table.Notes, columns, table.Rows);
}

// The study table of Outputs, and with Ensemble the tables of the
// ensembles they form, as harvex-batch --table and --ensemble write them:
// with thermochemistry conditions the qh-G column, and the ensembles ranked
// by the free energy at them (at the default ones without).
py::dict StudyTables(const std::vector<const TLoadedOutput*>& outputs, const std::optional<TThermoConditions>& thermo,
                     bool ensemble) {
  std::vector<TStudyRow> rows;
  for (const TLoadedOutput* output : outputs) rows.push_back(output->StudyRow(thermo));
  py::dict tables;
  tables["study"] = TablePieces(StudyTable(rows, thermo, TTableForm::Tabs));
  if (!ensemble) return tables;
  const TThermoConditions conditions = thermo.value_or(TThermoConditions{});
  std::vector<TEnsembleMember> members;
  for (const TLoadedOutput* output : outputs)
    if (std::optional<TEnsembleMember> member = output->EnsembleMemberAt(conditions)) members.push_back(*member);
  py::list ensembles;
  for (TEnsemble& computed : ComputeEnsembles(std::move(members), conditions.Temperature)) {
    computed.FreeEnergyName = RankingEnergyName(conditions);
    ensembles.append(py::make_tuple(computed.Formula, TablePieces(EnsembleTable(computed))));
  }
  tables["ensembles"] = ensembles;
  return tables;
}

// A finding as Python takes it: code, severity, file (none across files),
// text.
py::tuple FindingPieces(const TFinding& finding) {
  return py::make_tuple(finding.Code, std::string(SeverityName(finding.Severity)),
                        finding.File.empty() ? py::object(py::none()) : py::object(py::str(finding.File)),
                        finding.Text);
}

// The findings of one file, in order.
py::list FileFindingPieces(const TLoadedOutput& output) {
  py::list findings;
  for (const TFinding& finding : output.Findings()) findings.append(FindingPieces(finding));
  return findings;
}

// The findings of Outputs as harvex-batch --check lists them: each file's
// own, in order, then those across the files (and with PerMolecule within
// each molecule, as with --ensemble).
py::list CheckFindings(const std::vector<const TLoadedOutput*>& outputs, bool perMolecule) {
  py::list findings;
  std::vector<TStudyFacts> files;
  for (const TLoadedOutput* output : outputs) {
    std::optional<TStudyFacts> facts = output->Facts();
    if (!facts) continue;
    for (const TFinding& finding : FileFindings(*facts)) findings.append(FindingPieces(finding));
    files.push_back(std::move(*facts));
  }
  for (const TFinding& finding : StudyFindings(files, perMolecule)) findings.append(FindingPieces(finding));
  return findings;
}

}  // namespace
}  // namespace harvex

PYBIND11_MODULE(_harvex, module) {
  using namespace harvex;
  module.doc() = "The Harvex core: loads Gaussian and ORCA outputs, conformer descriptions and geometry files.";

  py::class_<TLoadedOutput>(module, "Loaded")
      .def_property_readonly("path", &TLoadedOutput::GetPath)
      .def_property_readonly("kind", &TLoadedOutput::Kind)
      .def_property_readonly("program", &TLoadedOutput::Program)
      .def_property_readonly("program_version", &TLoadedOutput::ProgramVersion)
      .def_property_readonly("status", &TLoadedOutput::StatusWord)
      .def_property_readonly("reason", &TLoadedOutput::Reason)
      .def_property_readonly("energy", &TLoadedOutput::Energy)
      .def_property_readonly("energy_label", &TLoadedOutput::EnergyLabel)
      .def_property_readonly("gibbs", &TLoadedOutput::Gibbs)
      .def_property_readonly("zpe", &TLoadedOutput::Zpe)
      .def_property_readonly("frequencies", &TLoadedOutput::Frequencies)
      .def_property_readonly("ir_intensities", &TLoadedOutput::IRIntensities)
      .def_property_readonly("first_frequency", &TLoadedOutput::FirstFrequency)
      .def_property_readonly("symbols", &TLoadedOutput::Symbols)
      .def_property_readonly("numbers", &TLoadedOutput::Numbers)
      .def_property_readonly("coordinates", &TLoadedOutput::Coordinates)
      .def_property_readonly("counterpoise", &TLoadedOutput::Counterpoise)
      .def_property_readonly("warnings", &TLoadedOutput::GetWarnings)
      .def_property_readonly("method", &TLoadedOutput::Method)
      .def_property_readonly("basis", &TLoadedOutput::Basis)
      .def_property_readonly("solvation", &TLoadedOutput::Solvation)
      .def_property_readonly("dispersion", &TLoadedOutput::Dispersion)
      .def_property_readonly("charge", &TLoadedOutput::Charge)
      .def_property_readonly("multiplicity", &TLoadedOutput::Multiplicity)
      .def_property_readonly("s2", &TLoadedOutput::S2)
      .def_property_readonly("findings", &FileFindingPieces)
      .def("json", &TLoadedOutput::Json)
      .def("thermo_json", &TLoadedOutput::ThermoJson, py::arg("conditions"));

  py::class_<TThermoConditions>(module, "ThermoConditions")
      .def(py::init(&ThermoConditions), py::arg("temperature"), py::arg("pressure"), py::arg("concentration"),
           py::arg("qs"), py::arg("qh"), py::arg("cutoff"), py::arg("scale"), py::arg("imaginary"));
  module.def("study_tables", &StudyTables, py::arg("outputs"), py::arg("thermo"), py::arg("ensemble"));
  module.def("check_findings", &CheckFindings, py::arg("outputs"), py::arg("per_molecule"));

  module.def("load_path", &LoadPath, py::arg("path"), py::call_guard<py::gil_scoped_release>(),
             "Loads one path as harvex-batch reports it.");
  module.def(
      "load_bytes",
      [](const std::string& name, const py::bytes& bytes) {
        std::string data = bytes;
        py::gil_scoped_release release;
        return LoadBytes(name, std::move(data));
      },
      py::arg("name"), py::arg("data"), "Loads bytes as the file Name would load.");

  py::class_<TLoadBatch>(module, "LoadBatch")
      .def(py::init<const std::vector<std::string>&, std::size_t>(), py::arg("paths"), py::arg("jobs"),
           py::call_guard<py::gil_scoped_release>())
      .def("paths", &TLoadBatch::Paths)
      .def("__iter__", [](TLoadBatch& batch) -> TLoadBatch& { return batch; })
      .def("__next__", [](TLoadBatch& batch) {
        std::optional<TLoadedOutput> next;
        {
          py::gil_scoped_release release;
          next = batch.Next();
        }
        if (!next) throw py::stop_iteration();
        return std::move(*next);
      });
  module.attr("MAX_JOBS") = MaxJobs;
}
