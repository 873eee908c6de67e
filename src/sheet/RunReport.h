// The report of one calculation run: its summary pages, then the
// calculation sheets of chosen rows, one page each.
#pragma once

#include <string>
#include <vector>

#include "ReportDocument.h"
#include "SummarySheet.h"

namespace sekora {

// The report of `run` with the sheets of `rows` (numbers of rows of
// `run.records`, each with a sheet), after the summary when `withSummary`;
// the figures are read from `figureFolder`. The document's pages draw from
// `run`, which must outlive it.
ReportDocument RunReport(const RunSummary& run, const std::vector<int>& rows, bool withSummary,
                         const std::string& figureFolder);

}  // namespace sekora
