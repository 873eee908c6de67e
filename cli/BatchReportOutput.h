// Writing the PDF report of a batch design.
#pragma once

#include <string>
#include <vector>

#include "BatchRun.h"
#include "BatchTable.h"

namespace sekora::cli {

// Writes the report of the batch (see BatchReport) to the PDF `outPath`,
// with the figures of `figureFolder`; `results` must keep their records.
// Every figure is loaded before anything is drawn, and `outPath` is replaced
// only by the whole report: on any failure it is left as it was and a
// std::exception says why.
void WriteBatchReport(const std::string& outPath, const std::vector<Culvert>& culverts,
                      const std::vector<CulvertResult>& results, const std::string& figureFolder);

}  // namespace sekora::cli
