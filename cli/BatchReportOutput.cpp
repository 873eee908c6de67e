#include "BatchReportOutput.h"

#include "BatchReport.h"
#include "Metafile.h"
#include "SheetExport.h"
#include "SheetOutput.h"

namespace sekora::cli {

std::string BatchReportContent(const std::string& outPath, const std::vector<Culvert>& culverts,
                               const std::vector<CulvertResult>& results,
                               const std::string& figureFolder) {
  const BatchReport report(culverts, results, figureFolder);
  for (const std::string& path : report.FigurePaths()) LoadMetafile(path);
  std::string content;
  DrawWithoutDisplay([&] {
    content = PdfPagesContent(outPath, report.PageCount(), [&](DrawingSurface& surface, int page) {
      report.DrawPage(surface, page);
    });
  });
  return content;
}

}  // namespace sekora::cli
