// The window offscreen: its layout, the order of start-up, the file dialog,
// the error boxes and closing. Each test runs in a fresh current directory,
// where the window creates its results file.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "Unit1/Form1.h"

using harvex::TForm1;

namespace {

using TChoice = std::optional<std::vector<std::string>>;

const QRegularExpression HeaderLine(
    QStringLiteral(R"(^ Created by "Harvex version 18\.10\.2012" on \d{1,2}/\d{1,2}/\d\d, \d{1,2}:\d\d:\d\d\r\n)"));

struct TShownBox {
  QString Title;
  QString Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons Buttons;
  bool HasParent = false;
};

// Answers the modal windows the window opens, so no test waits on a person:
// each message box is recorded and confirmed with OK; a file dialog is handed
// to OnDialog, or cancelled without one.
class TModalAnswerer {
 public:
  std::function<void(QFileDialog&)> OnDialog;
  QList<TShownBox> Boxes;

  TModalAnswerer() {
    QObject::connect(&Poll, &QTimer::timeout, [this] { Answer(); });
    Poll.start(10);
  }

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      Boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->parent() != nullptr});
      box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      if (OnDialog) OnDialog(*dialog);
      else dialog->reject();
    }
  }

  QTimer Poll;
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// Creates a file with some text in the current directory; returns its name.
std::string Touch(const char* name) {
  QFile file(QString::fromLatin1(name));
  if (file.open(QIODevice::WriteOnly)) file.write("not a report\n");
  return name;
}

QStringList MemoLines(const TForm1& form) {
  return form.Memo1->toPlainText().split(QLatin1Char('\n'));
}

// Drops the files on the middle of the window's text area as a file manager
// would, offering a copy or a move and proposing the move (Shift held): the
// events go to the widget there that takes drops, or its nearest parent that
// does. Returns the action the drop was taken with, IgnoreAction if refused.
Qt::DropAction DropFiles(TForm1& form, const QStringList& names) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& name : names) urls.append(QUrl::fromLocalFile(QFileInfo(name).absoluteFilePath()));
  data.setUrls(urls);
  const QPoint inForm = form.Memo1->geometry().center();
  QWidget* target = form.childAt(inForm);
  while (target != &form && !target->acceptDrops()) target = target->parentWidget();
  const QPoint at = target->mapFrom(&form, inForm);
  const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return Qt::IgnoreAction;
  QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  QCoreApplication::sendEvent(target, &drop);
  return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// The first widget after `from` that the Tab key reaches.
QWidget* NextTabStop(QWidget* from) {
  QWidget* next = from->nextInFocusChain();
  while (next != from && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
  return next;
}

}  // namespace

class TestWindow : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    Folder = std::make_unique<QTemporaryDir>();
    QVERIFY(Folder->isValid());
    QVERIFY(QDir::setCurrent(Folder->path()));
    Modal = std::make_unique<TModalAnswerer>();
  }

  // A box that a test did not take (TakeBoxes) was not expected.
  void cleanup() {
    const QList<TShownBox> unexpected = Modal->Boxes;
    Modal.reset();
    QDir::setCurrent(QDir::tempPath());
    Folder.reset();
    for (const TShownBox& box : unexpected) QFAIL(qPrintable(box.Title + QStringLiteral(": ") + box.Text));
  }

  void windowHasCaptionSizeAndPosition() {
    TForm1 form(Cancel);
    QCOMPARE(form.windowTitle(), QStringLiteral("Harvex version 18.10.2012"));
    QCOMPARE(form.size(), QSize(551, 395));
    QCOMPARE(form.pos(), QPoint(192, 114));
    QVERIFY(!form.windowIcon().isNull());
  }

  void panelIsDockedAtTheBottomWithoutTitleAndMemoFillsTheRest() {
    TForm1 form(Cancel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.GroupBox1->title(), QString());
    QCOMPARE(form.GroupBox1->geometry(), QRect(0, 395 - 67, 551, 67));
    QCOMPARE(form.Memo1->geometry(), QRect(0, 0, 551, 395 - 67));
  }

  void buttonsHaveTheirCaptionsPlacesSizesAndTabOrder() {
    TForm1 form(Cancel);
    QCOMPARE(form.Button1->text(), QStringLiteral("One more file..."));
    QCOMPARE(form.Button1->parentWidget(), form.GroupBox1);
    QCOMPARE(form.Button1->geometry(), QRect(96, 24, 105, 25));
    QCOMPARE(form.Button2->text(), QStringLiteral("Exit"));
    QCOMPARE(form.Button2->parentWidget(), form.GroupBox1);
    QCOMPARE(form.Button2->geometry(), QRect(320, 24, 75, 25));
    QCOMPARE(NextTabStop(form.Button1), form.Button2);
  }

  void memoWrapsAtTheEdgeScrollsVerticallyOnlyAndIsEditable() {
    TForm1 form(Cancel);
    QCOMPARE(form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!form.Memo1->isReadOnly());
  }

  // Without the named faces the request must name an installed face, or Qt
  // would draw whatever it substitutes behind a family name it cannot find.
  void fontsAreTheNamedFacesOrAnInstalledSansSerif() {
    TForm1 form(Cancel);
    const struct {
      QFont Font;
      QString Preferred;
      int Points;
    } cases[] = {{form.Memo1->font(), QStringLiteral("Verdana"), 14},
                 {form.font(), QStringLiteral("MS Sans Serif"), 8},
                 {form.Button1->font(), QStringLiteral("MS Sans Serif"), 8}};
    for (const auto& c : cases) {
      QCOMPARE(c.Font.pointSize(), c.Points);
      QVERIFY2(QFontDatabase::hasFamily(c.Font.family()), qPrintable(c.Font.family()));
      if (QFontDatabase::hasFamily(c.Preferred)) QCOMPARE(c.Font.family(), c.Preferred);
      QCOMPARE(c.Font.bold(), false);
      QCOMPARE(c.Font.italic(), false);
    }
  }

  void openDialogHasTitleFiltersAndOptions() {
    TForm1 form(Cancel);
    QFileDialog& dialog = *form.OpenDialog1;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Please, select an .out or .cdf file to view..."));
    QCOMPARE(dialog.nameFilters(),
             QStringList({QStringLiteral("Gaussian out (*.out *.log *.out.gz *.log.gz)"),
                          QStringLiteral("Conformer description file (*.cdf)")}));
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Gaussian out (*.out *.log *.out.gz *.log.gz)"));
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFiles);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(dialog.isSizeGripEnabled());
  }

  // The dialog lists what the first filter's patterns match, in any letter
  // case: the outputs under both names Gaussian gives them, nothing else.
  void outputFilterListsOutAndLogFiles() {
    for (const char* name : {"a.out", "b.LOG", "c.log", "d.txt", "e.outx"}) Touch(name);
    TForm1 form(Cancel);
    QFileDialog& dialog = *form.OpenDialog1;
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model != nullptr);
    dialog.setDirectory(QDir::currentPath());
    const QModelIndex folder = model->index(QDir::currentPath());
    QTRY_COMPARE(model->rowCount(folder), 3);
    QStringList listed;
    for (int row = 0; row < 3; ++row) listed.append(model->index(row, 0, folder).data().toString());
    listed.sort();
    QCOMPARE(listed, QStringList({QStringLiteral("a.out"), QStringLiteral("b.LOG"), QStringLiteral("c.log")}));
  }

  void startUpWritesTheHeaderThenAsksBeforeTheWindowShows() {
    int calls = 0;
    bool visibleWhenAsked = true;
    bool resultsExistedWhenAsked = false;
    TForm1* created = nullptr;
    TForm1 form([&]() -> TChoice {
      ++calls;
      visibleWhenAsked = created != nullptr && created->isVisible();
      resultsExistedWhenAsked = QFile::exists(QStringLiteral("Harvex_res.txt"));
      return std::nullopt;
    });
    created = &form;
    QCOMPARE(calls, 1);
    QVERIFY(!visibleWhenAsked);
    QVERIFY(resultsExistedWhenAsked);
    form.show();
    form.close();
    QVERIFY(HeaderLine.match(QString::fromLatin1(ReadAll(QStringLiteral("Harvex_res.txt")))).hasMatch());
  }

  void buttonsAreDisabledWhileTheChoiceRuns() {
    TForm1* created = nullptr;
    bool enabledWhenAsked = true;
    TForm1 form([&]() -> TChoice {
      if (created != nullptr) enabledWhenAsked = created->Button1->isEnabled() || created->Button2->isEnabled();
      return std::nullopt;
    });
    created = &form;
    form.Button1->click();
    QVERIFY(!enabledWhenAsked);
    QVERIFY(form.Button1->isEnabled());
    QVERIFY(form.Button2->isEnabled());
  }

  void cancelledFirstDialogLeavesOnlyTheHeaderAndAnEmptyWindow() {
    {
      TForm1 form(Cancel);
      form.show();
      QVERIFY(form.Memo1->toPlainText().isEmpty());
      form.Button2->click();
      QVERIFY(!form.isVisible());
    }
    const QByteArray results = ReadAll(QStringLiteral("Harvex_res.txt"));
    QVERIFY2(HeaderLine.match(QString::fromLatin1(results)).hasMatch(), results.constData());
    QCOMPARE(results.count('\n'), 1);
  }

  void chosenFilesAreReportedAndAFurtherChoiceClearsTheMemo() {
    QList<TChoice> answers = {TChoice({Touch("first.dat")}), TChoice({Touch("second.dat"), Touch("third.dat")}),
                              std::nullopt};
    TForm1 form([&]() -> TChoice { return answers.takeFirst(); });
    QCOMPARE(MemoLines(form), QStringList({"File:\tfirst.dat", "Error: not a .out file!"}));
    form.Button1->click();
    const QStringList secondBatch = {"File:\tsecond.dat", "Error: not a .out file!", "File:\tthird.dat",
                                     "Error: not a .out file!"};
    QCOMPARE(MemoLines(form), secondBatch);
    form.Button1->click();  // cancelled: the memo keeps its content
    QCOMPARE(MemoLines(form), secondBatch);
  }

  void confirmedDialogChoiceMovesTheCurrentDirectoryToItsFolder() {
    QVERIFY(QDir().mkdir(QStringLiteral("outputs")));
    const QString folder = QDir(QStringLiteral("outputs")).absolutePath();
    QFile output(folder + QStringLiteral("/water.out"));
    QVERIFY(output.open(QIODevice::WriteOnly));
    output.close();

    // The name is typed: the dialog lists folders in the background, and a
    // selection made in its list before that ends can be lost.
    Modal->OnDialog = [&](QFileDialog& dialog) {
      dialog.setDirectory(folder);
      dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("water.out"));
      static_cast<QDialog&>(dialog).done(QDialog::Accepted);
    };
    TForm1 form;
    QCOMPARE(QDir::currentPath(), folder);
    QCOMPARE(MemoLines(form).first(), QStringLiteral("File:\t") + folder + QStringLiteral("/water.out"));
  }

  // A full path typed into the name field may lie in another folder than the
  // one the dialog shows; the chosen file's folder becomes current.
  void typedFullPathMovesTheCurrentDirectoryToTheFilesFolder() {
    QVERIFY(QDir().mkdir(QStringLiteral("shown")));
    QVERIFY(QDir().mkdir(QStringLiteral("typed")));
    const QString typed = QDir(QStringLiteral("typed")).absolutePath();
    QFile output(typed + QStringLiteral("/water.out"));
    QVERIFY(output.open(QIODevice::WriteOnly));
    output.close();

    Modal->OnDialog = [&](QFileDialog& dialog) {
      dialog.setDirectory(QDir(QStringLiteral("shown")).absolutePath());
      dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(output.fileName());
      static_cast<QDialog&>(dialog).done(QDialog::Accepted);
    };
    TForm1 form;
    QCOMPARE(QDir::currentPath(), typed);
    QCOMPARE(MemoLines(form).first(), QStringLiteral("File:\t") + output.fileName());
  }

  void droppedFilesAreReportedAsAConfirmedChoiceInTheOrderDropped() {
    QVERIFY(QDir().mkdir(QStringLiteral("dropped")));
    const QString folder = QDir(QStringLiteral("dropped")).absolutePath();
    const std::string listed = Touch("listed.dat");
    QFile list(folder + QStringLiteral("/list.txt"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(QFileInfo(QString::fromStdString(listed)).absoluteFilePath().toUtf8() + "\n");
    list.close();
    QVERIFY(QFile::copy(QString::fromStdString(Touch("second.dat")), folder + QStringLiteral("/second.dat")));

    TForm1 form([] { return TChoice({Touch("first.dat")}); });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Taken as a copy, never as the proposed move, which would delete the files.
    QCOMPARE(DropFiles(form, {folder + QStringLiteral("/second.dat"), folder + QStringLiteral("/list.txt")}),
             Qt::CopyAction);
    const QString listedPath = QFileInfo(QString::fromStdString(listed)).absoluteFilePath();
    QTRY_COMPARE(MemoLines(form), QStringList({"File:\t" + folder + "/second.dat", "Error: not a .out file!",
                                               "File:\t" + listedPath, "Error: not a .out file!"}));
    QCOMPARE(QDir::currentPath(), folder);
    QVERIFY(form.Button1->isEnabled());
  }

  void startFilesAreTheFirstChoiceAndTheDialogAsksAfterThem() {
    QVERIFY(QDir().mkdir(QStringLiteral("opened")));
    const QString started = QDir(QStringLiteral("opened")).absoluteFilePath(QStringLiteral("started.dat"));
    QVERIFY(QFile::copy(QString::fromStdString(Touch("started.dat")), started));
    const QString startFolder = QDir::currentPath();
    int asked = 0;
    TForm1 form(
        [&]() -> TChoice {
          ++asked;
          return std::nullopt;
        },
        {started.toStdString()});
    QCOMPARE(asked, 0);
    QCOMPARE(MemoLines(form), QStringList({"File:\t" + started, "Error: not a .out file!"}));
    QVERIFY(QFile::exists(startFolder + QStringLiteral("/Harvex_res.txt")));
    QCOMPARE(QDir::currentPath(), QFileInfo(started).absolutePath());
    form.Button1->click();
    QCOMPARE(asked, 1);
  }

  void dropDuringABatchIsRefused() {
    TForm1* created = nullptr;
    Qt::DropAction taken = Qt::CopyAction;
    TForm1 form([&]() -> TChoice {
      if (created == nullptr) return std::nullopt;
      taken = DropFiles(*created, {QString::fromStdString(Touch("dropped.dat"))});
      return TChoice({Touch("chosen.dat")});
    });
    created = &form;
    form.show();
    form.Button1->click();
    QCOMPARE(taken, Qt::IgnoreAction);
    QTest::qWait(20);
    QCOMPARE(MemoLines(form), QStringList({"File:\tchosen.dat", "Error: not a .out file!"}));
  }

  void cancelledDialogKeepsTheCurrentDirectory() {
    const QString before = QDir::currentPath();
    Modal->OnDialog = [](QFileDialog& dialog) {
      dialog.setDirectory(QDir::rootPath());
      dialog.reject();
    };
    TForm1 form;
    QCOMPARE(QDir::currentPath(), before);
  }

  // A folder in the way of the results file makes its creation fail.
  void resultsFileThatCannotBeCreatedShowsTheErrorAndSkipsTheDialog() {
    QVERIFY(QDir().mkdir(QStringLiteral("Harvex_res.txt")));
    int calls = 0;
    TForm1 form([&]() -> TChoice {
      ++calls;
      return std::nullopt;
    });
    QCOMPARE(calls, 0);
    const QList<TShownBox> boxes = TakeBoxes();
    QCOMPARE(boxes.size(), 1);
    const TShownBox& box = boxes.first();
    QCOMPARE(box.Title, QStringLiteral("Harvex"));
    QCOMPARE(box.Text, QString::fromLocal8Bit(std::strerror(EISDIR)));
    QCOMPARE(box.Icon, QMessageBox::Critical);
    QCOMPARE(box.Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!box.HasParent);

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Button2->click();
    QVERIFY(!form.isVisible());
  }

  void errorEndingABatchIsShownAndTheWindowGoesOn() {
    QList<TChoice> answers = {std::nullopt, TChoice({"missing.txt", Touch("after.dat")})};
    TForm1 form([&]() -> TChoice { return answers.takeFirst(); });
    form.show();
    form.Button1->click();
    const QList<TShownBox> boxes = TakeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().Title, QStringLiteral("Harvex"));
    QCOMPARE(boxes.first().Text, QString::fromLocal8Bit(std::strerror(ENOENT)));
    QCOMPARE(boxes.first().Icon, QMessageBox::Critical);
    QVERIFY(form.Memo1->toPlainText().isEmpty());  // the rest of the batch is not reported
    QVERIFY(form.Button1->isEnabled());
    QVERIFY(form.Button2->isEnabled());
    QVERIFY(form.isVisible());
  }

  // Not one of the program's own errors: shown all the same, never fatal.
  void unexpectedFailureIsShownInTheErrorBoxAndTheWindowGoesOn() {
    TForm1 form([]() -> TChoice { throw std::logic_error("unexpected failure"); });
    const QList<TShownBox> boxes = TakeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().Title, QStringLiteral("Harvex"));
    QCOMPARE(boxes.first().Text, QStringLiteral("unexpected failure"));
    QVERIFY(form.Button1->isEnabled());
  }

  void closingDuringABatchTakesEffectWhenTheBatchEnds() {
    TForm1* created = nullptr;
    bool visibleAfterClose = false;
    TForm1 form([&]() -> TChoice {
      if (created == nullptr) return std::nullopt;
      created->close();
      visibleAfterClose = created->isVisible();
      return TChoice({Touch("late.dat")});
    });
    created = &form;
    form.show();
    form.Button1->click();
    QVERIFY(visibleAfterClose);
    QCOMPARE(MemoLines(form), QStringList({"File:\tlate.dat", "Error: not a .out file!"}));
    QVERIFY(!form.isVisible());
    QVERIFY(HeaderLine.match(QString::fromLatin1(ReadAll(QStringLiteral("Harvex_res.txt")))).hasMatch());
  }

 private:
  static TChoice Cancel() { return std::nullopt; }
  QList<TShownBox> TakeBoxes() { return std::exchange(Modal->Boxes, {}); }

  std::unique_ptr<QTemporaryDir> Folder;
  std::unique_ptr<TModalAnswerer> Modal;
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
