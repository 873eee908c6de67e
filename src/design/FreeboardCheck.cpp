#include "FreeboardCheck.h"

#include "NumberText.h"

namespace sekora {
namespace {

// The last decimal of Fric1 and Fric2; each is off by at most half of it.
constexpr double kFrictionFactorStep = 0.00001;

// FricQL × 0.00001 ≥ 0.005 m, that is FricQL ≥ 500 m7/s2, decided on the
// three-decimal FricQL exactly rather than on a product that is not.
constexpr double kNotedFricQL = 500.0;

double Round3(double v) {
  return FormatRound(v, Pattern::Fixed3);
}

}  // namespace

bool ChecksOnCriticalDepth(const KeisanRecord& rec) {
  const bool balanced = rec.Status == StatusOk || rec.Status == StatusFreeboardOver;
  return balanced && Round3(rec.h1) < Round3(rec.h2);
}

double CheckedInletDepth(const KeisanRecord& rec) {
  return ChecksOnCriticalDepth(rec) ? rec.h2 : rec.h1;
}

double Freeboard(const KeisanRecord& rec, const DesignConditions& conditions) {
  if (rec.Kind == KindBox) return (1.0 - conditions.BoxRatio) * rec.H;
  return (1.0 - conditions.CircleRatio) * rec.D;
}

bool FitsUsableHeight(double required, double sectionHeight) {
  return Round3(required) < Round3(sectionHeight);
}

bool HasFrictionRoundingNote(const KeisanRecord& rec) {
  return rec.FricQL >= kNotedFricQL;
}

double FrictionRoundingBound(const KeisanRecord& rec) {
  return rec.FricQL * kFrictionFactorStep;
}

}  // namespace sekora
