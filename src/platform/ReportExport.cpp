#include "ReportExport.h"

#include "AtomicFile.h"
#include "DocumentStamp.h"
#include "DrawSheet.h"
#include "Metafile.h"
#include "ParallelFor.h"
#include "RunReport.h"
#include "SheetExport.h"
#include "SummarySheet.h"

namespace sekora {

namespace {

PdfBookmark ToPdfBookmark(const ReportBookmark& bookmark) {
  PdfBookmark converted{bookmark.title, bookmark.page, {}};
  for (const ReportBookmark& child : bookmark.children) {
    converted.children.push_back(ToPdfBookmark(child));
  }
  return converted;
}

void Replace(const std::string& outPath, const std::string& content) {
  StagedFile staged;
  StageSheetFile(staged, outPath, content);
  CommitSheetFile(staged, outPath);
}

}  // namespace

std::string ReportPdfContent(const std::string& outPath, const ReportContent& report,
                             const std::string& figureFolder) {
  for (int row : report.rows) {
    for (const std::string& path : SheetFigurePaths(report.records.at(row - 1), figureFolder)) {
      LoadMetafile(path);
    }
  }
  const RunSummary run = SummaryOfRun(report.records, report.conditions, report.leftOutNg);
  return ReportDocumentPdf(outPath, RunReport(run, report.rows, report.summary, figureFolder),
                           MachineThreads());
}

void ExportReportPdf(const std::string& outPath, const ReportContent& report,
                     const std::string& figureFolder) {
  Replace(outPath, ReportPdfContent(outPath, report, figureFolder));
}

std::string ReportDocumentPdf(const std::string& outPath, const ReportDocument& document,
                              unsigned threads) {
  const QDateTime time = DocumentTime();
  const ReportStamp stamp = FooterStamp(time);
  PdfPages pages{
      static_cast<int>(document.pages.size()),
      [&](DrawingSurface& surface, int page) { DrawReportPage(surface, document, page, stamp); },
      {},
      DocumentInfo(document.title, time)};
  for (const ReportBookmark& bookmark : document.bookmarks) {
    pages.bookmarks.push_back(ToPdfBookmark(bookmark));
  }
  return PdfPagesContent(outPath, pages, threads);
}

void ExportReportDocument(const std::string& outPath, const ReportDocument& document,
                          unsigned threads) {
  Replace(outPath, ReportDocumentPdf(outPath, document, threads));
}

}  // namespace sekora
