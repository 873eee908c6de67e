// Replaying a picture onto a canvas: where the logical coordinates land in
// twips, and how pens, fonts, arcs and text alignment come across.
#include <gtest/gtest.h>

#include "MetafileReplay.h"
#include "RecordingCanvas.h"
#include "WmfBytes.h"

namespace sekora {
namespace {

using test::RecordingCanvas;
using test::WmfBytes;

RecordingCanvas Replay(const WmfBytes& bytes, double x, double y) {
  RecordingCanvas canvas;
  ReplayMetafile(ParseMetafile(bytes.Bytes(), "replay"), canvas, x, y);
  return canvas;
}

TEST(ReplayMapping, WithoutAWindowTheBoundingBoxSpansTheNaturalSize) {
  // 720 units per inch: two twips per unit; the box starts at (-500, -250).
  WmfBytes bytes(-500, -250, 500, 250, 720);
  bytes.Record(test::kMoveTo, {-250, -500}).Record(test::kLineTo, {250, 500}).Eof();
  const RecordingCanvas canvas = Replay(bytes, 1000, 3000);
  ASSERT_EQ(canvas.lines.size(), 1u);
  EXPECT_EQ(canvas.lines[0][0], (TwipPoint{1000, 3000}));
  EXPECT_EQ(canvas.lines[0][1], (TwipPoint{3000, 4000}));
}

TEST(ReplayMapping, TheWindowOriginAndExtentSpanTheNaturalSize) {
  WmfBytes bytes(0, 0, 1000, 500, 1440);
  bytes.Record(test::kSetWindowOrg, {200, 100})
      .Record(test::kSetWindowExt, {1000, 2000})
      .Record(test::kMoveTo, {200, 100})
      .Record(test::kLineTo, {1200, 2100})
      .Record(test::kLineTo, {700, 1100})  // continues from the last point
      .Eof();
  const RecordingCanvas canvas = Replay(bytes, 50, 60);
  ASSERT_EQ(canvas.lines.size(), 2u);
  EXPECT_EQ(canvas.lines[0][0], (TwipPoint{50, 60}));
  EXPECT_EQ(canvas.lines[0][1], (TwipPoint{1050, 560}));
  EXPECT_EQ(canvas.lines[1][0], (TwipPoint{1050, 560}));
  EXPECT_EQ(canvas.lines[1][1], (TwipPoint{550, 310}));
}

TEST(ReplayMapping, RectanglesComeNormalisedAndPolylinesPointByPoint) {
  WmfBytes bytes(0, 0, 1000, 1000, 720);
  bytes
      .Record(test::kRectangle, {10, 10, 30, 40})  // bottom above top, right left of left
      .Record(test::kPolyline, {2, 0, 0, 5, 7})
      .Eof();
  const RecordingCanvas canvas = Replay(bytes, 0, 0);
  ASSERT_EQ(canvas.rectangles.size(), 1u);
  EXPECT_EQ(canvas.rectangles[0], (TwipRect{20, 20, 80, 60}));
  ASSERT_EQ(canvas.polylines.size(), 1u);
  EXPECT_EQ(canvas.polylines[0], (std::vector<TwipPoint>{{0, 0}, {10, 14}}));
}

TEST(ReplayObjects, PenWidthsAndFontHeightsAreScaledToTwips) {
  WmfBytes bytes(0, 0, 1000, 1000, 720);
  bytes.Record(test::kCreatePenIndirect, {0, 10, 0, 0, 0})
      .Record(test::kSelectObject, {0})
      .Font(-95, 900, kAnsiCharset, "Arial")
      .Record(test::kSelectObject, {1})
      .TextOut(0, 0, "x")
      .Eof();
  const RecordingCanvas canvas = Replay(bytes, 0, 0);
  ASSERT_EQ(canvas.pens.size(), 2u);  // the initial pen, then the file's
  EXPECT_EQ(canvas.pens[0].width, 0);
  EXPECT_EQ(canvas.pens[1].width, 20);
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].font.faceName, "Arial");
  EXPECT_EQ(canvas.texts[0].font.height, 190);
  EXPECT_EQ(canvas.texts[0].font.escapementDegrees, 90);
}

TEST(ReplayState, TheCanvasStartsFromGdisInitialState) {
  const RecordingCanvas opaque = Replay(WmfBytes(0, 0, 10, 10, 1440).Eof(), 0, 0);
  EXPECT_TRUE(opaque.backgroundOpaque);
  ASSERT_EQ(opaque.brushes.size(), 1u);
  EXPECT_EQ(opaque.brushes[0].color, (MetafileColor{255, 255, 255}));

  WmfBytes transparent(0, 0, 10, 10, 1440);
  transparent.Record(test::kSetBkMode, {1}).Eof();
  EXPECT_FALSE(Replay(transparent, 0, 0).backgroundOpaque);
}

TEST(ReplayText, AlignmentFlagsChooseTheReferencePointOfTheText) {
  WmfBytes bytes(0, 0, 100, 100, 1440);
  bytes.TextOut(0, 0, "a")
      .Record(test::kSetTextAlign, {6 | 24})  // TA_CENTER | TA_BASELINE
      .TextOut(0, 0, "b")
      .Record(test::kSetTextAlign, {2 | 8})  // TA_RIGHT | TA_BOTTOM
      .TextOut(0, 0, "c")
      .Eof();
  const RecordingCanvas canvas = Replay(bytes, 0, 0);
  ASSERT_EQ(canvas.texts.size(), 3u);
  EXPECT_EQ(canvas.texts[0].align, (TextAlign{HorizontalAlign::kLeft, VerticalAlign::kTop}));
  EXPECT_EQ(canvas.texts[1].align, (TextAlign{HorizontalAlign::kCenter, VerticalAlign::kBaseline}));
  EXPECT_EQ(canvas.texts[2].align, (TextAlign{HorizontalAlign::kRight, VerticalAlign::kBottom}));
}

TEST(ReplayArc, AnglesRunCounterclockwiseFromTheStartRayToTheEndRay) {
  WmfBytes bytes(0, 0, 400, 400, 1440);
  // Circle (0,0)-(200,200): from three o'clock to twelve o'clock.
  bytes
      .Record(test::kArc, {0, 100, 100, 200, 200, 200, 0, 0})
      // Ellipse (0,0)-(400,200): from twelve o'clock round to three o'clock.
      .Record(test::kArc, {100, 400, 0, 200, 200, 400, 0, 0})
      // Equal rays: the whole ellipse.
      .Record(test::kArc, {100, 300, 100, 300, 200, 200, 0, 0})
      .Eof();
  const RecordingCanvas canvas = Replay(bytes, 0, 0);
  ASSERT_EQ(canvas.arcs.size(), 3u);
  EXPECT_NEAR(canvas.arcs[0].startDegrees, 0, 1e-9);
  EXPECT_NEAR(canvas.arcs[0].spanDegrees, 90, 1e-9);
  EXPECT_NEAR(canvas.arcs[1].startDegrees, 90, 1e-9);
  EXPECT_NEAR(canvas.arcs[1].spanDegrees, 270, 1e-9);
  EXPECT_EQ(canvas.arcs[2].spanDegrees, 360);
}

TEST(ReplayArc, AMirroringWindowTurnsTheArcTheOtherWay) {
  WmfBytes bytes(0, 0, 200, 200, 1440);
  // y grows upwards: logical (200, 100) is three o'clock, (100, 200) twelve.
  bytes.Record(test::kSetWindowOrg, {200, 0})
      .Record(test::kSetWindowExt, {-200, 200})
      .Record(test::kArc, {200, 100, 100, 200, 200, 200, 0, 0})
      .Eof();
  const RecordingCanvas canvas = Replay(bytes, 0, 0);
  ASSERT_EQ(canvas.arcs.size(), 1u);
  // Counterclockwise in the picture's own axes is clockwise on the page:
  // drawn from twelve o'clock counterclockwise round to three o'clock.
  EXPECT_NEAR(canvas.arcs[0].startDegrees, 90, 1e-9);
  EXPECT_NEAR(canvas.arcs[0].spanDegrees, 270, 1e-9);
}

}  // namespace
}  // namespace sekora
