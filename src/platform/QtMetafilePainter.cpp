#include "QtMetafilePainter.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "FontSubstitution.h"
#include "MetafileCanvas.h"
#include "MetafileReplay.h"

namespace sekora {

namespace {

// The height a canvas uses when the picture leaves the size to it: 10.5 pt.
constexpr double kDefaultFontTwips = 210.0;

QColor ToQColor(MetafileColor color) {
  return QColor(color.red, color.green, color.blue);
}

QPointF ToQPoint(TwipPoint point) {
  return {point.x, point.y};
}

QRectF ToQRect(const TwipRect& rect) {
  return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

QPolygonF ToQPolygon(const std::vector<TwipPoint>& points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const TwipPoint& point : points) polygon << ToQPoint(point);
  return polygon;
}

Qt::PenStyle ToQtPenStyle(MetafilePenStyle style) {
  switch (style) {
    case MetafilePenStyle::kDash:
      return Qt::DashLine;
    case MetafilePenStyle::kDot:
      return Qt::DotLine;
    case MetafilePenStyle::kDashDot:
      return Qt::DashDotLine;
    case MetafilePenStyle::kDashDotDot:
      return Qt::DashDotDotLine;
    case MetafilePenStyle::kNull:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

Qt::BrushStyle ToQtHatch(std::uint16_t hatch) {
  // HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS
  static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
  return hatch < std::size(kHatches) ? kHatches[hatch] : Qt::CrossPattern;
}

QBrush ToQBrush(const CanvasBrush& brush) {
  switch (brush.style) {
    case MetafileBrushStyle::kNull:
      return Qt::NoBrush;
    case MetafileBrushStyle::kHatched:
      return QBrush(ToQColor(brush.color), ToQtHatch(brush.hatch));
    default:
      return QBrush(ToQColor(brush.color));
  }
}

// A MetafileCanvas on a QPainter whose logical unit is one twip.
class QtMetafileCanvas : public MetafileCanvas {
 public:
  explicit QtMetafileCanvas(QPainter& painter) : painter_(painter) {
    painter_.setBackground(Qt::white);
    font_.setPixelSize(static_cast<int>(kDefaultFontTwips));
  }

  void SetPen(const CanvasPen& pen) override {
    QPen qtPen(ToQColor(pen.color));
    qtPen.setStyle(ToQtPenStyle(pen.style));
    qtPen.setWidthF(pen.width);
    qtPen.setCosmetic(pen.width == 0);
    painter_.setPen(qtPen);
  }

  void SetBrush(const CanvasBrush& brush) override { painter_.setBrush(ToQBrush(brush)); }

  void SetFont(const CanvasFont& font) override {
    QFont qtFont(FontSubstitution(QString::fromStdString(font.faceName)));
    qtFont.setPixelSize(
        static_cast<int>(std::lround(font.height > 0 ? font.height : kDefaultFontTwips)));
    // GDI's weight 0 leaves the choice to the mapper; Qt takes 1 to 1000.
    qtFont.setWeight(font.weight == 0 ? QFont::Normal
                                      : QFont::Weight(std::clamp(font.weight, 1, 1000)));
    qtFont.setItalic(font.italic);
    qtFont.setUnderline(font.underline);
    qtFont.setStrikeOut(font.strikeOut);
    font_ = qtFont;
    escapementDegrees_ = font.escapementDegrees;
  }

  void SetTextColor(MetafileColor color) override { textColor_ = ToQColor(color); }
  void SetTextAlign(TextAlign align) override { align_ = align; }
  void SetBackgroundOpaque(bool opaque) override { opaque_ = opaque; }

  void Line(TwipPoint from, TwipPoint to) override {
    painter_.drawLine(ToQPoint(from), ToQPoint(to));
  }
  void Polyline(const std::vector<TwipPoint>& points) override {
    painter_.drawPolyline(ToQPolygon(points));
  }
  void Polygon(const std::vector<TwipPoint>& points) override {
    painter_.drawPolygon(ToQPolygon(points));
  }
  void Rectangle(const TwipRect& rect) override { painter_.drawRect(ToQRect(rect)); }
  void Ellipse(const TwipRect& rect) override { painter_.drawEllipse(ToQRect(rect)); }
  void Arc(const TwipRect& rect, double startDegrees, double spanDegrees) override {
    QPainterPath path;
    path.arcMoveTo(ToQRect(rect), startDegrees);
    path.arcTo(ToQRect(rect), startDegrees, spanDegrees);
    painter_.strokePath(path, painter_.pen());
  }

  void Text(TwipPoint at, const std::string& text) override {
    const QString qtText = QString::fromStdString(text);
    painter_.save();
    painter_.setFont(font_);
    painter_.setPen(textColor_);
    painter_.translate(at.x, at.y);
    painter_.rotate(-escapementDegrees_);
    const QFontMetricsF metrics(font_);
    const QPointF baselineStart(AlignedLeft(metrics.horizontalAdvance(qtText)),
                                AlignedBaseline(metrics));
    if (opaque_) {
      const QRectF box(baselineStart.x(), baselineStart.y() - metrics.ascent(),
                       metrics.horizontalAdvance(qtText), metrics.height());
      painter_.fillRect(box, painter_.background());
    }
    painter_.drawText(baselineStart, qtText);
    painter_.restore();
  }

 private:
  double AlignedLeft(double width) const {
    switch (align_.horizontal) {
      case HorizontalAlign::kCenter:
        return -width / 2;
      case HorizontalAlign::kRight:
        return -width;
      default:
        return 0;
    }
  }

  double AlignedBaseline(const QFontMetricsF& metrics) const {
    switch (align_.vertical) {
      case VerticalAlign::kTop:
        return metrics.ascent();
      case VerticalAlign::kBottom:
        return -metrics.descent();
      default:
        return 0;
    }
  }

  QPainter& painter_;
  QFont font_;
  double escapementDegrees_ = 0;
  QColor textColor_{Qt::black};
  TextAlign align_;
  bool opaque_ = true;
};

}  // namespace

void PaintMetafile(QPainter& painter, const Metafile& picture, double xTwips, double yTwips) {
  painter.save();
  QtMetafileCanvas canvas(painter);
  ReplayMetafile(picture, canvas, xTwips, yTwips);
  painter.restore();
}

}  // namespace sekora
