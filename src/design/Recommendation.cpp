#include "Recommendation.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace sekora {
namespace {

// A size in whole millimetres; the results file keeps sizes to 1 mm.
std::int64_t Millimetres(double metres) {
  return std::llround(metres * 1000.0);
}

// A key that orders sections of one kind by inner area, exactly: the box's
// area in mm2, or the pipe's diameter squared (the common factor pi / 4 does
// not change the order).
std::int64_t AreaKey(const KeisanRecord& rec) {
  if (rec.Kind == KindBox) return Millimetres(rec.B) * Millimetres(rec.H);
  const std::int64_t d = Millimetres(rec.D);
  return d * d;
}

void KeepSmaller(const Candidates& records, std::size_t i, std::optional<std::size_t>& best) {
  if (!best || AreaKey(records[i]) < AreaKey(records[*best])) best = i;
}

}  // namespace

double InnerArea(const KeisanRecord& rec) {
  if (rec.Kind == KindBox) return rec.B * rec.H;
  return std::numbers::pi * rec.D * rec.D / 4.0;
}

Recommendation RecommendSections(const Candidates& records) {
  Recommendation chosen;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Status != StatusOk) continue;
    KeepSmaller(records, i, records[i].Kind == KindBox ? chosen.box : chosen.pipe);
  }
  return chosen;
}

}  // namespace sekora
