#include "CriticalDepth.h"

#include <cmath>

#include "NumberText.h"

namespace sekora {
namespace {

// Step of the pipe's trial depth, m; also its first trial depth.
constexpr double kTrialStep = 0.001;

// The most trial depths a pipe gets: every depth of a pipe up to 1 km wide.
// A wider diameter (a damaged KAN.TXT) would otherwise keep the search going
// for hours, or for ever once 1 mm no longer changes the trial depth.
constexpr int kTrialLimit = 1000000;

// Box: h2 = (Q^2 / (B^2 g))^(1/3), rounded to 1 mm. Fails when it reaches H.
void BoxCriticalDepth(KeisanRecord& rec, const DesignConditions& c) {
  rec.h2 = FormatRound(std::pow(std::pow(c.Q, 2.0) / (std::pow(rec.B, 2.0) * c.g), 1.0 / 3.0),
                       Pattern::Fixed3);
  if (!(rec.h2 < rec.H)) rec.Status = StatusOutletOver;
}

// The quantities of one pipe trial that the search looks at.
struct PipeTrial {
  double S = 0.0;   // sin(theta) / 2, rounded to 6 decimals
  double Qc = 0.0;  // discharge at critical flow with depth hc, m3/s
};

// Critical discharge of a pipe of diameter D (m) at depth hc (m):
// Qc = D^(5/2) sqrt((g/128) (theta - sin theta cos theta)^3 / (sin theta / 2)),
// with each named quantity rounded to 6 decimals. KD = D^(5/2) and
// Kg = g/128, both rounded, are the same in every trial.
PipeTrial CriticalDischarge(double hc, double D, double KD, double Kg) {
  const double x = 1.0 - 2.0 * hc / D;
  const double s = std::sqrt(1.0 - std::pow(x, 2.0));
  const double theta = FormatRound(2.0 * std::atan(1.0) + std::atan(-x / s), Pattern::Fixed6);
  const double C = FormatRound(2.0 * (1.0 - 2.0 * hc / D), Pattern::Fixed6);
  const double ratio = hc / D;
  PipeTrial trial;
  trial.S = FormatRound(std::sqrt(ratio - std::pow(ratio, 2.0)), Pattern::Fixed6);
  const double T = FormatRound(std::pow(theta - trial.S * C, 3.0), Pattern::Fixed6);
  trial.Qc = FormatRound(std::pow(Kg * T / trial.S, 1.0 / 2.0) * KD, Pattern::Fixed6);
  return trial;
}

// Pipe: the first trial depth, in steps of 1 mm accumulated by addition,
// whose critical discharge carries Q. Fails when no depth below D does, or
// when a trial reaches sin(theta) = 0, where Qc is undefined, or when the
// trials run out.
void PipeCriticalDepth(KeisanRecord& rec, const DesignConditions& c) {
  const double KD = FormatRound(std::pow(rec.D, 5.0 / 2.0), Pattern::Fixed6);
  const double Kg = FormatRound(c.g / 128.0, Pattern::Fixed6);
  double hc = kTrialStep;
  for (int trials = 1;; ++trials) {
    const PipeTrial trial = CriticalDischarge(hc, rec.D, KD, Kg);
    if (trial.S == 0.0 || !std::isfinite(trial.Qc)) {
      rec.h2 = hc;
      rec.Status = StatusOutletOver;
      return;
    }
    if (!(trial.Qc < c.Q)) {
      rec.h2 = hc;
      return;
    }
    hc = hc + kTrialStep;
    if (!(hc < rec.D) || trials == kTrialLimit) {
      rec.h2 = hc;
      rec.Status = StatusOutletOver;
      return;
    }
  }
}

}  // namespace

void CalcCriticalDepth(KeisanRecord& rec, const DesignConditions& conditions) {
  if (rec.Kind == KindBox) {
    BoxCriticalDepth(rec, conditions);
  } else {
    PipeCriticalDepth(rec, conditions);
  }
  if (!std::isfinite(rec.h2)) rec.Status = StatusOutletOver;
}

}  // namespace sekora
