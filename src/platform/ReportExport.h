// Reports as PDF documents: every page with its header, bookmarks to their
// parts, and the document's title, author, date and language.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "DesignConditions.h"
#include "KeisanRecord.h"
#include "ReportDocument.h"

namespace sekora {

struct ReportContent {
  // The lines of Keisan.txt as read back: element i is row i + 1.
  Candidates records;
  DesignConditions conditions;
  // The rows whose sheets follow, in order; each can be shown (Status 0 or 4).
  std::vector<int> rows;
  bool summary = false;
  // How many NG candidates the run left out of `records`, when known.
  std::optional<std::size_t> leftOutNg;
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

// The content of the PDF of `report` (see RunReport), the figures read from
// `figureFolder`. Every figure is loaded before anything is drawn. Nothing
// is written. Throws FigureError, std::invalid_argument (no page, or a path
// that is no PDF), std::runtime_error (the pages cannot be drawn whole) and
// ReportCancelledError. Needs a QGuiApplication; may run on any thread.
std::string ReportPdfContent(const std::string& outPath, const ReportContent& report,
                             const std::string& figureFolder, const PageProgress& progress = {});

// Draws `report` as ReportPdfContent does and replaces `outPath` with it
// whole; on any failure, a cancel included, the previous file is left as it
// was.
void ExportReportPdf(const std::string& outPath, const ReportContent& report,
                     const std::string& figureFolder, const PageProgress& progress = {});

// The content of the PDF of `document`, its pages drawn on up to `threads`
// threads with their headers, made now (see DocumentTime), `progress`
// counting the pages. Throws as ReportPdfContent does.
std::string ReportDocumentPdf(const std::string& outPath, const ReportDocument& document,
                              unsigned threads, const PageProgress& progress = {});

// Draws `document` as ReportDocumentPdf does and replaces `outPath` with it
// whole; on any failure the previous file is left as it was.
void ExportReportDocument(const std::string& outPath, const ReportDocument& document,
                          unsigned threads);

}  // namespace sekora
