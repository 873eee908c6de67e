#include "BatchReportOutput.h"

#include "BatchReport.h"
#include "Metafile.h"
#include "ReportExport.h"

namespace sekora::cli {

std::string BatchReportContent(const BatchReportRequest& request,
                               const std::vector<Culvert>& culverts,
                               const std::vector<CulvertResult>& results) {
  const BatchReport report(culverts, results, request.figureFolder, request.tableName);
  for (const std::string& path : report.FigurePaths()) LoadMetafile(path);
  return ReportDocumentPdf(request.outPath, report.Document(), request.threads);
}

}  // namespace sekora::cli
