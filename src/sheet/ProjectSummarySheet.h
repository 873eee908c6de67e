// The summary of a project's batch design, the first pages of its report:
// one line per culvert with its conditions, count of passing sections and
// the recommended box and pipe with their margins. The table runs over as
// many pages as it needs, its column headings repeated on each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DesignConditions.h"
#include "DrawingSurface.h"
#include "KeisanRecord.h"

namespace sekora {

// Culverts on the first page of the project summary, below its sign-off
// block, and on each later page.
inline constexpr std::size_t kProjectRowsOnFirstPage = 51;
inline constexpr std::size_t kProjectRowsOnLaterPages = 54;

struct ProjectSection {
  KeisanRecord record;         // as the culvert's results file gives it back
  double marginPercent = 0.0;  // section height less hReq over the section height, %
};

struct ProjectSummaryRow {
  std::string name;
  double Q = 0.0;   // m3/s
  double L = 0.0;   // m
  double Z1 = 0.0;  // m
  double Z2 = 0.0;  // m
  std::int16_t shapeOption = ShapeBoth;
  std::size_t okCount = 0;
  std::size_t candidateCount = 0;
  std::optional<ProjectSection> box;   // none when no box passes or boxes were not calculated
  std::optional<ProjectSection> pipe;  // none when no pipe passes or pipes were not calculated
  // hf of some candidate can be off by half a centimetre or more through the
  // five-decimal friction factors (the same Q and L for every candidate).
  bool frictionRoundingNote = false;
};

// The pages the project summary of `rowCount` culverts takes; at least one.
int ProjectSummaryPageCount(std::size_t rowCount);

// Draws page `page` (0 = the first) of the project summary on `target`, top
// left at the surface's origin, with the sheet's pen for `mode`; the first
// page with the sign-off block. Every column of the table is as wide as its
// widest value. Neither clears the surface nor starts or ends a page.
void DrawProjectSummaryPage(DrawingSurface& target, std::int16_t mode,
                            const std::vector<ProjectSummaryRow>& rows, int page);

}  // namespace sekora
