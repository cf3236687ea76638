#include "CdfFiles/CdfFiles.h"

#include "CdfFiles/IniFile.h"
#include "InputExtensions/InputExtensions.h"
#include "TextFile/TextFile.h"

namespace harvex {
namespace {

constexpr char InvalidDescription[] = ": Invalid .cdf file!";

}  // namespace

// Only the first section of a description is read; its name is free:
//   [conformer]
//   GeomFileName=opt.out
//   FreqFileName=freq.out
//   MP2FileName=sp.out
// Names are kept as written; a relative one is opened later against the
// folder of the load's context.
void TConfDescrFile::Load(const std::string& fileName) {
  FileName = fileName;
  // A folder, or a file that cannot be opened for reading, is as invalid as
  // a missing one; the INI reader only sees files that open.
  if (TPlainTextFile text; !text.Open(Context.Open(fileName))) {
    Problem = text.OpenFailure().empty() ? "could not be opened" : text.OpenFailure();
    ShowError(fileName + InvalidDescription);
    return;
  }
  const TIniFile ini(fileName, Context);
  const std::vector<std::string> sections = ini.ReadSectionNames();
  if (sections.empty()) {
    Problem = "no section naming the conformer's files";
    ShowError(fileName + InvalidDescription);
    return;
  }
  SectionName = sections.front();
  GeomFileName = ini.ReadString(SectionName, "GeomFileName", "");
  FreqFileName = ini.ReadString(SectionName, "FreqFileName", "");
  MP2FileName = ini.ReadString(SectionName, "MP2FileName", "");
  WfnFileName = ini.ReadString(SectionName, "WfnFileName", "");
  AimFileName = ini.ReadString(SectionName, "AimFileName", "");
  IRIntenFileName = ini.ReadString(SectionName, "IRIntenFileName", "");
}

void TConfDescrFile::ShowError(const std::string& message) {
  Context.ShowMessage("TConformerDescription Error", message);
}

bool TCoordinateFile_cdf::LoadConformer(const std::string& fileName, bool finalGeometry) {
  if (!IsInputKind(UpperExtension(fileName), TInputKind::Conformer)) return LoadFile(fileName, finalGeometry);

  if (AtomCount() > 0) FreeModes();
  Atoms.ClearAtoms();
  Descr = std::make_unique<TConfDescrFile>(Context);
  Descr->Load(fileName);

  if (!Descr->MP2FileName.empty() && !LoadSinglePoint(fileName)) return false;
  if (!Descr->FreqFileName.empty() && !LoadFrequencies(fileName)) return false;
  if (!LoadGeometry(fileName)) return false;

  FileName = fileName;
  FileKind = fkCdf;
  IsCdf = true;
  StoreTotals();
  return true;
}

// The single-point job gives the conformer's electronic energy.
bool TCoordinateFile_cdf::LoadSinglePoint(const std::string& cdfName) {
  const bool loaded = LoadFile(Descr->MP2FileName, true);
  NoteNamedFile(*this, Descr->MP2FileName, loaded, false);
  if (!loaded) {
    ShowError("Cann't load Single Point file: " + cdfName);
    return false;
  }
  ETotal = Info.Energy;
  ETotalLabel = Info.EnergyLabel;
  EnergySource = esSinglePoint;
  return true;
}

// The frequency job gives the thermal corrections. With a single-point
// energy at hand they are added to it; otherwise the frequency job's own
// energy and free energy are taken. A file that printed no vibrational modes
// (a job without frequencies named by mistake, or one cut off before them),
// or no free energy after its last mode table (cut off inside its
// thermochemistry), has no corrections to give: its "G" would be its energy
// plus whatever it left at zero, so the conformer is reported without
// thermochemistry.
bool TCoordinateFile_cdf::LoadFrequencies(const std::string& cdfName) {
  const bool loaded = LoadFile(Descr->FreqFileName, true);
  NoteNamedFile(*this, Descr->FreqFileName, loaded, false);
  if (!loaded) {
    ShowError("Cann't load IR spectra file: " + cdfName);
    return false;
  }
  HasThermochemistry = Info.HasFreeEnergy();
  if (EnergySource != esSinglePoint) {
    EnergySource = esFrequency;
    ETotal = Info.Energy;
    ETotalLabel = Info.EnergyLabel;
  }
  if (!HasThermochemistry) return true;
  if (EnergySource == esSinglePoint) {
    GTotal = ETotal + static_cast<long double>(Info.GibbsCorrection);
    EZpeTotal = ETotal + static_cast<long double>(Info.ZPECorrection);
  } else {
    GTotal = Info.GibbsEnergy;
    EZpeTotal = static_cast<long double>(Info.Energy) + Info.ZPECorrection;
  }
  return true;
}

// The geometry comes from its own file, loaded aside so that it does not
// disturb the values the other jobs left; an output among them may also
// give the energy when no other file did.
bool TCoordinateFile_cdf::LoadGeometry(const std::string& cdfName) {
  TCoordinateFile geometry(Context);
  const bool loaded = geometry.LoadFile(Descr->GeomFileName, true);
  NoteNamedFile(geometry, Descr->GeomFileName, loaded, true);
  if (!loaded) {
    ShowError("Cann't load Geometry file:" + cdfName);
    return false;
  }
  Assign(geometry);
  if (EnergySource == esNone && geometry.FileKind == fkOutput) {
    EnergySource = esGeometry;
    ETotal = geometry.Info.Energy;
    ETotalLabel = geometry.Info.EnergyLabel;
  }
  return true;
}

void TCoordinateFile_cdf::NoteNamedFile(const TCoordinateFile& file, const std::string& name, bool loaded,
                                        bool geometry) {
  TStatusReason status = LoadedFileStatus(file, name);
  if (name.empty()) status = {TFileStatus::Unreadable, "names no geometry file"};
  if (status.Status == TFileStatus::NotAnOutput) {
    status.Status = geometry ? TFileStatus::Ok : TFileStatus::NoEnergy;
    if (geometry) status.Reason.clear();
  }
  // A Gaussian output that loads with no geometry fails the conformer.
  if (status.Status == TFileStatus::Ok && !loaded) status = {TFileStatus::Unreadable, "no geometry read"};
  if (!WorseStatus(status.Status, NamedFilesStatus.Status)) return;
  NamedFilesStatus = {status.Status, name.empty() ? status.Reason : name + ": " + status.Reason};
}

// The totals go into the ordinary fields, so that the conformer reads like
// one output: the energy with the label of the job that gave it and, with
// thermochemistry, the corrections that lead to its G. Without, the
// frequency job's own readings stay.
void TCoordinateFile_cdf::StoreTotals() {
  Info.Energy = static_cast<double>(ETotal);
  Info.EnergyLabel = ETotalLabel;
  if (!HasThermochemistry) return;
  Info.GibbsEnergy = static_cast<double>(GTotal);
  Info.ZPECorrection = static_cast<double>(EZpeTotal - ETotal);
  Info.GibbsCorrection = static_cast<double>(GTotal - ETotal);
}

}  // namespace harvex
