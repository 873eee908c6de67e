// The project summary pages: one line per culvert with its recommended
// sections, long names cut to their column, the table split over pages.
#include <gtest/gtest.h>

#include "ProjectSummarySheet.h"
#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

// The first culvert's line, counted in LineH from the top of the page.
constexpr double kFirstRow = 2.0 + 5.0;

std::string RowText(const RecordingSurface& surface, double lines) {
  return Joined(TextsAtY(surface, lines * kLineH));
}

RecordingSurface DrawnPage(const std::vector<ProjectSummaryRow>& rows, int page) {
  RecordingSurface surface;
  DrawProjectSummaryPage(surface, 1, rows, page);
  return surface;
}

ProjectSummaryRow Culvert(const std::string& name) {
  return {
      name, 1.0, 10.0, 4, 6, ProjectSection{BoxOneByOne(), 22.7}, ProjectSection{PipeOne(), 14.7}};
}

TEST(ProjectSummarySheet, OneLinePerCulvertWithItsRecommendedSections) {
  ProjectSummaryRow none = Culvert("C-2");
  none.Q = 6.5;
  none.L = 45.25;
  none.okCount = 0;
  none.box.reset();
  none.pipe.reset();
  const RecordingSurface page = DrawnPage({Culvert("C-1"), none}, 0);
  EXPECT_EQ(RowText(page, kFirstRow - 1), "No名前QLＯＫ数推奨Box余裕%推奨管余裕%注");
  EXPECT_EQ(RowText(page, kFirstRow), "   1C-1  1.000 10.000    4/61.000×1.000 22.70φ1.000 14.70");
  EXPECT_EQ(RowText(page, kFirstRow + 1), "   2C-2  6.500 45.250    0/6なしなし");
  EXPECT_EQ(RowText(page, kFirstRow + 3), "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
  // Rules above and below the headings and under the last line, the printer's pen.
  ASSERT_EQ(page.lines.size(), 3u);
  EXPECT_EQ(page.lines[0].width, 3);
}

TEST(ProjectSummarySheet, ALongNameIsCutToItsColumn) {
  const RecordingSurface page = DrawnPage({Culvert("一二三四五六七八九十十一十二")}, 0);
  const std::vector<PrintedText> row = TextsAtY(page, kFirstRow * kLineH);
  ASSERT_GE(row.size(), 2u);
  EXPECT_EQ(row[1].text, "一二三四五六七八…");
  EXPECT_EQ(TextsAtY(DrawnPage({Culvert("一二三四五六七八九")}, 0), kFirstRow * kLineH)[1].text,
            "一二三四五六七八九");
}

TEST(ProjectSummarySheet, ManyCulvertsRunOverPagesWithTheHeadingsRepeated) {
  EXPECT_EQ(ProjectSummaryPageCount(0), 1);
  EXPECT_EQ(ProjectSummaryPageCount(kProjectRowsPerPage), 1);
  EXPECT_EQ(ProjectSummaryPageCount(kProjectRowsPerPage + 1), 2);
  const std::vector<ProjectSummaryRow> rows(kProjectRowsPerPage + 1, Culvert("C"));
  const RecordingSurface first = DrawnPage(rows, 0);
  EXPECT_EQ(RowText(first, kFirstRow + kProjectRowsPerPage - 1).substr(0, 5), "  55C");
  EXPECT_EQ(RowText(first, kFirstRow + kProjectRowsPerPage + 1), "");  // no legend yet
  const RecordingSurface second = DrawnPage(rows, 1);
  EXPECT_EQ(RowText(second, 2.0 + 2.0), "一括計算の結果一覧（続き）");
  EXPECT_EQ(RowText(second, kFirstRow - 1), "No名前QLＯＫ数推奨Box余裕%推奨管余裕%注");
  EXPECT_EQ(RowText(second, kFirstRow).substr(0, 5), "  56C");
  EXPECT_EQ(RowText(second, kFirstRow + 2), "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
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
  EXPECT_TRUE(PrintedAt(first.back(), GridX(43.0), kFirstRow * kLineH, 10.5, false));
  EXPECT_EQ(first.back().text, "＊");
  EXPECT_EQ(TextsAtY(page, (kFirstRow + 1) * kLineH).back().text, "※");
  EXPECT_EQ(TextsAtY(page, (kFirstRow + 2) * kLineH).back().text, "＊※");
  EXPECT_EQ(TextsAtY(page, (kFirstRow + 3) * kLineH).back().text, " 14.70");  // no mark
  EXPECT_EQ(RowText(page, kFirstRow + 8),
            "＊：推奨断面の hReq を限界水深 h2 で求めた（h1 ＜ h2、射流）");
  EXPECT_EQ(RowText(page, kFirstRow + 9),
            "※：hf は係数を小数5桁に丸めて求めたため、5mm 以上の誤差を含み得る");
  // Without marks the legend ends with its own three lines.
  EXPECT_TRUE(RowText(DrawnPage({Culvert("C-4")}, 0), kFirstRow + 5).empty());
}

TEST(ProjectSummarySheet, ACulvertsPagesCarryItsNumberAndName) {
  RecordingSurface page;
  DrawCulvertCaption(page, 3, "C/3");
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_TRUE(PrintedAt(page.texts[0], GridX(1.0), 3.0 * kLineH, 10.5, false));
  EXPECT_EQ(page.texts[0].text, "No.3　C/3");
}

}  // namespace
}  // namespace sekora::testing
