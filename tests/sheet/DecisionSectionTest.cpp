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

TEST(DecisionSection, ComparesStoredValuesNotTheirTexts) {
  KeisanRecord box = BoxOneByOne();
  box.hReq = 0.9996;  // prints as 1.000, yet lies below H
  const std::string text = DecisionLine(DrawnSheet(box), 22).text;
  EXPECT_NE(text.find("=  1.000　＜　　設計断面高 H =  1.000m・・・ＯＫ"), std::string::npos)
      << text;
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
