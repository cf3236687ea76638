// The main window: a text area for the report above a bottom panel with
// "One more file..." and "Exit". It owns the run of the program and is the
// desktop the core talks to while the window lives.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Unit1/Unit1.h"
#include "rtl/Desktop.h"

class QDragEnterEvent;
class QDropEvent;
class QFileDialog;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace harvex {

class TForm1 final : public QWidget, public TDesktop {
 public:
  // Runs the file chooser: the chosen paths, or nothing when cancelled.
  using TFileChooser = std::function<std::optional<std::vector<std::string>>()>;

  // Creating the window runs FormCreate, so the results file exists and the
  // first choice has been reported before the window first shows. Without a
  // chooser the window asks through OpenDialog1. Files the program was
  // started with (the desktop's "Open with") are the first choice instead.
  explicit TForm1(TFileChooser chooser = {}, std::vector<std::string> startFiles = {});
  ~TForm1() override;

  QPlainTextEdit* Memo1;
  QGroupBox* GroupBox1;
  QPushButton* Button1;
  QPushButton* Button2;
  QFileDialog* OpenDialog1;

  void FormCreate();
  void Button1Click();
  void Button2Click();
  // An end signal was caught: closes the window as "Exit" would, as soon as
  // the batch running (if any) has written its current row.
  void EndRun();

  // TDesktop
  void ShowMessage(const std::string& caption, const std::string& text) override;
  void AppendMemo(const std::string& line) override;
  void ClearMemo() override;
  // Raises TEndRequested once an end signal was caught.
  void ProcessEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override;
  TFormatSettings FormatSettings() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Files dropped from a file manager are reported as a confirmed choice of
  // them would be; while a batch runs, drops are refused.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Files dragged over the text area come to the window; other drags (text)
  // go on to the text area as before.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOut();
  void SetUpOpenDialog();
  std::optional<std::vector<std::string>> RunOpenDialog();
  // Runs a batch with the buttons disabled; an error that ends it is shown
  // in a box, and a close asked for meanwhile takes effect after it. The
  // folder of the choice it reported becomes current after it.
  void RunBatch(const std::function<void()>& batch);
  void ReportDropped(const std::vector<std::string>& paths);
  // Accepts a drag or drop of files as a copy, or refuses it (during a
  // batch, or without local files); returns whether it was accepted.
  bool AcceptAsCopy(QDropEvent& event) const;

  // Makes the folder of the last confirmed choice current, as a user of the
  // window expects of its next file dialog.
  void EnterChosenFolder();

  TFileChooser Chooser;
  std::vector<std::string> StartFiles;
  TResultsRun Run;
  // The folder of a choice confirmed during the running batch.
  std::optional<std::string> ChosenFolder;
  bool BatchRunning = false;
  // A drop accepted and waiting for the event loop to report it.
  bool DropPending = false;
  bool CloseRequested = false;
};

}  // namespace harvex
