#include "Unit1/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "InputExtensions/InputExtensions.h"
#include "rtl/EndSignals.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

constexpr QPoint WindowPosition{192, 114};
constexpr QSize WindowSize{551, 395};
constexpr int PanelHeight = 67;

constexpr const char* DialogTitle = "Please, select an .out or .cdf file to view...";
// The dialog takes the patterns from the parentheses, separated by blanks.
QString DialogFilter(std::string_view name, TInputKind kind) {
  return QString::fromLatin1(std::string(name) + " (" + DialogPatterns(kind) + ")");
}
const QString OutputFilter = DialogFilter("Gaussian out", TInputKind::Output);
const QString ConformerFilter = DialogFilter("Conformer description file", TInputKind::Conformer);

// The named face where it is installed; otherwise the installed face that the
// font matcher gives for a generic sans-serif request.
QFont FontOrSansSerif(const QString& family, int points) {
  QFont font(family, points);
  if (QFontDatabase::hasFamily(family)) return font;
  QFont generic(QStringLiteral("sans-serif"), points);
  generic.setStyleHint(QFont::SansSerif);
  font.setFamily(QFontInfo(generic).family());
  return font;
}

QString FromBytes(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// The local files among dropped URLs, in the order dropped.
std::vector<std::string> DroppedFiles(const QMimeData& data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  }
  return paths;
}

// Marks a batch as running and keeps the buttons disabled meanwhile, so no
// second batch starts from the events handled between its files.
class TBatchInProgress {
 public:
  TBatchInProgress(bool& running, QPushButton* first, QPushButton* second)
      : Running(running), First(first), Second(second) {
    Running = true;
    First->setEnabled(false);
    Second->setEnabled(false);
  }
  ~TBatchInProgress() {
    Running = false;
    First->setEnabled(true);
    Second->setEnabled(true);
  }
  TBatchInProgress(const TBatchInProgress&) = delete;
  TBatchInProgress& operator=(const TBatchInProgress&) = delete;

 private:
  bool& Running;
  QPushButton* First;
  QPushButton* Second;
};

}  // namespace

TForm1::TForm1(TFileChooser chooser, std::vector<std::string> startFiles)
    : Chooser(std::move(chooser)), StartFiles(std::move(startFiles)), Run(*this) {
  LayOut();
  SetUpOpenDialog();
  setAcceptDrops(true);
  Memo1->viewport()->installEventFilter(this);
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::LayOut() {
  setWindowTitle(QString::fromLatin1(MainWindowCaption));
  setWindowIcon(QIcon(QStringLiteral(":/harvex/harvex.png")));
  setFont(FontOrSansSerif(QStringLiteral("MS Sans Serif"), 8));
  move(WindowPosition);
  resize(WindowSize);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setFont(FontOrSansSerif(QStringLiteral("Verdana"), 14));
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setFixedHeight(PanelHeight);

  Button1 = new QPushButton(QStringLiteral("One more file..."), GroupBox1);
  Button1->setGeometry(96, 24, 105, 25);
  Button2 = new QPushButton(QStringLiteral("Exit"), GroupBox1);
  Button2->setGeometry(320, 24, 75, 25);
  setTabOrder(Button1, Button2);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1);
  layout->addWidget(GroupBox1);
}

void TForm1::SetUpOpenDialog() {
  OpenDialog1 = new QFileDialog(this, QString::fromLatin1(DialogTitle));
  OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
  OpenDialog1->setNameFilters({OutputFilter, ConformerFilter});
  OpenDialog1->selectNameFilter(OutputFilter);
  OpenDialog1->setFileMode(QFileDialog::ExistingFiles);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog1->setSizeGripEnabled(true);
}

void TForm1::FormCreate() {
  try {
    Run.CreateResultsFile(ResultsFileName, windowTitle().toStdString());
  } catch (...) {
    ShowMessage(ApplicationTitle, CurrentExceptionMessage());
    return;
  }
  Button1Click();
}

void TForm1::Button1Click() {
  RunBatch([this] { Run.ChooseAndReport(); });
}

void TForm1::RunBatch(const std::function<void()>& batch) {
  {
    TBatchInProgress inProgress(BatchRunning, Button1, Button2);
    // Whatever ends the batch is shown and the window goes on; the rows
    // written so far stay in the results file.
    try {
      batch();
    } catch (const TEndRequested&) {
      // The window closes below, with every complete row in the file.
    } catch (...) {
      ShowMessage(ApplicationTitle, CurrentExceptionMessage());
    }
  }
  EnterChosenFolder();
  // A close asked for between the files of the batch takes effect now.
  if (std::exchange(CloseRequested, false)) close();
}

bool TForm1::AcceptAsCopy(QDropEvent& event) const {
  // Never as a move: the file manager would delete the files it moved.
  if (BatchRunning || DropPending || !event.possibleActions().testFlag(Qt::CopyAction) ||
      DroppedFiles(*event.mimeData()).empty()) {
    event.ignore();
    return false;
  }
  event.setDropAction(Qt::CopyAction);
  event.accept();
  return true;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) { AcceptAsCopy(*event); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  const bool drag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
  if (watched != Memo1->viewport() || !(drag || event->type() == QEvent::Drop)) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  if (DroppedFiles(*drop->mimeData()).empty()) return false;
  if (drag) {
    AcceptAsCopy(*drop);
  } else {
    dropEvent(drop);
  }
  return true;
}

void TForm1::dropEvent(QDropEvent* event) {
  if (!AcceptAsCopy(*event)) return;
  // The report runs from the event loop, so the file manager's drag ends
  // at once rather than after the batch.
  DropPending = true;
  QTimer::singleShot(0, this, [this, paths = DroppedFiles(*event->mimeData())] {
    DropPending = false;
    // A window closed meanwhile has closed its results file.
    if (isVisible()) ReportDropped(paths);
  });
}

// The report resolves the choice's relative names against its folder itself;
// the current folder follows only after it, so that the two never compound.
void TForm1::EnterChosenFolder() {
  if (!ChosenFolder) return;
  // A folder that cannot be entered holds no file that could be read either,
  // and the report of the choice has said so.
  if (!ChosenFolder->empty()) {
    std::error_code ignored;
    std::filesystem::current_path(*ChosenFolder, ignored);
  }
  ChosenFolder.reset();
}

void TForm1::ReportDropped(const std::vector<std::string>& paths) {
  RunBatch([this, &paths] {
    ClearMemo();
    ChosenFolder = ChoiceFolder(paths.front());
    Run.ReportChoice(paths);
  });
}

void TForm1::Button2Click() { close(); }

void TForm1::EndRun() {
  // A file dialog or a box being shown gives way first; a batch stops after
  // its current row (ProcessEvents).
  if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (BatchRunning) {
    CloseRequested = true;
    event->ignore();
    return;
  }
  Run.CloseResultsFile();
  event->accept();
}

void TForm1::ShowMessage(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, FromBytes(caption), FromBytes(text), QMessageBox::Ok);
  box.exec();
}

void TForm1::AppendMemo(const std::string& line) { Memo1->appendPlainText(FromBytes(line)); }

void TForm1::ClearMemo() { Memo1->clear(); }

void TForm1::ProcessEvents() {
  QCoreApplication::processEvents();
  if (EndSignal() != 0) throw TEndRequested{};
}

std::optional<std::vector<std::string>> TForm1::ChooseFiles() {
  std::optional<std::vector<std::string>> chosen;
  if (!StartFiles.empty()) {
    chosen = std::exchange(StartFiles, {});
  } else {
    chosen = Chooser ? Chooser() : RunOpenDialog();
  }
  if (chosen && !chosen->empty()) ChosenFolder = ChoiceFolder(chosen->front());
  return chosen;
}

TFormatSettings TForm1::FormatSettings() { return FormatSettingsFromCLocale(); }

std::optional<std::vector<std::string>> TForm1::RunOpenDialog() {
  if (OpenDialog1->exec() != QDialog::Accepted) return std::nullopt;
  // The chosen files' folder becomes current, whatever folder the dialog
  // shows (a typed full path may name another).
  std::vector<std::string> paths;
  for (const QString& path : OpenDialog1->selectedFiles()) paths.push_back(QFile::encodeName(path).toStdString());
  return paths;
}

}  // namespace harvex
