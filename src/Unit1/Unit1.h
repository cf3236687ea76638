// The run of the program: the results file, the choice of files and the
// per-file report that turns each chosen path into memo lines and one row.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CdfFiles/CdfFiles.h"

namespace harvex {

// The main window's caption, which the results file's header line names.
inline constexpr char MainWindowCaption[] = "Harvex version 18.10.2012";
// The caption of the box that shows an error ending a batch.
inline constexpr char ApplicationTitle[] = "Harvex";
// The results file's name, in the current directory at start-up.
inline constexpr char ResultsFileName[] = "Harvex_res.txt";

class TResultsRun {
 public:
  // Called after each reported file with the path and the loaded object
  // (used by the batch command line to print the model).
  using TReportedHook = std::function<void(const std::string& fileName, const TCoordinateFile_cdf& file)>;

  TResultsRun();
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
  // memo: the folder of the first path becomes the current directory, so
  // that relative names inside .cdf files (and inside those a list names)
  // resolve against the folder the files were chosen in; then ReportPaths.
  void ReportChoice(const std::vector<std::string>& paths);

  // Reports paths in order (".txt" paths are list files) in the current
  // directory as it stands.
  void ReportPaths(const std::vector<std::string>& paths);

  // The per-file report of one path.
  void ReportFile(const std::string& fileName);
  // The report of an object loaded elsewhere, as if FileName had loaded
  // into it; it becomes CurrentFile.
  void ReportObject(const std::string& fileName, std::unique_ptr<TCoordinateFile_cdf> file);

  // Closing: closes the results file. Never fails: when closing fails, the
  // reason is shown in a box captioned ApplicationTitle.
  void CloseResultsFile() noexcept;

  // Rows written to the results file since it was created.
  int RowCount() const { return Rows; }
  // Warning lines shown in the memo for files that failed or gave nothing.
  int WarningCount() const { return Warnings; }

  const TCoordinateFile_cdf* CurrentFile() const { return Current.get(); }
  void SetReportedHook(TReportedHook hook) { Reported = std::move(hook); }

 private:
  class TResultsFile;

  void ReportCurrent(const std::string& fileName);
  void ReportConformer(const std::string& rowPath, std::string_view decimalSeparator);
  void ReportOutput(const std::string& rowPath, std::string_view decimalSeparator);
  void ReportTermination(TTermination termination);
  void ReportNothingRead(const TOutInfo& info);
  // A memo line that says a file failed or gave nothing; counted.
  void Warn(std::string_view text);
  void EndRow();

  std::unique_ptr<TResultsFile> Results;
  std::unique_ptr<TCoordinateFile_cdf> Current;
  TReportedHook Reported;
  int Rows = 0;
  int Warnings = 0;
};

}  // namespace harvex
