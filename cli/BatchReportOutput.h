// Writing the PDF report of a batch design.
#pragma once

#include <string>
#include <vector>

#include "BatchCommand.h"
#include "BatchRun.h"
#include "BatchTable.h"

namespace sekora::cli {

// The content of the PDF holding the report of the batch (see BatchReport)
// as `request` asks; `results` must keep their records. Every figure is
// loaded before anything is drawn; nothing is written. Throws std::exception
// saying why the report cannot be drawn. Needs an OffscreenQt.
std::string BatchReportContent(const BatchReportRequest& request,
                               const std::vector<Culvert>& culverts,
                               const std::vector<CulvertResult>& results);

}  // namespace sekora::cli
