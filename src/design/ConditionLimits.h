// The design conditions a command-line run or a batch table may give: each
// within what the calculation means and what the sheet prints. (The main
// window sets only Q and L, and refuses them only at 0 or below.)
#pragma once

#include <string>

namespace sekora {

enum class Condition { Q, L, Z1, Z2, G, Alpha, BoxRatio, CircleRatio };

// True when `value` may be given for `condition`: Q and L from 0.001 (the
// sheet's smallest figure) to 999.999; Z1 and Z2 from -99.999 to 999.999;
// g and α from 0.001 to 99.999; each usable-height ratio above 0 and at
// most 1. Never for a value that is not finite.
bool IsAllowedCondition(Condition condition, double value);

// The values IsAllowedCondition accepts: from `lowest`, itself included or
// not, to `highest`, included.
struct ConditionRange {
  double lowest;
  bool lowestIncluded;
  double highest;
};
ConditionRange AllowedRange(Condition condition);

// The range IsAllowedCondition accepts, as the messages give it
// ("0.001 以上 999.999 以下").
std::string AllowedRangeText(Condition condition);

}  // namespace sekora
