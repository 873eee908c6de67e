// Section 4, the decision line ending in ＯＫ or ＮＧ.
#include <gtest/gtest.h>

#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

// The text printed at column 3 on the decision row of a sheet with `rowBase`.
PrintedText DecisionLine(const RecordingSurface& surface, double rowBase) {
  const std::vector<PrintedText> row = TextsAtY(surface, GridY(kSection4Base, rowBase + 36));
  if (row.size() != 1) {
    ADD_FAILURE() << row.size() << " prints on the decision row";
    return {};
  }
  return row[0];
}

TEST(DecisionSection, WorkedBoxOneByOneIsOk) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "４．断面の決定"), GridX(2), GridY(kSection4Base, 56),
                        10.5, false));
  const PrintedText line = DecisionLine(surface, 22);
  EXPECT_TRUE(PrintedAt(line, GridX(3), GridY(kSection4Base, 58), 10.5, false));
  EXPECT_EQ(
      line.text,
      "H×0.100 + H1 =  1.000×0.100 +  0.673 =  0.773　＜　　設計断面高 H =  1.000m・・・ＯＫ");
}

TEST(DecisionSection, WorkedBoxPointEightIsNg) {
  const RecordingSurface surface = DrawnSheet(BoxPointEight());
  EXPECT_EQ(DecisionLine(surface, 22).text,
            "H×0.100 + H1 =  0.800×0.100 +  0.790 =  0.870　≧　　設計断面高 H =  0.800m・・・ＮＧ");
}

TEST(DecisionSection, WorkedPipeShowsTheFactorWithTwoDecimals) {
  const RecordingSurface surface = DrawnSheet(PipeOne());
  EXPECT_EQ(TextNamed(surface, "４．断面の決定").y, GridY(kSection4Base, 62));
  EXPECT_EQ(
      DecisionLine(surface, 28).text,
      "φ× 0.19 + H1 =  1.000× 0.19 +  0.663 =  0.853　＜　　設計断面高 H =  1.000m・・・ＯＫ");
}

TEST(DecisionSection, RequiredHeightEqualToTheSectionIsNg) {
  KeisanRecord box = BoxOneByOne();
  box.hReq = 1.0;
  EXPECT_EQ(DecisionLine(DrawnSheet(box), 22).text,
            "H×0.100 + H1 =  1.000×0.100 +  0.673 =  1.000　≧　　設計断面高 H =  1.000m・・・ＮＧ");

  KeisanRecord pipe = PipeOne();
  pipe.hReq = pipe.D;
  const std::string text = DecisionLine(DrawnSheet(pipe), 28).text;
  EXPECT_NE(text.find("　≧　　設計断面高 H =  1.000m・・・ＮＧ"), std::string::npos) << text;
}

TEST(DecisionSection, JudgesTheRequiredHeightAsItIsPrinted) {
  // A record whose hReq lay below H by less than half a millimetre: it
  // prints as H, so the sheet must not say ＯＫ beside it.
  KeisanRecord box = BoxOneByOne();
  box.hReq = 0.9996;
  EXPECT_EQ(DecisionLine(DrawnSheet(box), 22).text,
            "H×0.100 + H1 =  1.000×0.100 +  0.673 =  1.000　≧　　設計断面高 H =  1.000m・・・ＮＧ");
  box.hReq = 0.9994;
  const std::string text = DecisionLine(DrawnSheet(box), 22).text;
  EXPECT_NE(text.find("=  0.999　＜　　設計断面高 H =  1.000m・・・ＯＫ"), std::string::npos)
      << text;
}

TEST(DecisionSection, ASupercriticalInletIsCheckedOnTheCriticalDepth) {
  const RecordingSurface surface = DrawnSheet(SteepBox());
  const PrintedText reason = DecisionLine(surface, 22);
  EXPECT_EQ(reason.text, "h1 ＜ h2（射流）のため、呑口水深は限界水深 h2 とする");
  EXPECT_TRUE(PrintedAt(reason, GridX(3), GridY(kSection4Base, 58), 10.5, false));
  const std::vector<PrintedText> line = TextsAtY(surface, GridY(kSection4Base, 59));
  ASSERT_EQ(line.size(), 1u);
  EXPECT_TRUE(PrintedAt(line[0], GridX(3), GridY(kSection4Base, 59), 10.5, false));
  EXPECT_EQ(line[0].text,
            "H×0.100 + H2 =  1.000×0.100 +  0.921 =  1.021　≧　　設計断面高 H =  1.000m・・・ＮＧ");

  // A pipe that fits on its critical depth: φ1.200 with h1 0.207 < h2 0.542.
  KeisanRecord pipe = PipeOne();
  pipe.D = 1.2;
  pipe.h1 = 0.207;
  pipe.h2 = 0.542;
  pipe.hReq = 0.77;
  const RecordingSurface pipeSheet = DrawnSheet(pipe);
  EXPECT_EQ(DecisionLine(pipeSheet, 28).text,
            "h1 ＜ h2（射流）のため、呑口水深は限界水深 h2 とする");
  EXPECT_EQ(
      Joined(TextsAtY(pipeSheet, GridY(kSection4Base, 28 + 37))),
      "φ× 0.19 + H2 =  1.200× 0.19 +  0.542 =  0.770　＜　　設計断面高 H =  1.200m・・・ＯＫ");
}

TEST(DecisionSection, AnInletAtOrAboveTheCriticalDepthKeepsItsLine) {
  // Balanced exactly at h2: the usual line, nothing above or below it.
  KeisanRecord atCritical = BoxOneByOne();
  atCritical.h1 = atCritical.h2;
  atCritical.hReq = 0.567;
  const RecordingSurface surface = DrawnSheet(atCritical);
  const std::string line = DecisionLine(surface, 22).text;
  EXPECT_EQ(line.rfind("H×0.100 + H1 =  1.000×0.100 +  0.467 =  0.567", 0), 0u) << line;
  EXPECT_TRUE(TextsAtY(surface, GridY(kSection4Base, 59)).empty());
  // A search that never balanced is not drawn with a reason: its sheet is
  // refused before it is drawn, and the record says nothing of a check.
  KeisanRecord swung = SteepBox();
  swung.Status = StatusInletNotFound;
  const std::string swungLine = DecisionLine(DrawnSheet(swung), 22).text;
  EXPECT_EQ(swungLine.rfind("H×0.100 + H1 = ", 0), 0u) << swungLine;
}

TEST(DecisionSection, FrictionRoundingNoteFromHalfACentimetre) {
  // Q = 25, L = 100, φ3.000: hf 0.000 from factors that round to 0.00000.
  KeisanRecord pipe = PipeOne();
  pipe.D = 3.0;
  pipe.h1 = 2.193;
  pipe.h2 = 2.193;
  pipe.FricQL = 31250.0;
  pipe.Fric1 = 0.0;
  pipe.Fric2 = 0.0;
  pipe.hf = 0.0;
  pipe.hReq = 2.763;
  const RecordingSurface surface = DrawnSheet(pipe);
  const std::vector<PrintedText> note = TextsAtY(surface, GridY(kSection4Base, 28 + 37));
  ASSERT_EQ(note.size(), 1u);
  EXPECT_TRUE(PrintedAt(note[0], GridX(3), GridY(kSection4Base, 65), 10.5, false));
  EXPECT_EQ(
      note[0].text,
      "注）hf は係数を小数5桁に丸めて求めたため、最大 31250.000×0.00001 = 0.313m の誤差を含む");
  EXPECT_NE(DecisionLine(surface, 28).text.find("・・・ＯＫ"), std::string::npos);

  // At the threshold FricQL × 0.00001 = 0.005 m, and just below it.
  KeisanRecord box = BoxOneByOne();
  box.FricQL = 500.0;
  EXPECT_EQ(Joined(TextsAtY(DrawnSheet(box), GridY(kSection4Base, 22 + 37))),
            "注）hf は係数を小数5桁に丸めて求めたため、最大 500.000×0.00001 = 0.005m の誤差を含む");
  box.FricQL = 499.999;
  EXPECT_TRUE(TextsAtY(DrawnSheet(box), GridY(kSection4Base, 22 + 37)).empty());

  // Below a supercritical inlet's decision line.
  KeisanRecord steep = SteepBox();
  steep.FricQL = 1135.856;
  const std::string steepNote = Joined(TextsAtY(DrawnSheet(steep), GridY(kSection4Base, 22 + 38)));
  EXPECT_EQ(steepNote.rfind("注）", 0), 0u) << steepNote;
  EXPECT_NE(steepNote.find("1135.856×0.00001 = 0.011m"), std::string::npos) << steepNote;
}

TEST(DecisionSection, FactorFollowsTheHeldRatios) {
  DesignConditions conditions = WorkedConditions();
  conditions.BoxRatio = 0.85;
  conditions.CircleRatio = 0.75;
  const std::string box = DecisionLine(DrawnSheet(BoxOneByOne(), conditions), 22).text;
  EXPECT_EQ(box.rfind("H×0.150 + H1 =  1.000×0.150 + ", 0), 0u) << box;
  const std::string pipe = DecisionLine(DrawnSheet(PipeOne(), conditions), 28).text;
  EXPECT_EQ(pipe.rfind("φ× 0.25 + H1 =  1.000× 0.25 + ", 0), 0u) << pipe;
}

}  // namespace
}  // namespace sekora::testing
