#include "ParallelLoad/BatchLoader.h"

#include <algorithm>
#include <system_error>

#include "Unit1/Unit1.h"
#include "rtl/EndSignals.h"

namespace harvex {
namespace {

// Loaded files a job may keep waiting for their report: outputs differ in
// size a hundredfold, and a worker that waited for a long load in front of
// it would idle. A loaded model is small (the reader streams its file).
constexpr std::size_t ReadAhead = 8;
// The bytes of loaded files a job may keep waiting: so many that small
// files never feel it, so few that files of thousands of modes keep the
// memory of N jobs near N times that of one.
constexpr std::size_t ReadAheadBytes = std::size_t{4} << 20;

TLoadedFile LoadItem(const TLoadItem& item) {
  TLoadedFile loaded;
  loaded.Messages = std::make_unique<TMessageQueue>();
  try {
    loaded.File = LoadForReport(item.Path, TLoadContext(*loaded.Messages, item.Folder));
    loaded.Bytes = HeldBytes(*loaded.File);
  } catch (...) {
    loaded.Error = std::current_exception();
  }
  return loaded;
}

}  // namespace

std::vector<TBatchChoice> PlanChoices(const std::vector<std::string>& paths,
                                      const std::optional<TFileIdentity>& excluded, std::vector<TLoadItem>& items) {
  std::vector<TBatchChoice> choices;
  for (const std::string& path : paths) {
    if (EndSignal() != 0) break;
    TLoadContext context;
    context.Folder = ChoiceFolder(path);
    TChosenFiles chosen = ChosenFiles(path, context, excluded);
    choices.push_back({path, items.size(), chosen.Files.size(), chosen.ListError});
    for (std::string& file : chosen.Files) items.push_back({std::move(file), context.Folder});
  }
  return choices;
}

std::size_t LoadingJobs(std::size_t requested) {
  if (requested != 0) return requested;
  return std::max(1U, std::thread::hardware_concurrency());
}

void ReportLoaded(TResultsRun& run, TDesktop& desktop, const std::string& path, TLoadedFile loaded) {
  for (const TQueuedMessage& message : loaded.Messages->Messages) desktop.ShowMessage(message.Caption, message.Text);
  if (loaded.Error) std::rethrow_exception(loaded.Error);
  run.ReportObject(path, std::move(loaded.File));
  run.ReleaseCurrent();
}

TBatchLoader::TBatchLoader(const std::vector<TLoadItem>& items, std::size_t jobs, const TThreadStarter& startThread)
    : Items(items), Jobs(std::max<std::size_t>(jobs, 1)) {
  if (Jobs == 1) return;
  Wanted = std::min(Jobs, Items.size());
  try {
    while (Workers.size() < Wanted) Workers.push_back(startThread([this] { Work(); }));
  } catch (const std::system_error& error) {
    Refusal = error.what();
  }
  // What waits for the report is bounded by the jobs that run.
  const std::lock_guard lock(Mutex);
  Jobs = std::max<std::size_t>(Workers.size(), 1);
}

TBatchLoader::~TBatchLoader() {
  {
    const std::lock_guard lock(Mutex);
    Stopping = true;
  }
  Changed.notify_all();
  for (std::thread& worker : Workers) worker.join();
}

TLoadedFile TBatchLoader::Take(std::size_t index) {
  if (Workers.empty()) return LoadItem(Items[index]);
  std::unique_lock lock(Mutex);
  Taken = index;
  NextToLoad = std::max(NextToLoad, index);
  for (auto passed = Loaded.begin(); passed != Loaded.end() && passed->first < index;) {
    LoadedBytes -= passed->second.Bytes;
    passed = Loaded.erase(passed);
  }
  Changed.notify_all();
  Changed.wait(lock, [&] { return Loaded.contains(index); });
  TLoadedFile loaded = std::move(Loaded.at(index));
  Loaded.erase(index);
  LoadedBytes -= loaded.Bytes;
  Changed.notify_all();
  return loaded;
}

// A worker goes on past a long load in front of it while few loaded files
// wait for the report.
bool TBatchLoader::MayStart() const {
  return NextToLoad < Items.size() && Loaded.size() < ReadAhead * Jobs && LoadedBytes < ReadAheadBytes * Jobs;
}

void TBatchLoader::Work() {
  std::unique_lock lock(Mutex);
  for (;;) {
    Changed.wait(lock, [&] { return Stopping || NextToLoad >= Items.size() || MayStart(); });
    if (Stopping || NextToLoad >= Items.size()) return;
    const std::size_t index = NextToLoad++;
    lock.unlock();
    TLoadedFile loaded = LoadItem(Items[index]);
    lock.lock();
    // An item the caller passed over meanwhile is dropped.
    if (index >= Taken) {
      LoadedBytes += loaded.Bytes;
      Loaded.emplace(index, std::move(loaded));
    }
    Changed.notify_all();
  }
}

}  // namespace harvex
