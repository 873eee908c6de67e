#include <gtest/gtest.h>

#include <cmath>

#include "CriticalDepth.h"
#include "NumberText.h"
#include "Sections.h"

namespace sekora {
namespace {

using testing::Box;
using testing::Pipe;

DesignConditions Flow(double Q) {
  DesignConditions c;
  c.Q = Q;
  return c;
}

TEST(BoxCriticalDepth, IsTheClosedFormRoundedToAMillimetre) {
  KeisanRecord r = Box(1.0, 1.0);
  CalcCriticalDepth(r, Flow(1.0));
  EXPECT_EQ(r.h2, 0.467);
  EXPECT_EQ(r.Status, StatusOk);
}

TEST(BoxCriticalDepth, FailsWhenItReachesTheHeight) {
  KeisanRecord small = Box(0.6, 0.6);
  CalcCriticalDepth(small, Flow(1.0));
  EXPECT_EQ(small.h2, 0.657);
  EXPECT_EQ(small.Status, StatusOutletOver);

  KeisanRecord exact = Box(1.0, 0.467);  // rounded h2 equals H
  CalcCriticalDepth(exact, Flow(1.0));
  EXPECT_EQ(exact.Status, StatusOutletOver);

  KeisanRecord low = Box(0.8, 0.8);
  CalcCriticalDepth(low, Flow(2.0));
  EXPECT_EQ(low.h2, 0.861);
  EXPECT_EQ(low.Status, StatusOutletOver);
}

TEST(PipeCriticalDepth, IsTheFirstAccumulatedTrialDepthThatCarriesQ) {
  KeisanRecord r = Pipe(1.0);
  CalcCriticalDepth(r, Flow(1.0));
  EXPECT_EQ(r.h2, 0.5740000000000004);  // 574 additions of 0.001
  EXPECT_EQ(r.Status, StatusOk);
}

TEST(PipeCriticalDepth, FailsWithTheFirstDepthNotBelowTheDiameter) {
  KeisanRecord r = Pipe(0.3);
  CalcCriticalDepth(r, Flow(1.0));
  EXPECT_EQ(r.h2, 0.3000000000000002);
  EXPECT_EQ(r.Status, StatusOutletOver);
}

TEST(PipeCriticalDepth, ATrialWhereSineRoundsToZeroEndsTheSearch) {
  // From 1.008 m up the accumulated depth stays just below D at the last
  // step, where sin(theta)/2 rounds to 0 and Qc would divide by zero.
  for (double D : {1.1, 2.0, 3.0}) {
    KeisanRecord r = Pipe(D);
    CalcCriticalDepth(r, Flow(1000.0));
    EXPECT_EQ(r.Status, StatusOutletOver) << D;
    EXPECT_TRUE(std::isfinite(r.h2)) << D;
    EXPECT_LT(r.h2, D) << D;
    EXPECT_GT(r.h2, D - 0.001) << D;
  }
}

// The pipe search as the formulas state it, every trial worked out: the
// reference for the search that passes over trials it has proven too small.
KeisanRecord EveryTrialSearch(double D, const DesignConditions& c) {
  auto r6 = [](double v) { return FormatRound(v, Pattern::Fixed6); };
  KeisanRecord rec = Pipe(D);
  const double KD = r6(std::pow(D, 5.0 / 2.0));
  const double Kg = r6(c.g / 128.0);
  double hc = 0.001;
  for (;;) {
    const double x = 1.0 - 2.0 * hc / D;
    const double s = std::sqrt(1.0 - std::pow(x, 2.0));
    const double theta = r6(2.0 * std::atan(1.0) + std::atan(-x / s));
    const double C = r6(2.0 * (1.0 - 2.0 * hc / D));
    const double ratio = hc / D;
    const double S = r6(std::sqrt(ratio - std::pow(ratio, 2.0)));
    const double T = r6(std::pow(theta - S * C, 3.0));
    const double Qc = r6(std::pow(Kg * T / S, 1.0 / 2.0) * KD);
    rec.h2 = hc;
    if (S == 0.0 || !std::isfinite(Qc)) {
      rec.Status = StatusOutletOver;
      return rec;
    }
    if (!(Qc < c.Q)) return rec;
    hc = hc + 0.001;
    if (!(hc < D)) {
      rec.h2 = hc;
      rec.Status = StatusOutletOver;
      return rec;
    }
  }
}

TEST(PipeCriticalDepth, PassingOverTrialsFindsTheDepthEveryTrialWouldFind) {
  for (const double g : {9.8, 9.81, 1.5}) {
    for (const double Q : {0.003, 0.2, 1.0, 1.5, 7.0, 40.0}) {
      DesignConditions c = Flow(Q);
      c.g = g;
      for (int i = 0; i < 90; ++i) {
        const double D = 0.05 + 0.0337 * i;
        KeisanRecord r = Pipe(D);
        CalcCriticalDepth(r, c);
        const KeisanRecord expected = EveryTrialSearch(D, c);
        ASSERT_EQ(r.h2, expected.h2) << "D " << D << " Q " << Q << " g " << g;
        ASSERT_EQ(r.Status, expected.Status) << "D " << D << " Q " << Q << " g " << g;
      }
    }
  }
}

}  // namespace
}  // namespace sekora
