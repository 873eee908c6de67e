#include "RunReport.h"

#include "DrawSheet.h"

namespace sekora {
namespace {

// A report stands in for the printed sheets, so it is drawn as the printer
// draws them.
constexpr std::int16_t kPrinterMode = 1;

constexpr char kTitle[] = "函渠断面の決定";
constexpr char kSummaryBookmark[] = "計算結果一覧";

}  // namespace

ReportDocument RunReport(const RunSummary& run, const std::vector<int>& rows, bool withSummary,
                         const std::string& figureFolder) {
  ReportDocument report{kTitle, "", {}, {}};
  if (withSummary) {
    report.bookmarks.push_back({kSummaryBookmark, 0, {}});
    for (int page = 0; page < SummaryPageCount(run.records.size()); ++page) {
      report.pages.push_back({[&run, page](DrawingSurface& target) {
                                DrawSummaryPage(target, kPrinterMode, run, page);
                              },
                              "", 0});
    }
  }
  for (int row : rows) {
    const KeisanRecord& rec = run.records.at(static_cast<std::size_t>(row - 1));
    report.bookmarks.push_back(
        {SheetBookmarkTitle(row, rec), static_cast<int>(report.pages.size()), {}});
    report.pages.push_back({[&run, &rec, figureFolder](DrawingSurface& target) {
                              DrawSheet(target, kPrinterMode, rec, run.conditions, figureFolder);
                            },
                            "", row});
  }
  return report;
}

}  // namespace sekora
