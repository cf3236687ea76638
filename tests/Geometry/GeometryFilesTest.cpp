// Atom lines, XYZ files and Gaussian input files.
#include <gtest/gtest.h>

#include <optional>

#include "CoordFiles/CoordFiles.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// Loads the text as the file Name, held in memory, keeping the last geometry.
bool LoadText(TCoordinateFile& file, const std::string& name, std::string_view text) {
  file.Context = WithMemoryFile(file.Context, name, std::string(text));
  return file.LoadFile(name, true);
}

using namespace harvex::testing;

constexpr std::string_view CoordCaption = "TCoordinateFile Error";

struct TAtomLineCase {
  const char* Name;
  const char* Line;
  const char* Symbol;
  int Element;
  double X, Y, Z;
  std::optional<const char*> Box;  // the unknown-atom box, when one is shown
};

class AtomLine : public ::testing::TestWithParam<TAtomLineCase> {};

TEST_P(AtomLine, AppendsOneAtomAsRead) {
  const TAtomLineCase& row = GetParam();
  TRecordingDesktop desktop;
  TCoordinateFile file(desktop);
  file.ParseAtomLine(row.Line);
  ASSERT_EQ(file.AtomCount(), 1);
  const TAtom& atom = file.Atoms.AtomAt(1);
  EXPECT_EQ(atom.Symbol, row.Symbol);
  EXPECT_EQ(atom.Element, row.Element);
  EXPECT_DOUBLE_EQ(atom.X, row.X);
  EXPECT_DOUBLE_EQ(atom.Y, row.Y);
  EXPECT_DOUBLE_EQ(atom.Z, row.Z);
  if (row.Box)
    EXPECT_EQ(desktop.Messages,
              (std::vector<TMessage>{{std::string(CoordCaption), *row.Box}}));
  else
    EXPECT_TRUE(desktop.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AtomLine,
    ::testing::Values(TAtomLineCase{"Plain", "O 0 0 0", "O", 8, 0, 0, 0, {}},
                      TAtomLineCase{"TabsCommaAndFortranExponent",
                                    " \tcl\t0,5 1.0D-01  -2.25",
                                    "cl",
                                    17,
                                    0.5,
                                    0.1,
                                    -2.25,
                                    {}},
                      TAtomLineCase{
                          "TrailingFieldsIgnored", "H 1 2 3 0 extra", "H", 1, 1, 2, 3, {}},
                      TAtomLineCase{"LabelDigitReadAsX", "C1 0.0 0.0 0.0", "C", 6, 1, 0, 0, {}},
                      TAtomLineCase{"UnknownSymbolKeptWithElementZero", "Xx 1 2 3", "Xx", 0, 1, 2,
                                    3, "UNKNOWN ATOM: \"Xx\""},
                      TAtomLineCase{"AtomicNumberGivesEmptySymbol", "6 0.0 0.0 1.0", "", 0, 6, 0, 0,
                                    "UNKNOWN ATOM: \"\""}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TBadAtomLineCase {
  const char* Name;
  const char* Line;
  double X;  // what the partly filled atom holds
};

class BadAtomLine : public ::testing::TestWithParam<TBadAtomLineCase> {};

TEST_P(BadAtomLine, RaisesConversionErrorAndKeepsThePartlyFilledAtom) {
  const TBadAtomLineCase& row = GetParam();
  TRecordingDesktop desktop;
  TCoordinateFile file(desktop);
  try {
    file.ParseAtomLine(row.Line);
    FAIL() << "no conversion error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid floating point value");
  }
  ASSERT_EQ(file.AtomCount(), 1);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(1).X, row.X);
  EXPECT_TRUE(desktop.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadAtomLine,
    ::testing::Values(TBadAtomLineCase{"XyzAtomCountLine", "3", 3},
                      TBadAtomLineCase{"XyzCommentLine", "water molecule", 0},
                      TBadAtomLineCase{"ParenthesisedQualifier", "C(Fragment=1) 0.0 0.0 0.0", 0},
                      TBadAtomLineCase{"ZMatrixLine", "C 1 B1", 1},
                      TBadAtomLineCase{"SymbolOnly", "C", 0}, TBadAtomLineCase{"Empty", "", 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(XyzFile, ReadsAtomLinesAndSetsNameAndKind) {
  const std::string path = "water.xyz";
  TCoordinateFile file;
  ASSERT_TRUE(LoadText(file, path, "O 0 0 0\nH 0.757 0.586 0\r\n\nH -0.757 0.586 0\n\n"));
  ASSERT_EQ(file.AtomCount(), 3);
  EXPECT_EQ(file.Atoms.AtomAt(1).Element, 8);
  EXPECT_EQ(file.Atoms.AtomAt(2).Element, 1);
  EXPECT_EQ(file.Atoms.AtomAt(3).Element, 1);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(3).X, -0.757);
  EXPECT_EQ(file.FileKind, fkXyz);
  EXPECT_EQ(file.FileName, path);
}

// The usual layout (count, comment, atom lines) gives the atoms the plain
// one does: the comment may be empty, a number or an atom line itself, and a
// file of several frames gives its first.
TEST(XyzFile, UsualLayoutGivesTheAtomsOfThePlainOne) {
  const std::string atoms = "O 0 0 0\nH 0.757 0.586 0\nH -0.757 0.586 0\n";
  TRecordingDesktop desktop;
  for (const std::string& text : {atoms, "3\nwater\n" + atoms, "  3\n\n" + atoms, "3\n-76.4259\n" + atoms,
                                  "3\nC 1 2 3\n" + atoms + "\n3\nframe 2\n" + atoms}) {
    TCoordinateFile file(desktop);
    ASSERT_TRUE(LoadText(file, "water.xyz", text)) << text;
    ASSERT_EQ(file.AtomCount(), 3) << text;
    EXPECT_EQ(file.Atoms.AtomAt(1).Element, 8) << text;
    EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(3).X, -0.757) << text;
  }
  EXPECT_TRUE(desktop.Messages.empty());
}

TEST(XyzFile, CountTheAtomLinesDoNotMatchIsNamed) {
  for (const auto& [count, atoms] : {std::pair{"4", 3}, std::pair{"2", 3}}) {
    TRecordingDesktop desktop;
    const std::string path = "bad.xyz";
    TCoordinateFile file(desktop);
    ASSERT_TRUE(LoadText(file, path, std::string(count) + "\ncomment\nO 0 0 0\nH 0.757 0.586 0\nH -0.757 0.586 0\n"));
    EXPECT_EQ(file.AtomCount(), atoms);
    EXPECT_EQ(desktop.Messages, (std::vector<TMessage>{{"TCoordinateFile Error",
                                                         path + ": the atom count line gives " + count +
                                                             " atoms, but 3 atom lines follow"}}));
  }
}

TEST(XyzFile, MissingFileRaisesInOutError) {
  TTempDir folder;
  TCoordinateFile file;
  EXPECT_THROW(file.LoadFile(folder.PathOf("absent.xyz"), true), EInOutError);
}

// Two Link 0 lines, a two-line route, a title, the charge line, four atoms
// (one written in lower case) and a connectivity table.
constexpr std::string_view FourAtomInput = R"(%chk=ch3cl.chk
%mem=1GB
#p b3lyp/6-31g(d)
 opt freq geom=connectivity

chloromethane

0 1
 C   0.000000   0.000000   0.000000
 cl  0.000000   0.000000   1.780000
 H   1.027000   0.000000  -0.363000
 H  -0.513000   0.889000  -0.363000

 1 2 1.0 3 1.0 4 1.0
 2
)";

TEST(GjfFile, ReadsTheMoleculeSpecificationOnly) {
  TRecordingDesktop desktop;
  TCoordinateFile file(desktop);
  ASSERT_TRUE(LoadText(file, "ch3cl.GJF", FourAtomInput));
  ASSERT_EQ(file.AtomCount(), 4);
  EXPECT_EQ(file.Atoms.AtomAt(2).Symbol, "cl");
  EXPECT_EQ(file.Atoms.AtomAt(2).Element, 17);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(2).Z, 1.78);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(4).Y, 0.889);
  EXPECT_EQ(file.FileKind, fkGjf);
  EXPECT_EQ(file.FileName, "");
  EXPECT_TRUE(desktop.Messages.empty());
}

TEST(GjfFile, EmptyFirstLineStartsTheRouteHandling) {
  TCoordinateFile file;
  LoadText(file, "a.gjf", "\n#p hf\n\nwater\n\n0 1\nO 0 0 0\nH 0 0 1\n\nB 9 9 9\n");
  ASSERT_EQ(file.AtomCount(), 2);
  EXPECT_EQ(file.Atoms.AtomAt(2).Symbol, "H");
}

TEST(GjfFile, RealCartesianInputsGiveTheirAtoms) {
  TCoordinateFile file;
  file.LoadFile(TestDataPath("geometry/input/pentane_gjf.gjf"), true);
  ASSERT_EQ(file.AtomCount(), 17);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(17).Y, 0.18899740);
  file.LoadFile(TestDataPath("geometry/input/CH2OH2_isomerized.gjf"), true);
  ASSERT_EQ(file.AtomCount(), 7);
  EXPECT_EQ(file.Atoms.AtomAt(6).Element, 8);
  EXPECT_DOUBLE_EQ(file.Atoms.AtomAt(1).X, 0.08033861);
}

// Every cut of the input, at any byte, must end: atoms of complete lines
// are kept, a cut inside a number field may raise the conversion error.
TEST(GjfFile, TruncatedAnywhereEndsWithoutHangOrCrash) {
  for (std::size_t length = 0; length <= FourAtomInput.size(); ++length) {
    SCOPED_TRACE(length);
    TCoordinateFile file;
    try {
      LoadText(file, "cut.gjf", FourAtomInput.substr(0, length));
    } catch (const EConvertError&) {
    }
    EXPECT_LE(file.AtomCount(), 4);
  }
}

}  // namespace
}  // namespace harvex
