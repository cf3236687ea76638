// A ranked conformer ensemble as one JSON object, beside its table.
#pragma once

#include "Ensemble/Ensemble.h"
#include "ModelJson/ModelJson.h"

namespace harvex {

// {"Ensemble": {...}} for one formula: the basis ranked by, the ranked
// members, the excluded ones with their status and reason, the members
// without frequencies when E is the basis; energies in Hartree, differences
// in kcal/mol, populations in percent as computed (the table rounds them);
// what a member lacks is null.
TModelJson EnsembleJson(const TEnsemble& ensemble);

}  // namespace harvex
