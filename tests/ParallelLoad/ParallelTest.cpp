// Loads on several threads at once: the batch's report whatever --jobs, and
// conformers whose relative names lead into different folders.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#include "ParallelLoad/BatchLoader.h"
#include "Unit1/Unit1.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::TestDataPath;

// A copy of a fixture folder of tests/data in Folder.
void CopyData(const std::string& name, const fs::path& folder) {
  fs::copy(fs::path(HARVEX_TEST_DATA) / name, folder / name, fs::copy_options::recursive);
}

// Standard output, standard error and the results file's rows of one run.
std::string RunBatch(const fs::path& folder, const std::string& arguments) {
  const std::string command = "cd '" + folder.string() + "' && '" HARVEX_BATCH_PROGRAM "' --results res.txt " +
                              arguments + " >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  const std::string rows = ReadWholeFile(folder / "res.txt");
  return "status " + std::to_string(WEXITSTATUS(status)) + "\n" + ReadWholeFile(folder / "out.txt") + "\n--\n" +
         ReadWholeFile(folder / "err.txt") + "\n--\n" + rows.substr(rows.find("\r\n"));
}

TEST(ParallelBatch, EveryStreamIsTheSameWhateverTheJobs) {
  testing::TTempDir scratch;
  for (const char* name : {"cdf", "zip", "gaussian"}) CopyData(name, scratch.Path());
  const std::string cdf = scratch.PathOf("cdf/ch4.cdf");
  scratch.Write("list.txt", cdf + "\n" + scratch.PathOf("gaussian/water.out") + "\tOUT\n");
  scratch.Write("plain.out.gz", "not gzipped\n");
  const std::string paths =
      "gaussian/MeOH_SCF_error.out zip/deflated_member.zip plain.out.gz missing.txt list.txt cdf " + cdf +
      " gaussian/CH4.out absent.out zip";
  for (const char* options : {"", "--json --thermo --ensemble"}) {
    const std::string serial = RunBatch(scratch.Path(), std::string(options) + " --jobs 1 " + paths);
    for (const char* shown : {"TGzipReader: ", "missing.txt: ", "-40.4732157"})
      EXPECT_NE(serial.find(shown), std::string::npos) << shown;
    EXPECT_EQ(RunBatch(scratch.Path(), std::string(options) + " --jobs 4 " + paths), serial) << options;
  }
}

// Threads the system refuses are done without: the loads run on those that
// started, or on the caller's thread, and every file is loaded in order.
TEST(ParallelBatch, LoaderGoesOnWithTheThreadsThatStarted) {
  std::vector<TLoadItem> items;
  for (int i = 0; i < 6; ++i) items.push_back({TestDataPath("gaussian/CH4.out"), HARVEX_TEST_DATA});
  for (const std::size_t allowed : {0, 2}) {
    std::size_t started = 0;
    const TThreadStarter refuseAfter = [&](std::function<void()> work) {
      if (started == allowed) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
      ++started;
      return std::thread(std::move(work));
    };
    TBatchLoader loader(items, 4, refuseAfter);
    EXPECT_EQ(loader.StartedWorkers(), allowed);
    EXPECT_EQ(loader.WantedWorkers(), 4U);
    EXPECT_NE(loader.StartFailure(), "");
    for (std::size_t item = 0; item < items.size(); ++item) EXPECT_NE(loader.Take(item).File, nullptr) << allowed;
  }
}

// Every file taken is the one asked for, also when the caller passes items
// over while the workers load ahead.
TEST(ParallelBatch, LoaderHandsEachItemInOrderAndDropsThosePassedOver) {
  std::vector<TLoadItem> items;
  for (int i = 0; i < 40; ++i)
    items.push_back({i % 3 == 0 ? TestDataPath("gaussian/CH4.out") : "missing" + std::to_string(i) + ".out", ""});
  TBatchLoader loader(items, 3);
  for (std::size_t item = 0; item < items.size(); item += item % 7 == 6 ? 5 : 1) {
    const TLoadedFile loaded = loader.Take(item);
    ASSERT_NE(loaded.File, nullptr);
    EXPECT_EQ(loaded.File->Info.SourceOpened, item % 3 == 0) << item;
  }
}

// A path stands for its files as a choice of it alone: each file of a list
// keeps the list's folder, and what ended reading a list stays with its path.
TEST(ParallelBatch, PlanExpandsEachPathAsAChoiceOfItsOwn) {
  testing::TTempDir scratch;
  const std::string list = scratch.Write("lists/l.txt", scratch.PathOf("a.out") + "\tOUT\nnot a path\n" +
                                                            scratch.PathOf("sub/b.out") + "\n");
  std::vector<TLoadItem> items = {{"before.out", ""}};
  const std::vector<TBatchChoice> choices =
      PlanChoices({scratch.PathOf("x.out"), list, scratch.PathOf("missing.txt")}, std::nullopt, items);
  ASSERT_EQ(choices.size(), 3U);
  EXPECT_EQ(choices[0].FirstItem, 1U);
  EXPECT_EQ(choices[1].FirstItem, 2U);
  EXPECT_EQ(choices[1].ItemCount, 2U);
  EXPECT_FALSE(choices[1].ListError);
  EXPECT_EQ(choices[2].ItemCount, 0U);
  EXPECT_TRUE(choices[2].ListError);
  ASSERT_EQ(items.size(), 4U);
  EXPECT_EQ(items[1].Folder, scratch.Path().string());
  EXPECT_EQ(items[3].Path, scratch.PathOf("sub/b.out"));
  EXPECT_EQ(items[3].Folder, scratch.PathOf("lists"));
}

// Each conformer's relative names resolve against its own folder, and its
// boxes reach its own desktop, while the other loads on another thread.
TEST(ParallelLoads, ConformersWithRelativeNamesLoadOnTwoThreads) {
  testing::TTempDir scratch;
  CopyData("cdf", scratch.Path());
  fs::create_directory(scratch.Path() / "freq");
  fs::copy(TestDataPath("cdf/ch4_freq.cdf"), scratch.Path() / "freq/ch4_freq.cdf");
  fs::copy(TestDataPath("gaussian/water.out"), scratch.Path() / "freq/CH4.out");
  testing::TRecordingDesktop first;
  testing::TRecordingDesktop second;
  std::unique_ptr<TCoordinateFile_cdf> withSinglePoint;
  std::unique_ptr<TCoordinateFile_cdf> frequencyOnly;
  std::thread other([&] { withSinglePoint = LoadForReport("ch4.cdf", {first, scratch.PathOf("cdf")}); });
  frequencyOnly = LoadForReport("ch4_freq.cdf", {second, scratch.PathOf("freq")});
  other.join();
  EXPECT_EQ(withSinglePoint->EnergySource, esSinglePoint);
  EXPECT_EQ(withSinglePoint->AtomCount(), 5);
  EXPECT_EQ(frequencyOnly->AtomCount(), 3);  // the water output in its folder
  EXPECT_TRUE(first.Messages.empty());
  EXPECT_TRUE(second.Messages.empty());
}

}  // namespace
}  // namespace harvex
