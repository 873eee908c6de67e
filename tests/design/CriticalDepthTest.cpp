#include <gtest/gtest.h>

#include <cmath>

#include "CriticalDepth.h"
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

}  // namespace
}  // namespace sekora
