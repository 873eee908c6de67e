// The three windows driven as a user would: typing and leaving the boxes,
// Calculate and End, the rows of the results list and its double-click
// decisions, scrolling and printing the preview. Message boxes and the
// printer dialog are answered in advance through their seams.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "FormPrv.h"
#include "FormsTestSupport.h"
#include "KeisanListForm.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "PrinterDialog.h"
#include "Session.h"
#include "Twips.h"

using namespace sekora;
using sekora::testing::BoxRecord;
using sekora::testing::FakePrinter;
using sekora::testing::TestFolder;

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// The texts of the messages shown since the test began.
QStringList ShownTexts() {
  QStringList texts;
  for (const MessageBoxes::Shown& shown : MessageBoxes::shown()) texts << shown.text;
  return texts;
}

QStringList Rows(const KeisanListForm& list) {
  QStringList rows;
  for (int i = 0; i < list.List1()->count(); ++i) rows << list.List1()->item(i)->text();
  return rows;
}

int Pixels(int twips) {
  return TwipsToPixels(twips, ScreenDpi());
}

void CloseAllWindows() {
  QApplication::closeAllWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every test starts with a fresh folder, session and main window, and must
// have used every answer it queued.
class WindowTestBase : public QObject {
  Q_OBJECT

 protected:
  void SetUp() {
    folder_ = std::make_unique<TestFolder>();
    session_ = std::make_unique<Session>();
    session_->quitApplication = [this] { ++quitCalls_; };
    quitCalls_ = 0;
    MessageBoxes::clearShown();
    mainForm_ = std::make_unique<MainForm>(*session_);
  }
  void TearDown() {
    const std::size_t unusedAnswers = MessageBoxes::pendingAnswers();
    MessageBoxes::clearAnswers();
    CloseAllWindows();
    mainForm_.reset();
    session_.reset();
    folder_.reset();
    QCOMPARE(unusedAnswers, std::size_t{0});
  }

  ConditionBox* Box(int index) const { return mainForm_->Jyouken(index); }
  template <typename T>
  T* Control(const char* name) const {
    return mainForm_->findChild<T*>(QString::fromUtf8(name));
  }
  void ShowMainForm() {
    mainForm_->show();
    QApplication::setActiveWindow(mainForm_.get());
    QVERIFY(QTest::qWaitForWindowActive(mainForm_.get()));
  }
  // Keisan.txt holding `records`, as a completed run of this session wrote
  // it with the main window's default conditions.
  void AdoptResults(const std::vector<KeisanRecord>& records) {
    DesignConditions ranWith;
    ranWith.CandidateCount = static_cast<std::int16_t>(records.size());
    session_->AdoptRun(ranWith, folder_->WriteResults(records));
  }
  void Calculate(const char* q, const char* l) {
    Box(0)->setText(Utf8(q));
    Box(1)->setText(Utf8(l));
    QTest::mouseClick(Control<QPushButton>("Button0"), Qt::LeftButton);
  }

  std::unique_ptr<TestFolder> folder_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<MainForm> mainForm_;
  int quitCalls_ = 0;
};

}  // namespace

class MainFormTest : public WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  void opensWithTheInitialConditionsAndNotice();
  void optionsLieOutsideTheWindowAndTakeNoFocus();
  void zeroDischargeOrLengthIsRefused();
  void keyFilterPassesDigitsPointAndBackspaceOnly();
  void everyWayIntoABoxSelectsItsWholeText();
  void pasteTakesOnlyAPlainNumber();
  void enterMovesBetweenTheShownBoxes();
  void leavingABoxFormatsOnlyAPlainNumber();
  void formattedValueIsShownWholeFromItsStart();
  void enterAndSpacePressAFocusedButton();
  void calculateReadsEveryControl();
  void failedCalculationShowsItsMessageAndKeepsTheResults();
  void refusedAndFailedCalculatesLeaveTheShownRunAlone();
  void endClosesEveryWindow();
};

void MainFormTest::opensWithTheInitialConditionsAndNotice() {
  QCOMPARE(mainForm_->windowTitle(), QStringLiteral("Sekora"));
  QCOMPARE(mainForm_->size(), TwipsSize(4275, 4245, ScreenDpi()));
  const char* const initial[] = {"0.000", "0.000", "0.000", "0.000",
                                 "9.800", "1.000", "0.900", "0.810"};
  for (int i = 0; i < MainForm::kBoxCount; ++i) {
    QCOMPARE(Box(i)->text(), Utf8(initial[i]));
    QCOMPARE(Box(i)->objectName(), QStringLiteral("Jyouken%1").arg(i));
    QCOMPARE(Box(i)->isHidden(), i >= 2);
  }
  QVERIFY(Control<QRadioButton>("Opt0")->isChecked());
  QVERIFY(!Control<QCheckBox>("Check1")->isChecked());
  const QString notice = mainForm_->NoticeText();
  QCOMPARE(notice.split(QLatin1Char('\n')).size(), 12);
  QVERIFY(notice.startsWith(Utf8("\nソフトの規約に関しましては\n")));
  QVERIFY(notice.endsWith(Utf8("\n　円径=φ×0.190\n　粗度係数はボックス=0.020 円径=0.010")));
  const QLabel* label3 = Control<QLabel>("Label3");
  for (const QString& line : notice.split(QLatin1Char('\n'))) {
    QVERIFY2(QFontMetrics(label3->font()).horizontalAdvance(line) <= label3->width(),
             qPrintable(line));
  }
  QCOMPARE(Control<QLabel>("Label18")->font().pointSizeF(), 8.25);
  QCOMPARE(Control<QPushButton>("Button0")->text(), Utf8("計算"));
  QCOMPARE(Control<QPushButton>("Button1")->text(), Utf8("終了"));
}

void MainFormTest::optionsLieOutsideTheWindowAndTakeNoFocus() {
  ShowMainForm();
  QWidget* frame = Control<QWidget>("Frame1");
  QVERIFY(frame->x() >= mainForm_->width());
  QVERIFY(Control<QCheckBox>("Check1")->x() >= mainForm_->width());
  const QList<QWidget*> unseen = {Control<QWidget>("Opt0"), Control<QWidget>("Opt1"),
                                  Control<QWidget>("Opt2"), Control<QWidget>("Check1")};
  for (QWidget* control : unseen) {
    QVERIFY2(control->focusPolicy() == Qt::NoFocus, qPrintable(control->objectName()));
  }
  // Tab and Backtab go round the shown controls only: Q, L, 計算, 終了.
  const QList<QWidget*> round = {Box(0), Box(1), Control<QWidget>("Button0"),
                                 Control<QWidget>("Button1"), Box(0)};
  Box(0)->setFocus();
  for (qsizetype i = 1; i < round.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), round[i]);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  QCOMPARE(QApplication::focusWidget(), Control<QWidget>("Button1"));
  // The keys that would change a focused option change nothing unseen.
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Space}) {
    QTest::keyClick(QApplication::focusWidget(), key);
  }
  QVERIFY(Control<QRadioButton>("Opt0")->isChecked());
  QVERIFY(!Control<QCheckBox>("Check1")->isChecked());
}

void MainFormTest::zeroDischargeOrLengthIsRefused() {
  const QString message = Utf8("計画流量または、延長が０です");
  for (auto [q, l] : {std::pair{"0.000", "0.000"}, std::pair{"1.5", "0"}, std::pair{"", "20"},
                      std::pair{".", "20"}}) {
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
    Calculate(q, l);
    QCOMPARE(ShownTexts(), QStringList{message});
    QCOMPARE(MessageBoxes::shown().front().title, QStringLiteral("Sekora"));
    QVERIFY(MessageBoxes::shown().front().buttons == MessageBoxes::Buttons::Ok);
  }
  QVERIFY(session_->resultsList.isNull());
  QVERIFY(folder_->Read("Keisan.txt").isNull());
}

void MainFormTest::keyFilterPassesDigitsPointAndBackspaceOnly() {
  ShowMainForm();
  Box(0)->setFocus();
  QCOMPARE(Box(0)->selectedText(), QStringLiteral("0.000"));  // typing replaces the text
  QTest::keyClicks(Box(0), QStringLiteral("a-+ 2x.5,e"));
  QCOMPARE(Box(0)->text(), QStringLiteral("2.5"));
  QTest::keyClicks(Box(0), QStringLiteral(".3"));  // no check for a second point
  QCOMPARE(Box(0)->text(), QStringLiteral("2.5.3"));
  for (int i = 0; i < 5; ++i) QTest::keyClick(Box(0), Qt::Key_Backspace);
  QCOMPARE(Box(0)->text(), QString());
  QTest::keyClicks(Box(0), QStringLiteral("12345678901234"));
  QCOMPARE(Box(0)->text(), QStringLiteral("1234567890"));
}

// The box has the focus and its whole text selected, with the caret at its
// start so that the start is in view.
bool WholeTextSelected(const QLineEdit& box) {
  return QApplication::focusWidget() == &box && box.selectionStart() == 0 &&
         box.selectedText() == box.text() && box.cursorPosition() == 0;
}

void MainFormTest::everyWayIntoABoxSelectsItsWholeText() {
  ShowMainForm();
  // Q has the focus from the start: a click into it and 1.5 typed give 1.5.
  QVERIFY(WholeTextSelected(*Box(0)));
  QTest::mouseClick(Box(0), Qt::LeftButton, {}, Box(0)->rect().center());
  QTest::keyClicks(Box(0), QStringLiteral("1.5"));
  QCOMPARE(Box(0)->text(), QStringLiteral("1.5"));

  QTest::keyClick(Box(0), Qt::Key_Tab);
  QVERIFY(WholeTextSelected(*Box(1)));
  QTest::keyClick(Box(1), Qt::Key_Backtab);
  QVERIFY(WholeTextSelected(*Box(0)));
  QTest::keyClick(Box(0), Qt::Key_Return);
  QVERIFY(WholeTextSelected(*Box(1)));

  // A click into Q: typing replaces "0.000" instead of landing inside it.
  QTest::mouseClick(Box(0), Qt::LeftButton, {}, Box(0)->rect().center());
  QVERIFY(WholeTextSelected(*Box(0)));
  QTest::keyClicks(Box(0), QStringLiteral("1.5"));
  QCOMPARE(Box(0)->text(), QStringLiteral("1.5"));
  QTest::keyClick(Box(0), Qt::Key_Tab);
  QCOMPARE(Box(0)->text(), QStringLiteral("1.500"));

  // The first click after Tab keeps the selection; the next places the caret.
  QTest::mouseClick(Box(1), Qt::LeftButton, {}, Box(1)->rect().center());
  QVERIFY(WholeTextSelected(*Box(1)));
  QTest::mouseClick(Box(1), Qt::LeftButton, {}, Box(1)->rect().center());
  QVERIFY(!Box(1)->hasSelectedText());

  // The window coming back selects the box that has the focus, and so does
  // a click into that box that brings the window back.
  QTest::mouseMove(Box(1), Box(1)->rect().center());
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  QVERIFY(QTest::qWaitForWindowActive(&other));
  QApplication::setActiveWindow(mainForm_.get());
  QVERIFY(QTest::qWaitForWindowActive(mainForm_.get()));
  QVERIFY(WholeTextSelected(*Box(1)));
  QTest::mouseClick(Box(1), Qt::LeftButton, {}, Box(1)->rect().center());
  QVERIFY(WholeTextSelected(*Box(1)));
}

void MainFormTest::pasteTakesOnlyAPlainNumber() {
  ShowMainForm();
  Box(1)->setFocus();
  Box(1)->setText(QStringLiteral("20.000"));
  // Refused, leaving the box as it was: what a paste would silently change.
  for (const char* refused : {"2.5e3", "1,500", "-1", "1.2.3", "12345678901", "", "２"}) {
    QApplication::clipboard()->setText(Utf8(refused));
    Box(1)->selectAll();
    QTest::keyClick(Box(1), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Box(1)->text(), QStringLiteral("20.000"));
  }
  // Taken as typed, without its blanks.
  QApplication::clipboard()->setText(QStringLiteral(" 2.5 \n"));
  Box(1)->selectAll();
  QTest::keyClick(Box(1), Qt::Key_Insert, Qt::ShiftModifier);
  QCOMPARE(Box(1)->text(), QStringLiteral("2.5"));
  // A paste that would pass the length typing stops at is refused.
  QApplication::clipboard()->setText(QStringLiteral("12345678"));
  Box(1)->setCursorPosition(3);
  QTest::keyClick(Box(1), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(Box(1)->text(), QStringLiteral("2.5"));

  // The context menu's Paste is the same checked paste.
  const std::unique_ptr<QMenu> menu(Box(1)->CreateContextMenu());
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith(QLineEdit::tr("&Paste"))) paste = action;
  }
  QVERIFY(paste != nullptr);
  QApplication::clipboard()->setText(QStringLiteral("1,500"));
  Box(1)->selectAll();
  paste->trigger();
  QCOMPARE(Box(1)->text(), QStringLiteral("2.5"));
  QApplication::clipboard()->setText(QStringLiteral("7.25"));
  paste->trigger();
  QCOMPARE(Box(1)->text(), QStringLiteral("7.25"));
  QVERIFY(!Box(1)->acceptDrops());
}

void MainFormTest::enterMovesBetweenTheShownBoxes() {
  ShowMainForm();
  Box(0)->setFocus();
  QTest::keyClick(Box(0), Qt::Key_Return);
  QCOMPARE(QApplication::focusWidget(), Box(1));
  QTest::keyClick(Box(1), Qt::Key_Enter);
  QCOMPARE(QApplication::focusWidget(), Box(0));
  QCOMPARE(Box(0)->text(), QStringLiteral("0.000"));  // Enter itself types nothing
}

void MainFormTest::leavingABoxFormatsOnlyAPlainNumber() {
  ShowMainForm();
  const std::pair<const char*, const char*> cases[] = {
      {"5", "5.000"},      {".5", "0.500"}, {"12.3456", "12.346"},
      {"2.0005", "2.001"}, {"5.", "5.000"}, {"1.2.3", "1.2.3"},
      {".", "."},          {"", ""}};
  for (auto [typed, shown] : cases) {
    Box(0)->setFocus();
    Box(0)->setText(Utf8(typed));
    QTest::keyClick(Box(0), Qt::Key_Return);  // leaves Q for L
    QCOMPARE(Box(0)->text(), Utf8(shown));
  }
}

void MainFormTest::formattedValueIsShownWholeFromItsStart() {
  ShowMainForm();
  const std::pair<const char*, const char*> cases[] = {
      {"100", "100.000"}, {"123456789", "123456789.000"}, {"1234567.5", "1234567.500"}};
  for (auto [typed, shown] : cases) {
    Box(1)->setFocus();
    QTest::keyClicks(Box(1), Utf8(typed));
    QTest::keyClick(Box(1), Qt::Key_Return);
    QCOMPARE(Box(1)->text(), Utf8(shown));
    QCOMPARE(Box(1)->cursorPosition(), 0);  // the view shows the start
  }
  // What is shown is what Calculate reads.
  Box(0)->setText(QStringLiteral("1.5"));
  QTest::mouseClick(Control<QPushButton>("Button0"), Qt::LeftButton);
  QCOMPARE(session_->conditions.L, 1234567.5);
  // Typing over the long text replaces it and stops at ten characters.
  Box(1)->setFocus();
  QTest::keyClicks(Box(1), QStringLiteral("98765432109"));
  QCOMPARE(Box(1)->text(), QStringLiteral("9876543210"));
}

void MainFormTest::enterAndSpacePressAFocusedButton() {
  ShowMainForm();
  auto* calculate = Control<QPushButton>("Button0");
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
    calculate->setFocus();
    QTest::keyClick(calculate, key);
    QCOMPARE(ShownTexts(), QStringList{Utf8("計画流量または、延長が０です")});
  }
  Calculate("1.5", "20");
  auto* close = session_->resultsList->findChild<QPushButton*>(QStringLiteral("Button0"));
  QTest::keyClick(close, Qt::Key_Return);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(session_->resultsList.isNull());

  auto* end = Control<QPushButton>("Button1");
  end->setFocus();
  QTest::keyClick(end, Qt::Key_Return);
  QCOMPARE(quitCalls_, 1);
}

void MainFormTest::calculateReadsEveryControl() {
  Box(2)->setText(QStringLiteral("0.5"));
  Control<QRadioButton>("Opt1")->setChecked(true);
  Control<QCheckBox>("Check1")->setChecked(true);
  Calculate("1.5", "20");
  const DesignConditions& conditions = session_->conditions;
  QCOMPARE(conditions.Q, 1.5);
  QCOMPARE(conditions.L, 20.0);
  QCOMPARE(conditions.Z1, 0.5);
  QCOMPARE(conditions.g, 9.8);
  QCOMPARE(conditions.CircleRatio, 0.81);
  QCOMPARE(conditions.ShapeOption, std::int16_t{ShapeBoxOnly});
  QCOMPARE(conditions.ExcludeNg, std::int16_t{1});
  QVERIFY(!session_->resultsList.isNull());
  for (const QString& row : Rows(*session_->resultsList)) {
    QVERIFY2(!row.contains(Utf8("φ")), qPrintable(row));  // boxes only
  }
}

void MainFormTest::failedCalculationShowsItsMessageAndKeepsTheResults() {
  Calculate("1.5", "20");
  const QByteArray previous = folder_->Read("Keisan.txt");
  QVERIFY(!previous.isEmpty());
  CloseAllWindows();

  folder_->Remove("KAN.TXT");
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  Calculate("2.5", "30");
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QVERIFY2(MessageBoxes::shown().front().text.contains(QStringLiteral("KAN.TXT")),
           qPrintable(MessageBoxes::shown().front().text));
  QVERIFY(session_->resultsList.isNull());
  QCOMPARE(folder_->Read("Keisan.txt"), previous);
}

// The line of a sheet's texts that begins with `label`.
std::string SheetLine(const std::string& texts, const std::string& label) {
  const std::size_t start = texts.find(label);
  if (start == std::string::npos) return {};
  return texts.substr(start, texts.find('\n', start) - start);
}

void MainFormTest::refusedAndFailedCalculatesLeaveTheShownRunAlone() {
  Calculate("1.5", "20");
  QPointer<KeisanListForm> list = session_->resultsList;
  QCOMPARE(Rows(*list).size(), 4);

  // Refused: L is zero. Failed: a pipe catalogue gone, with another Q and a
  // shape option that would count only two candidates.
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  Calculate("3", "0");
  folder_->Remove("KAN.TXT");
  Control<QRadioButton>("Opt2")->setChecked(true);
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  Calculate("3", "20");
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{2});
  QCOMPARE(session_->conditions.Q, 1.5);
  QCOMPARE(session_->conditions.CandidateCount, std::int16_t{4});
  QCOMPARE(session_->resultsList.data(), list.data());

  // The last row of the old list is still the 2 m pipe, on screen and paper.
  list->List1()->setCurrentRow(3);
  list->DoubleClickSelectedRow();
  QVERIFY(!session_->preview.isNull());
  QCOMPARE(session_->preview->ShownRow(), std::int16_t{4});
  auto printer = std::make_shared<FakePrinter>();
  PrinterDialog::setNextAnswer({true, printer, 1, false});
  session_->preview->findChild<QAction*>(QStringLiteral("mnuPrint"))->trigger();
  QCOMPARE(printer->jobs.size(), std::size_t{1});
  const std::string& texts = printer->jobs.front().texts;
  QVERIFY2(SheetLine(texts, "管渠口径(φ)").find("2.000") != std::string::npos, texts.c_str());
  const std::string velocity = SheetLine(texts, "Q = A2・V2より");
  QVERIFY2(velocity.find("V2 =1.500/") != std::string::npos, velocity.c_str());
  QVERIFY2(SheetLine(texts, "区間距離(L)").find("20.000") != std::string::npos, texts.c_str());
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{2});
}

void MainFormTest::endClosesEveryWindow() {
  ShowMainForm();
  Calculate("1.5", "20");
  session_->SelectedNo = 2;
  QVERIFY(FormPrv::ShowSelected(*session_) != nullptr);
  QVERIFY(session_->resultsList->isVisible() && session_->preview->isVisible());
  QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(session_->resultsList.isNull());
  QVERIFY(session_->preview.isNull());
  QVERIFY(!mainForm_->isVisible());
  QCOMPARE(quitCalls_, 1);
}

class KeisanListFormTest : public WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  void listsEveryCandidateOfARun();
  void excludeNgNumbersThePassingRowsOnly();
  void anOpenListIsRebuiltByTheNextRun();
  void missingResultsFileKeepsTheListClosed();
  void doubleClickWithoutASelectionDoesNothing();
  void doubleClickDecidesByStatus();
  void closingTheListKeepsThePreview();
  void aRowOfAFileAnotherRunRewroteIsNotShown();

 private:
  KeisanListForm* OpenListOf(const std::vector<KeisanRecord>& records) {
    AdoptResults(records);
    return KeisanListForm::ShowResults(*session_);
  }
  // Selects the row and double-clicks it, as the list view reports it.
  static void DoubleClickRow(KeisanListForm& list, int row) {
    QListWidget* rows = list.List1();
    rows->setCurrentRow(row - 1);
    emit rows->itemDoubleClicked(rows->item(row - 1));
  }
};

void KeisanListFormTest::listsEveryCandidateOfARun() {
  Calculate("1.5", "20");
  KeisanListForm* list = session_->resultsList;
  QVERIFY(list != nullptr && list->isVisible());
  QCOMPARE(list->windowTitle(), Utf8("計算結果一覧"));
  QCOMPARE(list->findChild<QLabel*>(QStringLiteral("Label4"))->text(),
           Utf8("詳細はリスト内をダブルクリックしてください"));
  QCOMPARE(list->List1()->font().family(), QStringLiteral("IPAGothic"));
  QCOMPARE(list->List1()->font().pointSizeF(), 9.75);
  const QStringList rows = Rows(*list);
  QCOMPARE(rows.size(), 4);  // the comment lines of the catalogues are no candidates
  QCOMPARE(session_->conditions.CandidateCount, std::int16_t{4});
  QVERIFY(rows[0].startsWith(Utf8("    1|0.300×0.300|")));
  QCOMPARE(rows[1], Utf8("    2|2.000×2.000|ＯＫ"));
  QVERIFY(rows[2].startsWith(Utf8("    3|φ0.300     |")));
  QCOMPARE(rows[3], Utf8("    4|φ2.000     |ＯＫ"));
  QVERIFY(!rows[0].endsWith(Utf8("ＯＫ")));
  QVERIFY(list->List1()->selectedItems().isEmpty());
}

void KeisanListFormTest::excludeNgNumbersThePassingRowsOnly() {
  Control<QCheckBox>("Check1")->setChecked(true);
  Calculate("1.5", "20");
  QCOMPARE(Rows(*session_->resultsList),
           (QStringList{Utf8("    1|2.000×2.000|ＯＫ"), Utf8("    2|φ2.000     |ＯＫ")}));
}

void KeisanListFormTest::anOpenListIsRebuiltByTheNextRun() {
  Calculate("1.5", "20");
  QPointer<KeisanListForm> list = session_->resultsList;
  session_->SelectedNo = 2;
  QVERIFY(FormPrv::ShowSelected(*session_) != nullptr);

  Control<QRadioButton>("Opt2")->setChecked(true);
  Calculate("1.5", "20");
  QCOMPARE(session_->resultsList.data(), list.data());
  QCOMPARE(Rows(*list).size(), 2);  // pipes only
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(session_->preview.isNull());  // its sheet belonged to the old file
}

void KeisanListFormTest::missingResultsFileKeepsTheListClosed() {
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  QVERIFY(KeisanListForm::ShowResults(*session_) == nullptr);
  QVERIFY(session_->resultsList.isNull());
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});

  MessageBoxes::clearShown();
  KeisanListForm* list = OpenListOf({});
  QVERIFY(list != nullptr);  // an empty file gives an empty list
  QCOMPARE(list->List1()->count(), 0);
  QVERIFY(MessageBoxes::shown().empty());
}

void KeisanListFormTest::doubleClickWithoutASelectionDoesNothing() {
  KeisanListForm* list = OpenListOf({BoxRecord(1.5, 1.2, StatusOk)});
  list->DoubleClickSelectedRow();
  QVERIFY(MessageBoxes::shown().empty());
  QVERIFY(session_->preview.isNull());
  QCOMPARE(session_->SelectedNo, std::int16_t{0});
}

void KeisanListFormTest::doubleClickDecidesByStatus() {
  KeisanListForm* list =
      OpenListOf({BoxRecord(1.5, 1.2, StatusOk), BoxRecord(0.3, 0.3, StatusInletOver),
                  BoxRecord(1.0, 1.0, StatusFreeboardOver), BoxRecord(0.6, 0.6, StatusOutletOver)});
  list->show();
  const QString refused = Utf8("計算結果がエラーの為表示できません");
  const QString ask = Utf8("余裕高にてエラーですが、表示しますか？");

  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  DoubleClickRow(*list, 2);
  QCOMPARE(session_->SelectedNo, std::int16_t{2});
  QCOMPARE(ShownTexts(), QStringList{refused});
  QVERIFY(session_->preview.isNull());

  MessageBoxes::clearShown();
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::No);
  DoubleClickRow(*list, 3);
  QCOMPARE(ShownTexts(), QStringList{ask});
  QVERIFY(MessageBoxes::shown().front().buttons == MessageBoxes::Buttons::YesNo);
  QVERIFY(session_->preview.isNull());

  MessageBoxes::clearShown();
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Yes);
  DoubleClickRow(*list, 3);
  QVERIFY(!session_->preview.isNull());
  QPointer<FormPrv> preview = session_->preview;
  QCOMPARE(preview->ShownRow(), std::int16_t{3});

  // A passing row opens at once; the open preview follows it.
  MessageBoxes::clearShown();
  DoubleClickRow(*list, 1);
  QVERIFY(MessageBoxes::shown().empty());
  QCOMPARE(session_->preview.data(), preview.data());
  QCOMPARE(preview->ShownRow(), std::int16_t{1});

  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  DoubleClickRow(*list, 4);
  QCOMPARE(preview->ShownRow(), std::int16_t{1});
}

void KeisanListFormTest::closingTheListKeepsThePreview() {
  KeisanListForm* list = OpenListOf({BoxRecord(1.5, 1.2, StatusOk)});
  list->List1()->setCurrentRow(0);
  list->DoubleClickSelectedRow();
  QVERIFY(!session_->preview.isNull());
  QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("Button0")), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(session_->resultsList.isNull());
  QVERIFY(!session_->preview.isNull() && session_->preview->isVisible());
}

void KeisanListFormTest::aRowOfAFileAnotherRunRewroteIsNotShown() {
  KeisanListForm* list = OpenListOf({BoxRecord(1.5, 1.2, StatusOk)});
  folder_->WriteResults({BoxRecord(0.3, 0.3, StatusOk), BoxRecord(2.5, 2.0, StatusOk)});
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  DoubleClickRow(*list, 1);
  QVERIFY(session_->preview.isNull());
  QCOMPARE(
      ShownTexts(),
      QStringList{Utf8("Keisan.txt が他の計算で書き換えられています。もう一度計算してください")});
}

class FormPrvTest : public WindowTestBase {
  Q_OBJECT

 private slots:
  void init() {
    SetUp();
    AdoptResults({BoxRecord(1.5, 1.2, StatusOk), BoxRecord(2.5, 2.0, StatusOk)});
    session_->SelectedNo = 1;
  }
  void cleanup() { TearDown(); }

  void drawsTheSheetOnAnA4Page();
  void scrollBarMovesThePageOnRelease();
  void scrollBarTakesTheKeyboardAndTheWheel();
  void everyWindowOpensCentredWithItsFinalSize();
  void missingFigureKeepsThePreviewClosed();
  void cancelPrintsNothingAndSaysNothing();
  void copiesThePrinterCannotMakeAreJobsOfTheirOwn();
  void copiesTheDriverMakesAreOneJob();
  void aFileRewrittenByAnotherRunIsNeitherPrintedNorShown();
  void printingFailuresAreReported();
  void noPrinterIsSaidWithoutADialog();
  void returnClosesThePreview();

 private:
  FormPrv* Open() {
    FormPrv* preview = FormPrv::ShowSelected(*session_);
    if (preview == nullptr) qFatal("the preview did not open");
    return preview;
  }
  static void PrintWith(FormPrv& preview, const std::shared_ptr<FakePrinter>& printer, int copies,
                        bool driverMakesCopies) {
    PrinterDialog::setNextAnswer({true, printer, copies, driverMakesCopies});
    preview.findChild<QAction*>(QStringLiteral("mnuPrint"))->trigger();
  }
};

void FormPrvTest::drawsTheSheetOnAnA4Page() {
  FormPrv* preview = Open();
  QCOMPARE(preview->windowTitle(), Utf8("計算結果出力"));
  QCOMPARE(preview->centralWidget()->size(), TwipsSize(12315, 8340, ScreenDpi()));
  auto* pic = preview->findChild<QLabel*>(QStringLiteral("Pic"));
  QCOMPARE(pic->size(), TwipsSize(FormPrv::kPageWidth, FormPrv::kPageHeight, ScreenDpi()));
  QCOMPARE(pic->pos(), QPoint(0, 0));
  const QImage page = preview->Sheet().toImage();
  QCOMPARE(page.pixelColor(0, 0), QColor(Qt::white));
  int dark = 0;
  for (int y = 0; y < page.height() / 4; ++y) {
    for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
  }
  QVERIFY2(dark > 100, "the upper quarter of the page holds the title and the conditions");
  QCOMPARE(preview->findChild<QAction*>(QStringLiteral("mnuPrint"))->text(), Utf8("印刷(&O)"));
  QCOMPARE(preview->findChild<QAction*>(QStringLiteral("mnuEnd"))->text(), Utf8("戻る(&R)"));
}

void FormPrvTest::scrollBarMovesThePageOnRelease() {
  FormPrv* preview = Open();
  auto* pic = preview->findChild<QLabel*>(QStringLiteral("Pic"));
  auto* bar = preview->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
  QCOMPARE(bar->minimum(), 0);
  QCOMPARE(bar->maximum(), 8600);
  QCOMPARE(bar->singleStep(), 200);
  QCOMPARE(bar->pageStep(), 200);

  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(pic->y(), -Pixels(200));
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  QCOMPARE(pic->y(), -Pixels(400));

  bar->setSliderDown(true);
  bar->setSliderPosition(3000);
  QCOMPARE(pic->y(), -Pixels(400));  // not while the thumb is dragged
  bar->setSliderDown(false);
  QCOMPARE(pic->y(), -Pixels(3000));

  bar->setValue(bar->maximum());
  QCOMPARE(pic->y(), -Pixels(8600));
  // The page's bottom stays just inside the window.
  QVERIFY(pic->geometry().bottom() < preview->centralWidget()->height());
}

void FormPrvTest::scrollBarTakesTheKeyboardAndTheWheel() {
  FormPrv* preview = Open();
  QApplication::setActiveWindow(preview);
  QVERIFY(QTest::qWaitForWindowActive(preview));
  auto* pic = preview->findChild<QLabel*>(QStringLiteral("Pic"));
  auto* bar = preview->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
  QVERIFY((bar->focusPolicy() & Qt::StrongFocus) == Qt::StrongFocus);  // Tab and click
  bar->clearFocus();
  QTest::keyClick(preview, Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), bar);

  // Each key with the value it gives and where the page then stands.
  const std::pair<Qt::Key, int> keys[] = {
      {Qt::Key_Down, 200},    {Qt::Key_PageDown, 400}, {Qt::Key_Up, 200}, {Qt::Key_End, 8600},
      {Qt::Key_PageUp, 8400}, {Qt::Key_Home, 0},       {Qt::Key_Up, 0}};
  for (auto [key, value] : keys) {
    QTest::keyClick(bar, key);
    QCOMPARE(bar->value(), value);
    QCOMPARE(pic->y(), -Pixels(value));
  }

  // One notch of the wheel over the page, down then up, at either end too.
  auto turn = [pic](int delta) {
    const QPointF at(pic->width() / 2.0, 50.0);
    QWheelEvent wheel(at, pic->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic, &wheel);
  };
  const int notch = FormPrv::kScrollStep;  // no more than a page step of 200
  turn(-120);
  QCOMPARE(bar->value(), notch);
  QCOMPARE(pic->y(), -Pixels(notch));
  turn(120);
  turn(120);
  QCOMPARE(bar->value(), 0);
}

void FormPrvTest::everyWindowOpensCentredWithItsFinalSize() {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  auto expectCentred = [&screen](QWidget& window) {
    const QSize opened = window.size();
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.size(), opened);
    // The window with its frame, once the frame is known, along each side
    // of the screen it fits in (the test screen is narrower than the preview).
    const QRect outer = window.frameGeometry();
    const QPoint offset = outer.center() - screen.center();
    if (outer.width() <= screen.width())
      QVERIFY2(std::abs(offset.x()) <= 1, qPrintable(window.objectName()));
    if (outer.height() <= screen.height())
      QVERIFY2(std::abs(offset.y()) <= 1, qPrintable(window.objectName()));
  };
  expectCentred(*mainForm_);
  expectCentred(*KeisanListForm::ShowResults(*session_));
  expectCentred(*Open());
}

void FormPrvTest::missingFigureKeepsThePreviewClosed() {
  folder_->Remove("寸法.wmf");
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  QVERIFY(FormPrv::ShowSelected(*session_) == nullptr);
  QVERIFY(session_->preview.isNull());
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QVERIFY2(MessageBoxes::shown().front().text.contains(Utf8("寸法.wmf")),
           qPrintable(MessageBoxes::shown().front().text));
}

void FormPrvTest::cancelPrintsNothingAndSaysNothing() {
  FormPrv* preview = Open();
  const QImage before = preview->Sheet().toImage();
  PrinterDialog::setNextAnswer({false, nullptr, 1, false});
  preview->findChild<QAction*>(QStringLiteral("mnuPrint"))->trigger();
  QVERIFY(MessageBoxes::shown().empty());
  QCOMPARE(preview->Sheet().toImage(), before);
}

void FormPrvTest::copiesThePrinterCannotMakeAreJobsOfTheirOwn() {
  FormPrv* preview = Open();
  auto printer = std::make_shared<FakePrinter>();
  PrintWith(*preview, printer, 3, false);
  QVERIFY(MessageBoxes::shown().empty());
  QCOMPARE(printer->jobs.size(), std::size_t{3});
  QCOMPARE(printer->names, std::vector<std::string>(3, "Sekora 計算書 No.1"));
  for (const auto& job : printer->jobs) {
    QCOMPARE(job.DrawWidth(), 3);  // the printer's pen
    QVERIFY(job.texts.find("1.500m×1.200m") != std::string::npos);
    QCOMPARE(job.pictures, 2);
  }
}

void FormPrvTest::copiesTheDriverMakesAreOneJob() {
  session_->SelectedNo = 2;
  FormPrv* preview = Open();
  auto printer = std::make_shared<FakePrinter>();
  PrintWith(*preview, printer, 3, true);
  QCOMPARE(printer->jobs.size(), std::size_t{1});
  QCOMPARE(printer->names, std::vector<std::string>{"Sekora 計算書 No.2"});
}

void FormPrvTest::aFileRewrittenByAnotherRunIsNeitherPrintedNorShown() {
  const QString rewritten =
      Utf8("Keisan.txt が他の計算で書き換えられています。もう一度計算してください");
  FormPrv* preview = Open();
  // Another run rewrites the file under the open preview: same size, other
  // numbers.
  folder_->WriteResults({BoxRecord(1.8, 1.6, StatusOk), BoxRecord(2.5, 2.0, StatusOk)});
  auto printer = std::make_shared<FakePrinter>();
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  PrintWith(*preview, printer, 1, false);
  QCOMPARE(printer->begun, 0);
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QCOMPARE(MessageBoxes::shown().front().title, QStringLiteral("Sekora"));
  QVERIFY(MessageBoxes::shown().front().text.contains(rewritten));

  MessageBoxes::clearShown();
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  QVERIFY(FormPrv::ShowSelected(*session_) == nullptr);
  QCOMPARE(ShownTexts(), QStringList{rewritten});

  MessageBoxes::clearShown();
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  QVERIFY(KeisanListForm::ShowResults(*session_) == nullptr);
  QCOMPARE(ShownTexts(), QStringList{rewritten});
}

void FormPrvTest::printingFailuresAreReported() {
  FormPrv* preview = Open();
  auto printer = std::make_shared<FakePrinter>();
  printer->refuse = true;
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  PrintWith(*preview, printer, 2, false);
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  QVERIFY2(MessageBoxes::shown().front().text.startsWith(
               Utf8("プリンタ「経理室のプリンタ」に印刷できませんでした\n")),
           qPrintable(MessageBoxes::shown().front().text));

  // A broken figure is found before any page is begun.
  MessageBoxes::clearShown();
  printer->refuse = false;
  folder_->WriteFile("矩寸法.wmf", "not a metafile");
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  PrintWith(*preview, printer, 2, false);
  QCOMPARE(printer->begun, 0);
  QVERIFY2(MessageBoxes::shown().front().text.contains(Utf8("矩寸法.wmf")),
           qPrintable(MessageBoxes::shown().front().text));
  QVERIFY(MessageBoxes::shown().front().text.contains(Utf8("経理室のプリンタ")));
}

void FormPrvTest::noPrinterIsSaidWithoutADialog() {
  FormPrv* preview = Open();
  PrinterDialogAnswer none;
  none.noPrinter = true;
  PrinterDialog::setNextAnswer(none);
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  preview->findChild<QAction*>(QStringLiteral("mnuPrint"))->trigger();
  QCOMPARE(ShownTexts(),
           QStringList{Utf8("プリンタがインストールされていないため、印刷できません")});
  QVERIFY(MessageBoxes::shown().front().buttons == MessageBoxes::Buttons::Ok);
}

void FormPrvTest::returnClosesThePreview() {
  FormPrv* preview = Open();
  preview->findChild<QAction*>(QStringLiteral("mnuEnd"))->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(session_->preview.isNull());
}

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  int failures = 0;
  {
    MainFormTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    KeisanListFormTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    FormPrvTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  return failures;
}

#include "FormsTest.moc"
