#include "OutlineTextDevice.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace sekora {

namespace {

// The em of `font` in the painter's logical units, which the sheet and the
// figures give as pixel sizes.
double EmSize(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
}

}  // namespace

// Claims every feature, so the painter hands over untransformed shapes with
// its whole state, which the target painter then applies as it is.
class OutlineTextDevice::Engine : public QPaintEngine {
 public:
  explicit Engine(QPainter& target) : QPaintEngine(AllFeatures), target_(target) {}

  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  Type type() const override { return User; }

  void updateState(const QPaintEngineState& state) override {
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyPen) {
      pen_ = state.pen();
      target_.setPen(pen_);
    }
    if (dirty & DirtyBrush) target_.setBrush(state.brush());
    if (dirty & DirtyBrushOrigin) target_.setBrushOrigin(state.brushOrigin());
    if (dirty & DirtyBackground) target_.setBackground(state.backgroundBrush());
    if (dirty & DirtyBackgroundMode) target_.setBackgroundMode(state.backgroundMode());
    if (dirty & DirtyHints) target_.setRenderHints(state.renderHints());
    if (dirty & DirtyCompositionMode) target_.setCompositionMode(state.compositionMode());
    if (dirty & DirtyOpacity) target_.setOpacity(state.opacity());
    // The transform comes before the clip, which is given in logical units.
    if (dirty & DirtyTransform) {
      transform_ = state.transform();
      target_.setTransform(transform_);
    }
    if (dirty & DirtyClipPath) target_.setClipPath(state.clipPath(), state.clipOperation());
    if (dirty & DirtyClipRegion) target_.setClipRegion(state.clipRegion(), state.clipOperation());
    if (dirty & DirtyClipEnabled) target_.setClipping(state.isClipEnabled());
  }

  void drawPath(const QPainterPath& path) override { target_.drawPath(path); }

  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    const QPolygonF polygon(QList<QPointF>(points, points + count));
    if (mode == PolylineMode) {
      target_.drawPolyline(polygon);
    } else {
      target_.drawPolygon(polygon, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
  }

  void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
    target_.drawPixmap(rect, pixmap, source);
  }

  void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                 Qt::ImageConversionFlags flags) override {
    target_.drawImage(rect, image, source, flags);
  }

  // The glyphs become a path filled with the pen's colour, as text is drawn.
  void drawTextItem(const QPointF& baselineStart, const QTextItem& item) override {
    QPainterPath outline;
    outline.addText(baselineStart, item.font(), item.text());
    target_.fillPath(outline, pen_.brush());
    Remember(baselineStart, item);
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
      OutlinedText& last = texts_.back();
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

  const std::vector<OutlinedText>& Texts() const { return texts_; }

 private:
  QPainter& target_;
  QPen pen_;
  QTransform transform_;
  std::vector<OutlinedText> texts_;
  double lastEnd_ = 0.0;  // where the last text remembered ends
};

OutlineTextDevice::OutlineTextDevice(QPainter& target)
    : targetDevice_(*target.device()), engine_(std::make_unique<Engine>(target)) {}

OutlineTextDevice::~OutlineTextDevice() = default;

QPaintEngine* OutlineTextDevice::paintEngine() const {
  return engine_.get();
}

const std::vector<OutlinedText>& OutlineTextDevice::Texts() const {
  return engine_->Texts();
}

int OutlineTextDevice::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth:
      return targetDevice_.width();
    case PdmHeight:
      return targetDevice_.height();
    case PdmWidthMM:
      return targetDevice_.widthMM();
    case PdmHeightMM:
      return targetDevice_.heightMM();
    case PdmNumColors:
      return targetDevice_.colorCount();
    case PdmDepth:
      return targetDevice_.depth();
    case PdmDpiX:
      return targetDevice_.logicalDpiX();
    case PdmDpiY:
      return targetDevice_.logicalDpiY();
    case PdmPhysicalDpiX:
      return targetDevice_.physicalDpiX();
    case PdmPhysicalDpiY:
      return targetDevice_.physicalDpiY();
    case PdmDevicePixelRatio:
      return static_cast<int>(targetDevice_.devicePixelRatio());
    case PdmDevicePixelRatioScaled:
      return static_cast<int>(targetDevice_.devicePixelRatio() * devicePixelRatioFScale());
    default:
      return QPaintDevice::metric(metric);
  }
}

}  // namespace sekora
