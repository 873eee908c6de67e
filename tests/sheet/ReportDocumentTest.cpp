// Reports as documents: the header every page carries, which leaves the
// page itself alone whatever the date, and the pages and bookmarks of the
// report of a run.
#include <gtest/gtest.h>

#include "Paths.h"
#include "ReportDocument.h"
#include "RunReport.h"
#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

constexpr double kHeaderTop = 180;
constexpr double kHeaderSize = 8.0;

const ReportStamp kStamp{"2025年1月31日", "Sekora 1.2.3"};

ReportDocument SheetReport(const std::string& owner, int listRow) {
  const DesignConditions conditions = WorkedConditions();
  return {"t",
          "culverts.csv",
          {{[](DrawingSurface&) {}, "", 0},
           {[conditions](DrawingSurface& target) {
              DrawSheet(target, 1, BoxOneByOne(), conditions, kFigureFolder);
            },
            owner, listRow}},
          {}};
}

RecordingSurface DrawnReportPage(const ReportDocument& report, int page,
                                 const ReportStamp& stamp = kStamp) {
  RecordingSurface surface;
  DrawReportPage(surface, report, page, stamp);
  return surface;
}

TEST(ReportDocument, TheHeaderSaysWhosePageWhichPageWhenAndByWhat) {
  const RecordingSurface page = DrawnReportPage(SheetReport("No.3　県道横断", 11), 1);
  const std::vector<PrintedText> header = TextsAtY(page, kHeaderTop);
  ASSERT_EQ(header.size(), 2u);
  EXPECT_EQ(header[0].text, "culverts.csv　No.3　県道横断　計算結果一覧 No.11");
  EXPECT_TRUE(PrintedAt(header[0], 2 * kCharW, kHeaderTop, kHeaderSize, false));
  EXPECT_EQ(header[1].text, "2025年1月31日　Sekora 1.2.3　2 / 2");
  // Right-aligned to the page less the sheet's left margin, and above the
  // title, which every page has two lines down.
  EXPECT_DOUBLE_EQ(header[1].x + WidthAt(header[1].text, kHeaderSize), 11907 - 2 * kCharW);
  const PrintedText title = TextNamed(page, "函渠断面の決定");
  EXPECT_LE(kHeaderTop + kHeaderSize * RecordingSurface::kLineUnitsPerPoint, title.y);

  ReportDocument ofARun = SheetReport("", 0);
  ofARun.source.clear();
  EXPECT_EQ(Joined(TextsAtY(DrawnReportPage(ofARun, 0), kHeaderTop)),
            "2025年1月31日　Sekora 1.2.3　1 / 2");
}

TEST(ReportDocument, ALongOwnerIsCutBeforeTheRightOfTheHeader) {
  const RecordingSurface page = DrawnReportPage(SheetReport(std::string(200, 'x'), 7), 1);
  const std::vector<PrintedText> header = TextsAtY(page, kHeaderTop);
  ASSERT_EQ(header.size(), 2u);
  EXPECT_EQ(header[0].text.substr(header[0].text.size() - 3), "…");
  EXPECT_LE(header[0].x + WidthAt(header[0].text, kHeaderSize),
            header[1].x - 2 * WidthAt("　", kHeaderSize));
}

TEST(ReportDocument, TheHeaderLeavesThePageAsItIsWhateverTheDate) {
  const ReportDocument report = SheetReport("No.1", 5);
  RecordingSurface alone;
  report.pages[1].draw(alone);
  const RecordingSurface withHeader = DrawnReportPage(report, 1);
  const RecordingSurface anotherDay = DrawnReportPage(report, 1, {"2099年12月31日", "Sekora 9"});
  ASSERT_EQ(withHeader.texts.size(), alone.texts.size() + 2);
  for (std::size_t i = 0; i < alone.texts.size(); ++i) {
    EXPECT_TRUE(PrintedAt(withHeader.texts[i], alone.texts[i].x, alone.texts[i].y,
                          alone.texts[i].size, alone.texts[i].italic));
    EXPECT_EQ(withHeader.texts[i].text, alone.texts[i].text);
    EXPECT_EQ(anotherDay.texts[i].text, alone.texts[i].text);
  }
  EXPECT_EQ(withHeader.lines.size(), alone.lines.size());
}

TEST(ReportDocument, ARunsReportIsItsSummaryThenItsSheetsEachWithABookmark) {
  const RunSummary run =
      SummaryOfRun({BoxOneByOne(), BoxPointEight(), PipeOne()}, WorkedConditions());
  const ReportDocument report = RunReport(run, {3, 2}, true, kFigureFolder);
  ASSERT_EQ(report.pages.size(), 3u);
  EXPECT_EQ(report.pages[0].listRow, 0);
  EXPECT_EQ(report.pages[1].listRow, 3);
  EXPECT_EQ(report.pages[2].listRow, 2);
  ASSERT_EQ(report.bookmarks.size(), 3u);
  EXPECT_EQ(report.bookmarks[0].title, "計算結果一覧");
  EXPECT_EQ(report.bookmarks[1].title, "No.3 φ1.000 ＯＫ");
  EXPECT_EQ(report.bookmarks[1].page, 1);
  EXPECT_EQ(report.bookmarks[2].title, "No.2 0.800×0.800 ＮＧ");
  EXPECT_EQ(report.bookmarks[2].page, 2);
  RecordingSurface pipeSheet;
  report.pages[1].draw(pipeSheet);
  EXPECT_EQ(pipeSheet.pictures.front().path, JoinPath(kFigureFolder, "円寸法.wmf"));

  const ReportDocument sheetsOnly = RunReport(run, {1}, false, kFigureFolder);
  ASSERT_EQ(sheetsOnly.pages.size(), 1u);
  EXPECT_EQ(sheetsOnly.bookmarks[0].page, 0);
  EXPECT_EQ(ReportDateText(2025, 1, 31), "2025年1月31日");
}

}  // namespace
}  // namespace sekora::testing
