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

// What a batch report is made from besides the culverts and their results.
struct BatchReportRequest {
  std::string outPath;       // the PDF
  std::string figureFolder;  // where the sheets' figures are read from
  std::string tableName;     // the file name of the table, named in every header
  unsigned threads = 1;      // pages are drawn on up to this many threads
};

// Writes the PDF report of a batch (see WriteBatchReport); empty in a tool
// built without Qt.
using BatchReportWriter =
    std::function<void(const BatchReportRequest& request, const std::vector<Culvert>& culverts,
                       const std::vector<CulvertResult>& results)>;

// Designs every culvert of the table `options.batch` with the catalogues of
// `folders.work`, on `options.jobs` threads, and writes what the options ask
// for: the report (--report, by `writeReport`, with the figures of
// `folders.figures`, drawn on `options.jobs` threads), the summary CSV
// (--out), each culvert's results file (--keisan-dir), and on stdout the
// summary as JSON (--json) or one line per culvert. The folder's Keisan.txt is not touched. A
// faulty table, or a report that cannot be written, is refused before any culvert is designed.
// Returns the exit status; throws std::exception for a failure, with the
// message to show.
int RunBatchCommand(const CliOptions& options, const DataFolders& folders,
                    const BatchReportWriter& writeReport);

}  // namespace sekora::cli
