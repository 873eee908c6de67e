// The summary of a calculation run, the first pages of a report: the title,
// the design conditions as the sheet gives them, and a table of every
// candidate with its depths, the height it is checked against and its result,
// the recommended sections marked. The table runs over as many pages as it
// needs, its column headings repeated on each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "DesignConditions.h"
#include "DrawingSurface.h"
#include "KeisanRecord.h"
#include "Recommendation.h"

namespace sekora {

// Table rows the first page holds below the conditions and the sign-off
// block, and the rows of every later page.
inline constexpr std::size_t kSummaryRowsOnFirstPage = 41;
inline constexpr std::size_t kSummaryRowsOnLaterPages = 58;

struct RunSummary {
  // The records of the run as read back from Keisan.txt: element i is row i + 1.
  Candidates records;
  DesignConditions conditions;
  // The recommended box and pipe among `records`.
  Recommendation recommended;
  // How many NG candidates the run left out of its results (ExcludeNg),
  // when that is known.
  std::optional<std::size_t> leftOutNg;
};

// The summary of the run whose results are `records`, with its recommended
// sections chosen; `leftOutNg` as in RunSummary.
RunSummary SummaryOfRun(Candidates records, const DesignConditions& conditions,
                        std::optional<std::size_t> leftOutNg = std::nullopt);

// The numbers of the rows of `records` with Status ＯＫ, in order.
std::vector<int> OkRows(const Candidates& records);

// The pages the summary of `rowCount` candidates takes; at least one.
int SummaryPageCount(std::size_t rowCount);

// Draws page `page` (0 = the first) of the summary on `target`, top left at
// the surface's origin, with the sheet's pen for `mode`: the first page with
// the conditions, the sign-off block and, when the run left its NG
// candidates out, how many. Every column of the table is as wide as its
// widest value. Neither clears the surface nor starts or ends a page.
void DrawSummaryPage(DrawingSurface& target, std::int16_t mode, const RunSummary& summary,
                     int page);

}  // namespace sekora
