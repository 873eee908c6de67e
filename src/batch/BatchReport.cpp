#include "BatchReport.h"

#include <algorithm>

#include "DrawSheet.h"

namespace sekora {
namespace {

// A report stands in for the printed sheets, so it is drawn as the printer
// draws them.
constexpr std::int16_t kPrinterMode = 1;

std::optional<ProjectSection> SectionOf(const std::optional<RecommendedSection>& s) {
  if (!s) return std::nullopt;
  return ProjectSection{s->record, s->marginPercent};
}

ProjectSummaryRow RowOf(const Culvert& culvert, const CulvertResult& result) {
  return {culvert.name,           culvert.conditions.Q,       culvert.conditions.L,
          result.okCount,         result.candidateCount,      SectionOf(result.box),
          SectionOf(result.pipe), result.frictionRoundingNote};
}

}  // namespace

BatchReport::BatchReport(const std::vector<Culvert>& culverts,
                         const std::vector<CulvertResult>& results, const std::string& figureFolder)
    : figureFolder_(figureFolder) {
  for (std::size_t i = 0; i < culverts.size(); ++i) rows_.push_back(RowOf(culverts[i], results[i]));
  for (int page = 0; page < ProjectSummaryPageCount(rows_.size()); ++page) {
    pages_.push_back([this, page](DrawingSurface& target) {
      DrawProjectSummaryPage(target, kPrinterMode, rows_, page);
    });
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
  const std::size_t number = culvert.number;
  const std::string name = culvert.name;
  for (int page = 0; page < SummaryPageCount(summary.records.size()); ++page) {
    pages_.push_back([&summary, page, number, name](DrawingSurface& target) {
      DrawSummaryPage(target, kPrinterMode, summary, page);
      DrawCulvertCaption(target, number, name);
    });
  }
  for (const auto* section : {&result.box, &result.pipe}) {
    if (!*section) continue;
    const KeisanRecord rec = (*section)->record;
    for (const std::string& path : SheetFigurePaths(rec, figureFolder_)) {
      if (std::find(figurePaths_.begin(), figurePaths_.end(), path) == figurePaths_.end()) {
        figurePaths_.push_back(path);
      }
    }
    const DesignConditions conditions = culvert.conditions;
    pages_.push_back([this, rec, conditions, number, name](DrawingSurface& target) {
      DrawSheet(target, kPrinterMode, rec, conditions, figureFolder_);
      DrawCulvertCaption(target, number, name);
    });
  }
}

std::vector<std::string> BatchReport::FigurePaths() const {
  return figurePaths_;
}

}  // namespace sekora
