#include "SheetExport.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <stdexcept>

#include "QtSurface.h"
#include "Twips.h"

namespace sekora {

namespace {

using DrawFunction = std::function<void(DrawingSurface&)>;

QSize PageSizeInPixels(int dpi) {
  return TwipsSize(kA4WidthTwips, kA4HeightTwips, dpi);
}

// Draws on `painter` and ends it; on failure the file is not left behind.
void DrawOrDiscard(QPainter& painter, double dpi, const QString& path, const DrawFunction& draw) {
  try {
    QtSurface surface(painter, dpi);
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

void ExportSvg(const QString& path, const std::string& outPath, int dpi, const DrawFunction& draw) {
  QSvgGenerator generator;
  generator.setFileName(path);
  generator.setResolution(dpi);
  generator.setSize(PageSizeInPixels(dpi));
  generator.setViewBox(QRect(QPoint(0, 0), PageSizeInPixels(dpi)));
  generator.setTitle(QString::fromUtf8("函渠断面の決定"));
  QPainter painter;
  BeginOrThrow(painter, generator, outPath);
  painter.fillRect(QRect(QPoint(0, 0), PageSizeInPixels(dpi)), Qt::white);
  DrawOrDiscard(painter, dpi, path, draw);
  painter.end();
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
