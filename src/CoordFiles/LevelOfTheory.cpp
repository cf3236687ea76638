#include "CoordFiles/LevelOfTheory.h"

#include <array>
#include <utility>

#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr std::array ReferencePrefixes = {std::string_view("RO"), std::string_view("R"), std::string_view("U")};
// Methods whose own names begin as a reference prefix does: the revised
// functionals and the universal force field.
constexpr std::array PrefixLikeNames = {std::string_view("REV"), std::string_view("UFF")};

constexpr std::array<std::pair<std::string_view, std::string_view>, 11> DispersionKeywords = {{
    {"GD3BJ", "D3BJ"},
    {"D3BJ", "D3BJ"},
    {"GD3", "D3"},
    {"D3ZERO", "D3"},
    // ORCA's "D3" has been Becke-Johnson damping since version 4.
    {"D3", "D3BJ"},
    {"GD2", "D2"},
    {"D2", "D2"},
    {"GD4", "D4"},
    {"D4", "D4"},
    {"PFD", "PFD"},
    {"D3TZ", "D3"},
}};

// Functionals whose dispersion is part of their definition, in capitals.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> CarriedDispersion = {{
    {"B97D", "D2"},
    {"WB97XD", "D2"},
    {"B2PLYPD", "D2"},
    {"MPW2PLYPD", "D2"},
    {"APFD", "PFD"},
    {"B97-D", "D2"},
}};

// The composite "3c" methods of ORCA carry a D3 or D4 correction.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> CompositeDispersion = {{
    {"B97-3C", "D3BJ"},
    {"PBEH-3C", "D3BJ"},
    {"HF-3C", "D3BJ"},
    {"R2SCAN-3C", "D4"},
    {"WB97X-3C", "D4"},
}};

template <std::size_t N>
std::string_view Lookup(const std::array<std::pair<std::string_view, std::string_view>, N>& table,
                        std::string_view key) {
  for (const auto& [name, value] : table)
    if (name == key) return value;
  return {};
}

}  // namespace

std::string WithoutReference(std::string_view method) {
  const std::string upper = UpperAscii(method);
  for (std::string_view name : PrefixLikeNames)
    if (upper.starts_with(name)) return std::string(method);
  for (std::string_view prefix : ReferencePrefixes)
    if (upper.starts_with(prefix) && upper.size() > prefix.size() + 1) return std::string(method.substr(prefix.size()));
  return std::string(method);
}

std::string DispersionNamed(std::string_view keyword) {
  return std::string(Lookup(DispersionKeywords, UpperAscii(keyword)));
}

std::string DispersionOfMethod(std::string_view method) {
  const std::string upper = UpperAscii(method);
  if (const std::string_view carried = Lookup(CarriedDispersion, upper); !carried.empty()) return std::string(carried);
  if (const std::string_view composite = Lookup(CompositeDispersion, upper); !composite.empty())
    return std::string(composite);
  for (std::string_view suffix : {std::string_view("D3BJ"), std::string_view("D3"), std::string_view("D4")}) {
    if (!upper.ends_with(suffix) || upper.size() == suffix.size()) continue;
    return std::string(suffix);
  }
  return "none";
}

std::string SolvationText(std::string_view model, std::string_view solvent) {
  if (model.empty()) return "none";
  return std::string(model) + "(" + std::string(solvent) + ")";
}

}  // namespace harvex
