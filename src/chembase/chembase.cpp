#include "chembase/chembase.h"

#include <cmath>

#include "rtl/RuntimeErrors.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

// Masses are standard atomic weights (IUPAC); radii are single-bond covalent
// radii (Cordero et al., Dalton Trans. 2008). Elements without a stable
// isotope carry no weight (-1); above Cm no radius is tabulated (0).
constexpr std::array<TAtomProp, ElementCount + 1> MakeTable() {
  struct Row {
    std::string_view Symbol;
    double Mass;
    double CovRadius;
  };
  constexpr Row rows[ElementCount] = {
      {"H", 1.00794, 0.31},       {"He", 4.002602, 0.28},    {"Li", 6.941, 1.28},
      {"Be", 9.012182, 0.96},     {"B", 10.811, 0.84},       {"C", 12.0107, 0.73},
      {"N", 14.0067, 0.71},       {"O", 15.9994, 0.66},      {"F", 18.9984032, 0.57},
      {"Ne", 20.1797, 0.58},      {"Na", 22.989769, 1.66},   {"Mg", 24.305, 1.41},
      {"Al", 26.9815386, 1.21},   {"Si", 28.0855, 1.11},     {"P", 30.973762, 1.07},
      {"S", 32.065, 1.05},        {"Cl", 35.453, 1.02},      {"Ar", 39.948, 1.06},
      {"K", 39.0983, 2.03},       {"Ca", 40.078, 1.76},      {"Sc", 44.955912, 1.70},
      {"Ti", 47.867, 1.60},       {"V", 50.9415, 1.53},      {"Cr", 51.9961, 1.39},
      {"Mn", 54.938045, 1.39},    {"Fe", 55.845, 1.45},      {"Co", 58.933195, 1.26},
      {"Ni", 58.6934, 1.24},      {"Cu", 63.546, 1.32},      {"Zn", 65.38, 1.22},
      {"Ga", 69.723, 1.22},       {"Ge", 72.64, 1.20},       {"As", 74.9216, 1.19},
      {"Se", 78.96, 1.20},        {"Br", 79.904, 1.20},      {"Kr", 83.798, 1.16},
      {"Rb", 85.4678, 2.20},      {"Sr", 87.62, 1.95},       {"Y", 88.90585, 1.90},
      {"Zr", 91.224, 1.75},       {"Nb", 92.90638, 1.64},    {"Mo", 95.96, 1.54},
      {"Tc", -1, 1.47},           {"Ru", 101.07, 1.46},      {"Rh", 102.9055, 1.42},
      {"Pd", 106.42, 1.39},       {"Ag", 107.8682, 1.45},    {"Cd", 112.411, 1.44},
      {"In", 114.818, 1.42},      {"Sn", 118.71, 1.39},      {"Sb", 121.76, 1.39},
      {"Te", 127.6, 1.38},        {"I", 126.90447, 1.39},    {"Xe", 131.293, 1.40},
      {"Cs", 132.9054519, 2.44},  {"Ba", 137.327, 2.15},     {"La", 138.90547, 2.07},
      {"Ce", 140.116, 2.04},      {"Pr", 140.90765, 2.03},   {"Nd", 144.242, 2.01},
      {"Pm", -1, 1.99},           {"Sm", 150.36, 1.98},      {"Eu", 151.964, 1.98},
      {"Gd", 157.25, 1.96},       {"Tb", 158.92535, 1.94},   {"Dy", 162.5, 1.92},
      {"Ho", 164.93032, 1.92},    {"Er", 167.259, 1.89},     {"Tm", 168.93421, 1.90},
      {"Yb", 173.054, 1.87},      {"Lu", 174.9668, 1.87},    {"Hf", 178.49, 1.75},
      {"Ta", 180.94788, 1.70},    {"W", 183.84, 1.62},       {"Re", 186.207, 1.51},
      {"Os", 190.23, 1.44},       {"Ir", 192.217, 1.41},     {"Pt", 195.084, 1.36},
      {"Au", 196.966569, 1.36},   {"Hg", 200.59, 1.32},      {"Tl", 204.3833, 1.45},
      {"Pb", 207.2, 1.46},        {"Bi", 208.9804, 1.48},    {"Po", -1, 1.40},
      {"At", -1, 1.50},           {"Rn", -1, 1.50},          {"Fr", -1, 2.60},
      {"Ra", -1, 2.21},           {"Ac", -1, 2.15},          {"Th", 232.03806, 2.06},
      {"Pa", 231.03588, 2.00},    {"U", 238.02891, 1.96},    {"Np", -1, 1.90},
      {"Pu", -1, 1.87},           {"Am", -1, 1.80},          {"Cm", -1, 1.69},
      {"Bk", -1, 0},              {"Cf", -1, 0},             {"Es", -1, 0},
      {"Fm", -1, 0},              {"Md", -1, 0},             {"No", -1, 0},
      {"Lr", -1, 0},              {"Rf", -1, 0},             {"Db", -1, 0},
      {"Sg", -1, 0},              {"Bh", -1, 0},             {"Hs", -1, 0},
      {"Mt", -1, 0},              {"Ds", -1, 0},             {"Rg", -1, 0},
      {"Uub", -1, 0},             {"Uut", -1, 0},            {"Uuq", -1, 0},
      {"Uup", -1, 0},             {"Uuh", -1, 0},
  };
  std::array<TAtomProp, ElementCount + 1> table{};
  table[0] = {0, "", 0, 0, 0};
  for (int i = 1; i <= ElementCount; ++i) {
    const Row& row = rows[i - 1];
    table[i] = {i, row.Symbol, i, row.Mass, row.CovRadius};
  }
  return table;
}

}  // namespace

const std::array<TAtomProp, ElementCount + 1> AtomProps = MakeTable();

int ElementBySymbol(std::string_view symbol) {
  for (int i = 1; i <= ElementCount; ++i)
    if (EqualIgnoringAsciiCase(AtomProps[i].Symbol, symbol)) return i;
  return 0;
}

int ElementByNumber(int atomicNumber) {
  for (int i = 1; i <= ElementCount; ++i)
    if (AtomProps[i].AtomicNumber == atomicNumber) return i;
  return 0;
}

TAtom& TAtomicArray::AddAtom() { return Items.emplace_back(); }

TAtom& TAtomicArray::AtomAt(int index) {
  return const_cast<TAtom&>(static_cast<const TAtomicArray&>(*this).AtomAt(index));
}

const TAtom& TAtomicArray::AtomAt(int index) const {
  if (index < 1 || index > Count()) throw EListError::IndexOutOfBounds(index - 1LL);
  return Items[static_cast<std::size_t>(index) - 1];
}

void TAtomicArray::AssignAtoms(const TAtomicArray& source) {
  if (&source == this) return;
  Items = source.Items;
}

void TAtomicArray::ClearAtoms() { std::deque<TAtom>().swap(Items); }

void TSimpleAtomList::Assign(const TSimpleAtomList& source) {
  Atoms.AssignAtoms(source.Atoms);
  Tag = source.Tag;
}

bool IsLinearGeometry(const TAtomicArray& atoms) {
  if (atoms.Count() == 0) return false;
  const TAtom& origin = atoms.AtomAt(1);
  const auto offset = [&origin](const TAtom& atom) {
    return std::array{atom.X - origin.X, atom.Y - origin.Y, atom.Z - origin.Z};
  };
  const auto norm = [](const std::array<double, 3>& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
  std::array<double, 3> axis{};
  for (int index = 2; index <= atoms.Count(); ++index)
    if (const auto v = offset(atoms.AtomAt(index)); norm(v) > norm(axis)) axis = v;
  const double length = norm(axis);
  if (length < CollinearTolerance) return true;
  for (int index = 2; index <= atoms.Count(); ++index) {
    const auto v = offset(atoms.AtomAt(index));
    const std::array cross = {v[1] * axis[2] - v[2] * axis[1], v[2] * axis[0] - v[0] * axis[2],
                              v[0] * axis[1] - v[1] * axis[0]};
    if (norm(cross) / length > CollinearTolerance) return false;
  }
  return true;
}

}  // namespace harvex
