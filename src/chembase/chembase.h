// The element table and the atom records and lists every loaded file holds.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "chembase/Units.h"

namespace harvex {

// One element of the table.
struct TAtomProp {
  std::int32_t Number;
  std::string_view Symbol;
  std::int32_t AtomicNumber;
  double Mass;       // g/mol; -1 where no weight is tabulated
  double CovRadius;  // angstrom; 0 where no radius is tabulated
};

constexpr int ElementCount = 116;

// Rows 1 to 116 in order of atomic number; index 0 is unused so that a
// position indexes its row directly.
extern const std::array<TAtomProp, ElementCount + 1> AtomProps;

// Position 1..116 of the element whose symbol equals Symbol without regard
// to ASCII letter case; 0 when none does.
int ElementBySymbol(std::string_view symbol);

// Position 1..116 of the element with this atomic number; 0 when none has it.
int ElementByNumber(int atomicNumber);

// One atom: coordinates in angstrom, the element's position in AtomProps
// (0 when unknown) and the symbol as it was read.
struct TAtom {
  double X = 0;
  double Y = 0;
  double Z = 0;
  std::int32_t Element = 0;
  std::string Symbol;
};

// The atoms of one geometry, numbered from 1. References from AddAtom and
// AtomAt stay valid until ClearAtoms.
class TAtomicArray {
 public:
  TAtom& AddAtom();
  // Raises EListError "List index out of bounds (%d)" with Index - 1 outside 1..Count.
  TAtom& AtomAt(int index);
  const TAtom& AtomAt(int index) const;
  void AssignAtoms(const TAtomicArray& source);
  void ClearAtoms();
  int Count() const { return static_cast<int>(Items.size()); }

 private:
  std::deque<TAtom> Items;
};

// How far an atom may lie off the line through the others for the geometry
// to count as linear.
constexpr double CollinearTolerance = 1e-3;  // angstrom

// Whether the atoms lie on one line: every atom within CollinearTolerance of
// the line from the first atom to the one farthest from it. One or two atoms
// always do; an empty geometry says nothing and counts as bent. The one test
// of a linear molecule (a linear rotor has five rigid motions, not six).
bool IsLinearGeometry(const TAtomicArray& atoms);

// The smallest object that has atoms; base of every loaded file.
class TSimpleAtomList {
 public:
  TAtomicArray Atoms;
  std::int32_t Tag = 0;

  int AtomCount() const { return Atoms.Count(); }
  // A deep copy of the source's atoms and Tag.
  void Assign(const TSimpleAtomList& source);
};

}  // namespace harvex
