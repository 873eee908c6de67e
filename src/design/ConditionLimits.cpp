#include "ConditionLimits.h"

#include <cmath>

namespace sekora {
namespace {

// The sheet prints every condition with three decimals: a smaller value
// would show as 0.000.
constexpr double kSmallestFigure = 0.001;

// The largest magnitudes whose figures still fit the sheet's rows before the
// next label: three digits before the point for Q, L and a level (a real
// elevation up to 999.999 m), two for a level below zero (its minus sign
// takes the third place) and for g and α.
constexpr double kLargestLength = 999.999;
constexpr double kLowestLevel = -99.999;
constexpr double kLargestCoefficient = 99.999;

struct Range {
  double lowest;
  bool lowestIncluded;
  double highest;
  const char* text;  // as the messages give it
};

Range RangeOf(Condition condition) {
  switch (condition) {
    case Condition::Q:
    case Condition::L:
      return {kSmallestFigure, true, kLargestLength, "0.001 以上 999.999 以下"};
    case Condition::Z1:
    case Condition::Z2:
      return {kLowestLevel, true, kLargestLength, "-99.999 以上 999.999 以下"};
    case Condition::G:
    case Condition::Alpha:
      return {kSmallestFigure, true, kLargestCoefficient, "0.001 以上 99.999 以下"};
    case Condition::BoxRatio:
    case Condition::CircleRatio:
      break;
  }
  // A ratio of 0 leaves no usable height; above 1 the freeboard turns
  // negative and the check can no longer fail.
  return {0.0, false, 1.0, "0 より大きく 1 以下"};
}

}  // namespace

bool IsAllowedCondition(Condition condition, double value) {
  const Range range = RangeOf(condition);
  if (!std::isfinite(value) || value > range.highest) return false;
  return range.lowestIncluded ? value >= range.lowest : value > range.lowest;
}

ConditionRange AllowedRange(Condition condition) {
  const Range range = RangeOf(condition);
  return {range.lowest, range.lowestIncluded, range.highest};
}

std::string AllowedRangeText(Condition condition) {
  return RangeOf(condition).text;
}

}  // namespace sekora
