#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "chembase/chembase.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

TEST(ElementBySymbol, ComparesWholeSymbolsWithoutRegardToCase) {
  struct Case {
    const char* Symbol;
    int Position;
  } cases[] = {{"C", 6}, {"cl", 17}, {"CL", 17}, {"Cl", 17}, {"uub", 112}, {"Uuh", 116},
               {"Xx", 0}, {"D", 0}, {"", 0}, {"Cx", 0}};
  for (const Case& c : cases) EXPECT_EQ(ElementBySymbol(c.Symbol), c.Position) << c.Symbol;
}

TEST(ElementByNumber, FindsOnlyTabulatedAtomicNumbers) {
  EXPECT_EQ(ElementByNumber(1), 1);
  EXPECT_EQ(ElementByNumber(116), 116);
  EXPECT_EQ(AtomProps[116].Symbol, "Uuh");
  for (int missing : {0, -1, -2, 117, 1000}) EXPECT_EQ(ElementByNumber(missing), 0) << missing;
}

TEST(AtomProps, HoldsTheTellingRows) {
  struct Row {
    int Position;
    const char* Symbol;
    double Mass;
    double Radius;
  } rows[] = {{1, "H", 1.00794, 0.31},      {6, "C", 12.0107, 0.73},     {7, "N", 14.0067, 0.71},
              {8, "O", 15.9994, 0.66},      {11, "Na", 22.989769, 1.66}, {17, "Cl", 35.453, 1.02},
              {26, "Fe", 55.845, 1.45},     {43, "Tc", -1, 1.47},        {92, "U", 238.02891, 1.96},
              {96, "Cm", -1, 1.69},         {97, "Bk", -1, 0},           {112, "Uub", -1, 0}};
  for (const Row& row : rows) {
    const TAtomProp& prop = AtomProps[row.Position];
    EXPECT_EQ(prop.Symbol, row.Symbol);
    EXPECT_EQ(prop.Mass, row.Mass) << row.Symbol;
    EXPECT_EQ(prop.CovRadius, row.Radius) << row.Symbol;
  }
  for (int i = 1; i <= ElementCount; ++i) {
    EXPECT_EQ(AtomProps[i].Number, i);
    EXPECT_EQ(AtomProps[i].AtomicNumber, i);
  }
}

TEST(AtomProps, MarksElementsWithoutWeightOrRadius) {
  for (int i = 1; i <= ElementCount; ++i) {
    const bool noWeight = i == 43 || i == 61 || (i >= 84 && i <= 89) || i >= 93;
    EXPECT_EQ(AtomProps[i].Mass == -1, noWeight) << i;
    EXPECT_EQ(AtomProps[i].CovRadius == 0, i >= 97) << i;
  }
}

TSimpleAtomList ThreeAtoms() {
  TSimpleAtomList list;
  for (const char* symbol : {"O", "H", "H"}) {
    TAtom& atom = list.Atoms.AddAtom();
    atom.Symbol = symbol;
    atom.Element = ElementBySymbol(symbol);
  }
  list.Tag = 7;
  return list;
}

TEST(TSimpleAtomList, AssignMakesAnIndependentDeepCopy) {
  TSimpleAtomList source = ThreeAtoms();
  TSimpleAtomList copy;
  copy.Assign(source);
  ASSERT_EQ(copy.AtomCount(), 3);
  EXPECT_EQ(copy.Tag, 7);
  copy.Atoms.AtomAt(2).Symbol = "D";
  copy.Atoms.AtomAt(2).X = 5;
  EXPECT_EQ(source.Atoms.AtomAt(2).Symbol, "H");
  EXPECT_EQ(source.Atoms.AtomAt(2).X, 0);
  EXPECT_EQ(source.AtomCount(), 3);

  copy.Assign(TSimpleAtomList());
  EXPECT_EQ(copy.AtomCount(), 0);
  EXPECT_EQ(copy.Tag, 0);
}

TEST(TAtomicArray, AtomAtRaisesTheListIndexErrorWithTheZeroBasedIndex) {
  TSimpleAtomList list = ThreeAtoms();
  EXPECT_EQ(list.Atoms.AtomAt(1).Symbol, "O");
  for (int bad : {0, 4, -3}) {
    try {
      list.Atoms.AtomAt(bad);
      FAIL() << bad;
    } catch (const EListError& error) {
      EXPECT_EQ(error.what(), "List index out of bounds (" + std::to_string(bad - 1) + ")");
    }
  }
}

TEST(TAtomicArray, NewAtomsAreZeroAndReferencesSurviveGrowth) {
  TAtomicArray atoms;
  TAtom& first = atoms.AddAtom();
  EXPECT_EQ(first.Element, 0);
  EXPECT_TRUE(first.Symbol.empty());
  first.Symbol = "C";
  for (int i = 0; i < 1000; ++i) atoms.AddAtom();
  EXPECT_EQ(first.Symbol, "C");
  atoms.ClearAtoms();
  EXPECT_EQ(atoms.Count(), 0);
}

TEST(IsLinearGeometry, AllowsAThousandthOfAnAngstromOffTheLine) {
  struct Case {
    const char* Name;
    std::vector<std::array<double, 3>> Positions;
    bool Linear;
  } cases[] = {
      {"no atoms", {}, false},
      {"one atom", {{1, 2, 3}}, true},
      {"two atoms", {{0, 0, 0}, {0.3, -1, 2}}, true},
      {"coincident atoms", {{1, 1, 1}, {1, 1, 1}, {1, 1, 1.0005}}, true},
      {"CO2, first atom in the middle", {{0, 0, 0}, {0, 0, 1.16}, {0, 0, -1.16}}, true},
      {"HCCH along a slant", {{0, 0, 0}, {0.6, 0.6, 0.6}, {1.3, 1.3, 1.3}, {1.9, 1.9, 1.9}}, true},
      {"0.0009 off the line", {{0, 0, 0}, {0, 0.0009, 1}, {0, 0, 2}}, true},
      {"0.0011 off the line", {{0, 0, 0}, {0, 0.0011, 1}, {0, 0, 2}}, false},
      {"water", {{0, 0, 0.119}, {0, 0.763, -0.477}, {0, -0.763, -0.477}}, false},
  };
  for (const Case& c : cases) {
    TAtomicArray atoms;
    for (const auto& [x, y, z] : c.Positions) {
      TAtom& atom = atoms.AddAtom();
      atom.X = x;
      atom.Y = y;
      atom.Z = z;
    }
    EXPECT_EQ(IsLinearGeometry(atoms), c.Linear) << c.Name;
  }
}

}  // namespace
}  // namespace harvex
