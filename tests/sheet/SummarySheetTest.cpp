// The summary pages of a run: its conditions in the sheet's own cells, the
// table of candidates with every status, the recommended marks and the table
// split over pages.
#include <gtest/gtest.h>

#include <algorithm>

#include "SheetTestSupport.h"
#include "SummarySheet.h"

namespace sekora::testing {
namespace {

// Rows of the table, counted in LineH from the top of the page.
constexpr double kFirstPageFirstRow = 2.0 + 20.0;
constexpr double kLaterPageFirstRow = 2.0 + 4.0;

RecordingSurface DrawnPage(const RunSummary& summary, int page, std::int16_t mode = 1) {
  RecordingSurface surface;
  DrawSummaryPage(surface, mode, summary, page);
  return surface;
}

std::string RowText(const RecordingSurface& surface, double lines) {
  return Joined(TextsAtY(surface, lines * kLineH));
}

KeisanRecord WithStatus(KeisanRecord rec, std::int16_t status) {
  rec.Status = status;
  return rec;
}

// One candidate of every status, in the order the rows are listed.
RunSummary EveryStatus() {
  KeisanRecord outletOver = WithStatus(BoxPointEight(), StatusOutletOver);
  outletOver.h2 = 0.861;
  outletOver.h1 = 0.0;
  outletOver.hReq = 0.0;
  KeisanRecord inletOver = WithStatus(BoxPointEight(), StatusInletOver);
  inletOver.hReq = 0.0;
  KeisanRecord notFound = WithStatus(BoxOneByOne(), StatusInletNotFound);
  notFound.hReq = 0.0;
  return {{BoxOneByOne(), BoxPointEight(), outletOver, inletOver, notFound, PipeOne()},
          WorkedConditions(),
          {.box = 0, .pipe = 5},
          {}};
}

RunSummary ManyRows(std::size_t count) {
  return {Candidates(count, BoxOneByOne()), WorkedConditions(), {.box = count - 1, .pipe = {}}, {}};
}

TEST(SummarySheet, EveryStatusHasItsRowWithDepthsHeightAndResult) {
  const RecordingSurface page = DrawnPage(EveryStatus(), 0);
  const double first = kFirstPageFirstRow;
  EXPECT_EQ(RowText(page, first - 1), "NoBox・管h2h1必要高断面高計算結果推奨");
  EXPECT_EQ(RowText(page, first), "    11.000×1.000 0.467 0.673 0.773 1.000ＯＫ◎");
  EXPECT_EQ(RowText(page, first + 1),
            "    20.800×0.800 0.542 0.790 0.870 0.800余裕高考慮にてオーバーしました");
  EXPECT_EQ(RowText(page, first + 2),
            "    30.800×0.800 0.861    － h2が断面超過 0.800吐口計算水深がオーバーしました");
  EXPECT_EQ(RowText(page, first + 3),
            "    40.800×0.800 0.542 0.790 h1が断面超過 0.800呑口計算水深がオーバーしました");
  EXPECT_EQ(RowText(page, first + 4),
            "    51.000×1.000 0.467 0.673 h1が求まらず 1.000呑口計算水深が求まりません");
  EXPECT_EQ(RowText(page, first + 5), "    6φ1.000 0.574 0.663 0.853 1.000ＯＫ◎");
  EXPECT_EQ(RowText(page, first + 7),
            "◎：推奨断面（ＯＫのうち内空断面積が最小のボックスと円形管）");
}

TEST(SummarySheet, RequiredHeightsOnTheCriticalDepthOrWithRoundedFrictionAreMarked) {
  KeisanRecord steepOk = SteepBox();  // a taller box of the steep run: it fits on h2
  steepOk.Status = StatusOk;
  steepOk.H = 1.2;
  steepOk.hReq = 1.041;
  KeisanRecord noted = BoxOneByOne();
  noted.FricQL = 500.0;  // 500 × 0.00001 = 0.005 m
  KeisanRecord steepNoted = SteepBox();
  steepNoted.FricQL = 1135.856;
  KeisanRecord notFound = WithStatus(BoxOneByOne(), StatusInletNotFound);
  notFound.FricQL = 500.0;  // no required height to mark
  notFound.hReq = 0.0;
  KeisanRecord below = BoxOneByOne();
  below.FricQL = 499.999;
  const RunSummary summary{{steepOk, noted, steepNoted, notFound, below},
                           WorkedConditions(),
                           {.box = 0, .pipe = {}},
                           {}};
  const RecordingSurface page = DrawnPage(summary, 0);
  const double first = kFirstPageFirstRow;
  EXPECT_EQ(RowText(page, first), "    11.200×1.200 0.921 0.222 1.041＊ 1.200ＯＫ◎");
  EXPECT_EQ(RowText(page, first + 1), "    21.000×1.000 0.467 0.673 0.773※ 1.000ＯＫ");
  EXPECT_EQ(RowText(page, first + 2),
            "    31.200×1.000 0.921 0.222 1.021＊※ 1.000余裕高考慮にてオーバーしました");
  EXPECT_EQ(RowText(page, first + 3),
            "    41.000×1.000 0.467 0.673 h1が求まらず 1.000呑口計算水深が求まりません");
  EXPECT_EQ(RowText(page, first + 4), "    51.000×1.000 0.467 0.673 0.773 1.000ＯＫ");
  const PrintedText mark = TextsNamed(page, "＊※")[0];
  EXPECT_TRUE(PrintedAt(mark, GridX(22.5), (first + 2) * kLineH, 10.5, false));
  // The footnotes follow the legend, each once.
  EXPECT_EQ(RowText(page, first + 7), "＊：h1 ＜ h2（射流）のため、必要高は限界水深 h2 で求めた");
  EXPECT_EQ(RowText(page, first + 8),
            "※：hf は係数を小数5桁に丸めて求めたため、最大 0.005m の誤差を含む");
  EXPECT_TRUE(RowText(page, first + 9).empty());
}

TEST(SummarySheet, AnUnmarkedTableHasNoFootnotes) {
  const RecordingSurface page = DrawnPage(EveryStatus(), 0);
  EXPECT_TRUE(TextsNamed(page, "＊").empty());
  EXPECT_TRUE(TextsNamed(page, "※").empty());
  EXPECT_TRUE(RowText(page, kFirstPageFirstRow + 8).empty());
}

TEST(SummarySheet, ColumnsLineUpUnderTheirHeadings) {
  const RecordingSurface page = DrawnPage(EveryStatus(), 0);
  const std::vector<PrintedText> row = TextsAtY(page, kFirstPageFirstRow * kLineH);
  ASSERT_EQ(row.size(), 8u);
  const double columns[] = {2.0, 5.5, 12.0, 15.5, 19.0, 26.0, 30.0, 45.5};
  for (std::size_t i = 0; i < row.size(); ++i) {
    EXPECT_TRUE(PrintedAt(row[i], GridX(columns[i]), kFirstPageFirstRow * kLineH, 10.5, false));
  }
  // Rules above and below the headings and under the last row, then the
  // sign-off block's, all with the pen of the mode.
  ASSERT_EQ(page.lines.size(), 3u + 8u);
  EXPECT_DOUBLE_EQ(page.lines[2].y1, (kFirstPageFirstRow + 6) * kLineH);
  for (const DrawnLine& line : page.lines) EXPECT_EQ(line.width, 3);
  EXPECT_EQ(DrawnPage(EveryStatus(), 0, 0).lines[0].width, 1);
}

TEST(SummarySheet, ConditionsStandInTheSheetsOwnCells) {
  RunSummary summary = EveryStatus();
  summary.conditions.Q = 1.5;
  const RecordingSurface page = DrawnPage(summary, 0);
  const RecordingSurface sheet = DrawnSheet(BoxOneByOne(), summary.conditions);
  for (const char* text : {"函渠断面の決定", "１．設計条件", " 1.500m /s", "3", "10.000m", "0.000m",
                           "9.800m/s", "2", "1.000", "重力加速度(g) ", "ｴﾈﾙｷﾞｰ補正係数(α) "}) {
    const PrintedText onSheet = TextNamed(sheet, text);
    EXPECT_TRUE(PrintedAt(TextNamed(page, text), onSheet.x, onSheet.y, onSheet.size, false))
        << text;
  }
  EXPECT_EQ(RowText(page, 2 + 9),
            "粗度係数(ボックス) 0.020粗度係数(円形管) 0.010ｴﾈﾙｷﾞｰ補正係数(α) 1.000");
  EXPECT_EQ(RowText(page, 2 + 11), "余裕高(ボックス) H×0.100余裕高(円形管) φ×0.190");
}

TEST(SummarySheet, RoughnessOfAMissingShapeIsLeftOutAndNoOkRowIsSaid) {
  const RunSummary boxesOnly = SummaryOfRun({BoxPointEight()}, WorkedConditions());
  const RecordingSurface page = DrawnPage(boxesOnly, 0);
  EXPECT_TRUE(TextsNamed(page, "粗度係数(円形管) ").empty());
  EXPECT_EQ(TextsNamed(page, "粗度係数(ボックス) ").size(), 1u);
  EXPECT_TRUE(TextsNamed(page, "◎").empty());
  EXPECT_EQ(RowText(page, kFirstPageFirstRow + 2), "ＯＫの断面はありません");
}

TEST(SummarySheet, SummaryOfARunMarksTheSmallestPassingBoxAndPipe) {
  KeisanRecord smallBox = BoxOneByOne();
  smallBox.B = 0.9;
  const RunSummary summary = SummaryOfRun(
      {BoxOneByOne(), smallBox, BoxPointEight(), PipeOne(), PipeOne()}, WorkedConditions());
  const RecordingSurface page = DrawnPage(summary, 0);
  const std::vector<PrintedText> marks = TextsNamed(page, "◎");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_DOUBLE_EQ(marks[0].y, (kFirstPageFirstRow + 1) * kLineH);  // the 0.9 x 1.0 box
  EXPECT_DOUBLE_EQ(marks[1].y, (kFirstPageFirstRow + 3) * kLineH);  // the first of two pipes
}

TEST(SummarySheet, ASizeOfTenMetresOrMorePushesTheColumnsAfterItRight) {
  KeisanRecord wide = BoxOneByOne();
  wide.B = 100.0;
  wide.H = 12.5;
  RunSummary summary = EveryStatus();
  summary.records.push_back(wide);
  const RecordingSurface page = DrawnPage(summary, 0);
  const std::vector<PrintedText> row = TextsAtY(page, (kFirstPageFirstRow + 6) * kLineH);
  ASSERT_GE(row.size(), 3u);
  ASSERT_EQ(row[1].text, "100.000×12.500");
  // The outlet depth starts half a character after the widest size.
  const double sizeEnd = row[1].x + WidthAt(row[1].text, 10.5);
  EXPECT_DOUBLE_EQ(row[2].x, sizeEnd + 0.5 * kCharW);
  // Every row and the headings move alike.
  const double shift = row[2].x - GridX(12.0);
  EXPECT_DOUBLE_EQ(TextsAtY(page, kFirstPageFirstRow * kLineH)[2].x, row[2].x);
  EXPECT_DOUBLE_EQ(TextNamed(page, "h2").x, GridX(13.0) + shift);
  // Later columns take up what the move leaves of their room: the mark goes
  // half a character after the longest result, the rules to its end.
  const PrintedText longest = TextNamed(page, "吐口計算水深がオーバーしました");
  const double markX = longest.x + WidthAt(longest.text, 10.5) + 0.5 * kCharW;
  EXPECT_GT(markX, GridX(45.5));
  EXPECT_DOUBLE_EQ(TextNamed(page, "◎").x, markX);
  EXPECT_DOUBLE_EQ(page.lines[0].x2, markX + 1.5 * kCharW);
  // A table whose values fit keeps its places.
  EXPECT_DOUBLE_EQ(TextNamed(DrawnPage(EveryStatus(), 0), "h2").x, GridX(13.0));
}

TEST(SummarySheet, ARunOfOneShapeShowsOnlyThatShape) {
  DesignConditions pipesOnly = WorkedConditions();
  pipesOnly.ShapeOption = ShapePipeOnly;
  const RecordingSurface pipes = DrawnPage(SummaryOfRun({PipeOne()}, pipesOnly), 0);
  EXPECT_EQ(RowText(pipes, 2 + 11), "余裕高(円形管) φ×0.190");
  EXPECT_EQ(RowText(pipes, kFirstPageFirstRow + 2),
            "◎：推奨断面（ＯＫのうち内空断面積が最小の円形管）");

  DesignConditions boxesOnly = WorkedConditions();
  boxesOnly.ShapeOption = ShapeBoxOnly;
  const RecordingSurface boxes = DrawnPage(SummaryOfRun({BoxOneByOne()}, boxesOnly), 0);
  EXPECT_EQ(RowText(boxes, 2 + 11), "余裕高(ボックス) H×0.100");
  EXPECT_EQ(RowText(boxes, kFirstPageFirstRow + 2),
            "◎：推奨断面（ＯＫのうち内空断面積が最小のボックス）");
}

TEST(SummarySheet, ARunThatLeftItsNgSectionsOutSaysHowMany) {
  DesignConditions excluding = WorkedConditions();
  excluding.ExcludeNg = 1;
  const RecordingSurface counted = DrawnPage(SummaryOfRun({BoxOneByOne()}, excluding, 22), 0);
  EXPECT_EQ(RowText(counted, 2 + 15), "ＮＧの断面 22 件は一覧から除いています（ＮＧ結果は除く）");
  const RecordingSurface uncounted = DrawnPage(SummaryOfRun({BoxOneByOne()}, excluding), 0);
  EXPECT_EQ(RowText(uncounted, 2 + 15), "ＮＧの断面は一覧から除いています（ＮＧ結果は除く）");
  EXPECT_EQ(RowText(DrawnPage(EveryStatus(), 0), 2 + 15), "");
}

TEST(SummarySheet, TheFirstPageHasASignOffBlockBetweenConditionsAndTable) {
  const RecordingSurface page = DrawnPage(EveryStatus(), 0);
  const std::vector<PrintedText> roles = {TextNamed(page, "承認"), TextNamed(page, "照査"),
                                          TextNamed(page, "作成")};
  EXPECT_LT(roles[0].x, roles[1].x);
  EXPECT_LT(roles[1].x, roles[2].x);
  EXPECT_EQ(TextsNamed(page, "／　／").size(), 3u);
  // Its box, right-aligned with the table, below the freeboard row and above
  // the column headings.
  double left = 1e9, right = 0, top = 1e9, bottom = 0;
  for (std::size_t i = 3; i < page.lines.size(); ++i) {
    const DrawnLine& line = page.lines[i];
    left = std::min({left, line.x1, line.x2});
    right = std::max({right, line.x1, line.x2});
    top = std::min({top, line.y1, line.y2});
    bottom = std::max({bottom, line.y1, line.y2});
  }
  EXPECT_DOUBLE_EQ(right, GridX(47.0));
  EXPECT_DOUBLE_EQ(right - left, 15 * kCharW);
  EXPECT_GT(top, (2 + 12) * kLineH);
  EXPECT_LT(bottom, (kFirstPageFirstRow - 1) * kLineH);
  EXPECT_GT(bottom - top, 5 * kLineH);  // room for a stamp
}

TEST(SummarySheet, PagesHoldFortyOneRowsFirstThenFiftyEight) {
  EXPECT_EQ(SummaryPageCount(0), 1);
  EXPECT_EQ(SummaryPageCount(41), 1);
  EXPECT_EQ(SummaryPageCount(42), 2);
  EXPECT_EQ(SummaryPageCount(99), 2);
  EXPECT_EQ(SummaryPageCount(100), 3);
}

TEST(SummarySheet, LongTableContinuesWithItsHeadingsRepeated) {
  const RunSummary summary = ManyRows(60);
  const RecordingSurface first = DrawnPage(summary, 0);
  const RecordingSurface second = DrawnPage(summary, 1);
  EXPECT_EQ(RowText(first, kFirstPageFirstRow + 40).substr(0, 5), "   41");
  EXPECT_TRUE(RowText(first, kFirstPageFirstRow + 42).empty());  // no legend yet
  EXPECT_TRUE(TextsNamed(first, "◎").empty());

  EXPECT_EQ(Joined(TextsAtY(second, 2 * kLineH)), "函渠断面の決定");
  EXPECT_TRUE(TextsNamed(second, "１．設計条件").empty());
  EXPECT_EQ(RowText(second, 2 + 1), "２．計算結果一覧（続き）");
  EXPECT_EQ(RowText(second, kLaterPageFirstRow - 1), RowText(first, kFirstPageFirstRow - 1));
  EXPECT_TRUE(TextsNamed(second, "承認").empty());  // the sign-off block is the first page's
  EXPECT_EQ(RowText(second, kLaterPageFirstRow).substr(0, 5), "   42");
  EXPECT_EQ(RowText(second, kLaterPageFirstRow + 18),
            "   601.000×1.000 0.467 0.673 0.773 1.000ＯＫ◎");
  EXPECT_EQ(RowText(second, kLaterPageFirstRow + 20),
            "◎：推奨断面（ＯＫのうち内空断面積が最小のボックスと円形管）");
}

TEST(SummarySheet, AFullLastPageStillFitsItsLegendOnTheA4Page) {
  const RunSummary summary = ManyRows(99);
  const RecordingSurface last = DrawnPage(summary, 1);
  const double a4Height = 16840;
  double lowest = 0;
  for (const PrintedText& text : last.texts) lowest = std::max(lowest, text.y + kLineH);
  EXPECT_LE(lowest, a4Height);
  EXPECT_EQ(TextsNamed(last, "◎").size(), 1u);
}

}  // namespace
}  // namespace sekora::testing
