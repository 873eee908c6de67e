// Saving sheets as a PDF from the right-click menus of the results list and
// the preview, with the file dialog and the message boxes answered through
// their seams.
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

#include "FormPrv.h"
#include "FormsTestSupport.h"
#include "KeisanListForm.h"
#include "MessageBoxes.h"
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

 private:
  KeisanListForm* OpenList() {
    KeisanListForm* list = KeisanListForm::ShowResults(*session_);
    if (list == nullptr) qFatal("the results list did not open");
    return list;
  }
  static void Select(KeisanListForm& list, int row) { list.List1()->setCurrentRow(row - 1); }
  QString OutPath() const { return QString::fromStdString(folder_->File("保存先.pdf")); }

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
  const std::unique_ptr<QMenu> menu(list->CreateContextMenu());
  Action(*menu, "mnuSaveOkSheets")->trigger();
  QCOMPARE(PdfPages(OutPath()), 1 + 2);  // the summary, then rows 2 and 4
  QVERIFY(MessageBoxes::shown().empty());
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QCOMPARE(SaveFileDialog::lastSuggested(), QDir(documents).filePath(Utf8("計算書.pdf")));
}

void ReportMenuTest::selectedRowGoesIntoAPdfOfItsOwn() {
  KeisanListForm* list = OpenList();
  Select(*list, 3);
  SaveFileDialog::setNextAnswer(OutPath());
  const std::unique_ptr<QMenu> menu(list->CreateContextMenu());
  Action(*menu, "mnuSaveRowSheet")->trigger();
  QCOMPARE(PdfPages(OutPath()), 1);
  QVERIFY(MessageBoxes::shown().empty());
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
  Action(*menu, "mnuSavePdf")->trigger();
  QCOMPARE(PdfPages(OutPath()), 1);
  QVERIFY(MessageBoxes::shown().empty());
}

void ReportMenuTest::saveDialogOffersTheFolderUsedLast() {
  KeisanListForm* list = OpenList();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QVERIFY(QDir().mkpath(QString::fromStdString(folder_->File("報告書"))));
  const QString chosen = QString::fromStdString(folder_->File("報告書/第1工区.pdf"));
  SaveFileDialog::setNextAnswer(chosen);
  list->SaveOkSheets();
  QCOMPARE(SaveFileDialog::lastSuggested(), QDir(documents).filePath(Utf8("計算書.pdf")));
  QCOMPARE(PdfPages(chosen), 3);

  // A cancelled dialog chooses no folder: the one used last is offered again.
  for (int save = 0; save < 2; ++save) {
    SaveFileDialog::setNextAnswer(std::nullopt);
    list->SaveOkSheets();
    QCOMPARE(SaveFileDialog::lastSuggested(),
             QString::fromStdString(folder_->File("報告書/計算書.pdf")));
  }
}

QTEST_MAIN(ReportMenuTest)
#include "ReportMenuTest.moc"
