// Checks of the Gaussian pass that read population analyses: the Mulliken,
// APT and ESP charge tables, and the natural charges and second-order
// donor-acceptor table of an NBO run.
#include <algorithm>
#include <array>

#include "CoordFiles/GaussianPass.h"

namespace harvex {
namespace {

// Gaussian prints a number too wide for its field as asterisks.
constexpr std::string_view OverflowAsterisks = "**";

// How a charge-table row begins.
enum class TRowStart { AtomNumber, ElementLabel };

// Reads a per-atom table up to the line holding one of the stop markers,
// which stays the current line, and replaces the target array. The first
// line of the table (a column header or a rule) is not read, but has its
// element, so element k-1 holds atom k. Rows are
//      1  O   -0.339215            (atom number first)
//       O    1   -0.37667 ...      (element label first)
// A charge printed as asterisks reads as 0; a row whose atom number falls
// outside the array is passed over.
void ReadChargeTable(TGaussianPass& pass, std::span<const std::string_view> stopMarkers, TRowStart rowStart,
                     std::optional<TChargeArray>& target) {
  std::vector<std::string> rows;
  while (pass.NextLine() && !ContainsAny(pass.Line, stopMarkers)) rows.push_back(pass.Line);
  TChargeArray& charges = target.emplace(rows.size());
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::string_view row = rows[i];
    int cursor = 1;
    SkipBlanks(row, cursor);
    int atom = 0;
    if (rowStart == TRowStart::ElementLabel) {
      ReadWord(row, cursor);
      SkipBlanks(row, cursor);
      atom = ReadInt(row, cursor);
    } else {
      atom = ReadInt(row, cursor);
      SkipBlanks(row, cursor);
      ReadWord(row, cursor);
    }
    if (atom < 1 || static_cast<std::size_t>(atom) > charges.size()) continue;
    SkipBlanks(row, cursor);
    const int asterisks = PositionOf(row, OverflowAsterisks);
    charges[static_cast<std::size_t>(atom - 1)] = asterisks >= cursor ? 0 : ReadReal(row, cursor);
  }
}

// The integer before the cursor's next delimiter; the cursor stops on it.
std::int32_t ReadIndexUntil(std::string_view row, char delimiter, int& cursor) {
  return StrToInt(ReadUntil(row, delimiter, cursor));
}

// Moves p left over the spaces and then the word before it; it ends on the
// blank just left of that word, or at the acceptor's start - 1.
int StepBackOverWord(std::string_view row, int p, int acceptorStart) {
  auto at = [&](int position) { return row[static_cast<std::size_t>(position) - 1]; };
  while (p >= acceptorStart && at(p) == ' ') --p;
  while (p >= acceptorStart && at(p) != ' ') --p;
  return p;
}

// One row of the second-order table: donor, "/", acceptor, then E(2) in
// kcal/mol, E(j)-E(i) and F(i,j) in a.u., read from the right:
//    1. BD (   1) O   1 - H   2        /  7. BD*(   1) O   1 - H   3            1.46    1.42    0.041
// An E(2) printed as asterisks reads as -1.
void ParseInteraction(std::string_view row, TDAOrbitalInteraction& interaction) {
  int cursor = 1;
  SkipBlanks(row, cursor);
  interaction.DonorIndex = ReadIndexUntil(row, '.', cursor);
  ++cursor;
  SkipBlanks(row, cursor);
  interaction.Donor = ReadUntil(row, '/', cursor);
  ++cursor;
  SkipBlanks(row, cursor);
  interaction.AcceptorIndex = ReadIndexUntil(row, '.', cursor);
  ++cursor;
  SkipBlanks(row, cursor);
  const int acceptorStart = std::min(cursor, static_cast<int>(row.size()) + 1);

  const int p1 = StepBackOverWord(row, static_cast<int>(row.size()), acceptorStart);
  int numberCursor = p1 + 1;
  interaction.Energies[2] = ReadReal(row, numberCursor);
  const int p2 = StepBackOverWord(row, p1, acceptorStart);
  numberCursor = p2 + 1;
  interaction.Energies[1] = ReadReal(row, numberCursor);
  const int p3 = StepBackOverWord(row, p2, acceptorStart);
  numberCursor = p3 + 1;
  if (static_cast<std::size_t>(p3) < row.size() && row[static_cast<std::size_t>(p3)] == '*') {
    interaction.Energies[0] = -1;
  } else {
    interaction.Energies[0] = ReadReal(row, numberCursor);
  }
  interaction.Acceptor = row.substr(static_cast<std::size_t>(acceptorStart) - 1,
                                    static_cast<std::size_t>(p3 - acceptorStart + 1));
}

}  // namespace

// Each NBO analysis starts with this header; it replaces an earlier one.
//             N A T U R A L   A T O M I C   O R B I T A L   A N D
constexpr std::string_view NaturalOrbitalMarker = "N A T U R A L   A T O M I C   O R B I T A L";

void StartNBOAnalysis(TGaussianPass& pass, TOutInfo& info) {
  pass.File.NBOSeen = true;
  pass.File.NaturalChargesRead = false;
  info.NBO = std::make_unique<TNBOData>();
}

// An open-shell analysis prints the summary three times: for the total
// density, then for the alpha and the beta spin. The first one after the
// analysis header holds the atoms' charges.
//  Summary of Natural Population Analysis:
//     Atom  No    Charge         Core      Valence    Rydberg      Total
//  -----------------------------------------------------------------------
//       O    1   -0.37667      2.00000     6.37667    0.00000     8.37667
//  =======================================================================
constexpr std::string_view NaturalPopulationMarker = "Summary of Natural Population Analysis:";
constexpr std::string_view ChargeHeaderMarker = "Charge";
constexpr std::array NaturalPopulationEnd = {std::string_view("=============")};

void ReadNaturalCharges(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.File.NBOSeen || pass.File.NaturalChargesRead) return;
  if (!pass.SkipToLineWith(ChargeHeaderMarker)) return;
  ReadChargeTable(pass, NaturalPopulationEnd, TRowStart::ElementLabel, info.NBO->NPACharges);
  pass.File.NaturalChargesRead = true;
}

//  Second Order Perturbation Theory Analysis of Fock Matrix in NBO Basis
//      Threshold for printing:   0.50 kcal/mol
//  ===================================================================================================
//
//  within unit  1
//    1. BD (   1) O   1 - H   2        /  7. BD*(   1) O   1 - H   3            1.46    1.42    0.041
// The parts of the table (one per unit and pair of units) are parted by
// single blank lines; two blank lines in a row end it.
constexpr std::string_view SecondOrderMarker =
    "Second Order Perturbation Theory Analysis of Fock Matrix in NBO Basis";
constexpr std::string_view ThresholdMarker = "Threshold for printing:";
constexpr std::string_view TableRuleMarker = "===";
constexpr std::string_view DonorAcceptorSlash = "/";

void ReadSecondOrderTable(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.File.NBOSeen) return;
  TNBOData& nbo = *info.NBO;
  nbo.FreeInteractions();
  do {
    if (!pass.NextLine()) return;
    if (Contains(pass.Line, ThresholdMarker)) {
      int cursor = CursorAfter(pass.Line, ':');
      SkipBlanks(pass.Line, cursor);
      nbo.Threshold = ReadReal(pass.Line, cursor);
    }
  } while (!Contains(pass.Line, TableRuleMarker));
  for (;;) {
    const bool previousEmpty = pass.Line.empty();
    if (!pass.NextLine()) return;
    if (Contains(pass.Line, DonorAcceptorSlash)) ParseInteraction(pass.Line, nbo.AddInteraction());
    if (previousEmpty && pass.Line.empty()) return;
  }
}

// Gaussian 03 to 09 C.01 label the tables "... atomic charges:"; 09 D.01 and
// 16 print the shorter labels, and open-shell runs add the spin densities
// after each charge (not read). Gaussian 98 titles the Mulliken table "Total
// atomic charges:".
//  Mulliken charges:
//                1
//      1  O   -0.339215
//  Sum of Mulliken charges =  -0.00000
constexpr std::array MullikenMarkers = {
    TWindowedMarker{"Mulliken atomic charges:", "en at"}, TWindowedMarker{"Mulliken charges:", "ken c"},
    TWindowedMarker{"Mulliken charges and spin densities:", "in de"},
    TWindowedMarker{"Total atomic charges:", "ic ch"}};
constexpr std::array MullikenEnd = {std::string_view("Sum of Mulliken")};

void ReadMullikenCharges(TGaussianPass& pass, TOutInfo& info) {
  ReadChargeTable(pass, MullikenEnd, TRowStart::AtomNumber, info.MullikenCharges);
}

//  APT charges:
//                1
//      1  O   -0.169225
//  Sum of APT charges =  -0.00000
constexpr std::array APTMarkers = {TWindowedMarker{"APT atomic charges:", "PT at"}, TWindowedMarker{"APT charges:"}};
constexpr std::array APTEnd = {std::string_view("Sum of APT charges")};

void ReadAPTCharges(TGaussianPass& pass, TOutInfo& info) {
  ReadChargeTable(pass, APTEnd, TRowStart::AtomNumber, info.APTCharges);
}

// The charges come a line after the fit line. Gaussian 09 A.02 closes the
// table with a rule; Gaussian 16 closes it with the sum line, and only a
// later rule follows other tables.
//  Electrostatic Properties Using The SCF Density
//  Charges from ESP fit, RMS=   0.00182 RRMS=   0.10908:
//  Charge=   0.00000 Dipole=    -0.2191    -1.8535     0.0000 Tot=     1.8664
//               1
//      1  C    0.424045
//  -----------------------------------------------------------------
// A fit with point dipoles (pop=(mk,atomdipole)) prints each atom's dipole
// after its charge and closes the table with a row of totals:
//  ESP charges         Point Dipoles (au):
//               1          2          3          4
//      1  O   -1.012553  -0.188014   0.088301   0.000000
//        Tot   0.000000  -0.527223   0.518597   0.000000
constexpr std::string_view ElectrostaticMarker = "Electrostatic Properties Using The SCF Density";
constexpr std::string_view ESPFitMarker = "Charges from ESP fit";
constexpr std::array ESPEnd = {std::string_view("------------"), std::string_view("Sum of ESP charges"),
                               std::string_view(" Tot ")};

void ReadESPCharges(TGaussianPass& pass, TOutInfo& info) {
  if (!pass.SkipToLineWith(ESPFitMarker) || !pass.NextLine()) return;
  ReadChargeTable(pass, ESPEnd, TRowStart::AtomNumber, info.ESPCharges);
}

constexpr std::array PopulationRowList = JoinRows(
    std::array{
        TGaussianRow{NaturalOrbitalMarker, StartNBOAnalysis, " T O "},
        TGaussianRow{NaturalPopulationMarker, ReadNaturalCharges, "of Na"},
        TGaussianRow{SecondOrderMarker, ReadSecondOrderTable, " Orde"},
    },
    RowsFor(ReadMullikenCharges, MullikenMarkers), RowsFor(ReadAPTCharges, APTMarkers),
    std::array{TGaussianRow{ElectrostaticMarker, ReadESPCharges, "es Us"}});

std::span<const TGaussianRow> PopulationRows() { return PopulationRowList; }

}  // namespace harvex
