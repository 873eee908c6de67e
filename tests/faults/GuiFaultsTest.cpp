// The windows under the faults of the core: a damaged catalogue, a write of
// Keisan.txt that fails, a folder that vanishes, a damaged results file or
// figure. Each shows its message box titled "Sekora" with an OK button,
// keeps the previous Keisan.txt, and the main window calculates again.
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "AppFolder.h"
#include "AtomicFile.h"
#include "FailingWriter.h"
#include "KeisanFile.h"
#include "KeisanListForm.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "Session.h"
#include "TempFolder.h"

using namespace sekora;
namespace fs = std::filesystem;

namespace {

const char* const kShippedFiles[] = {"BOX.TXT", "KAN.TXT", "矩寸法.wmf", "円寸法.wmf", "寸法.wmf"};

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

std::string BadFile(const std::string& kind, const std::string& name) {
  return std::string(SEKORA_BAD_DIR) + "/" + kind + "/" + name;
}

}  // namespace

class GuiFaultsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void damagedCataloguesAreReportedByName();
  void tooManyCandidatesAreReported();
  void aCatalogueThatIsAFolderIsReported();
  void aWriteFailingPartWayIsReported();
  void aFolderDeletedWhileWritingIsReported();
  void aDamagedResultsFileClosesTheList();
  void aDamagedFigureIsReportedByName();

 private:
  void InstallShippedFiles() const {
    fs::create_directories(folder_->path());
    for (const char* name : kShippedFiles) {
      fs::copy_file(fs::path(SEKORA_DATA_DIR) / name, folder_->File(name),
                    fs::copy_options::overwrite_existing);
    }
  }
  void Calculate(const char* q, const char* l) {
    mainForm_->Jyouken(0)->setText(QString::fromUtf8(q));
    mainForm_->Jyouken(1)->setText(QString::fromUtf8(l));
    QTest::mouseClick(mainForm_->findChild<QPushButton*>(QStringLiteral("Button0")),
                      Qt::LeftButton);
  }
  // One message box, titled "Sekora", with an OK button, naming `name`.
  void ExpectOneMessageNaming(const std::string& name) {
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    const MessageBoxes::Shown& shown = MessageBoxes::shown().front();
    QCOMPARE(shown.title, QStringLiteral("Sekora"));
    QVERIFY(shown.buttons == MessageBoxes::Buttons::Ok);
    QVERIFY2(shown.text.contains(Utf8(name)), qPrintable(shown.text));
    MessageBoxes::clearShown();
  }
  // A calculation with new conditions fails with a message naming `name`,
  // and Keisan.txt is still the file of the first calculation.
  void ExpectCalculateFails(const std::string& name) {
    MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
    Calculate("2.5", "30");
    ExpectOneMessageNaming(name);
    if (fs::exists(folder_->path())) QCOMPARE(folder_->Read(kResultsFileName), previous_);
  }
  // The main window calculates again and lists every line of the file.
  void ExpectUsable() {
    QVERIFY(mainForm_->isEnabled());
    Calculate("1.5", "20");
    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(folder_->Read(kResultsFileName), previous_);
    QVERIFY(!session_->resultsList.isNull());
    QCOMPARE(session_->resultsList->List1()->count(), session_->conditions.CandidateCount);
    QVERIFY(session_->resultsList->List1()->count() > 0);
  }

  std::unique_ptr<sekora::testing::TempFolder> folder_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<MainForm> mainForm_;
  std::string previous_;
};

void GuiFaultsTest::init() {
  folder_ = std::make_unique<sekora::testing::TempFolder>();
  InstallShippedFiles();
  SetAppFolder(folder_->path());
  session_ = std::make_unique<Session>();
  session_->quitApplication = [] {};
  MessageBoxes::clearShown();
  mainForm_ = std::make_unique<MainForm>(*session_);
  mainForm_->show();
  Calculate("1.5", "20");
  QVERIFY(MessageBoxes::shown().empty());
  previous_ = folder_->Read(kResultsFileName);
  QVERIFY(!previous_.empty());
}

void GuiFaultsTest::cleanup() {
  QCOMPARE(MessageBoxes::pendingAnswers(), std::size_t{0});
  QApplication::closeAllWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  mainForm_.reset();
  session_.reset();
  SetAppFolder("");
  folder_.reset();
}

void GuiFaultsTest::damagedCataloguesAreReportedByName() {
  const std::pair<const char*, const char*> damaged[] = {
      {"BOX.TXT", "box_binary_junk.txt"},
      {"BOX.TXT", "box_utf16.txt"},
      {"KAN.TXT", "kan_negative.txt"},
      {"KAN.TXT", "kan_huge_number.txt"},
  };
  for (const auto& [name, bad] : damaged) {
    fs::copy_file(BadFile("catalogue", bad), folder_->File(name),
                  fs::copy_options::overwrite_existing);
    ExpectCalculateFails(name);
    InstallShippedFiles();
    ExpectUsable();
  }
}

void GuiFaultsTest::tooManyCandidatesAreReported() {
  std::string lines;
  for (int i = 0; i <= kMaxCandidates; ++i) lines += "0.600\r\n";
  folder_->Write("KAN.TXT", lines);
  ExpectCalculateFails("KAN.TXT");
  InstallShippedFiles();
  ExpectUsable();
}

void GuiFaultsTest::aCatalogueThatIsAFolderIsReported() {
  fs::remove(folder_->File("BOX.TXT"));
  fs::create_directory(folder_->File("BOX.TXT"));
  ExpectCalculateFails("BOX.TXT");
  fs::remove(folder_->File("BOX.TXT"));
  InstallShippedFiles();
  ExpectUsable();
}

void GuiFaultsTest::aWriteFailingPartWayIsReported() {
  for (const std::size_t budget : {std::size_t{0}, std::size_t{100}}) {
    {
      const ScopedFileWriter failing(sekora::testing::FailingAfter(budget));
      ExpectCalculateFails(kResultsFileName);
    }
    ExpectUsable();
  }
}

void GuiFaultsTest::aFolderDeletedWhileWritingIsReported() {
  const std::string folder = folder_->path();
  {
    const ScopedFileWriter deleting([&](int fd, const char* data, std::size_t size) -> long {
      fs::remove_all(folder);
      return ::write(fd, data, size);
    });
    ExpectCalculateFails(kResultsFileName);
  }
  QVERIFY(!fs::exists(folder));
  InstallShippedFiles();
  Calculate("1.5", "20");
  QVERIFY(MessageBoxes::shown().empty());
  previous_ = folder_->Read(kResultsFileName);
  ExpectUsable();
}

void GuiFaultsTest::aDamagedResultsFileClosesTheList() {
  // The write succeeds but leaves a file of 3 fields a line, which the list
  // then cannot read.
  {
    const ScopedFileWriter damaging([](int fd, const char*, std::size_t size) -> long {
      static const char kDamaged[] = "0,0,1.500\r\n";
      return ::write(fd, kDamaged, sizeof kDamaged - 1) < 0 ? -1 : static_cast<long>(size);
    });
    MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
    Calculate("2.5", "30");
  }
  ExpectOneMessageNaming(kResultsFileName);
  QVERIFY(session_->resultsList.isNull());
  ExpectUsable();
}

void GuiFaultsTest::aDamagedFigureIsReportedByName() {
  fs::copy_file(BadFile("wmf", "truncated_record.wmf"), folder_->File("矩寸法.wmf"),
                fs::copy_options::overwrite_existing);
  Candidates records;
  DesignConditions conditions;
  KeisanFile(kFileModeRead, records, conditions, folder_->path());
  int row = 0;
  while (row < static_cast<int>(records.size()) &&
         !(records[row].Status == StatusOk && records[row].Kind == KindBox)) {
    ++row;
  }
  QVERIFY(row < static_cast<int>(records.size()));
  session_->resultsList->List1()->setCurrentRow(row);
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  session_->resultsList->DoubleClickSelectedRow();
  ExpectOneMessageNaming("矩寸法.wmf");
  InstallShippedFiles();
  ExpectUsable();
}

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  GuiFaultsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "GuiFaultsTest.moc"
