#include "FileStatus/FileStatus.h"

#include <array>

#include "InputExtensions/InputExtensions.h"

namespace harvex {
namespace {

constexpr std::array<std::string_view, 6> StatusNames = {"ok",         "failed",     "unfinished",
                                                         "no energy",  "unreadable", "not an output"};

// A conformer's files from the worst down; ok last.
constexpr std::array<TFileStatus, 5> ConformerSeverity = {TFileStatus::Unreadable, TFileStatus::Failed,
                                                          TFileStatus::Unfinished, TFileStatus::NoEnergy,
                                                          TFileStatus::Ok};

int Severity(TFileStatus status) {
  if (status == TFileStatus::NotAnOutput) status = TFileStatus::Ok;
  int rank = 0;
  while (ConformerSeverity[static_cast<std::size_t>(rank)] != status) ++rank;
  return static_cast<int>(ConformerSeverity.size()) - rank;
}

// In the order of the report's warnings: what could not be read first, then
// how the job ended, then what it gave.
TStatusReason OutputStatus(const TOutInfo& info) {
  if (!info.SourceOpened)
    return {TFileStatus::Unreadable, info.SourceFailure.empty() ? "could not be opened" : info.SourceFailure};
  if (info.Program == opNone)
    return {TFileStatus::Unreadable, info.SourceDamaged ? "damaged compressed data with no Gaussian or ORCA banner"
                                                        : "no Gaussian or ORCA banner"};
  if (info.Termination == tmNotRead) return {TFileStatus::Unreadable, "could not be opened"};
  if (info.Termination == tmError) return {TFileStatus::Failed, "error termination"};
  if (info.SourceDamaged) return {TFileStatus::Unfinished, "compressed data cut short or damaged"};
  if (info.Termination == tmMissing) return {TFileStatus::Unfinished, "no termination line"};
  if (!info.EnergyRead) return {TFileStatus::NoEnergy, "no energy line"};
  return {};
}

}  // namespace

std::string_view StatusName(TFileStatus status) { return StatusNames[static_cast<std::size_t>(status)]; }

bool WorseStatus(TFileStatus a, TFileStatus b) { return Severity(a) > Severity(b); }

TStatusReason LoadedFileStatus(const TCoordinateFile& file, std::string_view fileName) {
  std::string extension = UpperExtension(fileName);
  if (extension == GzipExtension) {
    extension = UpperGzippedExtension(fileName);
    if (!IsInputKind(extension, TInputKind::Output))
      return {TFileStatus::Unreadable, "a gzipped file that is not an output"};
  }
  const std::optional<TInputExtension> input = InputExtensionOf(extension);
  if (!input || input->Kind == TInputKind::Conformer) {
    if (extension.empty()) return {TFileStatus::Unreadable, "no extension"};
    const std::string_view asGiven = fileName.substr(fileName.size() - extension.size());
    return {TFileStatus::Unreadable, "unknown extension " + std::string(asGiven)};
  }
  if (input->Kind == TInputKind::GaussianInput) return {TFileStatus::NotAnOutput, "a Gaussian input file"};
  if (input->Kind == TInputKind::XyzGeometry) return {TFileStatus::NotAnOutput, "an XYZ geometry file"};
  return OutputStatus(file.Info);
}

}  // namespace harvex
