// The values a reported file stands for, the same for the report's row, the
// ensemble, the recomputed thermochemistry and the JSON: its electronic
// energy E, its free energy G when it has one, and where they come from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "CdfFiles/CdfFiles.h"

namespace harvex {

enum class TReportedKind : std::uint8_t {
  Conformer,  // a .cdf: the energies combined from the files it names
  Output,     // one program output: the energies it printed
};

struct TReportedValues {
  TReportedKind Kind = TReportedKind::Output;
  long double E = 0;             // Hartree
  std::optional<long double> G;  // Hartree; none without thermochemistry
  // For a conformer, the named file that gave E; esNone for an output.
  TEnergySource EnergySource = esNone;
};

// None for a file that gives no results row: a geometry file, or one that
// did not load as an output or a conformer.
std::optional<TReportedValues> ReportedValuesOf(const TCoordinateFile_cdf& file);

// The status of the file reported for FileName: a conformer's is that of its
// description, else the worst of the files it names; any other file's is
// its own (LoadedFileStatus).
TStatusReason ReportedStatusOf(const TCoordinateFile_cdf& file, const std::string& fileName);

}  // namespace harvex
