// The run of the program: the results file, the choice of files and the
// per-file report that turns each chosen path into memo lines and one row.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CdfFiles/CdfFiles.h"
#include "ReportedValues/ReportedValues.h"
#include "Unit1/ListFile.h"

namespace harvex {

// The main window's caption, which the results file's header line names.
inline constexpr char MainWindowCaption[] = "Harvex version 18.10.2012";
// The caption of the box that shows an error ending a batch.
inline constexpr char ApplicationTitle[] = "Harvex";
// The results file's name, in the current directory at start-up.
inline constexpr char ResultsFileName[] = "Harvex_res.txt";

// The folder a confirmed choice's relative names resolve against: that of
// its first path, empty for a bare name.
std::string ChoiceFolder(const std::string& firstPath);

// Loads one path as the report does, every box going to the context's
// desktop: a .cdf as a conformer, any other file as it is. The report follows
// the flags and kind the load left, whatever the load returned.
std::unique_ptr<TCoordinateFile_cdf> LoadForReport(const std::string& fileName, const TLoadContext& context);

// Hands Take the files Path stands for in a choice whose relative names
// resolve against the context's folder: Path itself, or for a ".txt" path
// the paths the list names, which are never read as lists themselves.
// Reading a list raises as ForEachListedPath does; Excluded is the results
// file, which no list may name.
void ForEachChosenFile(const std::string& path, const TLoadContext& context,
                       const std::optional<TFileIdentity>& excluded, const std::function<void(const std::string&)>& take);

// The files ForEachChosenFile hands over for Path, a list read in full, and
// what ended reading it as a list (raised after those files are reported).
struct TChosenFiles {
  std::vector<std::string> Files;
  std::exception_ptr ListError;
};
TChosenFiles ChosenFiles(const std::string& path, const TLoadContext& context,
                         const std::optional<TFileIdentity>& excluded);

class TResultsRun {
 public:
  // Called after each reported file with the path and the loaded object
  // (used by the batch command line to print the model).
  using TReportedHook = std::function<void(const std::string& fileName, const TCoordinateFile_cdf& file)>;

  // Memo lines, boxes, format settings and the chooser come from Desktop.
  explicit TResultsRun(TDesktop& desktop);
  ~TResultsRun();
  TResultsRun(const TResultsRun&) = delete;
  TResultsRun& operator=(const TResultsRun&) = delete;

  // Start-up: creates (truncating) the results file, held for this run
  // alone, and writes the header line naming Caption. Raises EInOutError
  // when it cannot be created ("Sharing violation" while another run holds
  // it), EResultsWriteError when the header cannot be written; later
  // reports then fail at their first row. Every row reaches the file as
  // soon as it is complete.
  void CreateResultsFile(const std::string& path, const std::string& caption);

  // "One more file...": runs the desktop's chooser; on a confirmed choice
  // clears the memo and reports the choice (ReportChoice). Runtime errors end
  // the batch and propagate to the caller.
  void ChooseAndReport();

  // A confirmed choice of paths, without running the chooser or clearing the
  // memo: relative names, the paths' own and those inside .cdf files (and
  // inside those a list names), resolve from now on against the folder the
  // files were chosen in (ChoiceFolder); then ReportPaths.
  void ReportChoice(const std::vector<std::string>& paths);

  // Reports paths in order (".txt" paths are list files) against the folder
  // of the last choice.
  void ReportPaths(const std::vector<std::string>& paths);

  // The per-file report of one path.
  void ReportFile(const std::string& fileName);
  // The report of an object loaded elsewhere, as if FileName had loaded
  // into it; it becomes CurrentFile.
  void ReportObject(const std::string& fileName, std::unique_ptr<TCoordinateFile_cdf> file);
  // Lets CurrentFile go once nothing needs it any more.
  void ReleaseCurrent() { Current.reset(); }

  // Closing: closes the results file. Never fails: when closing fails, the
  // reason is shown in a box captioned ApplicationTitle.
  void CloseResultsFile() noexcept;

  // Rows written to the results file since it was created.
  int RowCount() const { return Rows; }
  // Warning lines shown in the memo for files that failed or gave nothing.
  int WarningCount() const { return Warnings; }

  const TCoordinateFile_cdf* CurrentFile() const { return Current.get(); }
  // The open results file, which no list may name; none when not open.
  std::optional<TFileIdentity> ResultsIdentity() const;
  void SetReportedHook(TReportedHook hook) { Reported = std::move(hook); }

 private:
  class TResultsFile;

  // What a load of the last choice reports to and resolves names against.
  TLoadContext LoadContext() const { return {Desktop, Folder}; }
  void ReportCurrent(const std::string& fileName);
  void ReportConformer(const std::string& rowPath, const TReportedValues& values, std::string_view decimalSeparator);
  void ReportOutput(const std::string& rowPath, const TReportedValues& values, std::string_view decimalSeparator);
  void ReportTermination(TTermination termination);
  void ReportNothingRead(const TOutInfo& info);
  void AppendMemoText(std::string_view text);
  // A memo line that says a file failed or gave nothing; counted.
  void Warn(std::string_view text);
  void EndRow();

  TDesktop& Desktop;
  std::string Folder;
  std::unique_ptr<TResultsFile> Results;
  std::unique_ptr<TCoordinateFile_cdf> Current;
  TReportedHook Reported;
  int Rows = 0;
  int Warnings = 0;
};

}  // namespace harvex
