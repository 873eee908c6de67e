#include "CriticalDepth.h"

#include <algorithm>
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

// Proves, without running them, that the trials at depths from `low` to
// `high` carry less than Q, so that a pipe's search can pass over them.
//
// Why this holds. With r = h/D, the exact quantities of a trial are
// theta* = arccos(1 - 2r), S* = sqrt(r - r^2), C* = 2(1 - 2r) and
// W* = theta* - S* C*, and Qc* = KD sqrt(Kg W*^3 / S*) grows with h. Where
// S* >= 1e-3 (so sqrt(1 - x^2) >= 2e-3), a trial's rounded values differ
// from these by at most:
// - theta: 5e-7 from the rounding to 6 decimals (plus 5e-15 theta from the
//   15 digits), and below 1e-12 from the arithmetic (the errors of x, of
//   1 - x^2 and of atan, divided by sqrt(1 - x^2) at most);
// - S: 5e-7 plus 1e-10 (the cancellation in r - r^2 is at most
//   2^-52 / (1 - r), with 1 - r >= 1e-6); C: 5e-7 plus 1e-15;
// - W = theta - S C: 5.01e-7 + 5.002e-7 * 2 + 0.5 * 5.1e-7 < 1.8e-6 = kWidthOfW;
// - T: W^3 within 2 ulps (pow), then 5e-7 + 5e-15 W^3 < kWidthOfT;
// - Qc: the square root, the products and the quotient within a few ulps,
//   then 5e-7 and 5e-15 Qc from the rounding.
// W* grows with h and S* (a concave function of h) is smallest at an end of
// the range, so for every trial in it Qc is below
// KD sqrt(Kg ((W*(high) + kWidthOfW)^3 + kWidthOfT) / (min S* - kWidthOfS)),
// plus the last rounding. That bound is computed here with margins of 1e-9,
// far beyond the errors of computing it. A trial it covers also has S > 0
// and a finite Qc, so it ends neither search nor candidate.
bool TrialsCarryLessThanQ(double low, double high, double D, double KD, double Kg, double Q) {
  constexpr double kLeastS = 1e-3;
  constexpr double kWidthOfW = 1.8e-6;
  constexpr double kWidthOfS = 5.002e-7;
  constexpr double kWidthOfT = 5.002e-7;
  constexpr double kMargin = 1e-9;
  if (!(high < D) || !(KD >= 0.0) || !(Kg >= 0.0) || !std::isfinite(KD * Kg)) return false;
  auto exactS = [D](double h) { return std::sqrt(h / D - (h / D) * (h / D)); };
  const double leastS = std::min(exactS(low), exactS(high));
  if (!(leastS >= kLeastS)) return false;
  const double x = 1.0 - 2.0 * high / D;
  const double W = std::max(0.0, std::acos(x) - exactS(high) * 2.0 * x) + kWidthOfW + kMargin;
  const double T = W * W * W + kWidthOfT + kMargin;
  const double Qc = KD * std::sqrt(Kg * T / (leastS - kWidthOfS - kMargin));
  return (Qc + 5e-7) * (1.0 + kMargin) + kMargin < Q;
}

// Pipe: the first trial depth, in steps of 1 mm accumulated by addition,
// whose critical discharge carries Q. Fails when no depth below D does, or
// when a trial reaches sin(theta) = 0, where Qc is undefined, or when the
// trials run out. Runs of trials far below Q are passed over once
// TrialsCarryLessThanQ has proven their outcome; the span it is asked about
// doubles while it succeeds and halves when it does not, so only the trials
// near the answer are worked out.
void PipeCriticalDepth(KeisanRecord& rec, const DesignConditions& c) {
  const double KD = FormatRound(std::pow(rec.D, 5.0 / 2.0), Pattern::Fixed6);
  const double Kg = FormatRound(c.g / 128.0, Pattern::Fixed6);
  double provenUpTo = 0.0;  // trials at depths up to this carry less than Q
  double span = 64 * kTrialStep;
  double hc = kTrialStep;
  for (int trials = 1;; ++trials) {
    while (hc > provenUpTo && span >= kTrialStep) {
      if (TrialsCarryLessThanQ(hc, hc + span, rec.D, KD, Kg, c.Q)) {
        provenUpTo = hc + span;
        span *= 2.0;
      } else {
        span /= 2.0;
      }
    }
    if (hc > provenUpTo) {
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
