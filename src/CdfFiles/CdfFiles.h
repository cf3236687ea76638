// Conformer descriptions (.cdf) and the loader that combines the outputs
// they name into one conformer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CoordFiles/CoordFiles.h"
#include "FileStatus/FileStatus.h"

namespace harvex {

// The file names a .cdf description gives, from its first section.
class TConfDescrFile {
 public:
  std::string FileName;
  std::string SectionName;
  std::string GeomFileName;
  std::string FreqFileName;
  std::string MP2FileName;
  std::string WfnFileName;
  std::string AimFileName;
  std::string IRIntenFileName;
  // Why the description gave no names: why it could not be opened, or that
  // it has no section; empty once read.
  std::string Problem;
  // What its load reports to and opens relative names against.
  TLoadContext Context;

  explicit TConfDescrFile(TLoadContext context = {}) : Context(std::move(context)) {}
  virtual ~TConfDescrFile() = default;
  // Reads the names from the file's first section; a file without a section
  // (missing, empty, unreadable) shows "<path>: Invalid .cdf file!" and
  // leaves them empty.
  void Load(const std::string& fileName);
  // The class's error box, captioned "TConformerDescription Error".
  virtual void ShowError(const std::string& message);
};

// Which named file supplied ETotal.
enum TEnergySource : std::uint8_t { esSinglePoint = 0, esFrequency = 1, esGeometry = 2, esNone = 3 };

// The object the report creates for every file: a .cdf description combined
// into one conformer, or any other file loaded as it is.
class TCoordinateFile_cdf : public TCoordinateFile {
 public:
  using TCoordinateFile::TCoordinateFile;

  std::unique_ptr<TConfDescrFile> Descr;
  long double ETotal = 0;     // Hartree
  std::string ETotalLabel;    // the method label of the job that gave ETotal
  TEnergySource EnergySource = esNone;
  long double GTotal = 0;     // Hartree
  long double EZpeTotal = 0;  // Hartree
  bool HasThermochemistry = false;
  bool IsCdf = false;
  // The worst status of the files the description named and the load got
  // to, its reason naming that file; ok when every one was.
  TStatusReason NamedFilesStatus;

  // A path ending in ".cdf" (any letter case) is read as a description and
  // the files it names are combined; any other path loads as it is. True
  // when the file, for a description its geometry file, was loaded. The
  // description and the files it names are opened against the context's
  // folder.
  bool LoadConformer(const std::string& fileName, bool finalGeometry);

 private:
  bool LoadSinglePoint(const std::string& cdfName);
  bool LoadFrequencies(const std::string& cdfName);
  bool LoadGeometry(const std::string& cdfName);
  void StoreTotals();
  // Takes the status of a named file just loaded into File, as the role it
  // was named for needs it: a geometry file may be an input or XYZ file, a
  // single-point or frequency job must be an output with an energy.
  void NoteNamedFile(const TCoordinateFile& file, const std::string& name, bool loaded, bool geometry);
};

}  // namespace harvex
