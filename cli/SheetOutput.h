// Drawing the calculation sheets of results rows, and the summary of the
// run, to a file.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "CliOptions.h"
#include "DataFolders.h"
#include "DesignConditions.h"

namespace sekora::cli {

// Qt for drawing files, on the offscreen platform whatever platform the
// environment names: the tool never needs a display. One lives while a
// command that draws runs, made before the command writes anything, so that
// a fatal message of Qt (which ends the tool on one line of stderr with exit
// status 2) leaves nothing half done.
class OffscreenQt {
 public:
  OffscreenQt();
  ~OffscreenQt();
  OffscreenQt(const OffscreenQt&) = delete;
  OffscreenQt& operator=(const OffscreenQt&) = delete;

 private:
  struct Application;
  std::unique_ptr<Application> application_;
};

// Refuses, before anything is calculated, an output file whose extension is
// no sheet format or whose folder does not exist. Throws std::exception.
void CheckSheetTarget(const std::string& outPath);

// Calculates with `conditions` in memory from the catalogues of
// `folders.work` and draws, with the figures of `folders.figures`, the sheets
// of the rows `sheets` asks for to `outPath`, as the printer draws them; with
// `summary` the summary pages of the run come first. A PDF takes any number
// of pages; PNG (at `dpi`) and SVG take the sheet of a single row. Rows whose
// calculation failed (Status 1 to 3) are refused by number with the results
// list's message. Only once the file is complete are
// `folders.work`/Keisan.txt and `outPath` replaced; on any failure both are
// left as they were and a std::exception says why in one line. Needs an
// OffscreenQt.
void WriteReportOfRun(const DataFolders& folders, const DesignConditions& conditions,
                      const std::optional<SheetRows>& sheets, bool summary,
                      const std::string& outPath, int dpi);

}  // namespace sekora::cli
