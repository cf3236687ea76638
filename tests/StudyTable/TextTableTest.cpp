// The forms a table takes: tab- and comma-separated for other programs,
// aligned for a terminal.
#include <gtest/gtest.h>

#include "TextTable/TextTable.h"

namespace harvex {
namespace {

TTextTable Sample() {
  return {{"conditions, here"},
          {{"path", false, true}, {"status"}, {"E [Hartree]", true}, {"warnings"}},
          {{"/runs/a, \"b\".out", "ok", "-40.5", ""},
           {"/runs/sub/c.out", "failed", "", "error\ttermination"},
           {"/runs/#d.out", "ok", "-1", "x\ny"}}};
}

TEST(TextTable, FormFollowsTheDestination) {
  const struct {
    const char* Destination;
    bool Terminal;
    TTableForm Form;
  } cases[] = {
      {"-", true, TTableForm::Terminal}, {"-", false, TTableForm::Tabs},   {"t.tsv", true, TTableForm::Tabs},
      {"t.csv", true, TTableForm::Commas}, {"T.CSV", false, TTableForm::Commas}, {"csv", false, TTableForm::Tabs},
  };
  for (const auto& row : cases)
    EXPECT_EQ(TableFormFor(row.Destination, row.Terminal), row.Form) << row.Destination << ' ' << row.Terminal;
}

// A cell never adds a column nor splits its row: quoted as RFC 4180 says
// with commas, blanked with tabs. A "#" that would start a line is quoted.
TEST(TextTable, CellsStayInTheirColumns) {
  EXPECT_EQ(TableText(Sample(), TTableForm::Commas),
            "# conditions, here\n"
            "path,status,E [Hartree],warnings\n"
            "\"/runs/a, \"\"b\"\".out\",ok,-40.5,\n"
            "/runs/sub/c.out,failed,,error\ttermination\n"
            "/runs/#d.out,ok,-1,\"x\ny\"\n");
  EXPECT_EQ(TableText(Sample(), TTableForm::Tabs),
            "# conditions, here\n"
            "path\tstatus\tE [Hartree]\twarnings\n"
            "/runs/a, \"b\".out\tok\t-40.5\t\n"
            "/runs/sub/c.out\tfailed\t\terror termination\n"
            "/runs/#d.out\tok\t-1\tx y\n");
}

// Columns as wide as their widest cell (UTF-8 counted by characters),
// numbers to the right, paths without the folder all share.
TEST(TextTable, TerminalAlignsColumnsAndLeavesOutTheSharedFolder) {
  TTextTable table = Sample();
  table.Rows[2][0] = "/runs/é.out";
  EXPECT_EQ(TableText(table, TTableForm::Terminal),
            "# conditions, here\n"
            "# path in /runs/\n"
            "path        status  E [Hartree]  warnings\n"
            "a, \"b\".out  ok            -40.5\n"
            "sub/c.out   failed               error termination\n"
            "é.out       ok               -1  x y\n");
  // Paths that share only the root keep it.
  table.Rows[1][0] = "/other/c.out";
  EXPECT_EQ(TableText(table, TTableForm::Terminal).find("# path in"), std::string::npos);
}

TEST(TextTable, TablesAreSeparatedByABlankLine) {
  const TTextTable one{{}, {{"a"}}, {{"1"}}};
  EXPECT_EQ(TablesText({one, one}, TTableForm::Tabs), "a\n1\n\na\n1\n");
  EXPECT_EQ(TablesText({}, TTableForm::Tabs), "");
}

}  // namespace
}  // namespace harvex
