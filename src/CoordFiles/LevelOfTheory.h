// The words both output readers give a level of theory in, so that the
// values of a Gaussian and of an ORCA output compare: the method without its
// reference prefix, the dispersion correction by its generation and damping.
#pragma once

#include <string>
#include <string_view>

namespace harvex {

// The method without the reference prefix an SCF method carries ("RB3LYP",
// "UM062X", "ROHF" give "B3LYP", "M062X", "HF"); a name of the "rev" family
// keeps its R.
std::string WithoutReference(std::string_view method);

// The dispersion correction a keyword names, in capitals: "GD3BJ" and
// "D3BJ" give "D3BJ", "GD3" and "D3ZERO" "D3", "GD2" and "D2" "D2", "D4"
// "D4", "PFD" "PFD"; empty for any other word.
std::string DispersionNamed(std::string_view keyword);

// The correction a functional carries in itself ("B97D3" "D3", "wB97XD"
// "D2", "wB97X-D3" "D3", "B97-3c" "D3BJ"); "none" for any other method.
std::string DispersionOfMethod(std::string_view method);

// The solvation in the model's JSON words: "SMD(Water)"; "none" without a
// model.
std::string SolvationText(std::string_view model, std::string_view solvent);

}  // namespace harvex
