// Writing a calculation sheet to a file: PDF, PNG or SVG, one A4 page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DrawingSurface.h"
#include "PdfAssembly.h"
#include "ReportDocument.h"

namespace sekora {

inline constexpr int kDefaultExportDpi = 150;

class StagedFile;

// The content of a file holding one A4 portrait page, drawn by `draw` on a
// surface in twips whose origin is the top-left corner of the page. The
// format follows the extension of `outPath` (case-insensitive): ".pdf"
// (vector, selectable text, fonts embedded), ".png" (an image at `dpi`, white
// background) or ".svg" (text as glyph outlines, so that it looks the same
// without the sheet's fonts, with the words kept as invisible text). One
// unit of the pen is 1/600 inch on the page, as on a 600-dpi printer,
// whatever the resolution. Nothing is written. Throws std::invalid_argument for
// another extension or a dpi below 1, std::runtime_error when the page cannot
// be drawn whole, and whatever `draw` throws.
// Needs a QGuiApplication (the offscreen platform will do).
std::string SheetFileContent(const std::string& outPath, int dpi,
                             const std::function<void(DrawingSurface&)>& draw);

// Throws std::invalid_argument, naming `outPath`, unless its extension is
// one of the formats SheetFileContent writes.
void CheckSheetFileName(const std::string& outPath);

// Writes `content` beside `outPath` without putting it in place yet, and
// puts the staged file in place; both throw std::runtime_error naming
// `outPath` when that fails, leaving the previous file as it was.
void StageSheetFile(StagedFile& staged, const std::string& outPath, const std::string& content);
void CommitSheetFile(StagedFile& staged, const std::string& outPath);

// Draws the page as SheetFileContent does and replaces `outPath` with it
// whole. On any failure the exception passes on and the previous `outPath`
// is left as it was (std::runtime_error when the file cannot be written).
void ExportSheet(const std::string& outPath, int dpi,
                 const std::function<void(DrawingSurface&)>& draw);

// A PDF document of A4 portrait pages.
struct PdfPages {
  int count = 0;
  // Draws page i (from 0) as SheetFileContent draws its one page. Pages are
  // drawn in parts side by side, so it is called from several threads at
  // once, each with a surface of its own.
  std::function<void(DrawingSurface&, int)> draw;
  std::vector<PdfBookmark> bookmarks;
  PdfDocumentInfo info;
};

// The content of the PDF of `pages`, drawn on up to `threads` threads.
// How the pages are shared out depends on their count alone, so the file is
// the same on any number of threads. Nothing is written. Throws
// std::invalid_argument when `outPath` does not end in ".pdf" or there is no
// page, std::runtime_error when the pages cannot be drawn or joined whole,
// and whatever drawing a page throws.
std::string PdfPagesContent(const std::string& outPath, const PdfPages& pages, unsigned threads);

}  // namespace sekora
