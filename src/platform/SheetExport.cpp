#include "SheetExport.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <stdexcept>

#include "OutlineTextDevice.h"
#include "QtSurface.h"
#include "Twips.h"

namespace sekora {

namespace {

using DrawFunction = std::function<void(DrawingSurface&)>;

// One unit of the sheet's pen in a file is a dot of a 600-dpi printer, the
// printer the pen widths are made for, at whatever resolution the file is
// drawn or later viewed.
constexpr double kFilePenUnitTwips = kTwipsPerInch / 600.0;

QSize PageSizeInPixels(int dpi) {
  return TwipsSize(kA4WidthTwips, kA4HeightTwips, dpi);
}

// Draws on `painter` and ends it; on failure the file is not left behind.
void DrawOrDiscard(QPainter& painter, double dpi, const QString& path, const DrawFunction& draw) {
  try {
    QtSurface surface(painter, dpi);
    surface.UsePaperPenUnit(kFilePenUnitTwips);
    draw(surface);
  } catch (...) {
    painter.end();
    QFile::remove(path);
    throw;
  }
}

void BeginOrThrow(QPainter& painter, QPaintDevice& device, const std::string& outPath) {
  if (!painter.begin(&device)) {
    throw std::runtime_error("計算書を書き込めません: " + outPath);
  }
}

void ExportPdf(const QString& path, const std::string& outPath, const DrawFunction& draw) {
  QPdfWriter writer(path);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  writer.setCreator(QStringLiteral("Sekora"));
  writer.setTitle(QString::fromUtf8("函渠断面の決定"));
  QPainter painter;
  BeginOrThrow(painter, writer, outPath);
  DrawOrDiscard(painter, writer.resolution(), path, draw);
  painter.end();
}

void ExportPng(const QString& path, const std::string& outPath, int dpi, const DrawFunction& draw) {
  QImage image(PageSizeInPixels(dpi), QImage::Format_RGB32);
  const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter;
  BeginOrThrow(painter, image, outPath);
  DrawOrDiscard(painter, dpi, path, draw);
  painter.end();
  if (!image.save(path, "PNG")) {
    throw std::runtime_error("計算書を書き込めません: " + outPath);
  }
}

// The texts of the page as invisible SVG text over their outlines, so that
// the words can still be found and selected.
QByteArray HiddenTexts(const std::vector<OutlinedText>& texts) {
  QString hidden = QStringLiteral(
      "<g fill=\"#000000\" fill-opacity=\"0\" stroke=\"none\" font-family=\"IPAMincho, "
      "serif\">\n");
  for (const OutlinedText& text : texts) {
    hidden += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"%3\">%4</text>\n")
                  .arg(text.baselineStart.x())
                  .arg(text.baselineStart.y())
                  .arg(text.pixelSize)
                  .arg(text.text.toHtmlEscaped());
  }
  hidden += QStringLiteral("</g>\n");
  return hidden.toUtf8();
}

// Text goes into the SVG as glyph outlines, which look the same wherever the
// file is opened, whatever fonts are installed there.
void ExportSvg(const QString& path, const std::string& outPath, int dpi, const DrawFunction& draw) {
  QBuffer svg;
  svg.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&svg);
  generator.setResolution(dpi);
  generator.setSize(PageSizeInPixels(dpi));
  generator.setViewBox(QRect(QPoint(0, 0), PageSizeInPixels(dpi)));
  generator.setTitle(QString::fromUtf8("函渠断面の決定"));
  QPainter painter;
  BeginOrThrow(painter, generator, outPath);
  painter.fillRect(QRect(QPoint(0, 0), PageSizeInPixels(dpi)), Qt::white);
  std::vector<OutlinedText> texts;
  {
    OutlineTextDevice outlines(painter);
    QPainter outlinePainter;
    BeginOrThrow(outlinePainter, outlines, outPath);
    DrawOrDiscard(outlinePainter, dpi, path, draw);
    outlinePainter.end();
    texts = outlines.Texts();
  }
  painter.end();

  QByteArray document = svg.data();
  document.insert(document.lastIndexOf("</svg>"), HiddenTexts(texts));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size()) {
    file.remove();
    throw std::runtime_error("計算書を書き込めません: " + outPath);
  }
}

}  // namespace

void ExportSheet(const std::string& outPath, int dpi, const DrawFunction& draw) {
  if (dpi < 1) throw std::invalid_argument("解像度は 1 dpi 以上にしてください");
  const QString path = QString::fromStdString(outPath);
  const QString extension = QFileInfo(path).suffix().toLower();
  if (extension == QLatin1String("pdf")) {
    ExportPdf(path, outPath, draw);
  } else if (extension == QLatin1String("png")) {
    ExportPng(path, outPath, dpi, draw);
  } else if (extension == QLatin1String("svg")) {
    ExportSvg(path, outPath, dpi, draw);
  } else {
    throw std::invalid_argument(
        "出力ファイル名は .pdf、.png、.svg のいずれかで終わる必要があります: " + outPath);
  }
}

}  // namespace sekora
