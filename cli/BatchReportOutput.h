// Writing the PDF report of a batch design.
#pragma once

#include <string>
#include <vector>

#include "BatchRun.h"
#include "BatchTable.h"

namespace sekora::cli {

// The content of the PDF `outPath` holding the report of the batch (see
// BatchReport), with the figures of `figureFolder`; `results` must keep
// their records. Every figure is loaded before anything is drawn; nothing is
// written. Throws std::exception saying why the report cannot be drawn.
// Needs an OffscreenQt.
std::string BatchReportContent(const std::string& outPath, const std::vector<Culvert>& culverts,
                               const std::vector<CulvertResult>& results,
                               const std::string& figureFolder);

}  // namespace sekora::cli
