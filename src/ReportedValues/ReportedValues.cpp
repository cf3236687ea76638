#include "ReportedValues/ReportedValues.h"

namespace harvex {

std::optional<TReportedValues> ReportedValuesOf(const TCoordinateFile_cdf& file) {
  if (file.IsCdf) {
    TReportedValues values{TReportedKind::Conformer, file.ETotal, std::nullopt, file.EnergySource};
    if (file.HasThermochemistry) values.G = file.GTotal;
    return values;
  }
  if (file.FileKind != fkOutput) return std::nullopt;
  TReportedValues values{TReportedKind::Output, file.Info.Energy, std::nullopt, esNone};
  // A G that was never printed (a frequency section cut off, or one with no
  // thermochemistry) is no value of the file.
  if (file.Info.HasFreeEnergy()) values.G = file.Info.GibbsEnergy;
  return values;
}

TStatusReason ReportedStatusOf(const TCoordinateFile_cdf& file, const std::string& fileName) {
  if (!file.Descr) return LoadedFileStatus(file, fileName);
  if (!file.Descr->Problem.empty()) return {TFileStatus::Unreadable, file.Descr->Problem};
  return file.NamedFilesStatus;
}

}  // namespace harvex
