#include <gtest/gtest.h>

#include "FlowSection.h"

namespace sekora {
namespace {

struct Geometry {
  double A, V, P, R;
};

Geometry Outlet(std::int16_t kind, double size, double h) {
  KeisanRecord r;
  r.Kind = kind;
  (kind == KindBox ? r.B : r.D) = size;
  r.h2 = h;
  DesignConditions c;
  c.Q = 1.0;
  CalcFlowSection(kSideOutlet, r, c);
  return {r.A2, r.V2, r.P2, r.R2};
}

void ExpectGeometry(const Geometry& g, double A, double V, double P, double R) {
  EXPECT_EQ(g.A, A);
  EXPECT_EQ(g.V, V);
  EXPECT_EQ(g.P, P);
  EXPECT_EQ(g.R, R);
}

TEST(BoxFlowSection, IsAnOpenRectangle) {
  ExpectGeometry(Outlet(KindBox, 1.0, 0.467), 0.467, 2.141, 1.934, 0.241);
  ExpectGeometry(Outlet(KindBox, 1.0, 0.673), 0.673, 1.486, 2.346, 0.287);
}

TEST(BoxFlowSection, AZeroAreaDividesNothing) {
  ExpectGeometry(Outlet(KindBox, 1.0, 0.0004), 0.0, 0.0, 1.001, 0.0);
}

TEST(PipeFlowSection, AboveTheCentreIsTheWettedSegment) {
  ExpectGeometry(Outlet(KindPipe, 1.0, 0.5740000000000004), 0.467, 2.141, 1.72, 0.272);
}

TEST(PipeFlowSection, HalfFullAreaIsNotRounded) {
  ExpectGeometry(Outlet(KindPipe, 1.0, 0.5), 0.3926925, 2.547, 1.571, 0.25);
}

TEST(PipeFlowSection, BelowTheCentreIsTheCircleLessTheDrySegment) {
  ExpectGeometry(Outlet(KindPipe, 1.0, 0.426), 0.785385 - 0.467, 3.141, 1.422, 0.224);
}

TEST(PipeFlowSection, ZeroDepthIsAllZero) {
  ExpectGeometry(Outlet(KindPipe, 1.0, 0.0), 0, 0, 0, 0);
}

TEST(PipeFlowSection, SymmetricDepthsShareTheCircle) {
  const Geometry above = Outlet(KindPipe, 1.0, 0.574);
  const Geometry below = Outlet(KindPipe, 1.0, 0.426);
  EXPECT_EQ(above.A + below.A, 0.785385);
  EXPECT_NEAR(above.P + below.P, 2 * 3.14154 * 0.5, 0.002);
}

TEST(PipeFlowSection, FullDepthIsTheWholeSection) {
  const Geometry full = Outlet(KindPipe, 1.0, 1.0);
  EXPECT_EQ(full.P, 3.142);  // 6.283 * 0.5 rounded
  EXPECT_NEAR(full.A, 0.785385, 0.001);
}

TEST(FlowSection, TheInletSideReadsH1AndWritesTheInletFields) {
  KeisanRecord r;
  r.B = 1.0;
  r.h1 = 0.673;
  r.h2 = 0.467;
  DesignConditions c;
  c.Q = 1.0;
  CalcFlowSection(kSideInlet, r, c);
  EXPECT_EQ(r.A1, 0.673);
  EXPECT_EQ(r.R1, 0.287);
  EXPECT_EQ(r.A2, 0.0);
}

}  // namespace
}  // namespace sekora
