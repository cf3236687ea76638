// Loading a batch's files ahead of their report: up to N files at once on
// worker threads, each load with a desktop of its own that queues the boxes
// it raises, and every file handed to the report strictly in order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CdfFiles/CdfFiles.h"
#include "Unit1/Unit1.h"
#include "rtl/Desktop.h"

namespace harvex {

struct TQueuedMessage {
  std::string Caption;
  std::string Text;
};

// The desktop of one load: keeps the boxes it raises for the report to show.
// A load asks nothing else of its desktop.
class TMessageQueue final : public TDesktop {
 public:
  void ShowMessage(const std::string& caption, const std::string& text) override {
    Messages.push_back({caption, text});
  }
  void AppendMemo(const std::string&) override {}
  void ClearMemo() override {}
  void ProcessEvents() override {}
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  TFormatSettings FormatSettings() override { return {}; }

  std::vector<TQueuedMessage> Messages;
};

// One file to load, and the folder its relative names resolve against.
struct TLoadItem {
  std::string Path;
  std::string Folder;
};

// What loading one item gave: the file, or what ended its load, and the
// boxes the load raised meanwhile.
struct TLoadedFile {
  std::unique_ptr<TMessageQueue> Messages;
  std::unique_ptr<TCoordinateFile_cdf> File;
  std::exception_ptr Error;
  std::size_t Bytes = 0;  // what the file holds (HeldBytes)
};

// One path of a batch, reported as a choice of it alone: the load items of
// the files it stands for, and what ended reading it as a list (raised after
// them).
struct TBatchChoice {
  std::string Path;
  std::size_t FirstItem = 0;
  std::size_t ItemCount = 0;
  std::exception_ptr ListError;
};

// Expands every path into the files it stands for (ChosenFiles), lists read
// in full, each file with the folder of its choice, appended to Items. Stops
// at an end signal.
std::vector<TBatchChoice> PlanChoices(const std::vector<std::string>& paths,
                                      const std::optional<TFileIdentity>& excluded, std::vector<TLoadItem>& items);

// More loads at once than this only wait on the disk and hold memory.
inline constexpr std::size_t MaxJobs = 1024;

// The loads to run at once for a requested count (at most MaxJobs): 0 asks
// for one per core.
std::size_t LoadingJobs(std::size_t requested);

// Starts a thread that runs Work; raises std::system_error when the system
// refuses one, as std::thread does.
using TThreadStarter = std::function<std::thread(std::function<void()> work)>;

// Loads the items on Jobs worker threads (with Jobs 1, on the caller's thread
// when each is taken). At most a few loaded files per job, holding a few MiB
// per job, wait to be taken, besides the Jobs being loaded and the one taken
// last.
class TBatchLoader {
 public:
  // Workers the system refuses are done without: the batch goes on with
  // those that started, and on the caller's thread when none did.
  TBatchLoader(const std::vector<TLoadItem>& items, std::size_t jobs,
               const TThreadStarter& startThread = [](std::function<void()> work) { return std::thread(std::move(work)); });
  // Waits for the loads under way; the items not yet taken are dropped.
  ~TBatchLoader();
  TBatchLoader(const TBatchLoader&) = delete;
  TBatchLoader& operator=(const TBatchLoader&) = delete;

  // Item Index once loaded. Indexes only grow; items passed over are dropped.
  TLoadedFile Take(std::size_t index);

  // The worker threads the loader wanted, and why the system refused some
  // (empty when all started).
  std::size_t WantedWorkers() const { return Wanted; }
  std::size_t StartedWorkers() const { return Workers.size(); }
  const std::string& StartFailure() const { return Refusal; }

 private:
  void Work();
  bool MayStart() const;

  const std::vector<TLoadItem>& Items;
  std::size_t Jobs;
  std::size_t Wanted = 0;
  std::string Refusal;
  std::mutex Mutex;
  std::condition_variable Changed;
  std::size_t NextToLoad = 0;
  std::size_t Taken = 0;  // the item the caller holds or waits for
  std::map<std::size_t, TLoadedFile> Loaded;
  std::size_t LoadedBytes = 0;
  bool Stopping = false;
  std::vector<std::thread> Workers;
};

// Shows the boxes the file's load raised on Desktop, then reports it in the
// run, or raises what ended its load.
void ReportLoaded(TResultsRun& run, TDesktop& desktop, const std::string& path, TLoadedFile loaded);

}  // namespace harvex
