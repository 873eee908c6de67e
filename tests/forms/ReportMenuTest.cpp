// Saving sheets as a PDF from the right-click menus of the results list and
// the preview, with the file dialog and the message boxes answered through
// their seams; a long save shown page by page and cancelled.
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>

#include "AtomicFile.h"
#include "FormPrv.h"
#include "FormsTestSupport.h"
#include "KeisanListForm.h"
#include "MessageBoxes.h"
#include "ParallelFor.h"
#include "SaveFileDialog.h"
#include "Session.h"

using namespace sekora;
using sekora::testing::BoxRecord;
using sekora::testing::TestFolder;

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// The pages of a PDF: its page objects.
int PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  static const QRegularExpression kPage(QStringLiteral("/Type\\s*/Page(?!s)"));
  return static_cast<int>(QString::fromLatin1(file.readAll()).count(kPage));
}

QAction* Action(QMenu& menu, const char* name) {
  return menu.findChild<QAction*>(QString::fromUtf8(name));
}

// The confirmation of a save of `pages` pages to `path`.
QString Saved(int pages, const QString& path) {
  return Utf8("PDFに保存しました（%1 ページ）\n%2").arg(pages).arg(QDir::toNativeSeparators(path));
}

// Watches a save from the windows' thread while it runs: the event loop
// turns (the windows repaint), and the progress dialog once it shows. With
// `cancelAfterPages`, presses キャンセル once that many pages are drawn.
class SaveWatcher {
 public:
  SaveWatcher(const RunProgress& saving, int cancelAfterPages)
      : saving_(saving), cancelAfterPages_(cancelAfterPages) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  int ticksWhileSaving = 0;
  bool dialogWasModal = false;
  QString lastLabel;
  int doneAtCancel = -1;
  // The dialog has shown every page drawn; read by the save's own thread.
  std::atomic<bool> sawEveryPage{false};

 private:
  void Poll() {
    if (!saving_.Running()) return;
    ++ticksWhileSaving;
    auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialogWasModal = dialog->isVisible() && dialog->windowModality() == Qt::ApplicationModal;
    lastLabel = dialog->labelText();
    const int total = saving_.Total();
    if (total > 0 && lastLabel.contains(QStringLiteral("%1 / %1").arg(total))) sawEveryPage = true;
    if (cancelAfterPages_ < 0 || doneAtCancel >= 0 || saving_.Done() < cancelAfterPages_) return;
    doneAtCancel = saving_.Done();
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
  }
  const RunProgress& saving_;
  const int cancelAfterPages_;
  QTimer timer_;
};

// The names of the entries of `folder`.
QStringList Entries(const std::string& folder) {
  return QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// Holds a save at its write, every page drawn, until `ready` (10 s at most),
// so that a test sees it under way however fast the machine is.
FileWriter WriteOnceReady(const std::atomic<bool>& ready) {
  return [&ready](int fd, const char* data, std::size_t size) {
    for (int wait = 0; wait < 1000 && !ready; ++wait) QThread::msleep(10);
    return static_cast<long>(::write(fd, data, size));
  };
}

}  // namespace

class ReportMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void listMenuOffersTheRowOnlyWhenItCanBeShown();
  void okSheetsGoIntoOnePdfAfterTheSummary();
  void selectedRowGoesIntoAPdfOfItsOwn();
  void cancelWritesNothingAndSaysNothing();
  void failureIsToldInAMessageBoxAndLeavesNoFile();
  void resultsOfAnotherRunAreNotSaved();
  void previewSavesTheRowItShows();
  void saveDialogOffersTheFolderUsedLast();
  void longSaveShowsItsPagesWhileTheWindowsRepaint();
  void cancelKeepsThePreviousFileAndLeavesNoTemporary();
  void aWindowClosedWhileItsSaveRunsLetsTheSaveFinish();

 private:
  KeisanListForm* OpenList() {
    KeisanListForm* list = KeisanListForm::ShowResults(*session_);
    if (list == nullptr) qFatal("the results list did not open");
    return list;
  }
  static void Select(KeisanListForm& list, int row) { list.List1()->setCurrentRow(row - 1); }
  QString OutPath() const { return QString::fromStdString(folder_->File("保存先.pdf")); }
  // Keisan.txt of a run with `okRows` passing boxes, as the list shows it.
  void AdoptOkRows(int okRows) {
    std::vector<KeisanRecord> records(static_cast<std::size_t>(okRows),
                                      BoxRecord(1.5, 1.2, StatusOk));
    DesignConditions ranWith = session_->conditions;
    ranWith.CandidateCount = static_cast<std::int16_t>(okRows);
    session_->AdoptRun(ranWith, folder_->WriteResults(records));
  }

  std::unique_ptr<TestFolder> folder_;
  std::unique_ptr<Session> session_;
};

void ReportMenuTest::init() {
  folder_ = std::make_unique<TestFolder>();
  session_ = std::make_unique<Session>();
  session_->conditions.Q = 1.5;
  session_->conditions.L = 20.0;
  // A row that failed, one that passes, one that failed only the freeboard
  // check and a second one that passes.
  const std::string written = folder_->WriteResults(
      {BoxRecord(0.3, 0.3, StatusOutletOver), BoxRecord(1.5, 1.2, StatusOk),
       BoxRecord(1.0, 1.0, StatusFreeboardOver), BoxRecord(2.0, 2.0, StatusOk)});
  DesignConditions ranWith = session_->conditions;
  ranWith.CandidateCount = 4;
  session_->AdoptRun(ranWith, written);
  MessageBoxes::clearShown();
  SaveFileDialog::forgetFolder();
}

void ReportMenuTest::cleanup() {
  const std::size_t unusedAnswers =
      MessageBoxes::pendingAnswers() + SaveFileDialog::pendingAnswers();
  MessageBoxes::clearAnswers();
  SaveFileDialog::clearAnswers();
  QApplication::closeAllWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  session_.reset();
  folder_.reset();
  QCOMPARE(unusedAnswers, std::size_t{0});
}

void ReportMenuTest::listMenuOffersTheRowOnlyWhenItCanBeShown() {
  KeisanListForm* list = OpenList();
  const std::unique_ptr<QMenu> withoutSelection(list->CreateContextMenu());
  QCOMPARE(Action(*withoutSelection, "mnuSaveOkSheets")->text(),
           Utf8("ＯＫの計算書をまとめてPDFに保存…"));
  QCOMPARE(Action(*withoutSelection, "mnuSaveRowSheet")->text(),
           Utf8("この行の計算書をPDFに保存…"));
  QVERIFY(Action(*withoutSelection, "mnuSaveOkSheets")->isEnabled());
  QVERIFY(!Action(*withoutSelection, "mnuSaveRowSheet")->isEnabled());
  for (const auto& [row, canBeShown] : {std::pair{1, false}, {2, true}, {3, true}}) {
    Select(*list, row);
    const std::unique_ptr<QMenu> menu(list->CreateContextMenu());
    QCOMPARE(Action(*menu, "mnuSaveRowSheet")->isEnabled(), canBeShown);
  }
  QVERIFY(list->List1()->contextMenuPolicy() == Qt::CustomContextMenu);
}

void ReportMenuTest::okSheetsGoIntoOnePdfAfterTheSummary() {
  KeisanListForm* list = OpenList();
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  const std::unique_ptr<QMenu> menu(list->CreateContextMenu());
  Action(*menu, "mnuSaveOkSheets")->trigger();
  QCOMPARE(PdfPages(OutPath()), 1 + 2);  // the summary, then rows 2 and 4
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().text, Saved(3, OutPath()));
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QCOMPARE(SaveFileDialog::lastSuggested(), QDir(documents).filePath(Utf8("計算書.pdf")));
}

void ReportMenuTest::selectedRowGoesIntoAPdfOfItsOwn() {
  KeisanListForm* list = OpenList();
  Select(*list, 3);
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  const std::unique_ptr<QMenu> menu(list->CreateContextMenu());
  Action(*menu, "mnuSaveRowSheet")->trigger();
  QCOMPARE(PdfPages(OutPath()), 1);
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().text, Saved(1, OutPath()));
}

void ReportMenuTest::cancelWritesNothingAndSaysNothing() {
  KeisanListForm* list = OpenList();
  SaveFileDialog::setNextAnswer(std::nullopt);
  list->SaveOkSheets();
  QVERIFY(!QFile::exists(OutPath()));
  QVERIFY(MessageBoxes::shown().empty());
}

void ReportMenuTest::failureIsToldInAMessageBoxAndLeavesNoFile() {
  KeisanListForm* list = OpenList();
  folder_->Remove("寸法.wmf");
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  list->SaveOkSheets();
  QVERIFY(!QFile::exists(OutPath()));
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().title, QStringLiteral("Sekora"));
  QVERIFY2(MessageBoxes::shown().front().text.contains(Utf8("寸法.wmf")),
           qPrintable(MessageBoxes::shown().front().text));
}

void ReportMenuTest::resultsOfAnotherRunAreNotSaved() {
  KeisanListForm* list = OpenList();
  folder_->WriteResults({BoxRecord(2.5, 2.0, StatusOk)});  // another run wrote the file since
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  list->SaveOkSheets();
  QVERIFY(!QFile::exists(OutPath()));
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
}

void ReportMenuTest::previewSavesTheRowItShows() {
  session_->SelectedNo = 4;
  FormPrv* preview = FormPrv::ShowSelected(*session_);
  QVERIFY(preview != nullptr);
  const std::unique_ptr<QMenu> menu(preview->CreateContextMenu());
  QCOMPARE(Action(*menu, "mnuSavePdf")->text(), Utf8("PDFに保存…"));
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  Action(*menu, "mnuSavePdf")->trigger();
  QCOMPARE(PdfPages(OutPath()), 1);
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().text, Saved(1, OutPath()));
}

void ReportMenuTest::saveDialogOffersTheFolderUsedLast() {
  KeisanListForm* list = OpenList();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QVERIFY(QDir().mkpath(QString::fromStdString(folder_->File("報告書"))));
  const QString chosen = QString::fromStdString(folder_->File("報告書/第1工区.pdf"));
  SaveFileDialog::setNextAnswer(chosen);
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  list->SaveOkSheets();
  QCOMPARE(SaveFileDialog::lastSuggested(), QDir(documents).filePath(Utf8("計算書.pdf")));
  QCOMPARE(PdfPages(chosen), 3);

  // Offered next, and again after a cancelled dialog, which chooses none.
  for (int save = 0; save < 2; ++save) {
    SaveFileDialog::setNextAnswer(std::nullopt);
    list->SaveOkSheets();
    QCOMPARE(SaveFileDialog::lastSuggested(), Utf8(folder_->File("報告書/計算書.pdf").c_str()));
  }
}

void ReportMenuTest::longSaveShowsItsPagesWhileTheWindowsRepaint() {
  AdoptOkRows(5);
  KeisanListForm* list = OpenList();
  const int pages = 1 + 5;
  session_->saving.SetShowDelay(0);
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  SaveWatcher watcher(session_->saving, -1);
  const ScopedFileWriter waiting(WriteOnceReady(watcher.sawEveryPage));
  list->SaveOkSheets();
  QVERIFY2(watcher.ticksWhileSaving > 0, "the windows' events wait for the save");
  QVERIFY(watcher.dialogWasModal);
  QCOMPARE(watcher.lastLabel, Utf8("PDFに保存中です（6 / 6 ページ）"));
  QCOMPARE(session_->saving.Done(), pages);
  QCOMPARE(session_->saving.Total(), pages);
  QCOMPARE(PdfPages(OutPath()), pages);
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().text, Saved(pages, OutPath()));
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void ReportMenuTest::cancelKeepsThePreviousFileAndLeavesNoTemporary() {
  KeisanListForm* list = OpenList();
  folder_->WriteFile("保存先.pdf", "%PDF-1.4 the report saved before\n");
  const QByteArray previous = folder_->Read("保存先.pdf");
  const QStringList entries = Entries(folder_->Path());
  {  // a cancel while the drawn file goes to the disk
    RunProgress& saving = session_->saving;
    const ScopedFileWriter cancelling([&saving](int fd, const char* data, std::size_t size) {
      saving.Cancel();
      return static_cast<long>(::write(fd, data, size));
    });
    SaveFileDialog::setNextAnswer(OutPath());
    list->SaveOkSheets();
  }
  {  // キャンセル while the pages are drawn: each thread drawing a part of
     // them stops at its next page
    AdoptOkRows(1000);
    session_->saving.SetShowDelay(0);
    const SaveWatcher watcher(session_->saving, 5);
    SaveFileDialog::setNextAnswer(OutPath());
    list->SaveOkSheets();
    QVERIFY(watcher.doneAtCancel >= 5);
    QVERIFY(session_->saving.Done() <= watcher.doneAtCancel + static_cast<int>(MachineThreads()));
  }
  QCOMPARE(folder_->Read("保存先.pdf"), previous);
  QCOMPARE(Entries(folder_->Path()), entries);
  QVERIFY(MessageBoxes::shown().empty());
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void ReportMenuTest::aWindowClosedWhileItsSaveRunsLetsTheSaveFinish() {
  session_->SelectedNo = 4;
  QPointer<FormPrv> preview = FormPrv::ShowSelected(*session_);
  QVERIFY(preview != nullptr);
  // The user closes the preview before the progress dialog blocks it; the
  // save waits at its write until the window is gone.
  std::atomic<bool> gone{false};
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (preview && session_->saving.Running()) preview->close();
    gone = preview.isNull();
  });
  closer.start(5);
  const ScopedFileWriter waiting(WriteOnceReady(gone));
  SaveFileDialog::setNextAnswer(OutPath());
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  preview->SaveSheetAsPdf();
  QVERIFY(gone);
  QVERIFY(session_->preview.isNull());
  QCOMPARE(PdfPages(OutPath()), 1);
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().text, Saved(1, OutPath()));
}

QTEST_MAIN(ReportMenuTest)
#include "ReportMenuTest.moc"
