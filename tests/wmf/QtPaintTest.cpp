// PaintMetafile on a QImage: the figure's lines and labels come out black
// where the figure puts them, and the painter is handed back unchanged.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "Metafile.h"
#include "QtMetafilePainter.h"

namespace sekora {
namespace {

// Ten twips per pixel: the box figure (2950 x 2050 twips) fills 295 x 205
// pixels when drawn at (0, 0).
constexpr double kPixelsPerTwip = 0.1;

QImage PaintBoxFigure(double xTwips, double yTwips) {
  const Metafile picture = LoadMetafile(std::string(SEKORA_DATA_DIR) + "/矩寸法.wmf");
  QImage image(400, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(kPixelsPerTwip, kPixelsPerTwip);
  painter.setPen(Qt::red);
  PaintMetafile(painter, picture, xTwips, yTwips, QPen(Qt::black, 10));
  EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
  return image;
}

bool IsDark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

int DarkPixelsIn(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += IsDark(image, x, y) ? 1 : 0;
  }
  return count;
}

TEST(QtMetafilePainter, DrawsTheWallsTheDimensionLineAndTheLabels) {
  const QImage image = PaintBoxFigure(0, 0);
  // The inner wall's top edge runs at y = 250 twips, from x = 400 to 2200.
  EXPECT_TRUE(IsDark(image, 130, 25));
  // The B dimension line at y = 1950 twips.
  EXPECT_TRUE(IsDark(image, 100, 195));
  // Inside the opening, nothing.
  EXPECT_FALSE(IsDark(image, 130, 90));
  // The labels: "B" above its line around (1300, 1830), "H" around (2780, 900).
  EXPECT_GT(DarkPixelsIn(image, QRect(124, 174, 12, 16)), 10);
  EXPECT_GT(DarkPixelsIn(image, QRect(272, 82, 12, 16)), 10);
}

TEST(QtMetafilePainter, PlacesTheTopLeftCornerAtTheGivenPoint) {
  const QImage image = PaintBoxFigure(1000, 500);
  EXPECT_TRUE(IsDark(image, 130 + 100, 25 + 50));
  EXPECT_FALSE(IsDark(image, 130, 25));
}

}  // namespace
}  // namespace sekora

int main(int argc, char** argv) {
  // Fonts need a GUI application; no display is needed to paint on an image
  // (on Windows, the Windows platform paints on images without a window).
#ifndef _WIN32
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  QGuiApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
