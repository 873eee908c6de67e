// The summary of a calculation run, the first pages of a report: the title,
// the design conditions as the sheet gives them, and a table of every
// candidate with its depths, the height it is checked against and its result,
// the recommended sections marked. The table runs over as many pages as it
// needs, its column headings repeated on each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "DesignConditions.h"
#include "DrawingSurface.h"
#include "KeisanRecord.h"
#include "Recommendation.h"

namespace sekora {

// Table rows the first page holds below the conditions, and the rows of
// every later page.
inline constexpr std::size_t kSummaryRowsOnFirstPage = 45;
inline constexpr std::size_t kSummaryRowsOnLaterPages = 58;

struct RunSummary {
  // The records of the run as read back from Keisan.txt: element i is row i + 1.
  Candidates records;
  DesignConditions conditions;
  // The recommended box and pipe among `records`.
  Recommendation recommended;
};

// The summary of the run whose results are `records`, with its recommended
// sections chosen.
RunSummary SummaryOfRun(Candidates records, const DesignConditions& conditions);

// The numbers of the rows of `records` with Status ＯＫ, in order.
std::vector<int> OkRows(const Candidates& records);

// The pages the summary of `rowCount` candidates takes; at least one.
int SummaryPageCount(std::size_t rowCount);

// Draws page `page` (0 = the first) of the summary on `target`, top left at
// the surface's origin, with the sheet's pen for `mode`. Neither clears the
// surface nor starts or ends a page.
void DrawSummaryPage(DrawingSurface& target, std::int16_t mode, const RunSummary& summary,
                     int page);

}  // namespace sekora
