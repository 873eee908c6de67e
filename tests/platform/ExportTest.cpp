// Exported sheets look like the printed one: the pen is as wide on paper in
// every file format and at every resolution, and an SVG shows the same
// picture on a machine without the sheet's fonts.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "SheetExport.h"
#include "Twips.h"

using namespace sekora;

namespace {

// The sheet's printer pen, three dots of a 600-dpi printer.
constexpr double kPenInches = 3.0 / 600.0;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// One horizontal line with the printer's pen, `y` twips down the page.
void DrawPenLine(DrawingSurface& surface, double y) {
  surface.SetDrawWidth(3);
  surface.Line(0, y, kA4WidthTwips, y);
}

// The page's content streams, inflated.
QList<QByteArray> PdfContentStreams(const QByteArray& pdf) {
  QList<QByteArray> streams;
  static const QRegularExpression kStream(QStringLiteral("stream\\r?\\n(.*?)endstream"),
                                          QRegularExpression::DotMatchesEverythingOption);
  for (auto match = kStream.globalMatch(QString::fromLatin1(pdf)); match.hasNext();) {
    QByteArray deflated = match.next().captured(1).toLatin1();
    // qUncompress wants the size first; it grows its buffer when that is short.
    deflated.prepend(QByteArray::fromHex("00010000"));
    const QByteArray inflated = qUncompress(deflated);
    if (!inflated.isEmpty()) streams.append(inflated);
  }
  return streams;
}

// The line width in points that the content stream sets: the operand of "w"
// scaled by the "cm" matrices in force before it.
double PdfLineWidthInPoints(const QByteArray& content) {
  const QString text = QString::fromLatin1(content);
  const qsizetype widthAt = text.indexOf(QRegularExpression(QStringLiteral("[\\d.]+ w ")));
  if (widthAt < 0) return 0.0;
  double scale = 1.0;
  static const QRegularExpression kMatrix(
      QStringLiteral("(-?[\\d.]+) 0 0 (-?[\\d.]+) -?[\\d.]+ -?[\\d.]+ cm"));
  for (auto match = kMatrix.globalMatch(text.left(widthAt)); match.hasNext();) {
    scale *= std::abs(match.next().captured(1).toDouble());
  }
  return text.mid(widthAt).section(QLatin1Char(' '), 0, 0).toDouble() * scale;
}

// Rows of consecutive dark pixels in column `x`, starting at the first dark one.
int DarkRunAt(const QImage& image, int x) {
  int run = 0;
  for (int y = 0; y < image.height(); ++y) {
    if (qGray(image.pixel(x, y)) < 128) {
      ++run;
    } else if (run > 0) {
      break;
    }
  }
  return run;
}

// Renders `svg` to a PNG with rsvg-convert; with `withoutFonts` the renderer
// sees an empty font configuration and so no font at all.
QImage RenderSvg(const QString& svg, const QTemporaryDir& folder, bool withoutFonts) {
  const QString png =
      folder.filePath(withoutFonts ? QStringLiteral("bare.png") : QStringLiteral("fonts.png"));
  QProcess rsvg;
  if (withoutFonts) {
    const QString config = folder.filePath(QStringLiteral("empty-fonts.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FONTCONFIG_FILE"), config);
    rsvg.setProcessEnvironment(environment);
  }
  rsvg.start(QStringLiteral("rsvg-convert"), {QStringLiteral("-o"), png, svg});
  if (!rsvg.waitForFinished(60000) || rsvg.exitCode() != 0) return {};
  return QImage(png).convertToFormat(QImage::Format_RGB32);
}

int PixelsDiffering(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64) ++differing;
    }
  }
  return differing;
}

int DarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  return dark;
}

}  // namespace

class ExportTest : public QObject {
  Q_OBJECT

 private slots:
  void pdfPenIsThreeSixHundredthsOfAnInch();
  void svgPenIsThreeSixHundredthsOfAnInchAtEveryResolution();
  void pngPenGrowsWithTheResolution();
  void svgLooksTheSameWithoutTheSheetsFonts();
};

void ExportTest::pdfPenIsThreeSixHundredthsOfAnInch() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("pen.pdf"));
  ExportSheet(path.toStdString(), kDefaultExportDpi,
              [](DrawingSurface& surface) { DrawPenLine(surface, 1440); });
  double width = 0.0;
  for (const QByteArray& content : PdfContentStreams(ReadAll(path))) {
    width = std::max(width, PdfLineWidthInPoints(content));
  }
  QVERIFY2(std::abs(width - kPenInches * kPointsPerInch) < 0.001,
           qPrintable(QString::number(width)));
}

void ExportTest::svgPenIsThreeSixHundredthsOfAnInchAtEveryResolution() {
  QTemporaryDir folder;
  for (int dpi : {96, 300}) {
    const QString path = folder.filePath(QStringLiteral("pen%1.svg").arg(dpi));
    ExportSheet(path.toStdString(), dpi,
                [](DrawingSurface& surface) { DrawPenLine(surface, 1440); });
    static const QRegularExpression kPenGroup(QStringLiteral(
        "stroke=\"#000000\"[^>]*stroke-width=\"([\\d.]+)\"[^>]*transform=\"matrix\\(([\\d.]+),"));
    const QRegularExpressionMatch pen = kPenGroup.match(QString::fromUtf8(ReadAll(path)));
    QVERIFY(pen.hasMatch());
    // The viewBox is the page in pixels at `dpi`.
    const double millimetres =
        pen.captured(1).toDouble() * pen.captured(2).toDouble() / dpi * kMillimetresPerInch;
    QVERIFY2(std::abs(millimetres - kPenInches * kMillimetresPerInch) < 0.001,
             qPrintable(QString::number(millimetres)));
  }
}

void ExportTest::pngPenGrowsWithTheResolution() {
  QTemporaryDir folder;
  // Centred half a pixel below a pixel edge at 200 dpi and on one at 400 dpi,
  // so that the line covers whole pixels at both.
  const double y = 400.5 * kTwipsPerInch / 200.0;
  for (const auto& [dpi, pixels] : {std::pair{200, 1}, std::pair{400, 2}}) {
    const QString path = folder.filePath(QStringLiteral("pen%1.png").arg(dpi));
    ExportSheet(path.toStdString(), dpi, [y](DrawingSurface& surface) { DrawPenLine(surface, y); });
    QCOMPARE(DarkRunAt(QImage(path), 100), pixels);
  }
}

void ExportTest::svgLooksTheSameWithoutTheSheetsFonts() {
  if (QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")).isEmpty()) {
    QFAIL("rsvg-convert (librsvg2-bin) is needed: bash scripts/install-deps.sh");
  }
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("sheet.svg"));
  ExportSheet(path.toStdString(), 96, [](DrawingSurface& surface) {
    surface.SetFont("ＭＳ 明朝");
    surface.SetFontSize(10.5);
    surface.SetCurrentX(420);
    surface.SetCurrentY(504);
    surface.Print("函渠断面の決定");
    surface.SetFontSize(12);
    surface.SetFontItalic(true);
    surface.SetCurrentY(900);
    surface.Print("hf = 1.000×10.00 = 0.085m");
  });
  const QImage withFonts = RenderSvg(path, folder, false);
  const QImage withoutFonts = RenderSvg(path, folder, true);
  QVERIFY(!withFonts.isNull() && !withoutFonts.isNull());
  QCOMPARE(withoutFonts.size(), withFonts.size());
  QVERIFY(DarkPixels(withFonts) > 200);  // the text is there
  QVERIFY(PixelsDiffering(withFonts, withoutFonts) <= DarkPixels(withFonts) / 100);

  // The words are still in the file, to be found and selected.
  const QString svg = QString::fromUtf8(ReadAll(path));
  QVERIFY(svg.contains(QString::fromUtf8(">函渠断面の決定</text>")));
  QVERIFY(svg.contains(QString::fromUtf8(">hf = 1.000×10.00 = 0.085m</text>")));
}

QTEST_MAIN(ExportTest)
#include "ExportTest.moc"
