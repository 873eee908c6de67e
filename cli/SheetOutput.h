// Drawing the calculation sheet of one results row to a file.
#pragma once

#include <cstdint>
#include <string>

#include "DataFolders.h"
#include "DesignConditions.h"

namespace sekora::cli {

// Draws the sheet of row `row` of `folders.work`/Keisan.txt (read back as the
// preview reads it), with the figures of `folders.figures`, to `outPath`: PDF, PNG at `dpi`, or SVG
// by the extension. A row whose calculation failed (Status 1 to 3) is refused with the results
// list's message. Returns the exit status; errors go to stderr.
int WriteSheet(const DataFolders& folders, const DesignConditions& conditions, std::int16_t row,
               const std::string& outPath, int dpi);

}  // namespace sekora::cli
