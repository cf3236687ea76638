// The whole road of one input: arbitrary bytes behind a Gaussian or an ORCA
// banner (the first byte picks which), loaded from memory as a report loads
// them, then its thermochemistry recomputed at the default conditions, an
// ensemble of the file with itself, and its JSON. Conversion, list-index and
// input/output errors are the expected end of a bad file; anything else is a
// fault, and so is a population that is not finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "Ensemble/Ensemble.h"
#include "ModelJson/ModelJson.h"
#include "Thermochemistry/Thermochemistry.h"
#include "Unit1/Unit1.h"
#include "rtl/RuntimeErrors.h"

namespace {

constexpr std::string_view GaussianBanner = " This is part of the Gaussian(R) 16 program.  It is based on\n";
constexpr std::string_view OrcaBanner = "                                 * O   R   C   A *\n";
constexpr const char* Name = "fuzz.out";

void Recompute(const harvex::TCoordinateFile_cdf& file) {
  const harvex::TThermoSource source = harvex::ThermoSourceOf(file);
  if (source.Molecule) harvex::ComputeThermochemistry(*source.Molecule, {});
  harvex::SelfCheckDifference(source);
}

void RankWithItself(const harvex::TCoordinateFile_cdf& file) {
  const std::optional<harvex::TEnsembleMember> member = harvex::EnsembleMember(Name, file);
  if (!member) return;
  const harvex::TEnsemble ensemble = harvex::ComputeEnsemble({*member, *member}, 298.15);
  for (const harvex::TEnsembleRow& row : ensemble.Rows)
    if (row.Population && !std::isfinite(static_cast<double>(*row.Population))) __builtin_trap();
  harvex::EnsembleTable(ensemble);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view banner = data[0] % 2 == 0 ? GaussianBanner : OrcaBanner;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    const auto file = harvex::LoadForReport(Name, harvex::WithMemoryFile({}, Name, std::string(banner) += bytes));
    Recompute(*file);
    RankWithItself(*file);
    std::ostringstream json;
    harvex::WriteModelJson(json, Name, *file);
  } catch (const harvex::ERuntimeError&) {
  }
  return 0;
}
