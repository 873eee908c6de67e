// Drawing the calculation sheets of results rows, and the summary of the
// run, to a file.
#pragma once

#include <optional>
#include <string>

#include "CliOptions.h"
#include "DataFolders.h"
#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora::cli {

// Draws the sheets of the rows `sheets` asks for, from `records` (the lines
// of `folders.work`/Keisan.txt as read back), with the figures of
// `folders.figures`, to `outPath`: with `summary` the
// run's summary pages come first. A PDF takes any number of pages; PNG (at
// `dpi`) and SVG take the sheet of a single row. Rows whose calculation
// failed (Status 1 to 3) are refused by number with the results list's
// message before anything is written. Returns the exit status; errors go to
// stderr.
int WriteReport(const DataFolders& folders, const DesignConditions& conditions,
                const Candidates& records, const std::optional<SheetRows>& sheets, bool summary,
                const std::string& outPath, int dpi);

}  // namespace sekora::cli
