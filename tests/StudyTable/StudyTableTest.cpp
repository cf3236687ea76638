// The study table's rows of real outputs and conformers: the status, the
// program, the method and every value read, and nothing where a file gave
// nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "StudyTable/StudyTable.h"
#include "Unit1/Unit1.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

// The cells after the path of a file's row, as a file gets them.
std::string RowCells(const std::string& relative, const std::optional<TThermoConditions>& conditions = std::nullopt) {
  testing::TRecordingDesktop desktop;
  const std::string path = std::string(HARVEX_TEST_DATA) + "/" + relative;
  const std::unique_ptr<TCoordinateFile_cdf> file = LoadForReport(path, TLoadContext(desktop, ChoiceFolder(path)));
  std::vector<std::string> messages;
  for (const auto& message : desktop.Messages) messages.push_back(message.Text);
  const TTextTable table = StudyTable({StudyRowOf(StudyFactsOf(relative, *file), *file, messages)}, conditions, TTableForm::Tabs);
  const std::string text = TableText(table, TTableForm::Tabs);
  const std::size_t row = text.find('\n' + relative + '\t');
  return row == std::string::npos ? text : text.substr(row + relative.size() + 2);
}

struct TRowCase {
  const char* File;
  const char* Cells;  // status, program, method, basis, solvation, dispersion, E, ZPE, H, G,
                      // imaginary modes, first frequency, BSSE, findings, warnings
};

TEST(StudyTable, RowsCarryWhatEachFileGaveAndLeaveTheRestEmpty) {
  const TRowCase cases[] = {
      {"gaussian/CH4.out",
       "ok\tGaussian 09 A.02\tM062X\t3-21G\tnone\tnone\t-40.2649626256\t0.045747\t-40.215413\t-40.23888\t0\t"
       "1415.554\t\t\t\n"},
      {"gaussian/TS_freq.out",
       "ok\tGaussian 03 D.01\tB3LYP\t6-311G(d,p)\tnone\tnone\t-79.1166134112\t0.052411\t-79.059621\t-79.087857\t"
       "1\t-757.8102\t\timaginary-modes; not-stationary\t\n"},
      {"gaussian/MeOH_SCF_error.out", 
       "failed\tGaussian 09 A.02\tb3lyp\t3-21G\tnone\tnone\t-115.073590213\t\t\t\t\t\t\topt-not-converged\t"
       "error termination\n"},
      {"gaussian/CH2OH2_unfinished.out",
       "unfinished\tGaussian 09 A.02\tM062X\t3-21G\tnone\tnone\t-189.781660637\t\t\t\t\t\t\t\t"
       "no termination line\n"},
      {"gaussian/water.out", "no energy\tGaussian 09 D.01\tUFF\tZDO\tSMD(Water)\tnone\t\t\t\t\t\t\t\t\tno energy line\n"},
      {"gaussian/missing.out", "unreadable\t\t\t\t\t\t\t\t\t\t\t\t\t\tNo such file or directory\n"},
      // A composite recipe's E is not the energy its frequency step's H is
      // built on: no H is shown beside it. Its UHF step's <S**2> of 1.33 for
      // a doublet is a finding.
      {"gaussian/BenzylEnergy.out",
       "ok\tGaussian 03 D.01\tCBS-QB3\tCBS-QB3\tnone\tnone\t-270.378075\t0.114152\t\t-270.40713\t0\t198.613\t\t"
       "spin-contamination\t\n"},
      // The conformer's E and level of theory come from its single point, its H and G
      // from the frequency job's corrections to it.
      {"cdf/ch4.cdf",
       "ok\tGaussian 09 A.02\tM062X\t\t\t\t-40.4732157031\t0.045747\t-40.4236660775\t-40.4471337031\t0\t"
       "1415.554\t\t\t\n"},
  };
  for (const TRowCase& row : cases) EXPECT_EQ(RowCells(row.File), row.Cells) << row.File;
}

TEST(StudyTable, RecomputedFreeEnergyHasItsColumnAndNoteOnlyWithConditions) {
  TThermoConditions conditions;
  conditions.Concentration = 1;
  testing::TRecordingDesktop desktop;
  const std::unique_ptr<TCoordinateFile_cdf> file =
      LoadForReport(testing::TestDataPath("gaussian/CH4.out"), TLoadContext(desktop));
  TStudyRow row = StudyRowOf(StudyFactsOf("CH4.out", *file), *file, {});
  row.QhG = -40.2355;
  const std::string with = TableText(StudyTable({row}, conditions, TTableForm::Tabs), TTableForm::Tabs);
  EXPECT_TRUE(with.starts_with("# recomputed: qh-G (Grimme, 100 cm-1, 1 mol/L) at 298.15 K\nfile\tstatus\t"))
      << with;
  EXPECT_NE(with.find("\tG [Hartree]\tqh-G [Hartree]\timaginary modes\t"), std::string::npos) << with;
  EXPECT_NE(with.find("\t-40.23888\t-40.2355\t0\t"), std::string::npos) << with;
  const std::string without = TableText(StudyTable({row}, std::nullopt, TTableForm::Tabs), TTableForm::Tabs);
  EXPECT_TRUE(without.starts_with("file\tstatus\t")) << without;
  EXPECT_EQ(without.find("qh-G"), std::string::npos) << without;
}

// qh-G is recomputed on the frequency job's energy: beside a composite
// recipe's E that is another free energy, and the row says so.
TEST(StudyTable, RecomputedFreeEnergyOffAnotherEnergyIsNamed) {
  const struct {
    const char* File;
    bool Warned;
  } cases[] = {{"gaussian/CH4.out", false}, {"gaussian/BenzylEnergy.out", true}, {"cdf/ch4.cdf", false}};
  for (const auto& [name, warned] : cases) {
    testing::TRecordingDesktop desktop;
    const std::string path = testing::TestDataPath(name);
    const std::unique_ptr<TCoordinateFile_cdf> file = LoadForReport(path, TLoadContext(desktop, ChoiceFolder(path)));
    TStudyRow row = StudyRowOf(StudyFactsOf(name, *file), *file, {});
    SetRecomputedFreeEnergy(row, *file, -1.5L);
    EXPECT_EQ(row.QhG, -1.5) << name;
    const bool named = std::ranges::find(row.Warnings, "qh-G from the frequency job's energy, not this E") !=
                       row.Warnings.end();
    EXPECT_EQ(named, warned) << name;
  }
}

// On a terminal numbers have fixed decimals, and a value that rounds to
// zero is shown without a sign.
TEST(StudyTable, TerminalShowsFixedDecimals) {
  TStudyRow row;
  row.Path = "a.out";
  row.E = -40.26496262561;
  row.FirstFrequency = -0.001;
  row.Bsse = 1.006913;
  const std::string text = TableText(StudyTable({row}, std::nullopt, TTableForm::Terminal), TTableForm::Terminal);
  EXPECT_NE(text.find("-40.264963"), std::string::npos) << text;
  EXPECT_NE(text.find(" 0.00 "), std::string::npos) << text;
  EXPECT_NE(text.find(" 1.01"), std::string::npos) << text;
  EXPECT_EQ(text.find("-0.00"), std::string::npos) << text;
}

}  // namespace
}  // namespace harvex
