// A report of a run as one PDF: its summary pages, then the calculation
// sheets of chosen rows, one page each.
#pragma once

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

struct ReportContent {
  // The lines of Keisan.txt as read back: element i is row i + 1.
  Candidates records;
  DesignConditions conditions;
  // The rows whose sheets follow, in order; each can be shown (Status 0 or 4).
  std::vector<int> rows;
  bool summary = false;
};

// Counts the pages of a report as they are drawn and carries the request to
// stop drawing, for a save the user watches and may cancel.
struct PageProgress {
  std::atomic<int>* pagesDone = nullptr;
  std::atomic<int>* pagesTotal = nullptr;  // set before the first page
  const std::atomic<bool>* cancel = nullptr;
};

// The report was cancelled through its PageProgress; nothing was written.
class ReportCancelledError : public std::runtime_error {
 public:
  ReportCancelledError();
};

// The content of the PDF of `report`, the figures read from `figureFolder`.
// Every figure is loaded before anything is drawn. Nothing is written.
// Throws FigureError, std::invalid_argument (no page, or a path that is no
// PDF), std::runtime_error (the pages cannot be drawn whole) and
// ReportCancelledError. Needs a QGuiApplication; may run on any thread.
std::string ReportPdfContent(const std::string& outPath, const ReportContent& report,
                             const std::string& figureFolder, const PageProgress& progress = {});

// Draws `report` as ReportPdfContent does and replaces `outPath` with it
// whole; on any failure, a cancel included, the previous file is left as it
// was.
void ExportReportPdf(const std::string& outPath, const ReportContent& report,
                     const std::string& figureFolder, const PageProgress& progress = {});

}  // namespace sekora
