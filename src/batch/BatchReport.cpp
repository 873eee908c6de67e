#include "BatchReport.h"

#include <algorithm>

#include "DrawSheet.h"

namespace sekora {
namespace {

// A report stands in for the printed sheets, so it is drawn as the printer
// draws them.
constexpr std::int16_t kPrinterMode = 1;

constexpr char kProjectBookmark[] = "一括計算の結果一覧";
constexpr char kSummaryBookmark[] = "計算結果一覧";

std::optional<ProjectSection> SectionOf(const std::optional<RecommendedSection>& s) {
  if (!s) return std::nullopt;
  return ProjectSection{s->record, s->marginPercent};
}

ProjectSummaryRow RowOf(const Culvert& culvert, const CulvertResult& result) {
  const DesignConditions& c = culvert.conditions;
  return {culvert.name,
          c.Q,
          c.L,
          c.Z1,
          c.Z2,
          c.ShapeOption,
          result.okCount,
          result.candidateCount,
          SectionOf(result.box),
          SectionOf(result.pipe),
          result.frictionRoundingNote};
}

}  // namespace

BatchReport::BatchReport(const std::vector<Culvert>& culverts,
                         const std::vector<CulvertResult>& results, const std::string& figureFolder,
                         const std::string& tableName)
    : figureFolder_(figureFolder),
      document_{"函渠断面の決定　一括計算（" + tableName + "）", tableName, {}, {}} {
  for (std::size_t i = 0; i < culverts.size(); ++i) rows_.push_back(RowOf(culverts[i], results[i]));
  document_.bookmarks.push_back({kProjectBookmark, 0, {}});
  for (int page = 0; page < ProjectSummaryPageCount(rows_.size()); ++page) {
    document_.pages.push_back({[this, page](DrawingSurface& target) {
                                 DrawProjectSummaryPage(target, kPrinterMode, rows_, page);
                               },
                               "", 0});
  }
  // Every summary is in place before a page refers to it.
  summaries_.reserve(culverts.size());
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    summaries_.push_back(SummaryOfRun(results[i].records, culverts[i].conditions));
  }
  for (std::size_t i = 0; i < culverts.size(); ++i) AddCulvertPages(culverts[i], results[i], i);
}

void BatchReport::AddCulvertPages(const Culvert& culvert, const CulvertResult& result,
                                  std::size_t index) {
  const RunSummary& summary = summaries_[index];
  const std::string owner = "No." + std::to_string(culvert.number) + "\u3000" + culvert.name;
  const auto firstPage = static_cast<int>(document_.pages.size());
  ReportBookmark culvertMark{"No." + std::to_string(culvert.number) + " " + culvert.name,
                             firstPage,
                             {{kSummaryBookmark, firstPage, {}}}};
  for (int page = 0; page < SummaryPageCount(summary.records.size()); ++page) {
    document_.pages.push_back({[&summary, page](DrawingSurface& target) {
                                 DrawSummaryPage(target, kPrinterMode, summary, page);
                               },
                               owner, 0});
  }
  for (const auto* section : {&result.box, &result.pipe}) {
    if (!*section) continue;
    const KeisanRecord rec = (*section)->record;
    const int row = static_cast<int>((*section)->row);
    for (const std::string& path : SheetFigurePaths(rec, figureFolder_)) {
      if (std::find(figurePaths_.begin(), figurePaths_.end(), path) == figurePaths_.end()) {
        figurePaths_.push_back(path);
      }
    }
    culvertMark.children.push_back(
        {SheetBookmarkTitle(row, rec), static_cast<int>(document_.pages.size()), {}});
    const DesignConditions conditions = culvert.conditions;
    document_.pages.push_back({[this, rec, conditions](DrawingSurface& target) {
                                 DrawSheet(target, kPrinterMode, rec, conditions, figureFolder_);
                               },
                               owner, row});
  }
  document_.bookmarks.push_back(std::move(culvertMark));
}

std::vector<std::string> BatchReport::FigurePaths() const {
  return figurePaths_;
}

}  // namespace sekora
