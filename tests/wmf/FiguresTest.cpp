// The three figure files shipped in data/: they load, have the size that
// fits where the sheet puts them, and replay at the point they are put.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Metafile.h"
#include "MetafileReplay.h"
#include "RecordingCanvas.h"

namespace sekora {
namespace {

using test::RecordingCanvas;

// The sheet's grid: a 10.5 pt character is 210 twips wide, a line at least
// as tall; the A4 page is 11907 twips wide and the grid starts 2 columns in.
constexpr double kCharW = 210;
constexpr double kPageWidth = 11907;
constexpr double kBaseX = 2 * kCharW;

struct FigureCase {
  const char* file;
  double width;
  double height;
  double column;         // where the sheet puts the figure
  double rowsAvailable;  // rows free below that point before other text
  std::set<std::string> labels;
};

const FigureCase kFigures[] = {
    {"矩寸法.wmf", 2950, 2050, 38, 11, {"B", "H"}},
    {"円寸法.wmf", 2550, 1800, 36, 9.5, {"D", "r", "hc", "y", "θ", "Φ"}},
    {"寸法.wmf",
     4200,
     2400,
     32,
     12,
     {"呑口", "吐口", "h1", "h2", "Z1", "Z2", "L", "水面", "エネルギー線"}},
};

Metafile LoadFigure(const FigureCase& figure) {
  return LoadMetafile(std::string(SEKORA_DATA_DIR) + "/" + figure.file);
}

TEST(ShippedFigures, HaveTheirNaturalSizeAndFitBesideTheSheetText) {
  for (const FigureCase& figure : kFigures) {
    SCOPED_TRACE(figure.file);
    const Metafile picture = LoadFigure(figure);
    EXPECT_DOUBLE_EQ(picture.WidthTwips(), figure.width);
    EXPECT_DOUBLE_EQ(picture.HeightTwips(), figure.height);
    EXPECT_LE(kBaseX + figure.column * kCharW + picture.WidthTwips(), kPageWidth);
    EXPECT_LE(picture.HeightTwips(), figure.rowsAvailable * kCharW);
  }
}

TEST(ShippedFigures, ReplayInsideTheirBoxFromTheGivenTopLeftCorner) {
  constexpr double kX = 8400, kY = 5000;
  for (const FigureCase& figure : kFigures) {
    SCOPED_TRACE(figure.file);
    const Metafile picture = LoadFigure(figure);
    RecordingCanvas canvas;
    ReplayMetafile(picture, canvas, kX, kY);
    const auto points = canvas.AllPoints();
    ASSERT_FALSE(points.empty());
    for (const TwipPoint& point : points) {
      EXPECT_GE(point.x, kX);
      EXPECT_LE(point.x, kX + figure.width);
      EXPECT_GE(point.y, kY);
      EXPECT_LE(point.y, kY + figure.height);
    }
    // The drawing reaches close to the corner it is placed at.
    const auto [minX, maxX] = std::minmax_element(points.begin(), points.end(),
                                                  [](auto& a, auto& b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(points.begin(), points.end(),
                                                  [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_LT(minX->x - kX, 400);
    EXPECT_LT(minY->y - kY, 400);
    EXPECT_GT(maxX->x - kX, figure.width - 400);
    EXPECT_GT(maxY->y - kY, figure.height - 400);
  }
}

TEST(ShippedFigures, LabelEveryQuantityInMinchoAtNinePointFive) {
  for (const FigureCase& figure : kFigures) {
    SCOPED_TRACE(figure.file);
    RecordingCanvas canvas;
    ReplayMetafile(LoadFigure(figure), canvas, 0, 0);
    std::set<std::string> labels;
    for (const auto& text : canvas.texts) {
      labels.insert(text.text);
      EXPECT_EQ(text.font.faceName, "ＭＳ 明朝");
      EXPECT_DOUBLE_EQ(text.font.height, 190);
    }
    EXPECT_EQ(labels, figure.labels);
    EXPECT_FALSE(canvas.backgroundOpaque);
  }
}

TEST(ShippedFigures, BoxLabelsStandByTheirDimensionLines) {
  RecordingCanvas canvas;
  ReplayMetafile(LoadFigure(kFigures[0]), canvas, 8400, 5000);
  ASSERT_EQ(canvas.texts.size(), 2u);
  const TextAlign centred{HorizontalAlign::kCenter, VerticalAlign::kBaseline};
  EXPECT_EQ(canvas.texts[0].text, "B");
  EXPECT_EQ(canvas.texts[0].at, (TwipPoint{8400 + 1300, 5000 + 1910}));
  EXPECT_EQ(canvas.texts[0].align, centred);
  EXPECT_EQ(canvas.texts[1].text, "H");
  EXPECT_EQ(canvas.texts[1].at, (TwipPoint{8400 + 2780, 5000 + 965}));
  // The opening B x H, inside the wall outline.
  ASSERT_GE(canvas.polygons.size(), 2u);
  EXPECT_EQ(canvas.polygons[1],
            (std::vector<TwipPoint>{{8800, 5250}, {10600, 5250}, {10600, 6550}, {8800, 6550}}));
}

}  // namespace
}  // namespace sekora
