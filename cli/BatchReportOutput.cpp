#include "BatchReportOutput.h"

#include "BatchReport.h"
#include "Metafile.h"
#include "SheetExport.h"

namespace sekora::cli {

std::string BatchReportContent(const std::string& outPath, const std::vector<Culvert>& culverts,
                               const std::vector<CulvertResult>& results,
                               const std::string& figureFolder) {
  const BatchReport report(culverts, results, figureFolder);
  for (const std::string& path : report.FigurePaths()) LoadMetafile(path);
  return PdfPagesContent(outPath, report.PageCount(), [&](DrawingSurface& surface, int page) {
    report.DrawPage(surface, page);
  });
}

}  // namespace sekora::cli
