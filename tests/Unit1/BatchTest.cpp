// End-to-end runs of the built harvex-batch in a scratch folder.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include <cstdlib>

#include "Gaussian/GaussianFixtures.h"
#include "RecordingDesktop.h"
#include "common/TestLocales.h"

namespace harvex {
namespace {

// A minimal ORCA output: its banner, one final energy and its end.
constexpr std::string_view OrcaOutput = R"(
                                 *****************
                                 * O   R   C   A *
                                 *****************

-------------------------   --------------------
FINAL SINGLE POINT ENERGY       -76.026760737428
-------------------------   --------------------
                             ****ORCA TERMINATED NORMALLY****
)";

struct TBatchResult {
  int ExitStatus = -1;
  std::string Out;
  std::string Err;
};

class BatchTest : public TRunTest {
 protected:
  TBatchResult RunBatch(const std::string& arguments) {
    const std::string command = "cd '" + Scratch.Path().string() + "' && '" HARVEX_BATCH_PROGRAM "' " + arguments +
                                " >batch.out 2>batch.err";
    const int status = std::system(command.c_str());
    TBatchResult result;
    if (WIFEXITED(status)) result.ExitStatus = WEXITSTATUS(status);
    result.Out = testing::ReadWholeFile(Path("batch.out"));
    result.Err = testing::ReadWholeFile(Path("batch.err"));
    return result;
  }

  // What a terminal shows of a run: standard error, and standard output
  // unless it goes to batch.out.
  std::string RunOnTerminal(const std::string& arguments, bool outputToo = false) {
    const std::string command = "cd '" + Scratch.Path().string() + "' && '" HARVEX_BATCH_PROGRAM "' " + arguments +
                                (outputToo ? "" : " >batch.out");
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::string shown;
    if (child < 0) return shown;
    char buffer[4096];
    for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, count);
    waitpid(child, nullptr, 0);
    close(terminal);
    return shown;
  }

  // The paths of the "File:" lines on standard output, in order.
  static std::vector<std::string> ReportedPaths(const std::string& out) {
    std::vector<std::string> paths;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("File:\t")) paths.push_back(line.substr(6));
    }
    return paths;
  }

  std::string Results(const std::string& name = "Harvex_res.txt") const { return testing::ReadWholeFile(Path(name)); }

  // The full path the batch reports for a name in the scratch folder.
  std::string Full(const std::string& name) const {
    return (std::filesystem::canonical(Scratch.Path()) / name).string();
  }

  static bool IsHeaderOnly(const std::string& bytes) {
    return bytes.starts_with(" Created by \"Harvex version 18.10.2012\" on ") && bytes.ends_with("\r\n") &&
           bytes.find("\r\n") == bytes.size() - 2;
  }
};

TEST_F(BatchTest, UnknownFileGetsTheErrorLineOnlyTheHeaderAndExitsOne) {
  Scratch.Write("notes.dat", "text\n");
  const TBatchResult result = RunBatch("notes.dat");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Out, "File:\t" + Full("notes.dat") + "\nError: not a .out file!\n");
  EXPECT_EQ(result.Err, "harvex-batch: 1 file: 1 unreadable\n  unreadable: notes.dat: unknown extension .dat\n");
  EXPECT_TRUE(IsHeaderOnly(Results())) << Results();
}

TEST_F(BatchTest, OutputWithARowExitsZero) {
  for (const std::string name : {"water.out", "water.log"}) {
    Scratch.Write(name, std::string(OrcaOutput));
    const TBatchResult result = RunBatch("--results rows.txt " + name);
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(result.Out, "File:\t" + Full(name) + "\ninitial geometry loaded\n\nE [Hartree]=\t-76.0267607\n");
    const std::string rows = Results("rows.txt");
    EXPECT_TRUE(rows.ends_with("\r\n" + Full(name) + "\tOUT\t-7.60267607374280E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n"))
        << rows;
  }
}

TEST_F(BatchTest, ErrorEndsOnlyItsPathAndIsNamedOnStandardError) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  const TBatchResult result = RunBatch("missing.txt water.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, "harvex-batch: " + Full("missing.txt") + ": No such file or directory\n" +
                            "harvex-batch: 2 files: 1 ok, 1 unreadable\n  unreadable: missing.txt: No such file or directory\n");
  EXPECT_TRUE(result.Out.starts_with("File:\t" + Full("water.out") + "\n")) << result.Out;
}

// The summary follows everything else on standard error and leaves standard
// output to the JSON objects, which carry the same statuses.
TEST_F(BatchTest, SummaryCountsTheFilesByStatusAndNamesThoseNotOk) {
  Scratch.Write("good.out", std::string(OrcaOutput));
  Scratch.Write("cut.out", std::string(OrcaOutput).substr(0, std::string(OrcaOutput).find("----------------------")));
  Scratch.Write("binary.out", std::string("\0\x01\x02", 3));
  const TBatchResult result = RunBatch("--json good.out cut.out missing.zip binary.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, "harvex-batch: " + Full("missing.zip") + ": No such file or directory\n" +
                            "harvex-batch: 4 files: 1 ok, 1 unfinished, 2 unreadable\n" +
                            "  unfinished: cut.out: no termination line\n"
                            "  unreadable: missing.zip: No such file or directory\n"
                            "  unreadable: binary.out: no Gaussian or ORCA banner\n");
  EXPECT_EQ(std::ranges::count(result.Out, '\n'), 3);
  for (const char* member : {R"("Status":"ok","Reason":null)", R"("Status":"unfinished","Reason":"no termination line")",
                             R"("Status":"unreadable","Reason":"no Gaussian or ORCA banner")"})
    EXPECT_NE(result.Out.find(member), std::string::npos) << member;
}

TEST_F(BatchTest, ResultsFileThatAnotherRunHoldsStopsTheBatchAndStaysAsItIs) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  CreateResults();
  const TBatchResult result = RunBatch("water.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, "harvex-batch: Harvex_res.txt: Sharing violation\n");
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(ClosedRows(), "");
}

// Relative names in a .cdf resolve against its own folder, or for a .cdf that
// a list names, against the list's folder; rows begin with full paths.
TEST_F(BatchTest, DescriptionsResolveAgainstTheFolderOfThePathGiven) {
  std::string otherWater(OrcaOutput);
  otherWater.replace(otherWater.find("-76.0"), 5, "-77.0");
  std::filesystem::create_directories(Path("conf"));
  std::filesystem::create_directories(Path("lists"));
  Scratch.Write("conf/water.out", std::string(OrcaOutput));
  Scratch.Write("lists/water.out", otherWater);
  const std::string description = Full("conf/c.cdf");
  Scratch.Write("conf/c.cdf", "[c]\nGeomFileName=water.out\n");
  Scratch.Write("lists/l.txt", description + "\n");

  const TBatchResult result = RunBatch("conf/c.cdf ./lists/l.txt");
  EXPECT_EQ(result.ExitStatus, 0) << result.Err;
  const std::string rows = Results();
  EXPECT_NE(rows.find("\r\n" + description + "\tCDF\t-7.60267607374280E+0001\t"), std::string::npos) << rows;
  EXPECT_NE(rows.find("\r\n" + description + "\tCDF\t-7.70267607374280E+0001\t"), std::string::npos) << rows;
}

TEST_F(BatchTest, InputThatGaveNothingExitsOne) {
  Scratch.Write("nothing.txt", "no path here\n");
  std::filesystem::create_directories(Path("none/loops"));
  std::filesystem::create_symlink("loop.out", Path("none/loops/loop.out"));
  const TBatchResult missing = RunBatch("missing.out");
  EXPECT_EQ(missing.ExitStatus, 1);
  EXPECT_TRUE(missing.Out.ends_with("Warning: the file could not be opened (No such file or directory)!\n"))
      << missing.Out;
  const TBatchResult emptyList = RunBatch("nothing.txt");
  EXPECT_EQ(emptyList.ExitStatus, 1);
  EXPECT_EQ(emptyList.Err, "harvex-batch: " + Full("nothing.txt") + ": the list names no file\n" +
                               "harvex-batch: 1 file: 1 unreadable\n  unreadable: nothing.txt: the list names no file\n");
  const TBatchResult emptyFolder = RunBatch("none");
  EXPECT_EQ(emptyFolder.ExitStatus, 1);
  EXPECT_EQ(emptyFolder.Err, "harvex-batch: " + Full("none/loops/loop.out") + ": Too many levels of symbolic links\n" +
                                 "harvex-batch: " + Full("none") + ": the folder holds no output\n" +
                                 "harvex-batch: 2 files: 2 unreadable\n  unreadable: none/loops/loop.out: Too many levels of symbolic "
                                 "links\n  unreadable: none: the folder holds no output\n");
  const TBatchResult full = RunBatch("--results /dev/full missing.out");
  EXPECT_EQ(full.ExitStatus, 1);
  EXPECT_EQ(full.Err, "harvex-batch: Cannot write the results file /dev/full: No space left on device\n");
}

// However a run ends (a reader that stops early, an end signal to the
// command line or the window), the results file holds the header and
// complete rows only.
TEST_F(BatchTest, ARunEndedEarlyLeavesCompleteRowsOnly) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  std::string list;
  for (int i = 0; i < 50000; ++i) list += Full("water.out") + "\n";
  Scratch.Write("list.txt", list);
  const std::string waitForRowsThenKill =
      "until [ \"$(wc -l 2>/dev/null <Harvex_res.txt)\" -gt 2 ] 2>/dev/null; do sleep 0.05; done; kill -";
  const std::string killOnceRowsExist = " list.txt >/dev/null 2>&1 & " + waitForRowsThenKill;
  std::vector<std::pair<std::string, int>> cases = {
      {"'" HARVEX_BATCH_PROGRAM "' list.txt | head -c1 >/dev/null; echo $? >status", 0},
      {"'" HARVEX_BATCH_PROGRAM "'" + killOnceRowsExist + "TERM $!; wait $!; echo $? >status", 128 + SIGTERM}};
#ifdef HARVEX_WINDOW_PROGRAM
  cases.emplace_back("QT_QPA_PLATFORM=offscreen '" HARVEX_WINDOW_PROGRAM "'" + killOnceRowsExist +
                         "HUP $!; wait $!; echo $? >status",
                     128 + SIGHUP);
#endif
  const std::string row = Full("water.out") + "\tOUT\t-7.60267607374280E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n";
  for (const auto& [command, status] : cases) {
    const std::string script = "cd '" + Scratch.Path().string() + "' && rm -f Harvex_res.txt && (" + command + ")";
    ASSERT_EQ(std::system(script.c_str()), 0);
    EXPECT_EQ(std::stoi(Results("status")), status) << command;
    const std::string rows = Results().substr(Results().find("\r\n") + 2);
    EXPECT_EQ(rows.size() % row.size(), 0U) << command;
    EXPECT_LT(rows.size(), 50000 * row.size()) << command;
    EXPECT_EQ(rows.substr(0, row.size()), row) << command;
  }
  // With --json an end signal leaves the same files on standard output as
  // in the results file.
  const std::string script = "cd '" + Scratch.Path().string() + "' && rm -f Harvex_res.txt && ('" +
                             HARVEX_BATCH_PROGRAM + "' --json list.txt >objects.json 2>/dev/null & " + waitForRowsThenKill +
                             "TERM $!; wait $!; echo $? >status)";
  ASSERT_EQ(std::system(script.c_str()), 0);
  EXPECT_EQ(std::stoi(Results("status")), 128 + SIGTERM);
  const std::string rows = Results().substr(Results().find("\r\n") + 2);
  EXPECT_EQ(std::ranges::count(Results("objects.json"), '\n'), static_cast<long>(rows.size() / row.size()));
}

TEST_F(BatchTest, JsonReplacesTheMemoLinesWithTheModel) {
  Scratch.Write("notes.dat", "text\n");
  const TBatchResult result = RunBatch("--json notes.dat");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_TRUE(result.Out.starts_with(R"({"Path":")" + Full("notes.dat") +
                                     R"(","FileName":"","FileKind":"None","Status":"unreadable","Reason":"unknown extension .dat",)"
                                     R"("Program":null,"ProgramVersion":null,"Tag":0,"Atoms":[])"))
      << result.Out;
  EXPECT_NE(result.Out.find(R"("Conformer":{"IsCdf":false)"), std::string::npos);
  EXPECT_EQ(std::count(result.Out.begin(), result.Out.end(), '\n'), 1);
}

TEST_F(BatchTest, FolderStandsForTheOutputsInAndBelowItInNaturalOrder) {
  for (const char* name : {"runs/conf10.out", "runs/conf2.out", "runs/conf1.ZIP", "runs/a/b.log", "runs/sub10/x.cdf",
                           "runs/sub9/y.out", "runs/notes.txt", "runs/geometry.xyz", "runs/README"}) {
    Scratch.Write(name, "text\n");
  }
  // A folder named in a list is reported as the list names it, not walked.
  Scratch.Write("list.txt", Scratch.PathOf("runs") + "\n");
  const TBatchResult result = RunBatch("runs list.txt");
  EXPECT_EQ(ReportedPaths(result.Out),
            (std::vector<std::string>{Full("runs/a/b.log"), Full("runs/conf1.ZIP"), Full("runs/conf2.out"),
                                      Full("runs/conf10.out"), Full("runs/sub9/y.out"), Full("runs/sub10/x.cdf"),
                                      Scratch.PathOf("runs")}))
      << result.Out;
}

TEST_F(BatchTest, ProgressShowsOnATerminalOnlyAndIsErasedAtTheEnd) {
  for (int i = 1; i <= 12; ++i) Scratch.Write("runs/conf" + std::to_string(i) + ".out", "text\n");
  const std::string shown = RunOnTerminal("runs");
  EXPECT_NE(shown.find("0 of 12, " + Full("runs/conf1.out")), std::string::npos) << shown;
  // The progress line is erased before the closing summary.
  EXPECT_NE(shown.find("\r\033[Kharvex-batch: 12 files: 12 unreadable\r\n"), std::string::npos) << shown;
  EXPECT_EQ(ReportedPaths(Results("batch.out")).size(), 12U);
  EXPECT_EQ(Results("batch.out").find('\033'), std::string::npos);

  EXPECT_TRUE(RunOnTerminal("--quiet runs").starts_with("harvex-batch: 12 files: 12 unreadable\r\n"));
  EXPECT_TRUE(RunBatch("runs").Err.starts_with("harvex-batch: 12 files: 12 unreadable\n"));
}

TEST_F(BatchTest, UsageErrorsExitTwo) {
  EXPECT_EQ(RunBatch("").ExitStatus, 2);
  EXPECT_EQ(RunBatch("--no-such-option a.out").ExitStatus, 2);
  EXPECT_EQ(RunBatch("--results").ExitStatus, 2);
  for (const char* kelvin : {"0", "-5", "nan", "inf", "300K", "", ".", "1e-300", "1e300"})
    EXPECT_EQ(RunBatch(std::string("--ensemble --temperature ") + kelvin + " a.out").ExitStatus, 2) << kelvin;
  for (const char* jobs : {"-1", "99999999999999999999", "1025", "2x", "''"}) {
    const TBatchResult result = RunBatch(std::string("--jobs ") + jobs + " a.out");
    EXPECT_EQ(result.ExitStatus, 2) << jobs;
    EXPECT_NE(result.Err.find("--jobs: needs a number from 0 to 1024"), std::string::npos) << result.Err;
  }
}

// A destination that is an input, another destination or a program's output
// is refused before any file is created or emptied.
TEST_F(BatchTest, DestinationsThatAreInputsAreRefusedBeforeAnythingIsWritten) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  Scratch.Write("L.txt", "kept\n");
  const std::pair<const char*, const char*> clashes[] = {
      {"--results L.txt L.txt", "L.txt: the results file would overwrite the input L.txt"},
      {"--results ./L.txt water.out L.txt", "./L.txt: the results file would overwrite the input L.txt"},
      {"--ensemble=L.txt L.txt", "L.txt: the ensemble table would overwrite the input L.txt"},
      {"--thermo=L.txt water.out L.txt", "L.txt: the thermochemistry table would overwrite the input L.txt"},
      {"--thermo=new.txt --ensemble=./new.txt L.txt",
       "./new.txt: the ensemble table would overwrite the thermochemistry table new.txt"},
      {"--results res.txt --thermo=res.txt L.txt", "res.txt: the results file would overwrite the thermochemistry"},
      {"--ensemble=water.out L.txt", "water.out: the ensemble table would overwrite the Gaussian or ORCA output"},
  };
  for (const auto& [arguments, message] : clashes) {
    const TBatchResult result = RunBatch(arguments);
    EXPECT_EQ(result.ExitStatus, 2) << arguments;
    EXPECT_TRUE(result.Err.starts_with(std::string("harvex-batch: ") + message)) << result.Err;
    EXPECT_EQ(std::ranges::count(result.Err, '\n'), 1) << result.Err;
    EXPECT_EQ(Results("L.txt"), "kept\n") << arguments;
    EXPECT_FALSE(std::filesystem::exists(Path("new.txt")) || std::filesystem::exists(Path("res.txt"))) << arguments;
  }
}

// A pipe, a FIFO or a terminal named as a destination is written to, never
// read first to see whether it is a program's output (which would block).
TEST_F(BatchTest, DestinationsThatAreStreamsAreWrittenWithoutBeingRead) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  const std::string folder = "cd '" + Scratch.Path().string() + "' && ";
  // A run blocked on a destination ends by force, and the FIFO's reader with it.
  const std::string batch = std::string("timeout -s KILL 60 '") + HARVEX_BATCH_PROGRAM + "' ";
  const std::string fifo = folder +
                           "mkfifo table.fifo && (timeout -s KILL 90 cat table.fifo >table.txt 2>&1 </dev/null &) && " +
                           batch + "--thermo=table.fifo water.out >/dev/null";
  const std::string pipe = folder + batch + "--results /dev/stdout water.out | cat >piped.txt";
  for (const std::string& command : {fifo, pipe}) EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 0) << command;
  EXPECT_NE(Results("piped.txt").find(Full("water.out") + "\tOUT\t-7.60267607374280E+0001"), std::string::npos);
  for (int wait = 0; wait < 100 && Results("table.txt").find("water.out") == std::string::npos; ++wait)
    usleep(50'000);  // the reader of the FIFO may still be writing what it got
  EXPECT_NE(Results("table.txt").find("water.out"), std::string::npos);
}

// A frequency listing that counts past what 500 atoms can have ends there.
TEST_F(BatchTest, FrequencyListingEndsAtTheModeLimit) {
  std::string output = " This is part of the Gaussian(R) 16 program.\n Harmonic frequencies (cm**-1)\n";
  for (int first = 1; first < 1800; first += 3) {
    output += "                      " + std::to_string(first) + "                      " +
              std::to_string(first + 1) + "                      " + std::to_string(first + 2) +
              "\n                      A                      A                      A\n"
              " Frequencies --   1000.0000              1100.0000              1200.0000\n"
              "  Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z\n"
              "     1   1     0.00   0.00   1.00     0.00   1.00   0.00     1.00   0.00   0.00\n";
  }
  Scratch.Write("wide.out", output + " Normal termination of Gaussian 16\n");
  const TBatchResult result = RunBatch("wide.out");
  EXPECT_NE(result.Out.find("Warning: the frequency listing goes on past 1500 modes"), std::string::npos);
  EXPECT_NE(result.Out.find("The oscillation spectra contains 1500 modes"), std::string::npos) << result.Out;
}

// A program started without standard output or error writes its memo and
// messages nowhere, never into the results file that took their number.
TEST_F(BatchTest, ClosedStandardStreamsStayOutOfTheResultsFile) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  Scratch.Write("notes.dat", "text\n");
  const std::string row = Full("water.out") + "\tOUT\t-7.60267607374280E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n";
  for (const char* closed : {">&-", "2>&-", "<&- >&- 2>&-"}) {
    const std::string command = "cd '" + Scratch.Path().string() + "' && rm -f Harvex_res.txt && '" +
                                HARVEX_BATCH_PROGRAM + "' --json notes.dat water.out " + closed;
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1) << closed;
    const std::string rows = Results();
    EXPECT_EQ(rows.substr(rows.find("\r\n") + 2), row) << closed;
  }
}

// On a full disk the results file ends with its last complete row.
TEST_F(BatchTest, FullDiskLeavesCompleteRowsOnly) {
  const std::filesystem::path disk = Path("full");
  std::filesystem::create_directory(disk);
  const std::string mount = "mount -t tmpfs -o size=64k harvex-full '" + disk.string() + "' 2>/dev/null";
  if (std::system(mount.c_str()) != 0) GTEST_SKIP() << "cannot mount a small tmpfs here";
  Scratch.Write("water.out", std::string(OrcaOutput));
  std::string list;
  for (int i = 0; i < 2000; ++i) list += Full("water.out") + "\n";
  Scratch.Write("list.txt", list);
  for (const char* jobs : {"1", "4"}) {
    const TBatchResult result = RunBatch(std::string("--jobs ") + jobs + " --results full/res.txt list.txt");
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_NE(result.Err.find("res.txt: No space left on device"), std::string::npos) << result.Err;
    const std::string rows = Results("full/res.txt");
    const std::string row = Full("water.out") + "\tOUT\t-7.60267607374280E+0001\tNO_THCHEM\tNO_THCHEM\t\r\n";
    EXPECT_EQ((rows.size() - rows.find("\r\n") - 2) % row.size(), 0U) << jobs;
    EXPECT_TRUE(rows.ends_with(row)) << jobs;
  }
  EXPECT_EQ(std::system(("umount '" + disk.string() + "'").c_str()), 0);
}

// Every option once, under its heading, with the name of its value and the
// range and default it takes; none of the option library's own notes.
TEST_F(BatchTest, HelpListsEachOptionOnceUnderItsHeadingWithItsRange) {
  const TBatchResult result = RunBatch("--help");
  EXPECT_EQ(result.ExitStatus, 0);
  const std::string& help = result.Out;
  EXPECT_NE(help.find("\nUsage: harvex-batch [OPTIONS] PATH...\n"), std::string::npos) << help;
  for (const char* artefact : {"{", "Excludes", "REQUIRED", "TEXT"})
    EXPECT_EQ(help.find(artefact), std::string::npos) << artefact << " in\n" << help;
  std::string words;  // the help with every run of blanks and line ends as one blank
  std::size_t optionLines = 0;
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 80U) << line;
    optionLines += line.starts_with("  ") && line.size() > 2 && line[2] != ' ';
    std::istringstream split(line);
    for (std::string word; split >> word;) words += word + ' ';
  }
  const std::tuple<std::string, std::string, const char*> options[] = {
      {"Report", "PATH...", "a folder stands for the outputs in and below it"},
      {"Report", "--results FILE", "(default Harvex_res.txt)"},
      {"Report", "--json", "JSON"},
      {"Report", "--quiet", "progress"},
      {"Report", "--jobs N", "N from 0 (one per core) to 1024 (default 1)"},
      {"Thermochemistry", "--thermo[=FILE]", "with --thermo=FILE to FILE"},
      {"Thermochemistry", "--qs MODEL", "grimme (default), truhlar or none"},
      {"Thermochemistry", "--qh", "Head-Gordon"},
      {"Thermochemistry", "--cutoff CM", "from 0 to 10000 (default 100)"},
      {"Thermochemistry", "--scale S", "from 0.1 to 10 (default 1)"},
      {"Thermochemistry", "--temperatures LIST", "from 1 to 10000: T1,T2,... or START:STOP:STEP"},
      {"Thermochemistry", "--pressure ATM", "in atm, from 1e-9 to 1e9 (default 1)"},
      {"Thermochemistry", "--concentration MOL_PER_L", "in mol/L, from 1e-9 to 1e9, instead of a pressure"},
      {"Thermochemistry", "--imaginary MODE", "drop (default), or invert those above CM cm-1 (default -50)"},
      {"Ensemble", "--ensemble[=FILE]", "with --ensemble=FILE to FILE"},
      {"Ensemble", "--temperature K", "from 1 to 10000 (default 298.15); also that of --thermo"},
      {"Table", "--table[=FILE]", "comma-separated for a .csv name"},
      {"Checks", "--check[=FILE]", "with --check=FILE to FILE; an error among them fails the run"},
      {"Other", "-h, --help", "help"},
      {"Other", "--version", "version"},
  };
  EXPECT_EQ(optionLines, std::size(options)) << help;
  for (const auto& [heading, option, text] : options) {
    const std::size_t at = help.find("\n  " + option);
    ASSERT_NE(at, std::string::npos) << option;
    EXPECT_EQ(help.find("\n  " + option, at + 1), std::string::npos) << option << " twice";
    const std::size_t headingEnd = help.rfind(":\n", at);
    const std::size_t headingStart = help.rfind('\n', headingEnd) + 1;
    EXPECT_EQ(help.substr(headingStart, headingEnd - headingStart), heading) << option;
    EXPECT_NE(words.find(text, words.find(option + ' ')), std::string::npos) << option << ": " << text;
  }
}

// "-" is no name for the results file, whose place standard output holds
// with the memo lines: refused before any file exists. For a table it is
// standard output, as the bare option is.
TEST_F(BatchTest, DashDestinationsAreStandardOutputForTablesAndRefusedForTheResultsFile) {
  Scratch.Write("water.out", std::string(OrcaOutput));
  const std::string dash = "--results: needs a file name, not - (standard output carries the memo lines)\n";
  const std::pair<const char*, std::string> refused[] = {
      {"--results - water.out", dash},
      {"--json --results=- water.out", dash},
      {"--results '' water.out", "--results: needs a file name, not an empty one\n"},
  };
  for (const auto& [arguments, message] : refused) {
    const TBatchResult result = RunBatch(arguments);
    EXPECT_EQ(result.ExitStatus, 2) << arguments;
    EXPECT_TRUE(result.Err.starts_with(message)) << arguments << ": " << result.Err;
    EXPECT_EQ(result.Out, "") << arguments;
    for (const auto& entry : std::filesystem::directory_iterator(Scratch.Path()))
      EXPECT_TRUE(entry.path().filename() == "water.out" || entry.path().filename().string().starts_with("batch."))
          << arguments << " created " << entry.path();
  }
  for (const char* table : {"--thermo", "--ensemble"}) {
    const TBatchResult bare = RunBatch(std::string(table) + " water.out");
    const TBatchResult dash = RunBatch(std::string(table) + "=- water.out");
    EXPECT_EQ(dash.ExitStatus, bare.ExitStatus) << table;
    EXPECT_EQ(dash.Out, bare.Out) << table;
    EXPECT_NE(dash.Out.find("\n\n"), std::string::npos) << table << ": no table in\n" << dash.Out;
    EXPECT_FALSE(std::filesystem::exists(Path("-"))) << table;
  }
}

// ---------------------------------------------------------------------------
// The study table after the batch.

// Every file gets a row with its status, whatever it is; what a file did not
// give is an empty cell. On standard output the table takes the place of
// the memo lines; a file named .csv gets commas and quotes.
TEST_F(BatchTest, StudyTableGivesEveryFileARowWithItsStatus) {
  const std::string failed = testing::ReadWholeFile(testing::TestDataPath("gaussian/MeOH_SCF_error.out"));
  Scratch.Write("good.out", std::string(OrcaOutput));
  Scratch.Write("a, \"b\".out", std::string(OrcaOutput));
  Scratch.Write("cut.out", std::string(OrcaOutput).substr(0, std::string(OrcaOutput).find("****ORCA")));
  Scratch.Write("binary.out", std::string("\0\x01\x02", 3));
  Scratch.Write("failed.out", failed);
  const std::string files = "good.out cut.out missing.out binary.out failed.out 'a, \"b\".out' notes.dat";
  const TBatchResult piped = RunBatch("--quiet --table " + files);
  EXPECT_EQ(piped.ExitStatus, 1);
  const std::string header = "\tstatus\tprogram\tmethod\tbasis\tsolvation\tdispersion\tE [Hartree]\tZPE [Hartree]\t"
                             "H [Hartree]\tG [Hartree]\timaginary modes\tfirst frequency [cm-1]\tBSSE [kcal/mol]\t"
                             "findings\twarnings\n";
  EXPECT_EQ(piped.Out, "file" + header +
                           "good.out\tok\tORCA\t\t\t\t\t-76.026760737428\t\t\t\t\t\t\t\t\n"
                           "cut.out\tunfinished\tORCA\t\t\t\t\t-76.026760737428\t\t\t\t\t\t\t\tno termination line\n"
                           "missing.out\tunreadable\t\t\t\t\t\t\t\t\t\t\t\t\t\tNo such file or directory\n"
                           "binary.out\tunreadable\t\t\t\t\t\t\t\t\t\t\t\t\t\tno Gaussian or ORCA banner\n"
                           "failed.out\tfailed\tGaussian 09 A.02\tb3lyp\t3-21G\tnone\tnone\t-115.073590213\t\t\t\t\t\t\t"
                           "opt-not-converged\terror termination\n"
                           "a, \"b\".out\tok\tORCA\t\t\t\t\t-76.026760737428\t\t\t\t\t\t\t\t\n"
                           "notes.dat\tunreadable\t\t\t\t\t\t\t\t\t\t\t\t\t\tunknown extension .dat\n");
  EXPECT_TRUE(piped.Err.ends_with("7 files: 2 ok, 1 failed, 1 unfinished, 3 unreadable\n"
                                  "  unfinished: cut.out: no termination line\n"
                                  "  unreadable: missing.out: No such file or directory\n"
                                  "  unreadable: binary.out: no Gaussian or ORCA banner\n"
                                  "  failed: failed.out: error termination\n"
                                  "  unreadable: notes.dat: unknown extension .dat\n"))
      << piped.Err;

  const TBatchResult csv = RunBatch("--quiet --table=study.csv good.out 'a, \"b\".out'");
  EXPECT_EQ(csv.ExitStatus, 0) << csv.Err;
  EXPECT_EQ(ReportedPaths(csv.Out).size(), 2U) << "the memo lines stay with a table file";
  EXPECT_EQ(testing::ReadWholeFile(Path("study.csv")),
            "file,status,program,method,basis,solvation,dispersion,E [Hartree],ZPE [Hartree],H [Hartree],"
            "G [Hartree],imaginary modes,first frequency [cm-1],BSSE [kcal/mol],findings,warnings\n"
            "good.out,ok,ORCA,,,,,-76.026760737428,,,,,,,,\n"
            "\"a, \"\"b\"\".out\",ok,ORCA,,,,,-76.026760737428,,,,,,,,\n");

  // A terminal gets aligned columns and fixed decimals.
  const std::string shown = RunOnTerminal("--quiet --table good.out failed.out", true);
  EXPECT_NE(shown.find("\r\ngood.out    ok      ORCA" + std::string(53, ' ') + "-76.026761\r\n"), std::string::npos)
      << shown;
}

// ---------------------------------------------------------------------------
// The conformer ensemble after the batch.

// A Gaussian frequency job: geometry rows, E, water's modes and G.
std::string FrequencyJob(const std::string& rows, const char* energy, const char* gibbsEnergy) {
  return std::string(" This is part of the Gaussian(R) 16 program.\n"
                     "                         Standard orientation:\n"
                     " ---------------------------------------------------------------------\n"
                     " Center     Atomic     Atomic              Coordinates (Angstroms)\n"
                     " Number     Number      Type              X           Y           Z\n"
                     " ---------------------------------------------------------------------\n") +
         rows + " ---------------------------------------------------------------------\n" +
         " SCF Done:  E(RB3LYP) =  " + energy + "     A.U. after   10 cycles\n" + std::string(testing::TableHeading) +
         std::string(testing::WaterModes) + " Sum of electronic and thermal Free Energies=  " + gibbsEnergy +
         "\n Normal termination of Gaussian 16.\n";
}

// Water turned by 90 degrees about z and moved by (1, 1, 1).
const std::string TurnedWaterRows =
    "      1          8           0        1.000000    1.000000    1.119159\n"
    "      2          1           0        0.209351    1.000000    0.523363\n"
    "      3          1           0        1.790649    1.000000    0.523363\n";

// These jobs print G but give too little to recompute it: every member
// ranks by E, the warning names them, and the run exits 1.
TEST_F(BatchTest, EnsembleFollowsTheRowsOnStandardOutputWithPointsInAnyLocale) {
  Scratch.Write("a.out", FrequencyJob(testing::WaterRows, "-76.4000000000", "-76.380000"));
  Scratch.Write("b.out", FrequencyJob(testing::StretchedWaterRows, "-76.3990000000", "-76.379000"));
  Scratch.Write("c.out", FrequencyJob(TurnedWaterRows, "-76.4000100000", "-76.380010"));
  const testing::TLocaleScope locale("de_DE.UTF-8");
  ASSERT_TRUE(locale.Ok);
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const TBatchResult result = RunBatch("--ensemble --temperature 310.15 a.out b.out c.out");
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(result.ExitStatus, 1) << result.Err;
  const std::string warning = "warning: ranked by E, not qh-G (Grimme, 100 cm-1, 1 atm): no frequencies to recompute "
                              "it from in a.out, b.out, c.out";
  EXPECT_EQ(result.Err, "harvex-batch: ensemble of H2O: " + warning + "\nharvex-batch: 3 files: 3 ok\n");
  EXPECT_TRUE(result.Out.ends_with(
      "G [Hartree]=\t-76,3800100\n\n"
      "# H2O: 3 members ranked by E at 310.15 K\n"
      "# ensemble free energy from E: -76.4003103 Hartree; lowest member's share: 73.7 %\n# " + warning + "\n"
      "rank\tstatus\tpath\tE [Hartree]\tqh-G [Hartree]\tdE [kcal/mol]\tdqh-G [kcal/mol]\tpopulation [%]\t"
      "imaginary modes\twarnings\tduplicate of\n"
      "1\tok\tc.out\t-76.4000100\t\t0.00\t\t73.7\t0\tno thermochemistry\t\n"
      "2\tok\ta.out\t-76.4000000\t\t0.01\t\t\t0\tno thermochemistry\t1\n"
      "3\tok\tb.out\t-76.3990000\t\t0.63\t\t26.3\t0\tno thermochemistry\t\n"))
      << result.Out;
}

// Each formula gets its own table and populations, ranked by the qh-G
// recomputed at the default conditions; the missing file, the failed and
// the unfinished job are listed with their status, never ranked.
TEST_F(BatchTest, EnsembleGivesOneTablePerFormulaAndListsWhatIsNotOk) {
  for (const char* name : {"isobutane.out", "CH4.out", "MeOH_SCF_error.out", "CH2OH2_unfinished.out"})
    Scratch.Write(name, testing::ReadWholeFile(testing::TestDataPath(std::string("gaussian/") + name)));
  const TBatchResult result =
      RunBatch("--json --ensemble=table.tsv isobutane.out missing.out CH4.out MeOH_SCF_error.out isobutane.out "
               "CH2OH2_unfinished.out");
  EXPECT_EQ(result.ExitStatus, 1);
  const std::string table = testing::ReadWholeFile(Path("table.tsv"));
  // The table of each formula starts with its basis, and each member that is
  // not ok follows the ranked ones of its formula.
  for (const std::string& line : std::vector<std::string>{
           "# C4H10: 2 members ranked by qh-G (Grimme, 100 cm-1, 1 atm) at 298.15 K, 1 not ranked\n",
           "\n2\tok\tisobutane.out\t-158.4588111\t-158.3540562\t0.00\t0.00\t\t0\t\t1\n"
           "\tunreadable\tmissing.out\t\t\t\t\t\t\tNo such file or directory\t\n",
           "\n\n# CH4: 1 member ranked by qh-G (Grimme, 100 cm-1, 1 atm) at 298.15 K\n",
           "\n\n# CH4O: 0 members ranked by E at 298.15 K, 1 not ranked\n",
           "\n\tfailed\tMeOH_SCF_error.out\t-115.0735902\t\t",
           "\n\tunfinished\tCH2OH2_unfinished.out\t-189.7816606\t\t"})
    EXPECT_NE(table.find(line), std::string::npos) << line << "\n" << table;
  EXPECT_NE(result.Out.find(R"x({"Ensemble":{"Formula":"C4H10","EnergyUsed":"qh-G (Grimme, 100 cm-1, 1 atm)",)x"),
            std::string::npos)
      << result.Out;
  EXPECT_NE(result.Out.find(R"("Excluded":[{"Path":"missing.out","Status":"unreadable",)"
                            R"("Reason":"No such file or directory","E":null,"G":null}])"),
            std::string::npos)
      << result.Out;
}

// ---------------------------------------------------------------------------
// Recomputed thermochemistry after the batch.

TEST_F(BatchTest, BadThermochemistryOptionsAreUsageErrorsNamingTheOption) {
  const std::pair<const char*, const char*> usages[] = {
      {"--qs grimm", "--qs"},
      {"--cutoff -1", "--cutoff"},
      {"--scale 0", "--scale"},
      {"--pressure 0", "--pressure"},
      {"--concentration -2", "--concentration"},
      {"--pressure 1 --concentration 1", "--concentration"},
      {"--temperatures 300:200:10", "--temperatures"},
      {"--temperatures 0,300", "--temperatures"},
      {"--imaginary=invert:10", "--imaginary"},
      {"--imaginary=flip", "--imaginary"},
      // Values the formulas cannot hold: each once overflowed into inf or nan.
      {"--scale 1e-320", "--scale: needs a factor from 0.1 to 10"},
      {"--temperatures 1e300", "--temperatures: needs temperatures from 1 to 10000 K"},
      {"--temperatures 1e-300", "--temperatures: needs temperatures from 1 to 10000 K"},
      {"--pressure 1e308", "--pressure: needs a pressure from 1e-9 to 1e9 atm"},
      {"--concentration 1e300", "--concentration: needs a concentration from 1e-9 to 1e9 mol/L"},
      {"--cutoff 1e308", "--cutoff: needs a frequency from 0 to 10000 cm-1"},
      {"--temperatures 300,", "--temperatures: piece 2 of 300, is empty"},
      {"--temperatures 200::10", "--temperatures: piece 2 of 200::10 is empty"},
  };
  for (const auto& [options, named] : usages) {
    const TBatchResult result = RunBatch(std::string("--thermo ") + options + " a.out");
    EXPECT_EQ(result.ExitStatus, 2) << options;
    EXPECT_NE(result.Err.find(named), std::string::npos) << options << ": " << result.Err;
  }
}

// One row per file and temperature; a file without the block's data gets
// dashes and the reason.
TEST_F(BatchTest, ThermochemistryTableFollowsTheRowsAndJsonCarriesItsValues) {
  const std::string isobutane = testing::TestDataPath("gaussian/isobutane.out");
  Scratch.Write("water.out", FrequencyJob(testing::WaterRows, "-76.4000000000", "-76.380000"));
  const TBatchResult result = RunBatch("--thermo --temperatures 298.15,400 '" + isobutane + "' water.out");
  EXPECT_EQ(result.ExitStatus, 0) << result.Err;
  const std::string table = result.Out.substr(result.Out.find("\n\n# thermochemistry recomputed") + 2);
  EXPECT_TRUE(table.starts_with("# thermochemistry recomputed with S: Grimme, 100 cm-1; harmonic H; imaginary modes "
                                "left out\npath\tprogram\tT [K]\tp [atm]\tsymmetry number\t"))
      << table;
  EXPECT_NE(table.find("\n" + isobutane + "\tGaussian\t298.15\t1\t1\t1\tnonlinear\t36\t0 left out\t1\t"
                       "-158.4588111\t0.1323801\t-158.3198044\t\t0.0342412\t0.0342517\t-158.3540456\t"
                       "-158.3540562\t-158.3540460\t3.9e-07\t\n" + isobutane + "\tGaussian\t400\t"),
            std::string::npos)
      << table;
  // What the file does not give is left empty, never 0.
  EXPECT_TRUE(table.ends_with("\nwater.out\tGaussian\t400\t1" + std::string(14, '\t') +
                              "\t-76.3800000\t\tno molecular mass\n"))
      << table;
  const TBatchResult json = RunBatch("--json --thermo --concentration 1 '" + isobutane + "'");
  EXPECT_NE(json.Out.find(R"("Thermo":[{"Temperature":298.15,"Pressure":null,"Concentration":1.0,"SymmetryNumber":1,)"
                          R"("Multiplicity":1,"Rotor":"nonlinear","ModesUsed":36,"ImaginaryModes":0,)"),
            std::string::npos)
      << json.Out;
}

// The self-check names the file and both values; the ensemble ranks by
// the recomputed qh-G.
TEST_F(BatchTest, FailedSelfCheckIsAWarningAndTheEnsembleRanksByQuasiHarmonicG) {
  std::string text = testing::ReadWholeFile(testing::TestDataPath("gaussian/isobutane.out"));
  text.replace(text.find("-158.354046"), 11, "-158.354146");
  Scratch.Write("a.out", text);
  const TBatchResult result = RunBatch("--thermo=t.tsv --ensemble --concentration 1 a.out");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err,
            "harvex-batch: a.out: printed G -158.354146 but recomputed -158.3540456 (1.0e-04 Hartree apart)\n"
            "harvex-batch: 1 file: 1 ok\n");
  EXPECT_NE(result.Out.find("\n# C4H10: 1 member ranked by qh-G (Grimme, 100 cm-1, 1 mol/L) at 298.15 K\n"),
            std::string::npos)
      << result.Out;
  EXPECT_NE(result.Out.find("\t-158.3510374\t"), std::string::npos) << result.Out;
}

// A minimum with an imaginary mode fails the run; the findings follow the
// batch, each file's also in its JSON, those across files in one object.
TEST_F(BatchTest, CheckListsFindingsAfterTheBatchAndFailsOnAnError) {
  std::string minimum = FrequencyJob(testing::WaterRows, "-76.4000000000", "-76.380000");
  minimum.replace(minimum.find("1743.1470"), 9, "-200.7700");
  minimum.insert(minimum.find('\n') + 1, " Entering Link 1 = /g16/l1.exe PID=      5097.\n ------\n"
                                          " #p B3LYP/6-31G(d) Opt Freq\n ------\n Optimization completed.\n");
  Scratch.Write("a.out", minimum);
  Scratch.Write("b.out", FrequencyJob(TurnedWaterRows, "-76.4000100000", "-76.380010"));
  const TBatchResult result = RunBatch("--check a.out b.out");
  EXPECT_EQ(result.ExitStatus, 1) << result.Err;
  EXPECT_TRUE(result.Out.ends_with("\nerror\timaginary-minimum\ta.out\t"
                                   "optimised as a minimum but has 1 imaginary mode: -200.77 cm-1\n"
                                   "warning\tduplicate\t\ta.out repeats b.out (G 0.006 kcal/mol apart, the same geometry)\n"))
      << result.Out;
  EXPECT_EQ(result.Err, "harvex-batch: 2 files: 2 ok; checks: 1 error, 1 warning\n");
  const TBatchResult json = RunBatch("--json --check a.out b.out");
  EXPECT_NE(json.Out.find(R"("Findings":[{"Code":"imaginary-minimum","Severity":"error","Text":)"), std::string::npos);
  EXPECT_NE(json.Out.find(R"("Findings":[]})"), std::string::npos);
  EXPECT_TRUE(json.Out.ends_with(R"({"StudyFindings":[{"Code":"duplicate","Severity":"warning","Text":)"
                                 R"x("a.out repeats b.out (G 0.006 kcal/mol apart, the same geometry)"}]})x" "\n"))
      << json.Out;
}

}  // namespace
}  // namespace harvex
