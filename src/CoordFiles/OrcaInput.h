// What an ORCA output's echo of its input says of the last job: its level
// of theory and whether it optimises, and for what.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harvex {

struct TOrcaJobLevel {
  std::string Method;      // as written, "B3LYP", "DLPNO-CCSD(T)"; "HF" for a bare RHF or UHF
  std::string Basis;       // the orbital basis, "def2-TZVP"; empty when the input names none
  std::string Solvation;   // "CPCM(water)", "SMD(water)", or "none"
  std::string Dispersion;  // "D3BJ", "D4", ..., or "none"
  bool Optimises = false;
  bool TransitionState = false;
};

// The level of the last job of the input whose lines (the text after each
// "|  1> ") are given: "!" keyword lines, the %method, %basis and %cpcm
// blocks, each "$new_job" starting afresh; what the last job does not
// restate (method, basis, solvation, dispersion) is the earlier jobs'.
TOrcaJobLevel OrcaJobLevel(const std::vector<std::string>& inputLines);

}  // namespace harvex
