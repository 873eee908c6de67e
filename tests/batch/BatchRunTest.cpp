#include <gtest/gtest.h>

#include "BatchRun.h"
#include "DesignError.h"
#include "KeisanFile.h"
#include "RunDesign.h"
#include "TempFolder.h"

namespace sekora {
namespace {

// A folder with the given catalogues (an empty text leaves the file out).
class Catalogues {
 public:
  Catalogues(const std::string& boxes, const std::string& pipes) {
    if (!boxes.empty()) folder_.Write("BOX.TXT", boxes);
    if (!pipes.empty()) folder_.Write("KAN.TXT", pipes);
  }
  const std::string& path() const { return folder_.path(); }
  std::string SingleRunResults(const DesignConditions& conditions) const {
    DesignConditions c = conditions;
    RunDesign(folder_.path(), c);
    return folder_.Read("Keisan.txt");
  }

 private:
  testing::TempFolder folder_;
};

Culvert MakeCulvert(double Q, std::int16_t shape = ShapeBoth, double Z1 = 0.0) {
  Culvert c;
  c.conditions.Q = Q;
  c.conditions.L = 10.0;
  c.conditions.Z1 = Z1;
  c.conditions.ShapeOption = shape;
  return c;
}

std::vector<CulvertResult> RunAll(const Catalogues& catalogues,
                                  const std::vector<Culvert>& culverts) {
  return RunBatch(LoadBatchSections(catalogues.path(), culverts), culverts,
                  {.resultsText = true, .records = true}, 2);
}

TEST(BatchRun, EveryCulvertGetsTheResultsOfItsSingleRun) {
  const Catalogues catalogues("0.800 0.800\r\n1.000 1.000\r\n2.000 1.500\r\n",
                              "0.600\r\n1.000\r\n1.500\r\n");
  std::vector<Culvert> culverts;
  for (double q : {0.3, 1.0, 2.5, 6.0}) {
    for (std::int16_t shape : {ShapeBoth, ShapeBoxOnly, ShapePipeOnly}) {
      culverts.push_back(MakeCulvert(q, shape, q > 2.0 ? 0.4 : 0.0));
    }
  }
  const std::vector<CulvertResult> results = RunAll(catalogues, culverts);
  ASSERT_EQ(results.size(), culverts.size());
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    DesignConditions c = culverts[i].conditions;
    EXPECT_EQ(results[i].resultsText, catalogues.SingleRunResults(c)) << "culvert " << i;
    // The records are the single run's as its results list reads them back.
    Candidates readBack;
    KeisanFile(kFileModeRead, readBack, c, catalogues.path());
    EXPECT_EQ(results[i].records, readBack) << "culvert " << i;
  }
}

TEST(BatchRun, RecommendsTheSmallestPassingBoxAndPipeWithTheirMargins) {
  // Box 1.0 x 1.0 and pipe D 1.0 with Q = 1, L = 10: hReq 0.773 and 0.853.
  const Catalogues catalogues("0.800 0.800\r\n2.000 2.000\r\n1.000 1.000\r\n",
                              "2.000\r\n1.000\r\n0.600\r\n");
  const CulvertResult r = RunAll(catalogues, {MakeCulvert(1.0)})[0];
  EXPECT_EQ(r.candidateCount, 6u);
  EXPECT_EQ(r.okCount, 4u);
  ASSERT_TRUE(r.box && r.pipe);
  EXPECT_EQ(r.box->row, 3u);
  EXPECT_EQ(r.box->record.h2, 0.467);
  EXPECT_EQ(r.box->record.h1, 0.673);  // as the results file gives it back
  EXPECT_EQ(r.box->record.hReq, 0.773);
  EXPECT_EQ(r.box->margin, 0.227);
  EXPECT_EQ(r.box->marginPercent, 22.7);
  EXPECT_EQ(r.pipe->row, 5u);
  EXPECT_EQ(r.pipe->record.D, 1.0);
  EXPECT_EQ(r.pipe->record.hReq, 0.853);
  EXPECT_EQ(r.pipe->margin, 0.147);
  EXPECT_EQ(r.pipe->marginPercent, 14.7);
}

TEST(BatchRun, EqualAreasGoToTheFirstAndAMissingKindToNone) {
  const Catalogues catalogues("2.000 2.000\r\n1.200 1.500\r\n0.900 2.000\r\n", "0.300\r\n");
  const CulvertResult both = RunAll(catalogues, {MakeCulvert(1.0)})[0];
  ASSERT_TRUE(both.box);
  EXPECT_EQ(both.box->row, 2u);  // 1.2 x 1.5 before 0.9 x 2.0
  EXPECT_FALSE(both.pipe);       // the pipe of 0.3 m does not pass

  const Catalogues reversed("0.900 2.000\r\n1.200 1.500\r\n", "");
  const CulvertResult boxOnly = RunAll(reversed, {MakeCulvert(1.0, ShapeBoxOnly)})[0];
  ASSERT_TRUE(boxOnly.box);
  EXPECT_EQ(boxOnly.box->record.B, 0.9);
  EXPECT_FALSE(boxOnly.pipe);
}

TEST(BatchRun, ReadsOnlyTheCataloguesItsCulvertsNeed) {
  const Catalogues pipesOnly("", "1.000\r\n");
  const CulvertResult r = RunAll(pipesOnly, {MakeCulvert(1.0, ShapePipeOnly)})[0];
  EXPECT_FALSE(r.box);
  ASSERT_TRUE(r.pipe);
  EXPECT_EQ(r.okCount, 1u);
  // One culvert of both shapes needs BOX.TXT, as its single run would.
  EXPECT_THROW(LoadBatchSections(pipesOnly.path(),
                                 {MakeCulvert(1.0, ShapePipeOnly), MakeCulvert(1.0, ShapeBoth)}),
               CatalogueError);
}

TEST(BatchRun, ACulvertWithoutAPassingSectionHasNoRecommendation) {
  const Catalogues catalogues("0.800 0.800\r\n", "0.600\r\n");
  const CulvertResult r = RunAll(catalogues, {MakeCulvert(6.0)})[0];
  EXPECT_EQ(r.okCount, 0u);
  EXPECT_FALSE(r.box);
  EXPECT_FALSE(r.pipe);
}

TEST(BatchRun, ASteepCulvertIsRecommendedOnTheCriticalDepth) {
  // The box 1.2 × 1.0 balances at h1 0.222 below h2 0.921 and fails on h2;
  // the next box up passes with hReq 0.12 + 0.921.
  const Catalogues catalogues("1.200 1.000\r\n1.200 1.200\r\n", "");
  Culvert steep = MakeCulvert(3.3224, ShapeBoxOnly);
  steep.conditions.L = 20.104;
  steep.conditions.Z1 = 0.974;
  steep.conditions.Z2 = 0.53;
  const CulvertResult r = RunAll(catalogues, {steep})[0];
  EXPECT_EQ(r.okCount, 1u);
  ASSERT_TRUE(r.box);
  EXPECT_EQ(r.box->row, 2u);
  EXPECT_EQ(r.box->record.h1, 0.222);
  EXPECT_EQ(r.box->record.hReq, 1.041);
  EXPECT_EQ(r.box->margin, 0.159);
  EXPECT_EQ(r.records[0].Status, StatusFreeboardOver);
  EXPECT_EQ(r.records[0].hReq, 1.021);
}

TEST(BatchRun, TheFrictionRoundingNoteFollowsQ2LOverTwo) {
  const Catalogues catalogues("2.000 2.000\r\n", "");
  Culvert atThreshold = MakeCulvert(10.0, ShapeBoxOnly);  // Q²L/2 = 500
  Culvert below = atThreshold;
  below.conditions.L = 9.999;
  Culvert outletOnly = MakeCulvert(30.0, ShapeBoxOnly);  // no search, no hf
  const std::vector<CulvertResult> r = RunAll(catalogues, {atThreshold, below, outletOnly});
  EXPECT_TRUE(r[0].frictionRoundingNote);
  EXPECT_FALSE(r[1].frictionRoundingNote);
  EXPECT_EQ(r[2].records[0].Status, StatusOutletOver);
  EXPECT_FALSE(r[2].frictionRoundingNote);
}

}  // namespace
}  // namespace sekora
