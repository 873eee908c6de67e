// Drawing the calculation sheet of one results row to a file.
#pragma once

#include <string>

#include "DataFolders.h"
#include "DesignConditions.h"

namespace sekora::cli {

// Refuses, before anything is calculated, an output file whose extension is
// no sheet format or whose folder does not exist. Throws std::exception.
void CheckSheetTarget(const std::string& outPath);

// Calculates with `conditions` in memory from the catalogues of
// `folders.work` and draws the sheet of row `row` of that run's results,
// with the figures of `folders.figures`, to `outPath` (PDF, PNG at `dpi`, or
// SVG by the extension), as the printer draws it. Only once the sheet is
// complete are `folders.work`/Keisan.txt and `outPath` replaced; on any
// failure both are left as they were and a std::exception says why in one
// line. A row whose calculation failed (Status 1 to 3) is refused with the
// results list's message.
void WriteSheetOfRun(const DataFolders& folders, const DesignConditions& conditions, int row,
                     const std::string& outPath, int dpi);

}  // namespace sekora::cli
