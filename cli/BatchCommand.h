// sekora-cli --batch: every culvert of a project's table in one command.
#pragma once

#include <string>

#include "CliOptions.h"
#include "DataFolders.h"

namespace sekora::cli {

// Designs every culvert of the table `options.batch` with the catalogues of
// `folders.work` and writes what the options ask for: the summary CSV (--out),
// each culvert's results file (--keisan-dir), and on stdout the summary as
// JSON (--json) or one line per culvert. The folder's Keisan.txt is not
// touched. A faulty table is refused before any culvert is designed.
// Returns the exit status; throws std::exception for a failure, with the
// message to show.
int RunBatchCommand(const CliOptions& options, const DataFolders& folders);

}  // namespace sekora::cli
