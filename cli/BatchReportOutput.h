// Writing the PDF report of a batch design.
#pragma once

#include <string>
#include <vector>

#include "BatchCommand.h"
#include "BatchRun.h"
#include "BatchTable.h"

namespace sekora::cli {

// Writes the report of the batch (see BatchReport) as `request` asks;
// `results` must keep their records. Every figure is loaded before anything
// is drawn, and the PDF is replaced only by the whole report: on any failure
// it is left as it was and a std::exception says why.
void WriteBatchReport(const BatchReportRequest& request, const std::vector<Culvert>& culverts,
                      const std::vector<CulvertResult>& results);

}  // namespace sekora::cli
