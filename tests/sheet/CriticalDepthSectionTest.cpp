// Section 2, the outlet critical depth, in its box and pipe variants.
#include <gtest/gtest.h>

#include "Paths.h"
#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

double Row(double b) {
  return GridY(kSection2Base, b);
}

// Width in CharW of `text` at `size` points: the pen's unit.
double Chars(const std::string& text, double size) {
  return WidthAt(text, size) / kCharW;
}

// The print right after `text` in drawing order.
PrintedText PrintAfter(const RecordingSurface& surface, const std::string& text) {
  for (std::size_t i = 0; i + 1 < surface.texts.size(); ++i) {
    if (surface.texts[i].text == text) return surface.texts[i + 1];
  }
  ADD_FAILURE() << "nothing printed after \"" << text << "\"";
  return {};
}

bool HasLine(const RecordingSurface& surface, double x, double y, double dx, double dy) {
  for (const DrawnLine& line : surface.lines) {
    if (std::abs(line.x1 - x) < 1e-6 && std::abs(line.y1 - y) < 1e-6 &&
        std::abs(line.x2 - line.x1 - dx) < 1e-6 && std::abs(line.y2 - line.y1 - dy) < 1e-6) {
      return true;
    }
  }
  return false;
}

TEST(CriticalDepthBox, FormulaLettersFollowTheirPens) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "以下の式より吐口部限界水深(h2)を求める"), GridX(3),
                        Row(13), 10.5, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "h2= "), GridX(4), Row(16), 12, true));
  const double p = Chars("h2= ", 12);
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, "h2= "), GridX(4 + p), Row(15.3), 6, true));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "Q"), GridX(5.25 + p), Row(15.5), 12, true));
  EXPECT_TRUE(
      PrintedAt(PrintAfter(surface, "Q"), GridX(5.55 + p + Chars("Q", 12)), Row(15.5), 6, true));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "gB"), GridX(5 + p), Row(16.5), 12, true));
  // The pen passes gB as measured upright at 10.5 pt, as the square of B is set upright.
  const double afterGB = p + Chars("gB", 10.5);
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, "gB"), GridX(5.5 + afterGB), Row(16.5), 6, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "よって、"), GridX(6 + afterGB + Chars("2", 6)), Row(16),
                        10.5, false));
  // The bar under the first root begins half a line height right of its column.
  EXPECT_TRUE(HasLine(surface, GridX(4.5 + p) + kLineH / 2, Row(16.55), 1.5 * kCharW, 0));
}

TEST(CriticalDepthBox, NumbersUnderTheRootAndTheStoredDepth) {
  KeisanRecord rec = BoxOneByOne();
  rec.B = 1.5;
  const RecordingSurface surface = DrawnSheet(rec);
  const PrintedText denominator = TextNamed(surface, "9.800×1.500");
  EXPECT_EQ(denominator.size, 12);
  EXPECT_TRUE(denominator.italic);
  EXPECT_EQ(denominator.y, Row(16.5));
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, "9.800×1.500"),
                        denominator.x + WidthAt("9.800×1.500", 12) + kCharW / 2, Row(16.5), 6,
                        true));

  const PrintedText numerator = TextNamed(surface, " 1.000");
  EXPECT_EQ(numerator.y, Row(15.5));
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, " 1.000"),
                        numerator.x + WidthAt(" 1.000", 12) + 0.3 * kCharW, Row(15.5), 6, true));

  const PrintedText depth = TextNamed(surface, "=  0.467m");
  EXPECT_TRUE(PrintedAt(depth, depth.x, Row(16), 12, true));
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, "=  0.467m"), depth.x + WidthAt("=  0.467m", 12),
                        Row(16), 12, false));
  EXPECT_EQ(PrintAfter(surface, "=  0.467m").text, "となる");
}

TEST(CriticalDepthBox, AreaAndVelocityLinesEndOnRowTwenty) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  const std::string area = "このときの吐口部流積(A2)は、A2 = B・h2 =0.467m";
  EXPECT_TRUE(PrintedAt(TextNamed(surface, area + " であるので函内流速は"), GridX(3), Row(19), 10.5,
                        false));
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, area + " であるので函内流速は"),
                        GridX(3) + WidthAt(area, 10.5), Row(19), 6, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "Q = A2・V2より、V2 =1.000/0.467= 2.141m/sとなる"),
                        GridX(3), Row(20), 10.5, false));
  // Section 3 begins three lines below, on its RowBase 22 from the next base.
  EXPECT_EQ(TextNamed(surface, "３．呑口部での水深算出").y, GridY(kSection3Base, 22));
}

TEST(CriticalDepthPipe, ResultsAndAreaFormulasDownToRowTwentySix) {
  const RecordingSurface surface = DrawnSheet(PipeOne());
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "以下の式から試行計算より吐口部限界水深(h2)を求める"),
                        GridX(3), Row(13), 10.5, false));
  EXPECT_TRUE(
      PrintedAt(TextNamed(surface, "上記の式より計画流量(Q)に対応する水深は 0.574mとなった"),
                GridX(3), Row(20), 10.5, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "このときの吐口部流積(A2)は、右式より"), GridX(3),
                        Row(22), 10.5, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "A2 =0.467m となるので函内流速は"), GridX(3), Row(24),
                        10.5, false));
  EXPECT_TRUE(PrintedAt(PrintAfter(surface, "A2 =0.467m となるので函内流速は"),
                        GridX(3) + WidthAt("A2 =0.467m", 10.5), Row(24), 6, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "Q = A2・V2より、V2 =1.000/0.467= 2.141m/sとなる"),
                        GridX(3), Row(26), 10.5, false));

  EXPECT_TRUE(
      PrintedAt(TextNamed(surface, "y = r・cosθ , θ=Arccos "), GridX(32), Row(22), 10.5, true));
  const double afterHalf = Chars("A = ", 10.5) + Chars("2", 10.5);
  EXPECT_TRUE(
      PrintedAt(TextNamed(surface, "(Φ-sinΦ)"), GridX(32 + afterHalf), Row(24), 10.5, true));
  // The square of r/2 stands right after the fraction, level with its numerator.
  const std::vector<PrintedText> numeratorRow = TextsAtY(surface, Row(23.5));
  ASSERT_EQ(numeratorRow.size(), 2u);
  EXPECT_EQ(numeratorRow[0].text, "r");
  EXPECT_EQ(numeratorRow[1].text, "2");
  EXPECT_TRUE(PrintedAt(numeratorRow[1], GridX(32 + afterHalf), Row(23.5), 6, true));

  EXPECT_EQ(TextNamed(surface, "３．呑口部での水深算出").y, GridY(kSection3Base, 28));
}

TEST(CriticalDepthPipe, FormulaIsBuiltFromBracketsRootsAndRatios) {
  const RecordingSurface surface = DrawnSheet(PipeOne());
  EXPECT_EQ(TextsNamed(surface, "hc").size(), 6u);
  EXPECT_EQ(TextsNamed(surface, "1-2 ").size(), 2u);

  // The long bar parts the cubed bracket from the root below it.
  const double p = 1.5 + Chars(" = ", 12) + 1 + 1.5 * Chars("128", 12);
  EXPECT_TRUE(HasLine(surface, GridX(4 + p), Row(16.55), 23.5 * kCharW, 0));
  // The root of the denominator starts at the pen reset to 13.
  EXPECT_TRUE(HasLine(surface, GridX(17), Row(18), 0.1 * kCharW, -0.5 * kLineH));

  int tall = 0, middle = 0, small = 0;
  for (const DrawnLine& line : surface.lines) {
    if (line.x1 != line.x2) continue;
    const double height = (line.y2 - line.y1) / kLineH;
    tall += std::abs(height - 4) < 1e-9;
    middle += std::abs(height - 1.8) < 1e-9;
    small += std::abs(height - 1.5) < 1e-9;
  }
  EXPECT_EQ(tall, 2) << "the outer pair of brackets";
  EXPECT_EQ(middle, 6) << "Arccos( ), two ( 1-2 hc/D ) and the cube's bracket";
  EXPECT_EQ(small, 4) << "the squared ratio, above and below the bar";
}

TEST(CriticalDepthSection, FiguresLandOnRowTwelve) {
  const RecordingSurface box = DrawnSheet(BoxOneByOne());
  ASSERT_EQ(box.pictures.size(), 2u);
  EXPECT_EQ(box.pictures[0].path, JoinPath(kFigureFolder, "矩寸法.wmf"));
  EXPECT_EQ(box.pictures[0].x, GridX(38));
  EXPECT_EQ(box.pictures[0].y, Row(12));

  const RecordingSurface pipe = DrawnSheet(PipeOne());
  ASSERT_EQ(pipe.pictures.size(), 2u);
  EXPECT_EQ(pipe.pictures[0].path, JoinPath(kFigureFolder, "円寸法.wmf"));
  EXPECT_EQ(pipe.pictures[0].x, GridX(36));
  EXPECT_EQ(pipe.pictures[0].y, Row(12));
}

TEST(CriticalDepthSection, IsDrawnForAFailedRecordWithZeros) {
  KeisanRecord rec;
  rec.Status = StatusOutletOver;
  rec.B = 0.8;
  rec.H = 0.8;
  const RecordingSurface surface = DrawnSheet(rec);
  EXPECT_EQ(TextNamed(surface, "Q = A2・V2より、V2 =1.000/0.000= 0.000m/sとなる").y, Row(20));
  EXPECT_EQ(TextNamed(surface, "=  0.000m").y, Row(16));
}

}  // namespace
}  // namespace sekora::testing
