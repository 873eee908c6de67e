// The Qt layer: font stand-ins and text metrics of the drawing surface, pen
// widths and text placement on real pixels, sheet export, and the seams the
// window tests rely on.
#include <sys/resource.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <stdexcept>

#include "AppFolder.h"
#include "BlankFigure.h"
#include "FigureError.h"
#include "FontSubstitution.h"
#include "MessageBoxes.h"
#include "PrintTarget.h"
#include "PrinterDialog.h"
#include "QtSurface.h"
#include "QtTranslation.h"
#include "SheetExport.h"

using namespace sekora;

namespace {

const std::string kMincho = "ＭＳ 明朝";

bool IsDark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

bool AnyDarkInRows(const QImage& image, int firstRow, int lastRow) {
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (IsDark(image, x, y)) return true;
    }
  }
  return false;
}

// An image where one twip is one pixel.
QImage TwipImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// While it lives, no file of this process can grow past `bytes`: a disk
// that fills up part way through a write. The signal that would end the
// process is ignored, so the write itself fails.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

void DrawTitle(DrawingSurface& surface) {
  surface.SetFont(kMincho);
  surface.SetFontSize(10.5);
  surface.Print("函渠断面の決定");
  surface.Line(0, 1440, kA4WidthTwips, 1440);
}

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void substitutesMissingMsFaces();
  void minchoHalfWidthIsHalfCharW();
  void metricsDoNotDependOnResolution();
  void printPutsTopLeftOfCellAtCurrentPosition();
  void drawWidthIsInDevicePixels();
  void paintPicture();
  void exportsPngPage();
  void exportsPdfWithEmbeddedSelectableText();
  void exportsSvgPage();
  void exportRejectsUnknownExtension();
  void exportRemovesFileWhenDrawingFails();
  void exportToFullDiskKeepsPreviousFile();
  void exportReplacesALinkItselfAndNeverADevice();
  void appFolderCanBeOverridden();
  void printerCopies();
  void printJobCarriesItsName();
  void printDialogOffersPrinterAndCopiesOnly();
  void qtSpeaksJapaneseWhereItsTranslationIsInstalled();
  void messageBoxesTakeQueuedAnswers();
};

void PlatformTest::substitutesMissingMsFaces() {
  if (QFontDatabase::hasFamily(QString::fromUtf8("ＭＳ 明朝"))) QSKIP("the MS faces are installed");
  QCOMPARE(FontSubstitution(QString::fromUtf8("ＭＳ 明朝")), QStringLiteral("IPAMincho"));
  QCOMPARE(FontSubstitution(QString::fromUtf8("ＭＳ ゴシック")), QStringLiteral("IPAGothic"));
  QCOMPARE(FontSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック")), QStringLiteral("IPAPGothic"));
  QCOMPARE(FontSubstitution(QStringLiteral("Some Face")), QStringLiteral("Some Face"));
}

void PlatformTest::minchoHalfWidthIsHalfCharW() {
  QImage image = TwipImage(10, 10);
  QPainter painter(&image);
  QtSurface surface(painter, 96);
  surface.SetFont(kMincho);
  surface.SetFontSize(10.5);
  QCOMPARE(QFontInfo(surface.CurrentFont()).family(),
           FontSubstitution(QString::fromUtf8("ＭＳ 明朝")));

  const double charW = surface.TextWidth("函");
  QCOMPARE(charW, 210.0);  // one em of 10.5 pt in twips
  for (const char* half : {"0", "1", "4", "7", "9", " ", ".", "-", "m"}) {
    QCOMPARE(surface.TextWidth(half), charW / 2);
  }
  QCOMPARE(surface.TextWidth(" 1.500"), 3 * charW);
  QCOMPARE(surface.TextWidth("函渠"), 2 * charW);
}

void PlatformTest::metricsDoNotDependOnResolution() {
  QImage screen = TwipImage(10, 10);
  QImage printer = TwipImage(10, 10);
  QPainter screenPainter(&screen);
  QPainter printerPainter(&printer);
  QtSurface onScreen(screenPainter, 96);
  QtSurface onPrinter(printerPainter, 600);
  for (QtSurface* surface : {&onScreen, &onPrinter}) {
    surface->SetFont(kMincho);
    surface->SetFontSize(12);
    surface->SetFontItalic(true);
  }
  QCOMPARE(onPrinter.TextWidth("Q=1.500"), onScreen.TextWidth("Q=1.500"));
  QCOMPARE(onPrinter.TextHeight("体"), onScreen.TextHeight("体"));
  QVERIFY(onScreen.FontItalic());
  QCOMPARE(onScreen.FontSize(), 12.0);
}

void PlatformTest::printPutsTopLeftOfCellAtCurrentPosition() {
  QImage image = TwipImage(800, 400);
  double lineHeight = 0;
  {
    QPainter painter(&image);
    QtSurface surface(painter, 1440);
    surface.SetFont(kMincho);
    surface.SetFontSize(10.5);
    lineHeight = surface.TextHeight("体");
    surface.SetCurrentX(100);
    surface.SetCurrentY(100);
    surface.Print("函函");
    QCOMPARE(surface.CurrentX(), 100 + 2 * surface.TextWidth("函"));
    QCOMPARE(surface.CurrentY(), 100.0);
  }
  QVERIFY(lineHeight >= 210);
  QVERIFY(!AnyDarkInRows(image, 0, 99));
  QVERIFY(AnyDarkInRows(image, 100, 100 + static_cast<int>(lineHeight)));
  QVERIFY(!AnyDarkInRows(image, 101 + static_cast<int>(lineHeight), image.height() - 1));
}

void PlatformTest::drawWidthIsInDevicePixels() {
  QImage image = TwipImage(400, 200);
  {
    QPainter painter(&image);
    QtSurface surface(painter, 1440);
    surface.SetDrawWidth(3);
    QCOMPARE(surface.DrawWidth(), 3);
    surface.Line(10, 50.5, 300, 50.5);
    surface.SetDrawWidth(1);
    surface.Line(10, 150.5, 300, 150.5);
  }
  QVERIFY(IsDark(image, 150, 49) && IsDark(image, 150, 50) && IsDark(image, 150, 51));
  QVERIFY(!IsDark(image, 150, 47) && !IsDark(image, 150, 53));
  QVERIFY(IsDark(image, 150, 150));
  QVERIFY(!IsDark(image, 150, 148) && !IsDark(image, 150, 152));
}

void PlatformTest::paintPicture() {
  QTemporaryDir folder;
  const std::string figure = folder.filePath(QStringLiteral("blank.wmf")).toStdString();
  testing::WriteBlankFigure(figure);
  QImage image = TwipImage(100, 100);
  QPainter painter(&image);
  QtSurface surface(painter, 96);
  surface.PaintPicture(figure, 10, 10);
  QVERIFY_THROWS_EXCEPTION(FigureError, surface.PaintPicture(figure + ".missing", 10, 10));
}

void PlatformTest::exportsPngPage() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("sheet.png"));
  ExportSheet(path.toStdString(), 150, [](DrawingSurface& surface) {
    surface.SetDrawWidth(3);
    surface.Line(0, 1440, kA4WidthTwips, 1440);  // one inch down
  });
  const QImage image(path);
  QCOMPARE(image.size(), QSize(1240, 1754));  // A4 at 150 dpi
  QVERIFY(!IsDark(image, 5, 5));
  QVERIFY(!IsDark(image, 600, 146));
  // The pen of 3/600 inch is three quarters of a pixel at 150 dpi: grey.
  QVERIFY(qGray(image.pixel(600, 150)) < 224);
  QVERIFY(qGray(image.pixel(600, 146)) == 255);
}

void PlatformTest::exportsPdfWithEmbeddedSelectableText() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("sheet.pdf"));
  ExportSheet(path.toStdString(), kDefaultExportDpi, [](DrawingSurface& surface) {
    surface.SetFont(kMincho);
    surface.SetFontSize(10.5);
    surface.Print("函渠断面の決定");
  });
  const QByteArray pdf = ReadAll(path);
  QVERIFY(pdf.startsWith("%PDF"));
  QVERIFY(pdf.contains("/FontFile"));           // the face is embedded
  QVERIFY(pdf.contains("/ToUnicode"));          // the text can be selected and copied
  QVERIFY(pdf.contains("/MediaBox [0 0 595"));  // A4 portrait in points
}

void PlatformTest::exportsSvgPage() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("sheet.SVG"));
  ExportSheet(path.toStdString(), 96,
              [](DrawingSurface& surface) { surface.Line(0, 0, 1440, 1440); });
  const QByteArray svg = ReadAll(path);
  QVERIFY(svg.contains("<svg"));
  QVERIFY(svg.contains("viewBox=\"0 0 794 1123\""));  // A4 at 96 dpi
}

void PlatformTest::exportRejectsUnknownExtension() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("sheet.bmp"));
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                           ExportSheet(path.toStdString(), 150, [](DrawingSurface&) {}));
  QVERIFY(!QFile::exists(path));
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                           ExportSheet(folder.filePath(QStringLiteral("sheet.png")).toStdString(),
                                       0, [](DrawingSurface&) {}));
}

void PlatformTest::exportRemovesFileWhenDrawingFails() {
  QTemporaryDir folder;
  for (const char* name : {"sheet.pdf", "sheet.png", "sheet.svg"}) {
    const QString path = folder.filePath(QString::fromUtf8(name));
    QVERIFY_THROWS_EXCEPTION(FigureError, ExportSheet(path.toStdString(), 150, [](DrawingSurface&) {
                               throw FigureError("図ファイル \\寸法.wmf を開けません");
                             }));
    QVERIFY2(!QFile::exists(path), name);
  }
}

void PlatformTest::exportToFullDiskKeepsPreviousFile() {
  QTemporaryDir folder;
  const QByteArray previous = "the sheet of the run before";
  for (const char* name : {"sheet.pdf", "sheet.png", "sheet.svg"}) {
    const QString path = folder.filePath(QString::fromUtf8(name));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(previous) == previous.size());
    file.close();
    {
      const FileSizeLimit fullDisk(256);
      QVERIFY_THROWS_EXCEPTION(std::runtime_error, ExportSheet(path.toStdString(), 150, DrawTitle));
    }
    QCOMPARE(ReadAll(path), previous);
  }
  // No temporary file is left beside them.
  QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), qsizetype{3});
}

// A link at the export's path is itself replaced: the file it names (a
// device, another user's file) is never written.
void PlatformTest::exportReplacesALinkItselfAndNeverADevice() {
  QTemporaryDir folder;
  const QString toDevice = folder.filePath(QStringLiteral("full.pdf"));
  QVERIFY(QFile::link(QStringLiteral("/dev/full"), toDevice));
  ExportSheet(toDevice.toStdString(), 150, DrawTitle);
  QVERIFY(!QFileInfo(toDevice).isSymLink());
  QVERIFY(ReadAll(toDevice).startsWith("%PDF"));
  QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());

  const QString target = folder.filePath(QStringLiteral("target.svg"));
  QFile file(target);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("kept");
  file.close();
  const QString viaLink = folder.filePath(QStringLiteral("link.svg"));
  QVERIFY(QFile::link(target, viaLink));
  ExportSheet(viaLink.toStdString(), 96, DrawTitle);
  QVERIFY(!QFileInfo(viaLink).isSymLink());
  QVERIFY(ReadAll(viaLink).contains("<svg"));
  QCOMPARE(ReadAll(target), QByteArray("kept"));
}

void PlatformTest::appFolderCanBeOverridden() {
  // The test program lies beside the shipped data in a writable folder.
  const std::string program = QCoreApplication::applicationDirPath().toStdString();
  QCOMPARE(AppFolder(), program);
  QCOMPARE(FigureFolder(), program);
  SetAppFolder("/tmp/elsewhere");
  QCOMPARE(AppFolder(), std::string("/tmp/elsewhere"));
  QCOMPARE(FigureFolder(), std::string("/tmp/elsewhere"));
  SetAppFolder("");
  QCOMPARE(AppFolder(), program);
}

void PlatformTest::printerCopies() {
  QCOMPARE(DocumentsToPrint(3, false), std::int16_t{3});
  QCOMPARE(DocumentsToPrint(3, true), std::int16_t{1});

  PrinterDialog::setNextAnswer({false, nullptr, 2, false});
  QVERIFY(!PrinterDialog::Ask(nullptr).has_value());
  PrinterDialog::setNextAnswer({true, nullptr, 4, false});
  const std::optional<PrinterChoice> choice = PrinterDialog::Ask(nullptr);
  QVERIFY(choice.has_value());
  QCOMPARE(choice->copies, std::int16_t{4});
}

void PlatformTest::printJobCarriesItsName() {
  // A printer to PDF names its file, and Qt's own PDF output its title,
  // after the job.
  const QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("job.pdf"));
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(pdf);
  PrinterTarget target(std::move(printer));
  DrawTitle(target.BeginDocument("Sekora 計算書 No.12"));
  target.EndDocument();
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {pdf});
  QVERIFY2(info.waitForFinished() && info.exitCode() == 0,
           "pdfinfo (poppler-utils) is needed: bash scripts/install-deps.sh");
  const QString output = QString::fromUtf8(info.readAllStandardOutput());
  static const QRegularExpression kTitle(QStringLiteral("^Title: +(.*)$"),
                                         QRegularExpression::MultilineOption);
  QCOMPARE(kTitle.match(output).captured(1), QString::fromUtf8("Sekora 計算書 No.12"));
}

void PlatformTest::printDialogOffersPrinterAndCopiesOnly() {
  QVERIFY2(QPrinterInfo::availablePrinterNames().isEmpty(),
           "the test sees a printer of the machine: run it with ctest");
  QPrinter printer(QPrinter::HighResolution);
  const std::unique_ptr<QPrintDialog> dialog = CreatePrintDialog(printer, nullptr);
  // Shown twice: Qt's dialog rebuilds its choices each time it is shown.
  for (int shown = 0; shown < 2; ++shown) {
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    // Qt's dialog folds its options away until asked: look inside the fold.
    auto* options = dialog->findChild<QWidget*>(QStringLiteral("QPrintSettingsOutput"));
    QVERIFY(options != nullptr);
    auto offered = [&](const char* name) {
      auto* choice = dialog->findChild<QWidget*>(QString::fromUtf8(name));
      if (choice == nullptr) qFatal("the print dialog has no %s", name);
      const QWidget* fold = options->isAncestorOf(choice) ? options : dialog.get();
      return choice->isVisibleTo(fold) && choice->isEnabled();
    };
    QVERIFY(offered("copies"));
    for (const char* name : {"printRange", "pagesRadioButton", "printSelection", "printCurrentPage",
                             "pageSetCombo", "filename", "fileBrowser"}) {
      QVERIFY2(!offered(name), name);
    }
    // No printer of its own, such as Qt's printing to a PDF file: the
    // dialog offers the machine's printers only, of which the test's
    // environment shows none.
    for (QComboBox* printers : dialog->findChildren<QComboBox*>(QStringLiteral("printers"))) {
      QStringList listed;
      for (int i = 0; i < printers->count(); ++i) listed << printers->itemText(i);
      QCOMPARE(listed, QStringList());
    }
    dialog->hide();
  }
}

void PlatformTest::qtSpeaksJapaneseWhereItsTranslationIsInstalled() {
  const QTemporaryDir empty;
  QVERIFY(InstallQtJapanese(*QCoreApplication::instance(), empty.path()) == nullptr);
  QTranslator* japanese = InstallQtJapanese(*QCoreApplication::instance(), QtTranslationsFolder());
  QVERIFY2(japanese != nullptr, "qt6-translations-l10n is not installed");
  QMessageBox box(QMessageBox::Question, QStringLiteral("Sekora"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No);
  const QString yes = box.button(QMessageBox::Yes)->text();
  QCoreApplication::removeTranslator(japanese);
  delete japanese;
  QVERIFY2(yes.contains(QString::fromUtf8("はい")), qPrintable(yes));
}

void PlatformTest::messageBoxesTakeQueuedAnswers() {
  MessageBoxes::clearShown();
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::No);
  MessageBoxes::setNextAnswer(MessageBoxes::Answer::Ok);
  QCOMPARE(MessageBoxes::ShowMessage(nullptr, QStringLiteral("a"), MessageBoxes::Buttons::YesNo),
           MessageBoxes::Answer::No);
  QCOMPARE(MessageBoxes::ShowMessage(nullptr, QStringLiteral("b"), MessageBoxes::Buttons::Ok),
           MessageBoxes::Answer::Ok);
  QCOMPARE(MessageBoxes::pendingAnswers(), std::size_t{0});
  QCOMPARE(MessageBoxes::shown().size(), std::size_t{2});
  QCOMPARE(MessageBoxes::shown()[0].title, QStringLiteral("Sekora"));
  QCOMPARE(MessageBoxes::shown()[0].text, QStringLiteral("a"));
  QVERIFY(MessageBoxes::shown()[0].buttons == MessageBoxes::Buttons::YesNo);
}

QTEST_MAIN(PlatformTest)
#include "PlatformTest.moc"
