#include "MetafileReplay.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <variant>

namespace sekora {

namespace {

constexpr double kFullTurnDegrees = 360.0;

// Maps the picture's logical coordinates onto the page: the window (origin
// and extent) covers the picture's natural size from its top-left corner.
class LogicalMapping {
 public:
  LogicalMapping(const Metafile& picture, double xTwips, double yTwips)
      : widthTwips_(picture.WidthTwips()),
        heightTwips_(picture.HeightTwips()),
        xTwips_(xTwips),
        yTwips_(yTwips),
        origin_{picture.Bounds().left, picture.Bounds().top},
        extentX_(static_cast<double>(picture.Bounds().right) - picture.Bounds().left),
        extentY_(static_cast<double>(picture.Bounds().bottom) - picture.Bounds().top) {}

  void SetOrigin(MetafilePoint origin) { origin_ = origin; }
  void SetExtent(MetafilePoint extent) {
    extentX_ = extent.x;
    extentY_ = extent.y;
  }

  double ScaleX() const { return widthTwips_ / extentX_; }
  double ScaleY() const { return heightTwips_ / extentY_; }
  // A window with one negative extent turns the picture over, and with it
  // the direction of its arcs.
  bool Mirrored() const { return (ScaleX() < 0) != (ScaleY() < 0); }

  TwipPoint Map(MetafilePoint point) const {
    return {xTwips_ + (point.x - origin_.x) * ScaleX(), yTwips_ + (point.y - origin_.y) * ScaleY()};
  }

  TwipRect Map(const MetafileRect& rect) const {
    const TwipPoint a = Map(MetafilePoint{rect.left, rect.top});
    const TwipPoint b = Map(MetafilePoint{rect.right, rect.bottom});
    return {std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmax(a.x, b.x), std::fmax(a.y, b.y)};
  }

  std::vector<TwipPoint> Map(const std::vector<MetafilePoint>& points) const {
    std::vector<TwipPoint> mapped;
    mapped.reserve(points.size());
    for (const MetafilePoint& point : points) mapped.push_back(Map(point));
    return mapped;
  }

 private:
  double widthTwips_;
  double heightTwips_;
  double xTwips_;
  double yTwips_;
  MetafilePoint origin_;
  double extentX_;
  double extentY_;
};

TextAlign TextAlignOf(std::uint16_t flags) {
  TextAlign align;
  if ((flags & kTextAlignCenter) == kTextAlignCenter) {
    align.horizontal = HorizontalAlign::kCenter;
  } else if (flags & kTextAlignRight) {
    align.horizontal = HorizontalAlign::kRight;
  }
  if ((flags & kTextAlignBaseline) == kTextAlignBaseline) {
    align.vertical = VerticalAlign::kBaseline;
  } else if (flags & kTextAlignBottom) {
    align.vertical = VerticalAlign::kBottom;
  }
  return align;
}

// The angle (as MetafileCanvas::Arc counts it) of the point of the ellipse
// in `rect` that lies on the ray from its centre through `point`.
double EllipseAngle(const TwipRect& rect, TwipPoint point) {
  const double radiusX = (rect.right - rect.left) / 2;
  const double radiusY = (rect.bottom - rect.top) / 2;
  const double dx = point.x - (rect.left + radiusX);
  const double dy = (rect.top + radiusY) - point.y;
  const double angle = std::atan2(radiusY > 0 ? dy / radiusY : dy, radiusX > 0 ? dx / radiusX : dx);
  return angle * 180.0 / std::numbers::pi;
}

// The counterclockwise sweep from `start` to `end`; equal rays close the
// ellipse, as GDI does.
double SweepDegrees(double start, double end) {
  const double sweep = std::fmod(end - start + 2 * kFullTurnDegrees, kFullTurnDegrees);
  return sweep > 0 ? sweep : kFullTurnDegrees;
}

class Replayer {
 public:
  Replayer(const Metafile& picture, MetafileCanvas& canvas, double xTwips, double yTwips)
      : canvas_(canvas), mapping_(picture, xTwips, yTwips) {}

  void SetInitialState() {
    canvas_.SetPen(CanvasPen{});
    canvas_.SetBrush(CanvasBrush{});
    canvas_.SetTextColor(MetafileColor{});
    canvas_.SetTextAlign(TextAlign{});
    canvas_.SetBackgroundOpaque(true);
  }

  void operator()(const SetWindowOrgRecord& record) { mapping_.SetOrigin(record.origin); }
  void operator()(const SetWindowExtRecord& record) { mapping_.SetExtent(record.extent); }
  // The window alone places a placeable picture, whatever its map mode.
  void operator()(const SetMapModeRecord&) {}

  void operator()(const SelectPenRecord& record) {
    canvas_.SetPen(
        {record.pen.style, std::fabs(record.pen.width * mapping_.ScaleX()), record.pen.color});
  }
  void operator()(const SelectBrushRecord& record) {
    canvas_.SetBrush({record.brush.style, record.brush.color, record.brush.hatch});
  }
  void operator()(const SelectFontRecord& record) {
    const MetafileFont& font = record.font;
    // A positive height is the cell height; without the font's metrics it
    // is taken as the character height, a little larger than GDI would draw.
    canvas_.SetFont({font.faceName, std::fabs(font.height * mapping_.ScaleY()),
                     font.escapement / 10.0, font.weight, font.italic, font.underline,
                     font.strikeOut});
  }
  void operator()(const SetTextAlignRecord& record) {
    canvas_.SetTextAlign(TextAlignOf(record.flags));
  }
  void operator()(const SetTextColorRecord& record) { canvas_.SetTextColor(record.color); }
  void operator()(const SetBackgroundModeRecord& record) {
    canvas_.SetBackgroundOpaque(record.opaque);
  }

  void operator()(const MoveToRecord& record) { position_ = record.to; }
  void operator()(const LineToRecord& record) {
    canvas_.Line(mapping_.Map(position_), mapping_.Map(record.to));
    position_ = record.to;
  }
  void operator()(const PolylineRecord& record) { canvas_.Polyline(mapping_.Map(record.points)); }
  void operator()(const PolygonRecord& record) { canvas_.Polygon(mapping_.Map(record.points)); }
  void operator()(const RectangleRecord& record) { canvas_.Rectangle(mapping_.Map(record.rect)); }
  void operator()(const EllipseRecord& record) { canvas_.Ellipse(mapping_.Map(record.rect)); }
  void operator()(const ArcRecord& record) {
    const TwipRect rect = mapping_.Map(record.rect);
    double start = EllipseAngle(rect, mapping_.Map(record.start));
    double end = EllipseAngle(rect, mapping_.Map(record.end));
    if (mapping_.Mirrored()) std::swap(start, end);
    canvas_.Arc(rect, start, SweepDegrees(start, end));
  }
  void operator()(const TextRecord& record) { canvas_.Text(mapping_.Map(record.at), record.text); }

 private:
  MetafileCanvas& canvas_;
  LogicalMapping mapping_;
  MetafilePoint position_;
};

}  // namespace

void ReplayMetafile(const Metafile& picture, MetafileCanvas& canvas, double xTwips, double yTwips) {
  Replayer replayer(picture, canvas, xTwips, yTwips);
  replayer.SetInitialState();
  for (const MetafileRecord& record : picture.Records()) std::visit(replayer, record);
}

}  // namespace sekora
