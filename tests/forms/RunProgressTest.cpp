// A long calculation from the main window: progress shown, cancel honoured
// within a few candidates, the previous results kept byte for byte.
#include <QApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "DesignError.h"
#include "FormsTestSupport.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ParallelFor.h"

namespace sekora {
namespace {

using testing::TestFolder;

// Boxes of 2 m to 3 m in a culvert 2 km long: each one's inlet search climbs
// for its thousand steps, so the run lasts long enough to be cancelled.
std::string LongRunCatalogue(int boxes) {
  std::string text;
  char line[24];
  for (int i = 0; i < boxes; ++i) {
    std::snprintf(line, sizeof line, "%5.3f 3.000\r\n", 2.0 + 0.001 * (i % 1000));
    text += line;
  }
  return text;
}

constexpr int kLongRunBoxes = 8000;

// Presses the dialog's cancel button once the run has designed a few
// candidates, noting how many were done when the run was told to stop.
class CancelWhenUnderWay {
 public:
  explicit CancelWhenUnderWay(const RunProgress& progress) : progress_(progress) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  int doneAtCancel = -1;
  QString textAtCancel;

 private:
  void Poll() {
    auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || progress_.Done() < 10) return;
    timer_.stop();
    QTest::qWait(60);  // the dialog's text follows the run at its own pace
    textAtCancel = dialog->labelText();
    // Connected after the run's own handler, so it counts once the run has
    // been told to stop.
    QObject::connect(dialog, &QProgressDialog::canceled,
                     [this] { doneAtCancel = progress_.Done(); });
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
  }
  const RunProgress& progress_;
  QTimer timer_;
};

class RunProgressTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<TestFolder>();
    MessageBoxes::clearShown();
    mainForm_ = std::make_unique<MainForm>(session_);
  }
  void cleanup() {
    QApplication::closeAllWindows();
    mainForm_.reset();
    folder_.reset();
  }

  void aShortRunShowsNoDialog();
  void cancelStopsTheRunWithinAFewCandidatesAndKeepsTheResults();

 private:
  void Calculate(const char* q, const char* l) {
    mainForm_->Jyouken(0)->setText(QString::fromUtf8(q));
    mainForm_->Jyouken(1)->setText(QString::fromUtf8(l));
    QTest::mouseClick(mainForm_->findChild<QPushButton*>(QStringLiteral("Button0")),
                      Qt::LeftButton);
  }

  Session session_;
  std::unique_ptr<TestFolder> folder_;
  std::unique_ptr<MainForm> mainForm_;
};

void RunProgressTest::aShortRunShowsNoDialog() {
  bool sawDialog = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout,
                   [&] { sawDialog = sawDialog || QApplication::activeModalWidget() != nullptr; });
  watch.start(1);
  Calculate("1.5", "20");
  QVERIFY(!sawDialog);
  QVERIFY(!session_.resultsList.isNull());
  QCOMPARE(mainForm_->Progress().Done(), 4);
  QCOMPARE(mainForm_->Progress().Total(), 4);
}

void RunProgressTest::cancelStopsTheRunWithinAFewCandidatesAndKeepsTheResults() {
  folder_->WriteFile("BOX.TXT", LongRunCatalogue(kLongRunBoxes));
  folder_->WriteFile("KAN.TXT", "");
  folder_->WriteFile("Keisan.txt", "previous results\r\n");
  mainForm_->Progress().SetShowDelay(0);
  const CancelWhenUnderWay canceller(mainForm_->Progress());

  Calculate("1.5", "2000");

  QVERIFY(canceller.doneAtCancel >= 10);
  QVERIFY2(canceller.textAtCancel.contains(QStringLiteral("/ 8000")),
           qPrintable(canceller.textAtCancel));
  // Each thread ends at most the candidate it is on when the run is told
  // to stop (and one it began while the count was being taken).
  const int done = mainForm_->Progress().Done();
  QVERIFY2(done <= canceller.doneAtCancel + 2 * static_cast<int>(MachineThreads()),
           qPrintable(QStringLiteral("%1 after %2").arg(done).arg(canceller.doneAtCancel)));
  QVERIFY(done < kLongRunBoxes);
  QCOMPARE(folder_->Read("Keisan.txt"), QByteArray("previous results\r\n"));
  QVERIFY(session_.resultsList.isNull());
  QVERIFY(MessageBoxes::shown().empty());
  QVERIFY(!mainForm_->Progress().Running());
}

}  // namespace
}  // namespace sekora

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  sekora::RunProgressTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "RunProgressTest.moc"
