// The study table's rows of real outputs and conformers: the status, the
// program, the method and every value read, and nothing where a file gave
// nothing.
#include <gtest/gtest.h>

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
  const TTextTable table = StudyTable({StudyRowOf(relative, *file, messages)}, conditions, TTableForm::Tabs);
  const std::string text = TableText(table, TTableForm::Tabs);
  const std::size_t row = text.find('\n' + relative + '\t');
  return row == std::string::npos ? text : text.substr(row + relative.size() + 2);
}

struct TRowCase {
  const char* File;
  const char* Cells;  // status, program, method, E, ZPE, H, G, imaginary modes, first frequency, BSSE, warnings
};

TEST(StudyTable, RowsCarryWhatEachFileGaveAndLeaveTheRestEmpty) {
  const TRowCase cases[] = {
      {"gaussian/CH4.out",
       "ok\tGaussian 09 A.02\tRM062X\t-40.2649626256\t0.045747\t-40.215413\t-40.23888\t0\t1415.554\t\t\n"},
      {"gaussian/TS_freq.out",
       "ok\tGaussian 03 D.01\tUB+HF-LYP\t-79.1166134112\t0.052411\t-79.059621\t-79.087857\t1\t-757.8102\t\t\n"},
      {"gaussian/MeOH_SCF_error.out", "failed\tGaussian 09 A.02\tRB3LYP\t-115.073590213\t\t\t\t\t\t\terror termination\n"},
      {"gaussian/CH2OH2_unfinished.out",
       "unfinished\tGaussian 09 A.02\tRM062X\t-189.781660637\t\t\t\t\t\t\tno termination line\n"},
      {"gaussian/water.out", "no energy\tGaussian 09 D.01\t\t\t\t\t\t\t\t\tno energy line\n"},
      {"gaussian/missing.out", "unreadable\t\t\t\t\t\t\t\t\t\tNo such file or directory\n"},
      // A composite recipe's E is not the energy its frequency step's H is
      // built on: no H is shown beside it.
      {"gaussian/BenzylEnergy.out",
       "ok\tGaussian 03 D.01\tCBS-QB3 (0 K)\t-270.378075\t0.114152\t\t-270.40713\t0\t198.613\t\t\n"},
      // The conformer's E and label come from its single point, its H and G
      // from the frequency job's corrections to it.
      {"cdf/ch4.cdf",
       "ok\tGaussian 09 A.02\tRM062X\t-40.4732157031\t0.045747\t-40.4236660775\t-40.4471337031\t0\t1415.554\t\t\n"},
  };
  for (const TRowCase& row : cases) EXPECT_EQ(RowCells(row.File), row.Cells) << row.File;
}

TEST(StudyTable, RecomputedFreeEnergyHasItsColumnAndNoteOnlyWithConditions) {
  TThermoConditions conditions;
  conditions.Concentration = 1;
  testing::TRecordingDesktop desktop;
  const std::unique_ptr<TCoordinateFile_cdf> file =
      LoadForReport(testing::TestDataPath("gaussian/CH4.out"), TLoadContext(desktop));
  TStudyRow row = StudyRowOf("CH4.out", *file, {});
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
