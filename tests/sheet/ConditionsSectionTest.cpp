// The frame of the sheet, the title and section 1, the design conditions.
#include <gtest/gtest.h>

#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

DesignConditions ConditionsWithQ(double q) {
  DesignConditions conditions = WorkedConditions();
  conditions.Q = q;
  return conditions;
}

double ConditionsRow(double b) {
  return GridY(kSection1Base, b);
}

TEST(SheetFrame, TitleAndHeadingStandAtTheirLines) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  ASSERT_FALSE(surface.texts.empty());
  EXPECT_TRUE(PrintedAt(surface.texts[0], 3 * kCharW, 2 * kLineH, 10.5, false));
  EXPECT_EQ(surface.texts[0].text, "函渠断面の決定");
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "１．設計条件"), GridX(2), 5 * kLineH, 10.5, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "２．吐口部限界水深の算出"), GridX(2), 14 * kLineH, 10.5,
                        false));
}

TEST(SheetFrame, PenIsThreeUnitsOnThePrinterOnlyAndTextsDoNotChange) {
  const RecordingSurface screen = DrawnSheet(PipeOne(), WorkedConditions(), 0);
  for (std::int16_t mode : {0, 1, 2, -1}) {
    const RecordingSurface surface = DrawnSheet(PipeOne(), WorkedConditions(), mode);
    ASSERT_EQ(surface.lines.size(), screen.lines.size());
    for (const DrawnLine& line : surface.lines) {
      ASSERT_EQ(line.width, mode == 1 ? 3 : 1) << "mode " << mode;
    }
    EXPECT_EQ(Joined(surface.texts), Joined(screen.texts));
  }
}

TEST(ConditionsSection, DischargeFillsItsFieldOfSixAndRaisesTheCube) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne(), ConditionsWithQ(1.5));
  EXPECT_TRUE(
      PrintedAt(TextNamed(surface, "計画流量(Q) "), GridX(3), ConditionsRow(5), 10.5, false));
  const PrintedText value = TextNamed(surface, " 1.500m /s");
  EXPECT_TRUE(PrintedAt(value, GridX(11.5), ConditionsRow(5), 10.5, false));
  // The "3" goes into the blank after " 1.500m", seven half-width characters on.
  const PrintedText cube = TextNamed(surface, "3");
  EXPECT_TRUE(PrintedAt(cube, GridX(11.5) + 7 * kCharW / 2, ConditionsRow(5), 5, false));
}

TEST(ConditionsSection, GravityRaisesTheSquareAfterItsUnit) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  const std::vector<PrintedText> row = TextsAtY(surface, ConditionsRow(7));
  ASSERT_EQ(row.size(), 7u);
  EXPECT_EQ(row[4].text, "重力加速度(g) ");
  EXPECT_TRUE(PrintedAt(row[5], GridX(43), ConditionsRow(7), 10.5, false));
  EXPECT_EQ(row[5].text, "9.800m/s");
  EXPECT_EQ(row[6].text, "2");
  EXPECT_TRUE(PrintedAt(row[6], GridX(43) + 8 * kCharW / 2, ConditionsRow(7), 5, false));
}

TEST(ConditionsSection, BoxRowShowsBothSizesInOnePrint) {
  KeisanRecord rec = BoxOneByOne();
  rec.B = 1.5;
  rec.H = 1.2;
  const RecordingSurface surface = DrawnSheet(rec);
  const std::vector<PrintedText> row = TextsAtY(surface, ConditionsRow(5));
  ASSERT_EQ(row.size(), 7u);
  EXPECT_TRUE(PrintedAt(row[3], GridX(17.5), ConditionsRow(5), 10.5, false));
  EXPECT_EQ(row[3].text, "函渠断面(B×H) ");
  EXPECT_TRUE(PrintedAt(row[4], GridX(25), ConditionsRow(5), 10.5, false));
  EXPECT_EQ(row[4].text, "1.500m×1.200m");
  EXPECT_EQ(row[5].text, "函渠長(L) ");
  EXPECT_TRUE(PrintedAt(row[6], GridX(42.5), ConditionsRow(5), 10.5, false));
  EXPECT_EQ(row[6].text, "10.000m");
}

TEST(ConditionsSection, PipeRowShowsTheDiameterFurtherRight) {
  const RecordingSurface surface = DrawnSheet(PipeOne());
  const std::vector<PrintedText> row = TextsAtY(surface, ConditionsRow(5));
  ASSERT_EQ(row.size(), 7u);
  EXPECT_EQ(row[3].text, "函渠断面(φ) ");
  EXPECT_TRUE(PrintedAt(row[4], GridX(27.5), ConditionsRow(5), 10.5, false));
  EXPECT_EQ(row[4].text, "1.000m");
}

TEST(ConditionsSection, InvertLevelsRoughnessAndAlphaInTheirColumns) {
  DesignConditions conditions = WorkedConditions();
  conditions.Z1 = 1.25;
  conditions.Z2 = -0.5;
  const RecordingSurface surface = DrawnSheet(BoxOneByOne(), conditions);
  const std::vector<PrintedText> levels = TextsAtY(surface, ConditionsRow(7));
  ASSERT_GE(levels.size(), 4u);
  EXPECT_EQ(levels[0].text, "呑口部敷高(Z1) ");
  EXPECT_EQ(levels[1].text, "1.250m");
  EXPECT_EQ(levels[1].x, GridX(13));
  EXPECT_EQ(levels[2].text, "吐口部敷高(Z2) ");
  EXPECT_EQ(levels[2].x, GridX(17.5));
  EXPECT_EQ(levels[3].text, "-0.500m");
  EXPECT_EQ(levels[3].x, GridX(27.5));

  // Pure numbers: no unit after the roughness coefficients and α.
  const std::vector<PrintedText> factors = TextsAtY(surface, ConditionsRow(9));
  ASSERT_EQ(factors.size(), 6u);
  const char* expected[] = {"呑口部粗度係数(n1) ", "0.020", "吐口部粗度係数(n2) ", "0.020",
                            "ｴﾈﾙｷﾞｰ補正係数(α) ",  "1.000"};
  const double columns[] = {3, 13, 17.5, 27.5, 33, 43};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(factors[i].text, expected[i]);
    EXPECT_EQ(factors[i].x, GridX(columns[i])) << expected[i];
  }
}

TEST(ConditionsSection, AValueTooLongForItsFieldIsPrintedWhole) {
  DesignConditions conditions = ConditionsWithQ(120.0);
  conditions.L = 1500.0;
  const RecordingSurface surface = DrawnSheet(BoxOneByOne(), conditions);
  EXPECT_EQ(TextNamed(surface, "120.000m /s").x, GridX(11.5));
  EXPECT_EQ(TextNamed(surface, "1500.000m").x, GridX(42.5));
}

}  // namespace
}  // namespace sekora::testing
