#include <gtest/gtest.h>

#include "BatchReport.h"
#include "BatchRun.h"
#include "Paths.h"
#include "RecordingSurface.h"
#include "TempFolder.h"

namespace sekora {
namespace {

using testing::RecordingSurface;

std::string Figure(const std::string& name) {
  return JoinPath("figures", name);
}

bool Prints(const RecordingSurface& page, const std::string& text) {
  for (const auto& printed : page.texts) {
    if (printed.text == text) return true;
  }
  return false;
}

class BatchReportTest : public ::testing::Test {
 protected:
  BatchReportTest() {
    folder_.Write("BOX.TXT", "0.800 0.800\r\n1.000 1.000\r\n");
    folder_.Write("KAN.TXT", "0.600\r\n1.000\r\n");
    culverts_.resize(2);
    culverts_[0] = {1, 2, "A", {}};
    culverts_[0].conditions.Q = 1.0;
    culverts_[0].conditions.L = 10.0;
    culverts_[1] = {2, 3, "B", culverts_[0].conditions};
    culverts_[1].conditions.Q = 6.0;  // nothing passes
    results_ =
        RunBatch(LoadBatchSections(folder_.path(), culverts_), culverts_, {.records = true}, 1);
  }

  RecordingSurface Page(const BatchReport& report, int page) const {
    RecordingSurface surface;
    report.Document().pages.at(static_cast<std::size_t>(page)).draw(surface);
    return surface;
  }

  testing::TempFolder folder_;
  std::vector<Culvert> culverts_;
  std::vector<CulvertResult> results_;
};

TEST_F(BatchReportTest, ProjectSummaryThenEachCulvertsSummaryAndRecommendedSheets) {
  const BatchReport report(culverts_, results_, "figures", "t.csv");
  const ReportDocument& document = report.Document();
  // The project page; A's summary, box sheet and pipe sheet; B's summary.
  ASSERT_EQ(document.pages.size(), 5u);
  EXPECT_EQ(document.source, "t.csv");
  EXPECT_TRUE(Prints(Page(report, 0), "一括計算の結果一覧（Q：m3/s、L・Z1・Z2：m）"));
  EXPECT_TRUE(Prints(Page(report, 1), "２．計算結果一覧（単位：m）"));
  const RecordingSurface boxSheet = Page(report, 2);
  ASSERT_FALSE(boxSheet.pictures.empty());
  EXPECT_EQ(boxSheet.pictures.front().path, Figure("矩寸法.wmf"));
  EXPECT_EQ(Page(report, 3).pictures.front().path, Figure("円寸法.wmf"));
  EXPECT_TRUE(Prints(Page(report, 4), "ＯＫの断面はありません"));
  EXPECT_EQ(
      report.FigurePaths(),
      (std::vector<std::string>{Figure("矩寸法.wmf"), Figure("寸法.wmf"), Figure("円寸法.wmf")}));
}

TEST_F(BatchReportTest, EveryCulvertPageNamesItsCulvertAndEverySheetItsRow) {
  const BatchReport report(culverts_, results_, "figures", "t.csv");
  const std::vector<ReportPage>& pages = report.Document().pages;
  const std::size_t boxRow = results_[0].box->row;
  const std::size_t pipeRow = results_[0].pipe->row;
  EXPECT_EQ(pages[0].owner, "");
  EXPECT_EQ(pages[1].owner, "No.1　A");
  EXPECT_EQ(pages[1].listRow, 0);
  EXPECT_EQ(pages[2].owner, "No.1　A");
  EXPECT_EQ(pages[2].listRow, static_cast<int>(boxRow));
  EXPECT_EQ(pages[3].listRow, static_cast<int>(pipeRow));
  EXPECT_EQ(pages[4].owner, "No.2　B");
}

TEST_F(BatchReportTest, BookmarksLeadToTheProjectPageThenEachCulvertAndItsSheets) {
  const BatchReport report(culverts_, results_, "figures", "t.csv");
  const std::vector<ReportBookmark>& marks = report.Document().bookmarks;
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_EQ(marks[0].title, "一括計算の結果一覧");
  EXPECT_EQ(marks[0].page, 0);
  EXPECT_EQ(marks[1].title, "No.1 A");
  EXPECT_EQ(marks[1].page, 1);
  ASSERT_EQ(marks[1].children.size(), 3u);
  EXPECT_EQ(marks[1].children[0].title, "計算結果一覧");
  EXPECT_EQ(marks[1].children[1].title,
            "No." + std::to_string(results_[0].box->row) + " 1.000×1.000 ＯＫ");
  EXPECT_EQ(marks[1].children[1].page, 2);
  EXPECT_EQ(marks[1].children[2].page, 3);
  EXPECT_EQ(marks[2].title, "No.2 B");
  EXPECT_EQ(marks[2].page, 4);
  EXPECT_EQ(marks[2].children.size(), 1u);  // no sheet without a passing section
}

}  // namespace
}  // namespace sekora
