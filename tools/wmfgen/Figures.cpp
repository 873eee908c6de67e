#include "Figures.h"

#include <cmath>
#include <numbers>

#include "MetafileWriter.h"

namespace sekora::wmfgen {

namespace {

// Pen widths and text size in twips: walls stand out from the thin lines of
// dimensions, and labels at 9.5 pt stay smaller than the sheet's 10.5 pt.
constexpr int kWallPen = 20;
constexpr int kThinPen = 8;
constexpr int kLabelHeight = 190;
constexpr double kArrowLength = 100;
constexpr double kArrowHalfWidth = 30;
constexpr const char* kLabelFace = "ＭＳ 明朝";

Point Round(double x, double y) {
  return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

// The point at `radius` from `centre` in the direction `degrees`,
// counterclockwise on the page from three o'clock.
Point Polar(Point centre, double radius, double degrees) {
  const double radians = degrees * std::numbers::pi / 180.0;
  return Round(centre.x + radius * std::cos(radians), centre.y - radius * std::sin(radians));
}

// Draws with a fixed set of pens, brushes and the label font, the way a
// dimension sketch is drawn: outlines, thin dimension lines with filled
// arrowheads, and labels.
class Draftsman {
 public:
  Draftsman(int width, int height)
      : writer_(width, height),
        wallPen_(writer_.CreatePen(kPenSolid, kWallPen)),
        thinPen_(writer_.CreatePen(kPenSolid, kThinPen)),
        dashPen_(writer_.CreatePen(kPenDash, 0)),
        centrePen_(writer_.CreatePen(kPenDashDot, 0)),
        solidBrush_(writer_.CreateBrush(kBrushSolid)),
        nullBrush_(writer_.CreateBrush(kBrushNull)) {
    writer_.Select(writer_.CreateFont(kLabelFace, kLabelHeight));
    writer_.Select(nullBrush_);
    writer_.Select(thinPen_);
    writer_.SetTransparentBackground();
    writer_.SetTextAlign(kAlignCenter | kAlignBaseline);
  }

  void WallPen() { writer_.Select(wallPen_); }
  void ThinPen() { writer_.Select(thinPen_); }
  void DashPen() { writer_.Select(dashPen_); }
  void CentrePen() { writer_.Select(centrePen_); }

  void Line(Point from, Point to) { writer_.Line(from, to); }
  void Polyline(const std::vector<Point>& points) { writer_.Polyline(points); }
  void Outline(const std::vector<Point>& points) { writer_.Polygon(points); }
  void Circle(Point centre, int radius) { writer_.Ellipse(centre, radius); }
  void Arc(Point centre, int radius, Point start, Point end) {
    writer_.Arc(centre, radius, start, end);
  }

  // A dimension line from a to b with an arrowhead at each end.
  void Dimension(Point a, Point b) {
    writer_.Line(a, b);
    Arrowhead(a, b);
    Arrowhead(b, a);
  }

  // An arrowhead with its tip at `tip`, pointing away from `from`.
  void Arrowhead(Point tip, Point from) {
    const double length = std::hypot(tip.x - from.x, tip.y - from.y);
    const double ux = (tip.x - from.x) / length;
    const double uy = (tip.y - from.y) / length;
    const double baseX = tip.x - kArrowLength * ux;
    const double baseY = tip.y - kArrowLength * uy;
    writer_.Select(solidBrush_);
    writer_.Polygon({tip, Round(baseX - kArrowHalfWidth * uy, baseY + kArrowHalfWidth * ux),
                     Round(baseX + kArrowHalfWidth * uy, baseY - kArrowHalfWidth * ux)});
    writer_.Select(nullBrush_);
  }

  // The water-level mark: an open triangle standing on the surface at x.
  void WaterMark(int x, int surfaceY) {
    writer_.Polygon({{x - 60, surfaceY - 70}, {x + 60, surfaceY - 70}, {x, surfaceY}});
  }

  // A label whose baseline runs through `at`; `align` says which end or
  // the middle of the text stands there.
  void Label(Point at, const std::string& text, std::uint16_t align = kAlignCenter) {
    if (align != align_) {
      writer_.SetTextAlign(align | kAlignBaseline);
      align_ = align;
    }
    writer_.Text(at, text);
  }

  std::vector<std::uint8_t> Finish() const { return writer_.Finish(); }

 private:
  MetafileWriter writer_;
  int wallPen_;
  int thinPen_;
  int dashPen_;
  int centrePen_;
  int solidBrush_;
  int nullBrush_;
  std::uint16_t align_ = kAlignCenter;
};

// Rectangle outline through its four corners.
std::vector<Point> Box(int left, int top, int right, int bottom) {
  return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

}  // namespace

Figure BoxSectionFigure() {
  // The opening B x H inside walls 100 twips thick.
  constexpr int kLeft = 400, kTop = 250, kRight = 2200, kBottom = 1550, kWall = 100;
  Draftsman draw(2950, 2050);
  draw.WallPen();
  draw.Outline(Box(kLeft - kWall, kTop - kWall, kRight + kWall, kBottom + kWall));
  draw.Outline(Box(kLeft, kTop, kRight, kBottom));

  draw.ThinPen();
  // B below the section.
  draw.Line({kLeft, kBottom + 150}, {kLeft, 2000});
  draw.Line({kRight, kBottom + 150}, {kRight, 2000});
  draw.Dimension({kLeft, 1950}, {kRight, 1950});
  draw.Label({(kLeft + kRight) / 2, 1910}, "B");
  // H to the right of it.
  draw.Line({kRight + 150, kTop}, {2650, kTop});
  draw.Line({kRight + 150, kBottom}, {2650, kBottom});
  draw.Dimension({2600, kTop}, {2600, kBottom});
  draw.Label({2780, (kTop + kBottom) / 2 + 65}, "H");
  return {"矩寸法.wmf", draw.Finish()};
}

Figure PipeSectionFigure() {
  // A pipe of radius r running part full: the surface lies y = 0.6 r below
  // the centre, so cos θ = 0.6 and the surface is 2 x 600 twips wide.
  constexpr Point kCentre{1250, 950};
  constexpr int kRadius = 750, kY = 450, kHalfSurface = 600;
  constexpr int kSurface = kCentre.y + kY, kBottom = kCentre.y + kRadius;
  const Point surfaceLeft{kCentre.x - kHalfSurface, kSurface};
  const Point surfaceRight{kCentre.x + kHalfSurface, kSurface};

  Draftsman draw(2550, 1800);
  draw.CentrePen();
  draw.Line({420, kCentre.y}, {2150, kCentre.y});
  draw.Line({kCentre.x, 120}, {kCentre.x, 1780});
  draw.WallPen();
  draw.Circle(kCentre, kRadius);

  draw.ThinPen();
  draw.Line(surfaceLeft, surfaceRight);
  draw.WaterMark(1550, kSurface);
  draw.Line(kCentre, surfaceLeft);
  draw.Line(kCentre, surfaceRight);
  // θ from the vertical to the radius of the surface's edge, Φ = 2θ between
  // the two radii.
  draw.Arc(kCentre, 160, {kCentre.x, kBottom}, surfaceRight);
  draw.Arc(kCentre, 400, surfaceLeft, surfaceRight);
  draw.Label(Polar(kCentre, 280, 297), "θ");
  draw.Label(Polar(kCentre, 280, 243), "Φ");
  // r along a radius up to the right.
  draw.Line(kCentre, Polar(kCentre, kRadius, 45));
  draw.Label({1451, 690}, "r");

  // D on the left, between the tangents at the top and the bottom.
  draw.Line({kCentre.x - 100, kCentre.y - kRadius}, {300, kCentre.y - kRadius});
  draw.Line({kCentre.x - 100, kBottom}, {300, kBottom});
  draw.Dimension({350, kCentre.y - kRadius}, {350, kBottom});
  draw.Label({260, kCentre.y + 65}, "D");
  // y and hc on the right.
  draw.Line({surfaceRight.x + 50, kSurface}, {2300, kSurface});
  draw.Line({kCentre.x + 100, kBottom}, {2300, kBottom});
  draw.Dimension({2050, kCentre.y}, {2050, kSurface});
  draw.Label({2090, (kCentre.y + kSurface) / 2 + 65}, "y", kAlignLeft);
  draw.Dimension({2250, kSurface}, {2250, kBottom});
  draw.Label({2300, (kSurface + kBottom) / 2 + 65}, "hc", kAlignLeft);
  return {"円寸法.wmf", draw.Finish()};
}

namespace {

// The culvert of the profile: inlet at x = 900, outlet at x = 3500, its
// invert falling 200 twips, a barrel 700 twips high, and the water surface
// drawing down from the inlet depth h1 to the critical depth h2.
constexpr int kInletX = 900, kOutletX = 3500;
constexpr int kInletInvert = 1500, kOutletInvert = 1700, kBarrel = 700;
constexpr double kInletDepth = 520, kOutletDepth = 380;

double Along(int x) {
  return static_cast<double>(x - kInletX) / (kOutletX - kInletX);
}

double InvertAt(int x) {
  return kInletInvert + (kOutletInvert - kInletInvert) * Along(x);
}

double SurfaceAt(int x) {
  const double t = Along(x);
  return InvertAt(x) - (kInletDepth + (kOutletDepth - kInletDepth) * t * t);
}

// The energy line, straight from 620 at the inlet to 880 at the outlet.
Point EnergyAt(int x) {
  return Round(x, 620 + 260 * Along(x));
}

}  // namespace

Figure ProfileFigure() {
  constexpr int kDatum = 2050;
  const int inletSurface = static_cast<int>(std::lround(SurfaceAt(kInletX)));
  const int outletSurface = static_cast<int>(std::lround(SurfaceAt(kOutletX)));

  Draftsman draw(4200, 2400);
  draw.WallPen();
  draw.Outline({{kInletX, kInletInvert - kBarrel},
                {kOutletX, kOutletInvert - kBarrel},
                {kOutletX, kOutletInvert},
                {kInletX, kInletInvert}});

  draw.ThinPen();
  draw.Line({300, kDatum}, {4000, kDatum});
  draw.Line({350, kInletInvert}, {kInletX, kInletInvert});
  draw.Line({kOutletX, kOutletInvert}, {3950, kOutletInvert});
  // The water surface: level in the pools, drawn down in the barrel.
  draw.Line({350, inletSurface}, {kInletX, inletSurface});
  std::vector<Point> surface;
  for (int step = 0; step <= 10; ++step) {
    const int x = kInletX + (kOutletX - kInletX) * step / 10;
    surface.push_back(Round(x, SurfaceAt(x)));
  }
  draw.Polyline(surface);
  draw.Line({kOutletX, outletSurface}, {3950, outletSurface});
  draw.WaterMark(600, inletSurface);
  draw.WaterMark(3750, outletSurface);
  draw.Label({580, 880}, "水面");

  draw.DashPen();
  draw.Line(EnergyAt(400), EnergyAt(3950));
  draw.ThinPen();
  draw.Label({2200, 640}, "エネルギー線");
  draw.Label({kInletX, 350}, "呑口");
  draw.Label({kOutletX, 350}, "吐口");

  // Depths at the two ends, inside the barrel.
  const Point h1Top = Round(1000, SurfaceAt(1000)), h1Bottom = Round(1000, InvertAt(1000));
  draw.Dimension(h1Top, h1Bottom);
  draw.Label({1040, (h1Top.y + h1Bottom.y) / 2 + 65}, "h1", kAlignLeft);
  const Point h2Top = Round(3400, SurfaceAt(3400)), h2Bottom = Round(3400, InvertAt(3400));
  draw.Dimension(h2Top, h2Bottom);
  draw.Label({3360, (h2Top.y + h2Bottom.y) / 2 + 65}, "h2", kAlignRight);
  // Invert levels above the datum.
  draw.Dimension({500, kInletInvert}, {500, kDatum});
  draw.Label({460, (kInletInvert + kDatum) / 2 + 65}, "Z1", kAlignRight);
  draw.Dimension({3800, kOutletInvert}, {3800, kDatum});
  draw.Label({3840, (kOutletInvert + kDatum) / 2 + 65}, "Z2", kAlignLeft);
  // The length between the two ends.
  draw.Line({kInletX, kInletInvert + 50}, {kInletX, 2350});
  draw.Line({kOutletX, kOutletInvert + 50}, {kOutletX, 2350});
  draw.Dimension({kInletX, 2300}, {kOutletX, 2300});
  draw.Label({(kInletX + kOutletX) / 2, 2260}, "L");
  return {"寸法.wmf", draw.Finish()};
}

}  // namespace sekora::wmfgen
