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

// The dashes and gaps of each GDI pen style in twips: those a one-pixel line
// of that style has on a 96-dpi screen (a pixel is 15 twips), the preview
// the figures are drawn for, so that paper shows the pattern the screen does.
QList<qreal> DashTwips(MetafilePenStyle style) {
  constexpr qreal kDash = 60.0;
  constexpr qreal kDot = 15.0;
  constexpr qreal kGap = 30.0;
  switch (style) {
    case MetafilePenStyle::kDash:
      return {kDash, kGap};
    case MetafilePenStyle::kDot:
      return {kDot, kGap};
    case MetafilePenStyle::kDashDot:
      return {kDash, kGap, kDot, kGap};
    case MetafilePenStyle::kDashDotDot:
      return {kDash, kGap, kDot, kGap, kDot, kGap};
    default:
      return {};
  }
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
  QtMetafileCanvas(QPainter& painter, const QPen& sheetPen)
      : painter_(painter), sheetPen_(sheetPen) {
    painter_.setBackground(Qt::white);
    font_.setPixelSize(static_cast<int>(kDefaultFontTwips));
  }

  void SetPen(const CanvasPen& pen) override {
    QPen qtPen(ToQColor(pen.color));
    qtPen.setStyle(ToQtPenStyle(pen.style));
    const bool thinnest = pen.width == 0;
    qtPen.setWidthF(thinnest ? sheetPen_.widthF() : pen.width);
    qtPen.setCosmetic(thinnest && sheetPen_.isCosmetic());
    // A cosmetic pen's dashes are counted in device pixels, as on the
    // screen; any other pen's in its own widths, so they are set from the
    // lengths on paper.
    const QList<qreal> dashes = DashTwips(pen.style);
    if (!qtPen.isCosmetic() && !dashes.isEmpty() && qtPen.widthF() > 0) {
      QList<qreal> pattern;
      for (qreal length : dashes) pattern.append(length / qtPen.widthF());
      qtPen.setDashPattern(pattern);
    }
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
    const double width = metrics.horizontalAdvance(qtText);
    const QPointF baselineStart(AlignedLeft(width), AlignedBaseline(metrics));
    if (opaque_) {
      const QRectF box(baselineStart.x(), baselineStart.y() - metrics.ascent(), width,
                       metrics.height());
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
  QPen sheetPen_;
  QFont font_;
  double escapementDegrees_ = 0;
  QColor textColor_{Qt::black};
  TextAlign align_;
  bool opaque_ = true;
};

}  // namespace

void PaintMetafile(QPainter& painter, const Metafile& picture, double xTwips, double yTwips,
                   const QPen& sheetPen) {
  painter.save();
  QtMetafileCanvas canvas(painter, sheetPen);
  ReplayMetafile(picture, canvas, xTwips, yTwips);
  painter.restore();
}

}  // namespace sekora
