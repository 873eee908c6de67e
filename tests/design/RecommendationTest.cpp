#include <gtest/gtest.h>

#include "Recommendation.h"
#include "Sections.h"

namespace sekora {
namespace {

using testing::Box;
using testing::Pipe;

KeisanRecord WithStatus(KeisanRecord rec, std::int16_t status) {
  rec.Status = status;
  return rec;
}

TEST(Recommendation, TakesTheSmallestPassingSectionOfEachKind) {
  const Candidates records = {
      Box(2.0, 2.0), WithStatus(Box(0.6, 0.6), StatusOutletOver), Box(1.5, 1.2),
      Pipe(1.5),     WithStatus(Pipe(1.0), StatusFreeboardOver),  Pipe(1.2)};
  const Recommendation chosen = RecommendSections(records);
  EXPECT_EQ(chosen.box, 2u);
  EXPECT_EQ(chosen.pipe, 5u);
}

TEST(Recommendation, EqualAreasGoToTheFirstInTheList) {
  // 1.2 x 1.5 and 0.9 x 2.0 are both 1.8 m2, although 1.2 * 1.5 is not
  // 0.9 * 2.0 in doubles.
  ASSERT_NE(1.2 * 1.5, 0.9 * 2.0);
  const Candidates records = {Box(2.0, 2.0), Box(1.2, 1.5), Box(0.9, 2.0), Pipe(1.0), Pipe(1.0)};
  const Recommendation chosen = RecommendSections(records);
  EXPECT_EQ(chosen.box, 1u);
  EXPECT_EQ(chosen.pipe, 3u);
  const Candidates reversed = {Box(0.9, 2.0), Box(1.2, 1.5)};
  EXPECT_EQ(RecommendSections(reversed).box, 0u);
}

TEST(Recommendation, NoneWhereNoSectionOfAKindPasses) {
  const Candidates records = {WithStatus(Box(1.0, 1.0), StatusInletOver),
                              WithStatus(Pipe(1.0), StatusInletNotFound), Pipe(2.0)};
  const Recommendation chosen = RecommendSections(records);
  EXPECT_FALSE(chosen.box.has_value());
  EXPECT_EQ(chosen.pipe, 2u);
  EXPECT_FALSE(RecommendSections({}).box.has_value());
  EXPECT_FALSE(RecommendSections({}).pipe.has_value());
}

TEST(Recommendation, InnerAreaOfABoxAndAPipe) {
  EXPECT_DOUBLE_EQ(InnerArea(Box(1.5, 1.2)), 1.8);
  EXPECT_NEAR(InnerArea(Pipe(2.0)), 3.14159265, 1e-8);
}

}  // namespace
}  // namespace sekora
