// The status of a reported file, decided once from what its load recorded:
// whether its values can be trusted, and if not, why, in plain words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "CoordFiles/CoordFiles.h"

namespace harvex {

// In the order a summary counts them; a conformer takes the worst of the
// statuses of the files it names (WorseStatus).
enum class TFileStatus : std::uint8_t { Ok, Failed, Unfinished, NoEnergy, Unreadable, NotAnOutput };

// "ok", "failed", "unfinished", "no energy", "unreadable", "not an output".
std::string_view StatusName(TFileStatus status);

struct TStatusReason {
  TFileStatus Status = TFileStatus::Ok;
  // One line saying why the file is not ok; empty for an ok file.
  std::string Reason;
};

// Whether A is worse than B for a conformer that names both: unreadable,
// then failed, unfinished, no energy, ok. A file that is not an output
// counts as ok there (a geometry file may be one).
bool WorseStatus(TFileStatus a, TFileStatus b);

// The status of one file after LoadFile, by the extension it was loaded by:
// an output by how far its text could be read, its program's termination
// and whether an energy was read; a GJF or XYZ file is not an output; any
// other file is unreadable.
TStatusReason LoadedFileStatus(const TCoordinateFile& file, std::string_view fileName);

}  // namespace harvex
