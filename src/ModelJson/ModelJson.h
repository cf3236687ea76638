// The whole model of one reported file as JSON, for scripts that want more
// than the results row: every front end writes the same objects.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

#include "CdfFiles/CdfFiles.h"

namespace harvex {

// Keys keep the model's declared order. Extended reals are given as doubles
// (what JSON readers hold); values that are not finite become null.
using TModelJson = nlohmann::ordered_json;

// The object as it stands after loading Path: file name and kind, its status
// and the reason for it, atoms, every output value, modes with the
// displacements of the atoms present, charges, NBO data and the conformer
// fields with its description.
TModelJson ModelToJson(const std::string& path, const TCoordinateFile_cdf& file);

// Writes Object on one line, then a line end. Paths and labels are
// single-byte text: bytes that are no UTF-8 are replaced.
void WriteJsonLine(std::ostream& out, const TModelJson& object);

// The model of the file loaded from Path as one line; Thermo, unless null,
// is added as its recomputed thermochemistry ("Thermo"), and Findings,
// unless null, as what the study checks found in it ("Findings").
void WriteModelJson(std::ostream& out, const std::string& path, const TCoordinateFile_cdf& file,
                    TModelJson thermo = nullptr, TModelJson findings = nullptr);

}  // namespace harvex
