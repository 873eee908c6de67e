// The sections an engineer would choose from one run: of each kind, the
// passing section with the least inner area.
#pragma once

#include <cstddef>
#include <optional>

#include "KeisanRecord.h"

namespace sekora {

struct Recommendation {
  std::optional<std::size_t> box;   // index into the records; none when no box passes
  std::optional<std::size_t> pipe;  // index into the records; none when no pipe passes
};

// Inner area of the section, m2: B H for a box, pi D^2 / 4 for a pipe.
double InnerArea(const KeisanRecord& rec);

// Of the records with Status ＯＫ, the box and the pipe of least inner area;
// of sections with equal areas, the first in the list. Areas are compared on
// the millimetre sizes of the results file, so that 1.200 x 1.500 and
// 0.900 x 2.000 are equal although their double products differ.
Recommendation RecommendSections(const Candidates& records);

}  // namespace sekora
