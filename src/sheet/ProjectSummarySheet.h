// The summary of a project's batch design, the first pages of its report:
// one line per culvert with its discharge, length, count of passing sections
// and the recommended box and pipe with their margins. The table runs over
// as many pages as it needs, its column headings repeated on each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DrawingSurface.h"
#include "KeisanRecord.h"

namespace sekora {

// Culverts on each page of the project summary.
inline constexpr std::size_t kProjectRowsPerPage = 55;

struct ProjectSection {
  KeisanRecord record;         // as the culvert's results file gives it back
  double marginPercent = 0.0;  // section height less hReq over the section height, %
};

struct ProjectSummaryRow {
  std::string name;
  double Q = 0.0;  // m3/s
  double L = 0.0;  // m
  std::size_t okCount = 0;
  std::size_t candidateCount = 0;
  std::optional<ProjectSection> box;   // none when no box passes
  std::optional<ProjectSection> pipe;  // none when no pipe passes
  // hf of some candidate can be off by half a centimetre or more through the
  // five-decimal friction factors (the same Q and L for every candidate).
  bool frictionRoundingNote = false;
};

// The pages the project summary of `rowCount` culverts takes; at least one.
int ProjectSummaryPageCount(std::size_t rowCount);

// Draws page `page` (0 = the first) of the project summary on `target`, top
// left at the surface's origin, with the sheet's pen for `mode`. Neither
// clears the surface nor starts or ends a page.
void DrawProjectSummaryPage(DrawingSurface& target, std::int16_t mode,
                            const std::vector<ProjectSummaryRow>& rows, int page);

// Names the culvert a page of the report belongs to ("No.3　C/3") in the
// free line under the title of a summary or calculation sheet page.
void DrawCulvertCaption(DrawingSurface& target, std::size_t number, const std::string& name);

}  // namespace sekora
