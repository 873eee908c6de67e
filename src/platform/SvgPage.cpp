#include "SvgPage.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

namespace sekora {

namespace {

constexpr double kMillimetresPerInch = 25.4;
// Lengths are written to a hundredth of the painter's unit (for the sheet a
// hundredth of a twip, 1/144000 inch), the transform to eight decimals: far
// finer than any printer or screen shows, and the same on every platform.
constexpr int kLengthDecimals = 2;
constexpr int kMatrixDecimals = 8;
constexpr int kOpacityDecimals = 3;

// One text as it was drawn: the left end of its baseline and its size, in
// the page's pixels.
struct PageText {
  QString text;
  QPointF baselineStart;
  double pixelSize = 0.0;
};

// The em of `font` in the painter's logical units, which the sheet and the
// figures give as pixel sizes.
double EmSize(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
}

const char* LineCap(Qt::PenCapStyle cap) {
  switch (cap) {
    case Qt::FlatCap:
      return "butt";
    case Qt::RoundCap:
      return "round";
    default:
      return "square";
  }
}

bool EndsSubpath(const QPainterPath& path, int element) {
  return element + 1 == path.elementCount() || path.elementAt(element + 1).isMoveTo();
}

}  // namespace

// Claims every feature, so that the painter hands over untransformed shapes
// with its whole state, and writes each shape as a path in the painter's
// logical units inside a group that carries the pen, the brush and the
// transform. Consecutive shapes drawn alike share one group.
class SvgPage::Engine : public QPaintEngine {
 public:
  Engine(QSize pixels, int dpi, const QString& title)
      : QPaintEngine(AllFeatures), pixels_(pixels), dpi_(dpi), title_(title) {}

  bool begin(QPaintDevice*) override {
    body_.clear();
    group_.clear();
    texts_.clear();
    document_.clear();
    writable_ = true;
    return true;
  }

  bool end() override {
    CloseGroup();
    document_ = Header() + body_;
    AppendHiddenTexts(document_);
    document_ += "</svg>\n";
    body_.clear();
    if (!writable_) document_.clear();
    return writable_;
  }

  Type type() const override { return User; }

  void updateState(const QPaintEngineState& state) override {
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyPen) pen_ = state.pen();
    if (dirty & DirtyBrush) brush_ = state.brush();
    if (dirty & DirtyTransform) transform_ = state.transform();
    // The sheet neither clips nor fades; either would be lost here.
    if ((dirty & DirtyOpacity) && state.opacity() < 1.0) writable_ = false;
    if ((dirty & (DirtyClipPath | DirtyClipRegion)) && state.clipOperation() != Qt::NoClip) {
      writable_ = false;
    }
  }

  void drawPath(const QPainterPath& path) override { WriteShape(path, pen_, brush_); }

  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    QPainterPath path;
    path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
    path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
    if (mode == PolylineMode) {
      WriteShape(path, pen_, Qt::NoBrush);  // a polyline is never filled
    } else {
      path.closeSubpath();
      WriteShape(path, pen_, brush_);
    }
  }

  // The glyphs become a path filled with the pen's colour, as text is drawn.
  void drawTextItem(const QPointF& baselineStart, const QTextItem& item) override {
    QPainterPath outline;
    outline.addText(baselineStart, item.font(), item.text());
    WriteShape(outline, Qt::NoPen, pen_.brush());
    Remember(baselineStart, item);
  }

  // The sheet draws no pictures; one drawn here would be lost.
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { writable_ = false; }

  const QByteArray& Document() const { return document_; }

 private:
  QByteArray Header() {
    QByteArray header =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    AppendNumber(header, pixels_.width() * kMillimetresPerInch / dpi_, 3);
    header += "mm\" height=\"";
    AppendNumber(header, pixels_.height() * kMillimetresPerInch / dpi_, 3);
    header += "mm\" viewBox=\"0 0 " + QByteArray::number(pixels_.width()) + ' ' +
              QByteArray::number(pixels_.height()) + "\">\n<title>" +
              title_.toHtmlEscaped().toUtf8() + "</title>\n";
    return header;
  }

  void WriteShape(const QPainterPath& path, const QPen& pen, const QBrush& brush) {
    if (path.isEmpty()) return;
    QByteArray style;
    AppendFill(style, brush, path.fillRule());
    AppendStroke(style, pen);
    AppendTransform(style);
    if (style != group_) {
      CloseGroup();
      body_ += "<g" + style + ">\n";
      group_ = style;
    }
    body_ += "<path d=\"";
    AppendPathData(path);
    body_ += "\"/>\n";
  }

  void CloseGroup() {
    if (!group_.isEmpty()) body_ += "</g>\n";
    group_.clear();
  }

  void AppendFill(QByteArray& style, const QBrush& brush, Qt::FillRule rule) {
    if (brush.style() == Qt::NoBrush) {
      style += " fill=\"none\"";
      return;
    }
    if (brush.style() != Qt::SolidPattern) writable_ = false;
    AppendPaint(style, "fill", brush.color());
    if (rule == Qt::OddEvenFill) style += " fill-rule=\"evenodd\"";
  }

  void AppendStroke(QByteArray& style, const QPen& pen) {
    if (pen.style() == Qt::NoPen) {
      style += " stroke=\"none\"";
      return;
    }
    if (pen.brush().style() != Qt::SolidPattern) writable_ = false;
    AppendPaint(style, "stroke", pen.color());
    // A cosmetic pen is measured in the page's pixels whatever the
    // transform, and a zero width is one pixel, as Qt draws it.
    const double unit =
        pen.isCosmetic() ? 1.0 / std::sqrt(std::abs(transform_.determinant())) : 1.0;
    const double width = (pen.widthF() > 0.0 ? pen.widthF() : 1.0) * unit;
    AppendAttribute(style, "stroke-width", width, kLengthDecimals);
    style += " stroke-linecap=\"";
    style += LineCap(pen.capStyle());
    style += '"';
    AppendJoin(style, pen);
    // Qt gives the dashes and their offset in pen widths.
    if (pen.style() != Qt::SolidLine) {
      style += " stroke-dasharray=\"";
      const QList<qreal> pattern = pen.dashPattern();
      for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (i > 0) style += ',';
        AppendNumber(style, pattern[i] * width, kLengthDecimals);
      }
      style += '"';
      if (pen.dashOffset() != 0.0) {
        AppendAttribute(style, "stroke-dashoffset", pen.dashOffset() * width, kLengthDecimals);
      }
    }
  }

  // Qt cuts a miter whose tip lies more than the limit (in pen widths) beyond
  // the stroke's outer edge, or, for its SVG join, half the limit from the
  // joint, which is SVG's own rule.
  void AppendJoin(QByteArray& style, const QPen& pen) {
    switch (pen.joinStyle()) {
      case Qt::RoundJoin:
        style += " stroke-linejoin=\"round\"";
        return;
      case Qt::BevelJoin:
        style += " stroke-linejoin=\"bevel\"";
        return;
      case Qt::SvgMiterJoin:
        style += " stroke-linejoin=\"miter\"";
        AppendAttribute(style, "stroke-miterlimit", std::max(1.0, pen.miterLimit()), 3);
        return;
      default:
        style += " stroke-linejoin=\"miter\"";
        AppendAttribute(style, "stroke-miterlimit", std::hypot(1.0, 2.0 * pen.miterLimit()), 3);
        return;
    }
  }

  void AppendPaint(QByteArray& style, const char* name, const QColor& colour) {
    style += ' ';
    style += name;
    style += "=\"" + colour.name(QColor::HexRgb).toLatin1() + '"';
    if (colour.alpha() < 255) {
      AppendAttribute(style, QByteArray(name) + "-opacity", colour.alphaF(), kOpacityDecimals);
    }
  }

  void AppendTransform(QByteArray& style) {
    if (transform_.isIdentity()) return;
    style += " transform=\"matrix(";
    const double values[] = {transform_.m11(), transform_.m12(), transform_.m21(),
                             transform_.m22(), transform_.dx(),  transform_.dy()};
    for (std::size_t i = 0; i < std::size(values); ++i) {
      if (i > 0) style += ',';
      AppendNumber(style, values[i], kMatrixDecimals);
    }
    style += ")\"";
  }

  // A subpath that ends where it began is closed with "Z", so that its ends
  // are joined instead of capped, as Qt strokes it.
  void AppendPathData(const QPainterPath& path) {
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
      const QPainterPath::Element element = path.elementAt(i);
      if (element.isMoveTo()) {
        start = element;
        body_ += 'M';
        AppendPoint(element);
      } else if (element.isLineTo()) {
        if (EndsSubpath(path, i) && QPointF(element) == start) {
          body_ += 'Z';
          continue;
        }
        body_ += 'L';
        AppendPoint(element);
      } else {  // a cubic curve: two control points, then its end
        body_ += 'C';
        AppendPoint(element);
        body_ += ' ';
        AppendPoint(path.elementAt(++i));
        body_ += ' ';
        AppendPoint(path.elementAt(++i));
        if (EndsSubpath(path, i) && QPointF(path.elementAt(i)) == start) body_ += 'Z';
      }
    }
  }

  void AppendPoint(const QPointF& point) {
    AppendNumber(body_, point.x(), kLengthDecimals);
    body_ += ',';
    AppendNumber(body_, point.y(), kLengthDecimals);
  }

  void AppendAttribute(QByteArray& style, const QByteArray& name, double value, int decimals) {
    style += ' ' + name + "=\"";
    AppendNumber(style, value, decimals);
    style += '"';
  }

  // Fixed-point, without trailing zeros, in no locale: the same text for the
  // same value everywhere. A value that is no number cannot be written.
  void AppendNumber(QByteArray& out, double value, int decimals) {
    char text[400];  // the longest finite double in fixed notation, and more
    const auto [end, error] =
        std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, decimals);
    if (!std::isfinite(value) || error != std::errc()) {
      writable_ = false;
      return;
    }
    const char* last = end;
    if (decimals > 0) {
      while (last[-1] == '0') --last;
      if (last[-1] == '.') --last;
    }
    const bool negativeZero = last - text == 2 && text[0] == '-' && text[1] == '0';
    const char* first = negativeZero ? text + 1 : text;
    out.append(first, last - first);
  }

  // The painter splits a text into runs of one script each; a run that goes
  // on where the one before it ended joins it again, so that a text is kept
  // as the words it was printed as.
  void Remember(const QPointF& baselineStart, const QTextItem& item) {
    const double scale = std::sqrt(std::abs(transform_.determinant()));
    const QPointF start = transform_.map(baselineStart);
    const double size = EmSize(item.font()) * scale;
    const double advance = QFontMetricsF(item.font()).horizontalAdvance(item.text()) * scale;
    constexpr double kSameSpot = 0.01;
    if (!texts_.empty()) {
      PageText& last = texts_.back();
      if (std::abs(last.baselineStart.y() - start.y()) < kSameSpot && last.pixelSize == size &&
          std::abs(lastEnd_ - start.x()) < kSameSpot * size) {
        last.text += item.text();
        lastEnd_ += advance;
        return;
      }
    }
    texts_.push_back({item.text(), start, size});
    lastEnd_ = start.x() + advance;
  }

  // The texts of the page as invisible text over their outlines, in the
  // page's pixels, so that the words can still be found and selected.
  void AppendHiddenTexts(QByteArray& out) {
    if (texts_.empty()) return;
    out +=
        "<g fill=\"#000000\" fill-opacity=\"0\" stroke=\"none\" font-family=\"IPAMincho, "
        "serif\">\n";
    for (const PageText& text : texts_) {
      out += "<text x=\"";
      AppendNumber(out, text.baselineStart.x(), kLengthDecimals);
      out += "\" y=\"";
      AppendNumber(out, text.baselineStart.y(), kLengthDecimals);
      out += "\" font-size=\"";
      AppendNumber(out, text.pixelSize, kLengthDecimals);
      out += "\">" + text.text.toHtmlEscaped().toUtf8() + "</text>\n";
    }
    out += "</g>\n";
  }

  const QSize pixels_;
  const int dpi_;
  const QString title_;
  QPen pen_;
  QBrush brush_;
  QTransform transform_;
  QByteArray body_;
  QByteArray group_;  // the attributes of the group open in the body, if any
  std::vector<PageText> texts_;
  double lastEnd_ = 0.0;  // where the last text remembered ends
  bool writable_ = true;  // nothing drawn so far is beyond what SVG is written with
  QByteArray document_;
};

SvgPage::SvgPage(QSize pixels, int dpi, const QString& title)
    : pixels_(pixels), dpi_(dpi), engine_(std::make_unique<Engine>(pixels, dpi, title)) {}

SvgPage::~SvgPage() = default;

QPaintEngine* SvgPage::paintEngine() const {
  return engine_.get();
}

const QByteArray& SvgPage::Document() const {
  return engine_->Document();
}

int SvgPage::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth:
      return pixels_.width();
    case PdmHeight:
      return pixels_.height();
    case PdmWidthMM:
      return static_cast<int>(std::lround(pixels_.width() * kMillimetresPerInch / dpi_));
    case PdmHeightMM:
      return static_cast<int>(std::lround(pixels_.height() * kMillimetresPerInch / dpi_));
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return dpi_;
    case PdmDepth:
      return 32;
    case PdmDevicePixelRatio:
      return 1;
    default:
      return QPaintDevice::metric(metric);
  }
}

}  // namespace sekora
