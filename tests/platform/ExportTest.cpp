// Exported sheets look like the printed one: the pen is as wide on paper in
// every file format and at every resolution, and an SVG shows the same
// picture on a machine without the sheet's fonts.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <functional>
#include <vector>

#include "PrintTarget.h"
#include "SheetExport.h"
#include "SvgPage.h"
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

// The scale from the content stream's user units to points in force at
// `at`: the "cm" matrices before it, each undone by the "Q" that closes the
// "q" it stands in.
double PdfScaleAt(const QString& content, qsizetype at) {
  QList<double> saved;
  double scale = 1.0;
  static const QRegularExpression kOperator(
      QStringLiteral("(?<=\\s|^)(q|Q)(?=\\s)|(-?[\\d.]+) 0 0 -?[\\d.]+ -?[\\d.]+ -?[\\d.]+ cm"));
  for (auto match = kOperator.globalMatch(content.left(at)); match.hasNext();) {
    const QRegularExpressionMatch op = match.next();
    if (op.captured(1) == QLatin1String("q")) {
      saved.append(scale);
    } else if (op.captured(1) == QLatin1String("Q")) {
      if (!saved.isEmpty()) scale = saved.takeLast();
    } else {
      scale *= std::abs(op.captured(2).toDouble());
    }
  }
  return scale;
}

// Every dash pattern the content streams of `pdf` set, with the line width
// in force, all in points.
struct PdfDashes {
  QList<double> pattern;
  double width = 0.0;
};
QList<PdfDashes> PdfDashPatterns(const QByteArray& pdf) {
  QList<PdfDashes> found;
  static const QRegularExpression kWidth(QStringLiteral("([\\d.]+) w\\s"));
  static const QRegularExpression kDash(QStringLiteral("\\[([\\d. ]*)\\]\\s*[\\d.]+\\s+d"));
  for (const QByteArray& stream : PdfContentStreams(pdf)) {
    const QString content = QString::fromLatin1(stream);
    for (auto match = kDash.globalMatch(content); match.hasNext();) {
      const QRegularExpressionMatch dash = match.next();
      const double scale = PdfScaleAt(content, dash.capturedStart());
      PdfDashes dashes;
      for (const QString& length : dash.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        dashes.pattern.append(length.toDouble() * scale);
      }
      const qsizetype widthAt = content.left(dash.capturedStart()).lastIndexOf(kWidth);
      if (widthAt >= 0) {
        dashes.width =
            kWidth.match(content, widthAt).captured(1).toDouble() * PdfScaleAt(content, widthAt);
      }
      found.append(dashes);
    }
  }
  return found;
}

bool Near(double a, double b) {
  return std::abs(a - b) < 0.005;
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

bool IsWellFormedXml(const QByteArray& document) {
  QXmlStreamReader reader(document);
  while (!reader.atEnd()) reader.readNext();
  return !reader.hasError();
}

// Draws `draw` on a page `pixels` large at 96 dpi and returns the document;
// empty when the page did not end.
QByteArray SvgOf(QSize pixels, const std::function<void(QPainter&)>& draw) {
  SvgPage page(pixels, 96, QStringLiteral("sample"));
  QPainter painter(&page);
  draw(painter);
  return painter.end() ? page.Document() : QByteArray();
}

// A small drawing in twips with what the sheet and its figures draw: pens
// wide and thin, solid and dashed, a filled shape with corners and one with
// curves, and text. The hairline has flat caps: Qt rasterises a line no wider
// than a pixel without capping its dashes, where SVG caps every dash.
void DrawSample(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(96 / kTwipsPerInch, 96 / kTwipsPerInch);
  QPen wide(Qt::black, 60);
  wide.setCapStyle(Qt::FlatCap);
  painter.setPen(wide);
  painter.drawLine(QPointF(300, 300), QPointF(5700, 300));
  QPen dashed(Qt::black, 30, Qt::DashLine);
  painter.setPen(dashed);
  painter.drawLine(QPointF(300, 700), QPointF(5650, 700));
  dashed.setDashPattern({6, 2, 1, 2});
  dashed.setDashOffset(3);
  painter.setPen(dashed);
  painter.drawLine(QPointF(300, 1000), QPointF(5650, 1000));
  QPen hairline(Qt::black, 0, Qt::DashDotLine);
  hairline.setCapStyle(Qt::FlatCap);
  painter.setPen(hairline);
  painter.drawLine(QPointF(300, 1290), QPointF(5650, 1290));
  QPen outline(Qt::black, 40);
  outline.setJoinStyle(Qt::MiterJoin);
  painter.setPen(outline);
  painter.setBrush(Qt::gray);
  painter.drawPolygon(QPolygonF({{300, 1700}, {2000, 1700}, {1150, 2600}}));
  painter.setBrush(Qt::black);
  painter.drawEllipse(QRectF(2500, 1700, 1500, 900));
  QFont font(QStringLiteral("IPAMincho"));
  font.setPixelSize(400);
  painter.setFont(font);
  painter.drawText(QPointF(300, 3600), QString::fromUtf8("函渠 hf=0.085m"));
}

}  // namespace

class ExportTest : public QObject {
  Q_OBJECT

 private slots:
  void pdfPenIsThreeSixHundredthsOfAnInch();
  void svgPenIsThreeSixHundredthsOfAnInchAtEveryResolution();
  void pngPenGrowsWithTheResolution();
  void svgLooksTheSameWithoutTheSheetsFonts();
  void figureDashesHaveTheSheetsPenAndTheScreensPattern();
  void printersGetTheFilesPenAtAnyResolution();
  void svgPageLooksLikeThePngOfTheSameDrawing();
  void svgPageWritesPensInTheDrawingsUnits();
  void svgPageRefusesWhatItCannotWrite();
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

void ExportTest::svgPageLooksLikeThePngOfTheSameDrawing() {
  const QSize pixels(400, 300);
  const QByteArray svg = SvgOf(pixels, [&pixels](QPainter& painter) {
    painter.fillRect(QRect(QPoint(0, 0), pixels), Qt::white);
    DrawSample(painter);
  });
  QVERIFY(IsWellFormedXml(svg));
  QVERIFY(svg.contains(">函渠 hf=0.085m</text>"));
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("sample.svg"));
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size());
  file.close();
  const QImage rendered = RenderSvg(path, folder, true);

  QImage png(pixels, QImage::Format_RGB32);
  png.fill(Qt::white);
  QPainter painter(&png);
  DrawSample(painter);
  painter.end();
  QCOMPARE(rendered.size(), png.size());
  QVERIFY(DarkPixels(png) > 5000);
  const int differing = PixelsDiffering(rendered, png);
  QVERIFY2(differing <= DarkPixels(png) / 50, qPrintable(QString::number(differing)));
}

void ExportTest::svgPageWritesPensInTheDrawingsUnits() {
  const QByteArray svg = SvgOf(QSize(40, 20), [](QPainter& painter) {
    painter.scale(0.1, 0.1);  // twips at 144 dpi
    painter.setPen(QPen(Qt::black, 7.2, Qt::DashLine));
    painter.drawLine(QPointF(0, 100), QPointF(300, 100));
    painter.drawLine(QPointF(0.004, 150), QPointF(300, -0.001));
    painter.setPen(QPen(QColor(255, 0, 0, 128), 0, Qt::DotLine));
    painter.drawLine(QPointF(0, 50), QPointF(300, 50));
    QPen custom(Qt::blue, 2);
    custom.setDashPattern({3, 1});
    custom.setDashOffset(1);
    custom.setCapStyle(Qt::FlatCap);
    custom.setJoinStyle(Qt::MiterJoin);
    painter.setPen(custom);
    painter.drawRect(QRectF(10, 10, 100, 50));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawPolygon(QPolygonF({{0, 0}, {100, 0}, {50, 75.5}}), Qt::WindingFill);
  });
  // Written with ' for " to be readable.
  const QByteArray expected =
      QByteArray(
          "<?xml version='1.0' encoding='UTF-8'?>\n"
          "<svg xmlns='http://www.w3.org/2000/svg' version='1.1' width='10.583mm' height='5.292mm' "
          "viewBox='0 0 40 20'>\n"
          "<title>sample</title>\n"
          "<g fill='none' stroke='#000000' stroke-width='7.2' stroke-linecap='square' "
          "stroke-linejoin='bevel' stroke-dasharray='28.8,14.4' "
          "transform='matrix(0.1,0,0,0.1,0,0)'>\n"
          "<path d='M0,100L300,100'/>\n"
          "<path d='M0,150L300,0'/>\n"
          "</g>\n"
          "<g fill='none' stroke='#ff0000' stroke-opacity='0.502' stroke-width='10' "
          "stroke-linecap='square' stroke-linejoin='bevel' stroke-dasharray='10,20' "
          "transform='matrix(0.1,0,0,0.1,0,0)'>\n"
          "<path d='M0,50L300,50'/>\n"
          "</g>\n"
          "<g fill='none' stroke='#0000ff' stroke-width='2' stroke-linecap='butt' "
          "stroke-linejoin='miter' stroke-miterlimit='4.123' stroke-dasharray='6,2' "
          "stroke-dashoffset='2' transform='matrix(0.1,0,0,0.1,0,0)'>\n"
          "<path d='M10,10L110,10L110,60L10,60Z'/>\n"
          "</g>\n"
          "<g fill='#008000' stroke='none' transform='matrix(0.1,0,0,0.1,0,0)'>\n"
          "<path d='M0,0L100,0L50,75.5Z'/>\n"
          "</g>\n"
          "</svg>\n")
          .replace('\'', '"');
  QCOMPARE(svg, expected);
}

void ExportTest::svgPageRefusesWhatItCannotWrite() {
  const QRectF box(0, 0, 10, 10);
  const std::vector<std::function<void(QPainter&)>> unwritable = {
      [&box](QPainter& painter) { painter.drawImage(box, QImage(2, 2, QImage::Format_RGB32)); },
      [&box](QPainter& painter) { painter.fillRect(box, QBrush(Qt::black, Qt::CrossPattern)); },
      [&box](QPainter& painter) {
        painter.setClipRect(box);
        painter.drawLine(box.topLeft(), box.bottomRight());
      },
      [&box](QPainter& painter) {
        painter.setOpacity(0.5);
        painter.drawLine(box.topLeft(), box.bottomRight());
      },
  };
  for (const auto& draw : unwritable) QVERIFY(SvgOf(QSize(20, 20), draw).isEmpty());
  QVERIFY(!SvgOf(QSize(20, 20), [&box](QPainter& painter) {
             painter.drawLine(box.topLeft(), box.bottomRight());
           }).isEmpty());
}

// The energy line of the inlet figure and the centre lines of the pipe figure
// are the figures' thinnest pens, dashed: in a PDF they have the sheet's pen
// of 3/600 inch and dashes of 3 pt with gaps of 1.5 pt, dots of 0.75 pt, as
// a one-pixel line shows on a 96-dpi screen; the SVG has the same.
void ExportTest::figureDashesHaveTheSheetsPenAndTheScreensPattern() {
  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("figures.pdf"));
  ExportSheet(pdf.toStdString(), kDefaultExportDpi, [](DrawingSurface& surface) {
    surface.SetDrawWidth(3);
    surface.PaintPicture(std::string(SEKORA_DATA_DIR) + "/寸法.wmf", 1440, 1440);
    surface.PaintPicture(std::string(SEKORA_DATA_DIR) + "/円寸法.wmf", 1440, 7200);
  });
  bool dashed = false;
  bool dashDotted = false;
  for (const PdfDashes& dashes : PdfDashPatterns(ReadAll(pdf))) {
    if (dashes.pattern.isEmpty()) continue;
    QVERIFY2(Near(dashes.width, kPenInches * kPointsPerInch),
             qPrintable(QString::number(dashes.width)));
    dashed = dashed || (dashes.pattern.size() == 2 && Near(dashes.pattern[0], 3.0) &&
                        Near(dashes.pattern[1], 1.5));
    dashDotted = dashDotted || (dashes.pattern.size() == 4 && Near(dashes.pattern[0], 3.0) &&
                                Near(dashes.pattern[2], 0.75) && Near(dashes.pattern[3], 1.5));
  }
  QVERIFY(dashed);
  QVERIFY(dashDotted);

  const QString svg = folder.filePath(QStringLiteral("figures.svg"));
  ExportSheet(svg.toStdString(), 96, [](DrawingSurface& surface) {
    surface.SetDrawWidth(3);
    surface.PaintPicture(std::string(SEKORA_DATA_DIR) + "/寸法.wmf", 1440, 1440);
  });
  static const QRegularExpression kDashedStroke(
      QStringLiteral("stroke-width=\"([\\d.]+)\"[^>]*stroke-dasharray=\"([\\d.]+),([\\d.]+)\""));
  const QRegularExpressionMatch stroke = kDashedStroke.match(QString::fromUtf8(ReadAll(svg)));
  QVERIFY(stroke.hasMatch());
  // The dash is 60 twips and the pen 7.2 (3/600 inch), whatever the SVG's unit.
  const double width = stroke.captured(1).toDouble();
  QVERIFY(std::abs(stroke.captured(2).toDouble() / width - 60.0 / 7.2) < 0.01);
  QVERIFY(std::abs(stroke.captured(3).toDouble() / width - 30.0 / 7.2) < 0.01);
}

// A sheet printed at 600 or 1 200 dpi has the pen of its PDF, 3/600 inch; a
// printer too coarse for it draws one dot.
void ExportTest::printersGetTheFilesPenAtAnyResolution() {
  QTemporaryDir folder;
  for (const auto& [dpi, points] :
       {std::pair{600, kPenInches * kPointsPerInch}, std::pair{1200, kPenInches * kPointsPerInch},
        std::pair{100, kPointsPerInch / 100}}) {
    const QString path = folder.filePath(QStringLiteral("printed%1.pdf").arg(dpi));
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setResolution(dpi);
    PrinterTarget target(std::move(printer));
    DrawPenLine(target.BeginDocument("pen"), 1440);
    target.EndDocument();
    double width = 0.0;
    for (const QByteArray& content : PdfContentStreams(ReadAll(path))) {
      width = std::max(width, PdfLineWidthInPoints(content));
    }
    QVERIFY2(Near(width, points), qPrintable(QStringLiteral("%1 dpi: %2 pt").arg(dpi).arg(width)));
  }
}

QTEST_MAIN(ExportTest)
#include "ExportTest.moc"
