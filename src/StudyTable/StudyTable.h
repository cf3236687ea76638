// The study table: one row per reported file with what a chemist checks at a
// glance (its status, program, level of theory, energies, imaginary modes,
// BSSE, the codes of its findings and its warnings), every value either read
// from the file or left empty.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CdfFiles/CdfFiles.h"
#include "FileStatus/FileStatus.h"
#include "StudyChecks/StudyChecks.h"
#include "TextTable/TextTable.h"
#include "Thermochemistry/Thermochemistry.h"

namespace harvex {

// One reported file's values; none where the file gave none.
struct TStudyRow {
  std::string Path;
  TStatusReason Status;
  std::string Program;      // "Gaussian 16 C.01", "ORCA 5.0.4", or the program alone
  // The energy's job: its method as the job named it (else as the energy's
  // label does), basis set, solvation ("none" in the gas phase) and
  // dispersion correction; empty where none was read.
  std::string Method;
  std::string Basis;
  std::string Solvation;
  std::string Dispersion;
  std::optional<double> E;  // Hartree, as every energy here
  std::optional<double> ZPE;  // the zero-point correction
  std::optional<double> H;    // the enthalpy the program printed
  std::optional<double> G;    // the free energy the program printed
  std::optional<double> QhG;  // recomputed at the table's conditions
  std::optional<int> ImaginaryModes;      // with a frequency job
  std::optional<double> FirstFrequency;   // cm-1, imaginary ones negative
  std::optional<double> Bsse;             // kcal/mol, of a counterpoise job
  std::vector<TFinding> Findings;         // the file's own
  // The status's reason first, then what the load reported, in order.
  std::vector<std::string> Warnings;
};

// The row of a file reported as Facts.Path (Facts being what the checks
// took of it), the messages its load gave (boxes and read warnings) passed as
// Messages; qh-G is left to the caller.
TStudyRow StudyRowOf(const TStudyFacts& facts, const TCoordinateFile_cdf& file,
                     const std::vector<std::string>& messages);

// Gives Row the qh-G recomputed for File. It is built on the frequency job's
// energy: where that is not the row's E (a composite recipe's, a later job's)
// a warning says so, as the two are not one free energy.
void SetRecomputedFreeEnergy(TStudyRow& row, const TCoordinateFile_cdf& file,
                             const std::optional<long double>& qhG);

// The study's rows as a table in Form: on a terminal at fixed decimals
// (Hartree to 6, cm-1 and kcal/mol to 2), for other programs every digit a
// value holds up to those the programs print (Hartree to 12 decimals, cm-1
// to 4, kcal/mol to 6), without trailing zeros. The qh-G column, and a note
// naming its conditions, only when Conditions are given.
TTextTable StudyTable(const std::vector<TStudyRow>& rows, const std::optional<TThermoConditions>& conditions,
                      TTableForm form);

}  // namespace harvex
