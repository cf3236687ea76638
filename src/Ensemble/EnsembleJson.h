// A ranked conformer ensemble as one JSON object, beside its table.
#pragma once

#include "Ensemble/Ensemble.h"
#include "ModelJson/ModelJson.h"

namespace harvex {

// {"Ensemble": {...}}: energies in Hartree, differences in kcal/mol,
// populations in percent as computed (the table rounds them); what a member
// lacks is null.
TModelJson EnsembleJson(const TEnsemble& ensemble);

}  // namespace harvex
