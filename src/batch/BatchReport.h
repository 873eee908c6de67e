// The pages of a batch design's report: the project summary, then for each
// culvert its summary pages and the calculation sheet of each recommended
// section, every culvert page captioned with the culvert's number and name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "BatchTable.h"
#include "DrawingSurface.h"
#include "ProjectSummarySheet.h"
#include "SummarySheet.h"

namespace sekora {

class BatchReport {
 public:
  // `results` must keep the records of every culvert (BatchKeep::records);
  // the sheets' figures are read from `figureFolder`.
  BatchReport(const std::vector<Culvert>& culverts, const std::vector<CulvertResult>& results,
              const std::string& figureFolder);
  BatchReport(const BatchReport&) = delete;
  BatchReport& operator=(const BatchReport&) = delete;

  int PageCount() const { return static_cast<int>(pages_.size()); }

  // Draws page `page` (from 0) as the printer draws it.
  void DrawPage(DrawingSurface& target, int page) const { pages_.at(page)(target); }

  // The figure files the pages draw, each once, so that a caller can load
  // them all before it draws anything.
  std::vector<std::string> FigurePaths() const;

 private:
  void AddCulvertPages(const Culvert& culvert, const CulvertResult& result, std::size_t index);

  std::string figureFolder_;
  std::vector<ProjectSummaryRow> rows_;
  std::vector<RunSummary> summaries_;  // one per culvert
  std::vector<std::string> figurePaths_;
  std::vector<std::function<void(DrawingSurface&)>> pages_;
};

}  // namespace sekora
