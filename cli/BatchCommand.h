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
  std::string tableName;     // the file name of the table, named in every page's header
  unsigned threads = 1;      // pages are drawn on up to this many threads
};

// The content of the PDF report of a batch (see BatchReportContent); empty
// in a tool built without Qt.
using BatchReportDrawer = std::function<std::string(const BatchReportRequest& request,
                                                    const std::vector<Culvert>& culverts,
                                                    const std::vector<CulvertResult>& results)>;

// Designs every culvert of the table `options.batch` with the catalogues of
// `folders.work`, on `options.jobs` threads, and writes what the options ask
// for: the report (--report, drawn by `drawReport` with the figures of
// `folders.figures` on `options.jobs` threads), the summary CSV (--out), each culvert's results
// file in a folder of their own (--keisan-dir), and on stdout the summary as JSON
// (--json) or one line per culvert. The folder's Keisan.txt is not touched.
//
// Before any culvert is designed: the table is read whole; an output that
// would replace an input (the table, the catalogues, the figures, the
// folder's Keisan.txt) or another output, or an input or output inside the
// results folder, is refused by name; every output's folder is checked and
// its temporary made. Every output is then written in full beside its place,
// and only once all are complete are they put in place, the results folder
// replacing the previous one whole. Returns the exit status; throws
// std::exception for a failure, with the message to show, leaving every
// previous output as it was.
int RunBatchCommand(const CliOptions& options, const DataFolders& folders,
                    const BatchReportDrawer& drawReport);

}  // namespace sekora::cli
