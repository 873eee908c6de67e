#include "ReportExport.h"

#include "AtomicFile.h"
#include "DrawSheet.h"
#include "Metafile.h"
#include "SheetExport.h"
#include "SummarySheet.h"

namespace sekora {

namespace {

// A file stands in for the printed sheet, so it is drawn as the printer draws it.
constexpr std::int16_t kPrinterMode = 1;

void StopIfCancelled(const PageProgress& progress) {
  if (progress.cancel != nullptr && *progress.cancel) throw ReportCancelledError();
}

void CountPage(const PageProgress& progress) {
  if (progress.pagesDone != nullptr) ++*progress.pagesDone;
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
  const RunSummary run = SummaryOfRun(report.records, report.conditions);
  const int summaryPages = report.summary ? SummaryPageCount(report.records.size()) : 0;
  const int pageCount = summaryPages + static_cast<int>(report.rows.size());
  if (progress.pagesTotal != nullptr) *progress.pagesTotal = pageCount;
  return PdfPagesContent(outPath, pageCount, [&](DrawingSurface& surface, int page) {
    StopIfCancelled(progress);
    if (page < summaryPages) {
      DrawSummaryPage(surface, kPrinterMode, run, page);
    } else {
      const KeisanRecord& rec = report.records[report.rows[page - summaryPages] - 1];
      DrawSheet(surface, kPrinterMode, rec, report.conditions, figureFolder);
    }
    CountPage(progress);
  });
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

}  // namespace sekora
