// The report of a batch design: the project summary, then for each culvert
// its summary pages and the calculation sheet of each recommended section,
// every culvert page's header naming the culvert.
#pragma once

#include <string>
#include <vector>

#include "BatchRun.h"
#include "BatchTable.h"
#include "ProjectSummarySheet.h"
#include "ReportDocument.h"
#include "SummarySheet.h"

namespace sekora {

class BatchReport {
 public:
  // `results` must keep the records of every culvert (BatchKeep::records);
  // the sheets' figures are read from `figureFolder`; `tableName` is the
  // file name of the table the culverts were read from.
  BatchReport(const std::vector<Culvert>& culverts, const std::vector<CulvertResult>& results,
              const std::string& figureFolder, const std::string& tableName);
  BatchReport(const BatchReport&) = delete;
  BatchReport& operator=(const BatchReport&) = delete;

  // The report, whose pages draw from this object.
  const ReportDocument& Document() const { return document_; }

  // The figure files the pages draw, each once, so that a caller can load
  // them all before it draws anything.
  std::vector<std::string> FigurePaths() const;

 private:
  void AddCulvertPages(const Culvert& culvert, const CulvertResult& result, std::size_t index);

  std::string figureFolder_;
  std::vector<ProjectSummaryRow> rows_;
  std::vector<RunSummary> summaries_;  // one per culvert
  std::vector<std::string> figurePaths_;
  ReportDocument document_;
};

}  // namespace sekora
