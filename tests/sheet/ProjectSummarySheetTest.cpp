// The project summary pages: one line per culvert with its conditions and
// recommended sections, long names cut to their column, wide values pushing
// the columns after them, the table split over pages, the sign-off block.
#include <gtest/gtest.h>

#include "ProjectSummarySheet.h"
#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

// The first culvert's line on the first page and on a later one, counted in
// LineH from the top of the page.
constexpr double kFirstRow = 2.0 + 8.0;
constexpr double kLaterFirstRow = 2.0 + 5.0;

std::string RowText(const RecordingSurface& surface, double lines) {
  return Joined(TextsAtY(surface, lines * kLineH));
}

RecordingSurface DrawnPage(const std::vector<ProjectSummaryRow>& rows, int page) {
  RecordingSurface surface;
  DrawProjectSummaryPage(surface, 1, rows, page);
  return surface;
}

ProjectSummaryRow Culvert(const std::string& name) {
  ProjectSummaryRow row;
  row.name = name;
  row.Q = 1.0;
  row.L = 10.0;
  row.okCount = 4;
  row.candidateCount = 6;
  row.box = ProjectSection{BoxOneByOne(), 22.7};
  row.pipe = ProjectSection{PipeOne(), 14.7};
  return row;
}

TEST(ProjectSummarySheet, OneLinePerCulvertWithItsConditionsAndRecommendedSections) {
  ProjectSummaryRow none = Culvert("C-2");
  none.Q = 6.5;
  none.L = 45.25;
  none.Z1 = 0.2;
  none.Z2 = -0.15;
  none.okCount = 0;
  none.box.reset();
  none.pipe.reset();
  const RecordingSurface page = DrawnPage({Culvert("C-1"), none}, 0);
  EXPECT_EQ(RowText(page, kFirstRow - 1), "No名前QLZ1Z2形状ＯＫ数推奨Box余裕%推奨管余裕%注");
  EXPECT_EQ(RowText(page, kFirstRow),
            "   1C-1  1.000 10.000 0.000 0.000両方    4/61.000×1.000 22.70φ1.000 14.70");
  EXPECT_EQ(RowText(page, kFirstRow + 1), "   2C-2  6.500 45.250 0.200-0.150両方    0/6なしなし");
  EXPECT_EQ(RowText(page, kFirstRow + 3), "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
  EXPECT_EQ(RowText(page, kFirstRow + 4),
            "余裕%：断面高から必要高を引いた高さの断面高に対する割合");
  // Rules above and below the headings and under the last line, the printer's pen.
  EXPECT_EQ(page.lines[0].width, 3);
  EXPECT_DOUBLE_EQ(page.lines[2].y1, (kFirstRow + 2) * kLineH);
}

TEST(ProjectSummarySheet, AShapeOutsideTheRunIsNotCalculatedNotNone) {
  ProjectSummaryRow pipes = Culvert("P");
  pipes.shapeOption = ShapePipeOnly;
  pipes.box.reset();
  ProjectSummaryRow boxes = Culvert("B");
  boxes.shapeOption = ShapeBoxOnly;
  boxes.pipe.reset();
  boxes.box.reset();
  const RecordingSurface page = DrawnPage({pipes, boxes}, 0);
  EXPECT_EQ(RowText(page, kFirstRow), "   1P  1.000 10.000 0.000 0.000管    4/6対象外φ1.000 14.70");
  EXPECT_EQ(RowText(page, kFirstRow + 1), "   2B  1.000 10.000 0.000 0.000Box    4/6なし対象外");
  EXPECT_EQ(RowText(page, kFirstRow + 6),
            "なし：ＯＫの断面がない　対象外：その形状は計算していない");
}

TEST(ProjectSummarySheet, ALongNameIsCutAndAWideValueMovesTheColumnsAfterIt) {
  const RecordingSurface cut = DrawnPage({Culvert("一二三四五六七八九十")}, 0);
  const std::vector<PrintedText> row = TextsAtY(cut, kFirstRow * kLineH);
  ASSERT_GE(row.size(), 2u);
  EXPECT_EQ(row[1].text, "一二三四五…");
  EXPECT_EQ(TextsAtY(DrawnPage({Culvert("一二三四五六")}, 0), kFirstRow * kLineH)[1].text,
            "一二三四五六");

  ProjectSummaryRow large = Culvert("L");
  large.Q = 1234.5;  // eight characters in a field of seven
  const RecordingSurface wide = DrawnPage({large}, 0);
  const std::vector<PrintedText> values = TextsAtY(wide, kFirstRow * kLineH);
  ASSERT_GE(values.size(), 4u);
  EXPECT_EQ(values[2].text, "1234.500");
  EXPECT_DOUBLE_EQ(values[3].x, values[2].x + WidthAt(values[2].text, 10.5) + 0.5 * kCharW);
}

TEST(ProjectSummarySheet, MarksSectionsOnTheCriticalDepthAndRoundedFriction) {
  ProjectSummaryRow steep = Culvert("C-1");
  steep.box = ProjectSection{SteepBox(), 0.0};
  steep.box->record.Status = StatusOk;
  steep.box->record.H = 1.2;
  steep.box->record.hReq = 1.041;
  ProjectSummaryRow noted = Culvert("C-2");
  noted.frictionRoundingNote = true;
  ProjectSummaryRow both = steep;
  both.name = "C-3";
  both.frictionRoundingNote = true;
  const RecordingSurface page = DrawnPage({steep, noted, both, Culvert("C-4")}, 0);
  const std::vector<PrintedText> first = TextsAtY(page, kFirstRow * kLineH);
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(PrintedAt(first.back(), GridX(50.5), kFirstRow * kLineH, 10.5, false));
  EXPECT_EQ(first.back().text, "＊");
  EXPECT_EQ(TextsAtY(page, (kFirstRow + 1) * kLineH).back().text, "※");
  EXPECT_EQ(TextsAtY(page, (kFirstRow + 2) * kLineH).back().text, "＊※");
  EXPECT_EQ(TextsAtY(page, (kFirstRow + 3) * kLineH).back().text, " 14.70");  // no mark
  EXPECT_EQ(RowText(page, kFirstRow + 9),
            "＊：推奨断面の必要高を限界水深 h2 で求めた（h1 ＜ h2、射流）");
  EXPECT_EQ(RowText(page, kFirstRow + 10),
            "※：hf は係数を小数5桁に丸めて求めたため、5mm 以上の誤差を含み得る");
  // Without marks the legend ends with its own four lines.
  EXPECT_TRUE(RowText(DrawnPage({Culvert("C-4")}, 0), kFirstRow + 6).empty());
}

TEST(ProjectSummarySheet, ManyCulvertsRunOverPagesWithTheHeadingsRepeated) {
  EXPECT_EQ(ProjectSummaryPageCount(0), 1);
  EXPECT_EQ(ProjectSummaryPageCount(kProjectRowsOnFirstPage), 1);
  EXPECT_EQ(ProjectSummaryPageCount(kProjectRowsOnFirstPage + 1), 2);
  EXPECT_EQ(ProjectSummaryPageCount(kProjectRowsOnFirstPage + kProjectRowsOnLaterPages + 1), 3);
  const std::vector<ProjectSummaryRow> rows(kProjectRowsOnFirstPage + 1, Culvert("C"));
  const RecordingSurface first = DrawnPage(rows, 0);
  EXPECT_EQ(RowText(first, kFirstRow + kProjectRowsOnFirstPage - 1).substr(0, 5), "  51C");
  EXPECT_EQ(RowText(first, kFirstRow + kProjectRowsOnFirstPage + 1), "");  // no legend yet
  const RecordingSurface second = DrawnPage(rows, 1);
  EXPECT_EQ(RowText(second, 2.0 + 2.0), "一括計算の結果一覧（続き）");
  EXPECT_EQ(RowText(second, kLaterFirstRow - 1), RowText(first, kFirstRow - 1));
  EXPECT_EQ(RowText(second, kLaterFirstRow).substr(0, 5), "  52C");
  EXPECT_EQ(RowText(second, kLaterFirstRow + 2),
            "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
  EXPECT_TRUE(TextsNamed(second, "承認").empty());
}

TEST(ProjectSummarySheet, TheFirstPageHasTheSignOffBlockAboveTheTable) {
  const RecordingSurface page = DrawnPage({Culvert("C")}, 0);
  for (const char* role : {"承認", "照査", "作成"}) {
    const PrintedText printed = TextNamed(page, role);
    EXPECT_GT(printed.x, GridX(35.0));
    EXPECT_LT(printed.y, (kFirstRow - 1) * kLineH);
  }
  // The block's right edge is the table's.
  double right = 0;
  for (const DrawnLine& line : page.lines) right = std::max({right, line.x1, line.x2});
  EXPECT_DOUBLE_EQ(right, GridX(52.5));
}

}  // namespace
}  // namespace sekora::testing
