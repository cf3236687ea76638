// Geometry readers: atom lines of an element symbol and x, y, z in angstrom,
// as XYZ files, Gaussian input files and ORCA's geometry blocks hold them.
#include <optional>

#include "CoordFiles/CoordFiles.h"
#include "CoordFiles/LineSource.h"
#include "str_pars/str_pars.h"

namespace harvex {

// One atom line, read by symbol:
//   O      1.784914    1.262422    0.511985
//   cl  0,5  1.0D-01  -2.25
// Fields are separated by spaces or tabs only; whatever follows z is ignored.
// A number that does not convert ends the reading with the atom appended and
// partly filled.
void ParseAtomLine(std::string_view line, TAtomicArray& atoms, const TLoadContext& context) {
  TAtom& atom = atoms.AddAtom();
  int cursor = 1;
  SkipBlanks(line, cursor);
  std::string symbol = ReadWord(line, cursor);
  SkipBlanks(line, cursor);
  atom.X = ReadDouble(line, cursor);
  SkipBlanks(line, cursor);
  atom.Y = ReadDouble(line, cursor);
  SkipBlanks(line, cursor);
  atom.Z = ReadDouble(line, cursor);
  atom.Element = ElementBySymbol(symbol);
  atom.Symbol = std::move(symbol);
  if (atom.Element == 0) context.ShowMessage(CoordinateFileCaption, "UNKNOWN ATOM: \"" + atom.Symbol + "\"");
}

void TCoordinateFile::ParseAtomLine(std::string_view line) { harvex::ParseAtomLine(line, Atoms, Context); }

namespace {

// A line of digits alone, blanks around them allowed: the atom count that
// opens an XYZ file in its usual layout. None for any other line.
std::optional<int> AtomCountOf(std::string_view line) {
  int cursor = 1;
  SkipBlanks(line, cursor);
  const auto start = static_cast<std::size_t>(cursor) - 1;
  std::size_t end = start;
  while (end < line.size() && IsDigit(line[end])) ++end;
  const std::size_t digits = end - start;
  int rest = static_cast<int>(end) + 1;
  SkipBlanks(line, rest);
  if (digits == 0 || digits > 9 || static_cast<std::size_t>(rest) <= line.size()) return std::nullopt;
  return StrToInt(line.substr(start, digits));
}

// The next line that is not empty; false at the end of the input.
bool NextNonEmptyLine(TLineSource& source, std::string& line) {
  while (!source.SourceAtEnd()) {
    source.ReadSourceLine(line);
    if (!line.empty()) return true;
  }
  return false;
}

}  // namespace

// An XYZ file in its usual layout gives the atom count, a comment line (any
// text, empty or the energy ORCA writes there), then the atom lines; a file
// of several frames gives its first:
//   3
//   -76.4259 water
//   O   0.000000   0.000000   0.117300
// A file whose first line is no lone count holds atom lines only. Empty lines
// are passed over. A count that the atom lines do not match is named in a box.
void ReadXyzFile(TLineSource& source, const std::string& fileName, TAtomicArray& atoms, const TLoadContext& context) {
  std::string line;
  std::optional<int> count;
  if (NextNonEmptyLine(source, line)) {
    count = AtomCountOf(line);
    if (count) {
      source.ReadSourceLine(line);  // the comment
    } else {
      ParseAtomLine(line, atoms, context);
    }
  }
  while (NextNonEmptyLine(source, line) && !(count && AtomCountOf(line))) ParseAtomLine(line, atoms, context);
  source.CloseSource();
  if (count && *count != atoms.Count())
    context.ShowMessage(CoordinateFileCaption, fileName + ": the atom count line gives " + std::to_string(*count) +
                                                   " atoms, but " + std::to_string(atoms.Count()) +
                                                   " atom lines follow");
}

void TCoordinateFile::ReadXyzFile(const std::string& fileName) {
  TLineSource source(Context);
  source.OpenSource(fileName);  // an unopened file raises at the first end test
  harvex::ReadXyzFile(source, fileName, Atoms, Context);
  FileName = fileName;
  FileKind = fkXyz;
}

namespace {

// Where ReadGjfFile stands in a Gaussian input file.
enum class TGjfSection {
  LinkZero,       // %chk=..., %mem=... lines
  BeforeRoute,    // waiting for the route line ("#p b3lyp/6-31g(d) opt") or an empty line
  Molecule,       // atom lines after the charge and multiplicity line
  AfterMolecule,  // connectivity, basis sets, further job steps: passed over
};

// Reads lines up to and including the next empty one. At the end of a plain
// file every read gives an empty line, so this always stops.
void SkipSection(TLineSource& source, std::string& line) {
  do {
    source.ReadSourceLine(line);
  } while (!line.empty());
}

}  // namespace

// A Gaussian input file:
//   %chk=water.chk              Link 0 lines
//   #p b3lyp/6-31g(d) opt       route section, up to an empty line
//
//   water                       title section, up to an empty line
//
//   0 1                         charge and multiplicity
//   O   0.000000   0.000000   0.117300
//   H   0.000000   0.757200  -0.469200
//                               the molecule ends at an empty line
// Only the atom lines are read.
void ReadGjfFile(TLineSource& source, TAtomicArray& atoms, const TLoadContext& context) {
  atoms.ClearAtoms();
  TGjfSection section = TGjfSection::LinkZero;
  std::string line;
  while (!source.SourceAtEnd()) {
    source.ReadSourceLine(line);
    if (section == TGjfSection::LinkZero && (line.empty() || line.front() != '%'))
      section = TGjfSection::BeforeRoute;
    if (section == TGjfSection::BeforeRoute && (line.empty() || line.front() == '#')) {
      SkipSection(source, line);    // rest of the route
      SkipSection(source, line);    // title
      source.ReadSourceLine(line);  // charge and multiplicity
      section = TGjfSection::Molecule;
      source.ReadSourceLine(line);  // first atom line
    }
    if (section == TGjfSection::Molecule) {
      if (line.empty())
        section = TGjfSection::AfterMolecule;
      else
        ParseAtomLine(line, atoms, context);
    }
  }
  source.CloseSource();
}

void TCoordinateFile::ReadGjfFile(const std::string& fileName) {
  TLineSource source(Context);
  source.OpenSource(fileName);  // an unopened file raises at the first end test
  harvex::ReadGjfFile(source, Atoms, Context);
}

}  // namespace harvex
