// The usable-height check: a supercritical inlet checked on the critical
// depth, the required height judged as the results file writes it, and the
// note on the friction factors' rounding.
#include <gtest/gtest.h>

#include "FreeboardCheck.h"
#include "KeisanFile.h"
#include "NumberText.h"
#include "RunDesign.h"
#include "Sections.h"

namespace sekora {
namespace {

using testing::Box;
using testing::Conditions;
using testing::Design;
using testing::Pipe;

// The inlet 0.444 m above the outlet: E1 > E2 already at h1 = h2, so the
// search walks down from the critical depth.
DesignConditions SteepConditions() {
  return Conditions(3.3224, 20.104, 0.974, 0.53);
}

TEST(SteepRule, AnInletBalancedBelowTheCriticalDepthIsCheckedOnIt) {
  // The box 1.2 × 1.0 balances at h1 = 0.222 with 12.5 m/s; the critical
  // depth 0.921 with its freeboard 0.1 does not fit under 1.0.
  const KeisanRecord r = Design(Box(1.2, 1.0), SteepConditions());
  EXPECT_EQ(r.Status, StatusFreeboardOver);
  EXPECT_NEAR(r.h1, 0.222, 1e-9);  // the balance itself is kept
  EXPECT_EQ(r.V1, 12.49);
  EXPECT_EQ(r.h2, 0.921);
  EXPECT_EQ(r.E1, 9.155);
  EXPECT_EQ(r.E2, 9.155);
  EXPECT_DOUBLE_EQ(r.hReq, 0.1 + 0.921);
  EXPECT_TRUE(ChecksOnCriticalDepth(r));
  // The results file keeps its 25 fields; the record read back tells the same.
  EXPECT_EQ(ResultsLine(r),
            "4,0,1.200,1.000,0.000,0.020,0.020,0.222,0.266,1.644,0.162,12.490,0.921,1.105,3.042,"
            "0.363,3.007,110.957,0.06401,0.00127,7.243,9.155,9.155,0.000,1.021");
  const KeisanRecord written = RecordAsWritten(r);
  EXPECT_TRUE(ChecksOnCriticalDepth(written));
  EXPECT_EQ(CheckedInletDepth(written), 0.921);
}

TEST(SteepRule, BoxesAndPipesThatStillFitOnTheCriticalDepthPass) {
  // The taller boxes of the same width balance at the same depths and have
  // room for the critical depth.
  for (const double H : {1.2, 1.5}) {
    const KeisanRecord box = Design(Box(1.2, H), SteepConditions());
    EXPECT_EQ(box.Status, StatusOk) << H;
    EXPECT_TRUE(ChecksOnCriticalDepth(box));
    EXPECT_DOUBLE_EQ(box.hReq, (1.0 - 0.9) * H + 0.921);
  }
  const KeisanRecord wide = Design(Box(3.5, 2.0), SteepConditions());
  EXPECT_EQ(wide.Status, StatusOk);
  EXPECT_NEAR(wide.h1, 0.175, 1e-9);
  EXPECT_EQ(wide.h2, 0.451);
  EXPECT_DOUBLE_EQ(wide.hReq, 0.2 + 0.451);

  // A pipe of 1.2 m with Q = 1, L = 60 and the inlet 0.4 m up balances at
  // 0.207, below its critical depth 0.542.
  const KeisanRecord pipe = Design(Pipe(1.2), Conditions(1.0, 60.0, 0.4));
  EXPECT_EQ(pipe.Status, StatusOk);
  EXPECT_TRUE(ChecksOnCriticalDepth(pipe));
  EXPECT_NEAR(pipe.h1, 0.207, 1e-9);
  EXPECT_DOUBLE_EQ(pipe.hReq, (1.0 - 0.81) * 1.2 + pipe.h2);
  EXPECT_EQ(FormatRound(pipe.hReq, Pattern::Fixed3), 0.77);
}

TEST(SteepRule, APipeWhoseCriticalDepthLeavesNoFreeboardFails) {
  // φ0.520 with Q = 0.5, L = 60 and the inlet 0.5 m up: h1 0.361 plus the
  // freeboard would fit, the critical depth 0.467 plus it does not.
  const KeisanRecord pipe = Design(Pipe(0.52), Conditions(0.5, 60.0, 0.5));
  EXPECT_TRUE(ChecksOnCriticalDepth(pipe));
  EXPECT_EQ(pipe.Status, StatusFreeboardOver);
  EXPECT_NEAR(pipe.h1, 0.361, 1e-9);
  EXPECT_EQ(FormatRound(pipe.hReq, Pattern::Fixed3), 0.566);
  EXPECT_LT((1.0 - 0.81) * 0.52 + pipe.h1, 0.52);
}

TEST(SteepRule, ABalanceExactlyAtTheCriticalDepthIsUnchanged) {
  // Q = 25, L = 100, φ3.000: the friction factors round to zero and the
  // balance holds at h1 = h2 = 2.193.
  const KeisanRecord r = Design(Pipe(3.0), Conditions(25.0, 100.0));
  EXPECT_EQ(r.Status, StatusOk);
  EXPECT_EQ(r.h1, r.h2);
  EXPECT_FALSE(ChecksOnCriticalDepth(r));
  EXPECT_DOUBLE_EQ(r.hReq, (1.0 - 0.81) * 3.0 + r.h1);
  // And a search that swung to its limit below h2 never reached the check.
  const KeisanRecord swung = Design(Box(1.0, 1.0), Conditions(0.5, 10.0, 0.5));
  EXPECT_EQ(swung.Status, StatusInletNotFound);
  EXPECT_LT(swung.h1, swung.h2);
  EXPECT_FALSE(ChecksOnCriticalDepth(swung));
  EXPECT_EQ(swung.hReq, 0.0);
}

// Box 1.0 × 1.0 with Q = 1, L = 10 balances at h1 = 0.673; the usable-height
// ratio sets how close hReq comes to H = 1.
KeisanRecord BoxOneByOneWithRatio(double ratio) {
  DesignConditions c = Conditions(1.0, 10.0);
  c.BoxRatio = ratio;
  return Design(Box(1.0, 1.0), c);
}

TEST(RoundedUsableHeight, AMarginUnderHalfAMillimetreIsNg) {
  // hReq 0.99951: the file writes 1.000, as high as H.
  const KeisanRecord under = BoxOneByOneWithRatio(0.67349);
  EXPECT_NEAR(under.hReq, 0.99951, 1e-9);
  EXPECT_EQ(under.Status, StatusFreeboardOver);
  EXPECT_EQ(ResultsLine(under).substr(ResultsLine(under).size() - 6), ",1.000");
  // hReq 0.99949: the file writes 0.999, which fits.
  const KeisanRecord over = BoxOneByOneWithRatio(0.67351);
  EXPECT_NEAR(over.hReq, 0.99949, 1e-9);
  EXPECT_EQ(over.Status, StatusOk);
  EXPECT_EQ(ResultsLine(over).substr(ResultsLine(over).size() - 6), ",0.999");
}

TEST(RoundedUsableHeight, TheRowThatWasListedOkWithItsSheetNg) {
  // Q = 8.753, L = 29.651, box 2.0 × 2.0: h1 = 1.800 and hReq 1.99999…,
  // written as 2.000.
  const KeisanRecord r = Design(Box(2.0, 2.0), Conditions(8.753, 29.651));
  EXPECT_LT(r.hReq, 2.0);
  EXPECT_EQ(r.Status, StatusFreeboardOver);
  EXPECT_FALSE(FitsUsableHeight(RecordAsWritten(r).hReq, RecordAsWritten(r).H));
}

TEST(RoundedUsableHeight, BothSidesAreJudgedWithThreeDecimals) {
  EXPECT_TRUE(FitsUsableHeight(0.99949, 1.0));
  EXPECT_FALSE(FitsUsableHeight(0.9995, 1.0));
  EXPECT_FALSE(FitsUsableHeight(1.0, 1.0));
  // A diameter given with four decimals is judged as the file writes it.
  EXPECT_FALSE(FitsUsableHeight(0.6002, 0.6004));
  EXPECT_TRUE(FitsUsableHeight(0.6002, 0.6006));
}

TEST(FrictionRoundingNote, FromHalfACentimetreOn) {
  KeisanRecord r;
  r.FricQL = 500.0;  // Q = 10, L = 10: 500 × 0.00001 = 0.005 m
  EXPECT_TRUE(HasFrictionRoundingNote(r));
  EXPECT_DOUBLE_EQ(FrictionRoundingBound(r), 0.005);
  r.FricQL = 499.999;
  EXPECT_FALSE(HasFrictionRoundingNote(r));
  EXPECT_FALSE(HasFrictionRoundingNote(KeisanRecord{}));  // the search never ran

  EXPECT_TRUE(HasFrictionRoundingNote(Design(Box(2.0, 2.0), Conditions(10.0, 10.0))));
  EXPECT_FALSE(HasFrictionRoundingNote(Design(Box(2.0, 2.0), Conditions(10.0, 9.999))));
  // The note says so; the verdict stays the method's.
  const KeisanRecord large = Design(Pipe(3.0), Conditions(25.0, 100.0));
  EXPECT_EQ(large.FricQL, 31250.0);
  EXPECT_EQ(large.Fric1 + large.Fric2, 0.0);
  EXPECT_TRUE(HasFrictionRoundingNote(large));
  EXPECT_EQ(large.Status, StatusOk);
}

}  // namespace
}  // namespace sekora
