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

void StopIfCancelled(const PageProgress& progress) {
  if (progress.cancel != nullptr && *progress.cancel) throw ReportCancelledError();
}

void CountPage(const PageProgress& progress) {
  if (progress.pagesDone != nullptr) ++*progress.pagesDone;
}

PdfBookmark ToPdfBookmark(const ReportBookmark& bookmark) {
  PdfBookmark converted{bookmark.title, bookmark.page, {}};
  for (const ReportBookmark& child : bookmark.children) {
    converted.children.push_back(ToPdfBookmark(child));
  }
  return converted;
}

}  // namespace

ReportCancelledError::ReportCancelledError() : std::runtime_error("保存を取り消しました") {}

std::string ReportPdfContent(const std::string& outPath, const ReportContent& report,
                             const std::string& figureFolder, const PageProgress& progress) {
  for (int row : report.rows) {
    for (const std::string& path : SheetFigurePaths(report.records.at(row - 1), figureFolder)) {
      LoadMetafile(path);
    }
  }
  const RunSummary run = SummaryOfRun(report.records, report.conditions, report.leftOutNg);
  return ReportDocumentPdf(outPath, RunReport(run, report.rows, report.summary, figureFolder),
                           MachineThreads(), progress);
}

void ExportReportPdf(const std::string& outPath, const ReportContent& report,
                     const std::string& figureFolder, const PageProgress& progress) {
  const std::string content = ReportPdfContent(outPath, report, figureFolder, progress);
  StagedFile staged;
  StageSheetFile(staged, outPath, content);
  // Writing a large file takes a while: a cancel meanwhile drops it.
  StopIfCancelled(progress);
  CommitSheetFile(staged, outPath);
}

std::string ReportDocumentPdf(const std::string& outPath, const ReportDocument& document,
                              unsigned threads, const PageProgress& progress) {
  const QDateTime time = DocumentTime();
  const ReportStamp stamp = HeaderStamp(time);
  if (progress.pagesTotal != nullptr)
    *progress.pagesTotal = static_cast<int>(document.pages.size());
  PdfPages pages{static_cast<int>(document.pages.size()),
                 [&](DrawingSurface& surface, int page) {
                   StopIfCancelled(progress);
                   DrawReportPage(surface, document, page, stamp);
                   CountPage(progress);
                 },
                 {},
                 DocumentInfo(document.title, time)};
  for (const ReportBookmark& bookmark : document.bookmarks) {
    pages.bookmarks.push_back(ToPdfBookmark(bookmark));
  }
  return PdfPagesContent(outPath, pages, threads);
}

void ExportReportDocument(const std::string& outPath, const ReportDocument& document,
                          unsigned threads) {
  const std::string content = ReportDocumentPdf(outPath, document, threads);
  StagedFile staged;
  StageSheetFile(staged, outPath, content);
  CommitSheetFile(staged, outPath);
}

}  // namespace sekora
