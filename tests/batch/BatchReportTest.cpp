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
    report.DrawPage(surface, page);
    return surface;
  }

  testing::TempFolder folder_;
  std::vector<Culvert> culverts_;
  std::vector<CulvertResult> results_;
};

TEST_F(BatchReportTest, ProjectSummaryThenEachCulvertsSummaryAndRecommendedSheets) {
  const BatchReport report(culverts_, results_, "figures");
  // The project page; A's summary, box sheet and pipe sheet; B's summary.
  ASSERT_EQ(report.PageCount(), 5);
  EXPECT_TRUE(Prints(Page(report, 0), "一括計算の結果一覧（Q：m3/s、L：m）"));
  const RecordingSurface summaryOfA = Page(report, 1);
  EXPECT_TRUE(Prints(summaryOfA, "No.1　A"));
  EXPECT_TRUE(Prints(summaryOfA, "２．計算結果一覧（単位：m）"));
  const RecordingSurface boxSheet = Page(report, 2);
  EXPECT_TRUE(Prints(boxSheet, "No.1　A"));
  ASSERT_FALSE(boxSheet.pictures.empty());
  EXPECT_EQ(boxSheet.pictures.front().path, Figure("矩寸法.wmf"));
  EXPECT_EQ(Page(report, 3).pictures.front().path, Figure("円寸法.wmf"));
  const RecordingSurface summaryOfB = Page(report, 4);
  EXPECT_TRUE(Prints(summaryOfB, "No.2　B"));
  EXPECT_TRUE(Prints(summaryOfB, "ＯＫの断面はありません"));
  EXPECT_EQ(
      report.FigurePaths(),
      (std::vector<std::string>{Figure("矩寸法.wmf"), Figure("寸法.wmf"), Figure("円寸法.wmf")}));
}

}  // namespace
}  // namespace sekora
