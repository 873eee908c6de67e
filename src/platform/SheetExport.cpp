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
#include "DocumentStamp.h"
#include "ParallelFor.h"
#include "PdfSyntax.h"
#include "QtSurface.h"
#include "SvgPage.h"
#include "Twips.h"

namespace sekora {

namespace {

using DrawFunction = std::function<void(DrawingSurface&)>;
using PageFunction = std::function<void(DrawingSurface&, int)>;

constexpr char kSheetTitle[] = "函渠断面の決定";

QSize PageSizeInPixels(int dpi) {
  return TwipsSize(kA4WidthTwips, kA4HeightTwips, dpi);
}

std::runtime_error CannotWrite(const std::string& outPath) {
  return std::runtime_error("計算書を書き込めません: " + outPath);
}

std::runtime_error CannotWrite(const std::string& outPath, const std::string& error) {
  return std::runtime_error("計算書を書き込めません: " + outPath + "（" + error + "）");
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
    // A file's pen is as wide on paper as a printer's, at whatever
    // resolution the file is drawn or later viewed.
    surface.UsePaperPenUnit(kPaperPenUnitTwips);
    draw(surface);
  } catch (...) {
    painter.end();
    throw;
  }
  if (!painter.end()) throw CannotWrite(outPath);
}

// A document is drawn in parts of about this many pages, side by side, and
// the parts are joined. Each part sets up its own writer and carries its own
// copy of the fonts, which costs about as much as ten pages, so a document
// of a few hundred pages stays in one part.
constexpr int kPagesPerPart = 512;

// The pages [first, end) as a PDF of their own.
QByteArray PdfPart(const std::string& outPath, int first, int end, const PageFunction& drawPage) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter painter;
  BeginOrThrow(painter, writer, outPath);
  DrawAndEnd(painter, writer.resolution(), outPath, [&](DrawingSurface& surface) {
    for (int page = first; page < end; ++page) {
      if (page > first && !writer.newPage()) throw CannotWrite(outPath);
      drawPage(surface, page);
    }
  });
  return buffer.data();
}

std::string RenderPdf(const std::string& outPath, const PdfPages& pages, unsigned threads) {
  const int partCount = (pages.count + kPagesPerPart - 1) / kPagesPerPart;
  std::vector<QByteArray> parts(static_cast<std::size_t>(partCount));
  ParallelFor(parts.size(), threads, 1, [&](std::size_t part) {
    const int index = static_cast<int>(part);
    parts[part] = PdfPart(outPath, index * pages.count / partCount,
                          (index + 1) * pages.count / partCount, pages.draw);
  });
  std::vector<std::string_view> views;
  for (const QByteArray& part : parts) {
    if (part.isEmpty()) throw CannotWrite(outPath);
    views.emplace_back(part.constData(), static_cast<std::size_t>(part.size()));
  }
  try {
    return AssemblePdf(views, pages.bookmarks, pages.info);
  } catch (const PdfError& error) {
    throw CannotWrite(outPath, error.what());
  }
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
    const PdfPages page{1,
                        [&draw](DrawingSurface& surface, int) { draw(surface); },
                        {},
                        DocumentInfo(kSheetTitle, DocumentTime())};
    return RenderPdf(outPath, page, 1);
  }
  if (extension == QLatin1String("png")) {
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

std::string PdfPagesContent(const std::string& outPath, const PdfPages& pages, unsigned threads) {
  if (SheetExtension(outPath) != QLatin1String("pdf")) {
    throw std::invalid_argument("複数ページの計算書は PDF にのみ出力できます: " + outPath);
  }
  if (pages.count < 1) throw std::invalid_argument("出力するページがありません");
  return RenderPdf(outPath, pages, threads);
}

}  // namespace sekora
