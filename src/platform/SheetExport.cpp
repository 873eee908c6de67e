#include "SheetExport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <stdexcept>

#include "AtomicFile.h"
#include "QtSurface.h"
#include "SvgPage.h"
#include "Twips.h"

namespace sekora {

namespace {

using DrawFunction = std::function<void(DrawingSurface&)>;
using PageFunction = std::function<void(DrawingSurface&, int)>;

// One unit of the sheet's pen in a file is a dot of a 600-dpi printer, the
// printer the pen widths are made for, at whatever resolution the file is
// drawn or later viewed.
constexpr double kFilePenUnitTwips = kTwipsPerInch / 600.0;

constexpr char kSheetTitle[] = "函渠断面の決定";

QSize PageSizeInPixels(int dpi) {
  return TwipsSize(kA4WidthTwips, kA4HeightTwips, dpi);
}

std::runtime_error CannotWrite(const std::string& outPath) {
  return std::runtime_error("計算書を書き込めません: " + outPath);
}

void BeginOrThrow(QPainter& painter, QPaintDevice& device, const std::string& outPath) {
  if (!painter.begin(&device)) throw CannotWrite(outPath);
}

// Draws on `painter` and ends it. An end that fails means the device could
// not take the page.
void DrawAndEnd(QPainter& painter, double dpi, const std::string& outPath,
                const DrawFunction& draw) {
  try {
    QtSurface surface(painter, dpi);
    surface.UsePaperPenUnit(kFilePenUnitTwips);
    draw(surface);
  } catch (...) {
    painter.end();
    throw;
  }
  if (!painter.end()) throw CannotWrite(outPath);
}

void RenderPdf(QBuffer& buffer, const std::string& outPath, int pageCount,
               const PageFunction& drawPage) {
  QPdfWriter writer(&buffer);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  writer.setCreator(QStringLiteral("Sekora"));
  writer.setTitle(QString::fromUtf8(kSheetTitle));
  QPainter painter;
  BeginOrThrow(painter, writer, outPath);
  DrawAndEnd(painter, writer.resolution(), outPath, [&](DrawingSurface& surface) {
    for (int page = 0; page < pageCount; ++page) {
      if (page > 0 && !writer.newPage()) throw CannotWrite(outPath);
      drawPage(surface, page);
    }
  });
}

void RenderPng(QBuffer& buffer, const std::string& outPath, int dpi, const DrawFunction& draw) {
  QImage image(PageSizeInPixels(dpi), QImage::Format_RGB32);
  if (image.isNull()) throw CannotWrite(outPath);  // too large for the memory
  const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter;
  BeginOrThrow(painter, image, outPath);
  DrawAndEnd(painter, dpi, outPath, draw);
  if (!image.save(&buffer, "PNG")) throw CannotWrite(outPath);
}

// Text goes into the SVG as glyph outlines, which look the same wherever the
// file is opened, whatever fonts are installed there.
void RenderSvg(QBuffer& buffer, const std::string& outPath, int dpi, const DrawFunction& draw) {
  SvgPage page(PageSizeInPixels(dpi), dpi, QString::fromUtf8(kSheetTitle));
  QPainter painter;
  BeginOrThrow(painter, page, outPath);
  painter.fillRect(QRect(QPoint(0, 0), PageSizeInPixels(dpi)), Qt::white);
  DrawAndEnd(painter, dpi, outPath, draw);
  buffer.write(page.Document());
}

QString SheetExtension(const std::string& outPath) {
  return QFileInfo(QString::fromStdString(outPath)).suffix().toLower();
}

std::runtime_error CannotWrite(const std::string& outPath, const std::string& error) {
  return std::runtime_error("計算書を書き込めません: " + outPath + "（" + error + "）");
}

}  // namespace

void CheckSheetFileName(const std::string& outPath) {
  const QString extension = SheetExtension(outPath);
  if (extension != QLatin1String("pdf") && extension != QLatin1String("png") &&
      extension != QLatin1String("svg")) {
    throw std::invalid_argument(
        "出力ファイル名は .pdf、.png、.svg のいずれかで終わる必要があります: " + outPath);
  }
}

std::string SheetFileContent(const std::string& outPath, int dpi, const DrawFunction& draw) {
  if (dpi < 1) throw std::invalid_argument("解像度は 1 dpi 以上にしてください");
  CheckSheetFileName(outPath);
  const QString extension = SheetExtension(outPath);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (extension == QLatin1String("pdf")) {
    RenderPdf(buffer, outPath, 1, [&draw](DrawingSurface& surface, int) { draw(surface); });
  } else if (extension == QLatin1String("png")) {
    RenderPng(buffer, outPath, dpi, draw);
  } else {
    RenderSvg(buffer, outPath, dpi, draw);
  }
  // An empty page file is as useless as none.
  if (buffer.data().isEmpty()) throw CannotWrite(outPath);
  return buffer.data().toStdString();
}

void StageSheetFile(StagedFile& staged, const std::string& outPath, const std::string& content) {
  std::string error;
  if (!staged.Stage(outPath, content, error)) throw CannotWrite(outPath, error);
}

void CommitSheetFile(StagedFile& staged, const std::string& outPath) {
  std::string error;
  if (!staged.Commit(error)) throw CannotWrite(outPath, error);
}

void ExportSheet(const std::string& outPath, int dpi, const DrawFunction& draw) {
  const std::string content = SheetFileContent(outPath, dpi, draw);
  StagedFile staged;
  StageSheetFile(staged, outPath, content);
  CommitSheetFile(staged, outPath);
}

std::string PdfPagesContent(const std::string& outPath, int pageCount,
                            const PageFunction& drawPage) {
  if (SheetExtension(outPath) != QLatin1String("pdf")) {
    throw std::invalid_argument("複数ページの計算書は PDF にのみ出力できます: " + outPath);
  }
  if (pageCount < 1) throw std::invalid_argument("出力するページがありません");
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  RenderPdf(buffer, outPath, pageCount, drawPage);
  if (buffer.data().isEmpty()) throw CannotWrite(outPath);
  return buffer.data().toStdString();
}

void ExportPdfPages(const std::string& outPath, int pageCount, const PageFunction& drawPage) {
  const std::string content = PdfPagesContent(outPath, pageCount, drawPage);
  StagedFile staged;
  StageSheetFile(staged, outPath, content);
  CommitSheetFile(staged, outPath);
}

}  // namespace sekora
