#include "BatchReportOutput.h"

#include "BatchReport.h"
#include "Metafile.h"
#include "ReportExport.h"
#include "SheetOutput.h"

namespace sekora::cli {

void WriteBatchReport(const BatchReportRequest& request, const std::vector<Culvert>& culverts,
                      const std::vector<CulvertResult>& results) {
  const BatchReport report(culverts, results, request.figureFolder, request.tableName);
  for (const std::string& path : report.FigurePaths()) LoadMetafile(path);
  DrawWithoutDisplay(
      [&] { ExportReportDocument(request.outPath, report.Document(), request.threads); });
}

}  // namespace sekora::cli
