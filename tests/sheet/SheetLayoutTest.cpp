#include <gtest/gtest.h>

#include "SheetLayout.h"
#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

TEST(SheetLayoutValueField, PadsShortValuesWithBlanksOnTheLeft) {
  EXPECT_EQ(ValueField(1.5, 6), " 1.500");
  EXPECT_EQ(ValueField(1.5, 5), "1.500");
  EXPECT_EQ(ValueField(0.0, 6), " 0.000");
  EXPECT_EQ(ValueField(10.0, 5, Pattern::Fixed2), "10.00");
  EXPECT_EQ(ValueField(0.19, 5, Pattern::Fixed2), " 0.19");
  EXPECT_EQ(ValueField(0.00467, 8, Pattern::Fixed5), " 0.00467");
}

TEST(SheetLayoutValueField, KeepsEveryCharacterOfALongerValue) {
  EXPECT_EQ(ValueField(123.456, 6), "123.456");
  EXPECT_EQ(ValueField(-1.25, 5), "-1.250");
  EXPECT_EQ(ValueField(100.0, 5, Pattern::Fixed2), "100.00");
}

TEST(SheetLayoutUnits, AreMeasuredInTheBodyFont) {
  RecordingSurface surface;
  surface.SetFontSize(6.0);
  surface.SetFontItalic(true);
  SheetLayout sheet(surface);
  ASSERT_EQ(surface.typefaces.size(), 1u);
  EXPECT_EQ(surface.typefaces[0], "ＭＳ 明朝");
  EXPECT_EQ(surface.FontSize(), 10.5);
  EXPECT_FALSE(surface.FontItalic());
  EXPECT_EQ(sheet.CharW(), kCharW);
  EXPECT_EQ(sheet.LineH(), kLineH);
  EXPECT_EQ(sheet.BaseX(), 2 * kCharW);
  EXPECT_EQ(sheet.BaseY(), 2 * kLineH);
  EXPECT_TRUE(surface.texts.empty()) << "the probe characters are only measured";
}

TEST(SheetLayoutPrimitives, RadicalSignIsFourChainedStrokesEndingInTheVinculum) {
  RecordingSurface surface;
  SheetLayout sheet(surface);
  sheet.RadicalSign(4, 16, 7);
  ASSERT_EQ(surface.lines.size(), 4u);
  EXPECT_DOUBLE_EQ(surface.lines[0].x1, GridX(4));
  EXPECT_DOUBLE_EQ(surface.lines[0].y1, GridY(2, 16.5));
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(surface.lines[i].x1, surface.lines[i - 1].x2) << "stroke " << i;
    EXPECT_DOUBLE_EQ(surface.lines[i].y1, surface.lines[i - 1].y2) << "stroke " << i;
  }
  EXPECT_DOUBLE_EQ(surface.lines[1].y2, GridY(2, 17.5));
  const DrawnLine& vinculum = surface.lines[3];
  EXPECT_NEAR(vinculum.x1, GridX(4.5), 1e-9);
  EXPECT_NEAR(vinculum.y1, GridY(2, 15.5), 1e-9);
  EXPECT_NEAR(vinculum.x2 - vinculum.x1, 7 * kCharW, 1e-9);
  EXPECT_EQ(vinculum.y2, vinculum.y1);
}

TEST(SheetLayoutPrimitives, BracketSerifsTurnInwards) {
  RecordingSurface surface;
  SheetLayout sheet(surface);
  sheet.DrawnBracket(10, 14.5, 4, BracketSide::Opening);
  sheet.DrawnBracket(20, 14.5, 1.8, BracketSide::Closing);
  ASSERT_EQ(surface.lines.size(), 6u);
  const DrawnLine& stroke = surface.lines[0];
  EXPECT_DOUBLE_EQ(stroke.x1, GridX(10));
  EXPECT_DOUBLE_EQ(stroke.x2, GridX(10));
  EXPECT_DOUBLE_EQ(stroke.y2 - stroke.y1, 4 * kLineH);
  EXPECT_DOUBLE_EQ(surface.lines[1].x2 - surface.lines[1].x1, 0.25 * kCharW);
  EXPECT_DOUBLE_EQ(surface.lines[2].y1, stroke.y2);
  EXPECT_DOUBLE_EQ(surface.lines[2].x2 - surface.lines[2].x1, 0.25 * kCharW);
  EXPECT_DOUBLE_EQ(surface.lines[4].x2 - surface.lines[4].x1, -0.25 * kCharW);
  EXPECT_DOUBLE_EQ(surface.lines[5].x2 - surface.lines[5].x1, -0.25 * kCharW);
}

TEST(SheetLayoutPrimitives, SlantExponentSetsBothDigitsSmallAroundTheStroke) {
  RecordingSurface surface;
  SheetLayout sheet(surface);
  sheet.UseFormulaFont();
  sheet.SlantExponent("5", {5, 16.5}, "2", {5.3, 16.8}, {5.55, 16.7});
  ASSERT_EQ(surface.texts.size(), 2u);
  EXPECT_TRUE(PrintedAt(surface.texts[0], GridX(5), GridY(2, 16.5), 6, true));
  EXPECT_TRUE(PrintedAt(surface.texts[1], GridX(5.3), GridY(2, 16.8), 6, true));
  ASSERT_EQ(surface.lines.size(), 1u);
  EXPECT_DOUBLE_EQ(surface.lines[0].x1, GridX(5.55));
  EXPECT_DOUBLE_EQ(surface.lines[0].x2 - surface.lines[0].x1, -0.5 * kCharW);
  EXPECT_DOUBLE_EQ(surface.lines[0].y2 - surface.lines[0].y1, 0.5 * kLineH);
  EXPECT_EQ(surface.FontSize(), 12.0);
}

}  // namespace
}  // namespace sekora::testing
