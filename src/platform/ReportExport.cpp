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

}  // namespace

std::string ReportPdfContent(const std::string& outPath, const ReportContent& report,
                             const std::string& figureFolder) {
  for (int row : report.rows) {
    for (const std::string& path : SheetFigurePaths(report.records.at(row - 1), figureFolder)) {
      LoadMetafile(path);
    }
  }
  const RunSummary run = SummaryOfRun(report.records, report.conditions);
  const int summaryPages = report.summary ? SummaryPageCount(report.records.size()) : 0;
  const int pageCount = summaryPages + static_cast<int>(report.rows.size());
  return PdfPagesContent(outPath, pageCount, [&](DrawingSurface& surface, int page) {
    if (page < summaryPages) {
      DrawSummaryPage(surface, kPrinterMode, run, page);
    } else {
      const KeisanRecord& rec = report.records[report.rows[page - summaryPages] - 1];
      DrawSheet(surface, kPrinterMode, rec, report.conditions, figureFolder);
    }
  });
}

void ExportReportPdf(const std::string& outPath, const ReportContent& report,
                     const std::string& figureFolder) {
  const std::string content = ReportPdfContent(outPath, report, figureFolder);
  StagedFile staged;
  StageSheetFile(staged, outPath, content);
  CommitSheetFile(staged, outPath);
}

}  // namespace sekora
