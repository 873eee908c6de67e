// A report as a document to file: its pages, each drawn as the printer
// draws it, the running header each page carries in its top margin, above
// the sheet's drawing area, and the bookmarks that lead to its parts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DrawingSurface.h"
#include "KeisanRecord.h"

namespace sekora {

// The A4 portrait page of every sheet and report, in twips (210 mm x 297 mm).
inline constexpr int kA4WidthTwips = 11907;
inline constexpr int kA4HeightTwips = 16840;

// When and with what a report was made, as its headers say.
struct ReportStamp {
  std::string date;     // "2025年1月31日"
  std::string program;  // "Sekora 0.1.0"
};

struct ReportPage {
  // The page itself, as the printer draws it, top left at the surface's origin.
  std::function<void(DrawingSurface&)> draw;
  // Whose page it is, for its header ("No.3　県道横断"); empty in the report of a run.
  std::string owner;
  // A calculation sheet's row in its results list; 0 for any other page.
  int listRow = 0;
};

struct ReportBookmark {
  std::string title;
  int page = 0;  // from 0
  std::vector<ReportBookmark> children;
};

struct ReportDocument {
  std::string title;   // the document's title, for its metadata
  std::string source;  // the file the report was made from, named in every header; may be empty
  std::vector<ReportPage> pages;
  std::vector<ReportBookmark> bookmarks;
};

// Draws page `page` (from 0) of `report` on `target`, then its header in
// the top margin, above the title that every sheet and summary starts with:
// on the left the source, the owner and the list row ("計算結果一覧
// No.11"), on the right the date, the program and "n / N". The header is
// drawn after the page and touches nothing the page shows.
void DrawReportPage(DrawingSurface& target, const ReportDocument& report, int page,
                    const ReportStamp& stamp);

// The bookmark of the calculation sheet of row `row`: "No.12 1.500×1.200 ＯＫ"
// (ＮＧ for a sheet whose freeboard check fails).
std::string SheetBookmarkTitle(int row, const KeisanRecord& rec);

// The date as a header gives it: "2025年1月31日".
std::string ReportDateText(int year, int month, int day);

}  // namespace sekora
