// sekora-cli --batch: every culvert of a project's table in one command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "BatchTable.h"
#include "CliOptions.h"
#include "DataFolders.h"

namespace sekora::cli {

// Writes the PDF report of a batch (see WriteBatchReport); empty in a tool
// built without Qt.
using BatchReportWriter =
    std::function<void(const std::string& outPath, const std::vector<Culvert>& culverts,
                       const std::vector<CulvertResult>& results, const std::string& figureFolder)>;

// Designs every culvert of the table `options.batch` with the catalogues of
// `folders.work`, on `options.jobs` threads, and writes what the options ask
// for: the report (--report, by `writeReport`, with the figures of
// `folders.figures`), the summary CSV (--out), each culvert's results file
// (--keisan-dir), and on stdout the summary as JSON (--json) or one line per
// culvert. The folder's Keisan.txt is not touched. A faulty table, or a
// report that cannot be written, is refused before any culvert is designed.
// Returns the exit status; throws std::exception for a failure, with the
// message to show.
int RunBatchCommand(const CliOptions& options, const DataFolders& folders,
                    const BatchReportWriter& writeReport);

}  // namespace sekora::cli
