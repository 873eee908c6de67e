#include "QtSurface.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "FontSubstitution.h"
#include "QtMetafilePainter.h"
#include "Twips.h"

namespace sekora {

namespace {

constexpr double kTwipsPerPoint = 20.0;

}  // namespace

// Qt's PDF engine writes a text laid out once the same as the string drawn
// anew; a raster engine may put the glyphs of a layout on other fractions of
// a pixel, so pixels are drawn from the string.
QtSurface::QtSurface(QPainter& painter, double dpi)
    : painter_(painter),
      drawsLayouts_(painter.paintEngine() != nullptr &&
                    painter.paintEngine()->type() == QPaintEngine::Pdf) {
  const double scale = dpi / kTwipsPerInch;
  painter_.setWorldTransform(QTransform::fromScale(scale, scale), true);
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::TextAntialiasing);
  SetDrawWidth(1);
  ApplyFont();
}

void QtSurface::SetFont(const std::string& typeface) {
  typeface_ = typeface;
  ApplyFont();
}

void QtSurface::SetFontSize(double points) {
  points_ = points;
  ApplyFont();
}

void QtSurface::SetFontItalic(bool italic) {
  italic_ = italic;
  ApplyFont();
}

void QtSurface::ApplyFont() {
  const FontKey key{typeface_, points_, italic_};
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    QFont font(FontSubstitution(QString::fromStdString(typeface_)));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points_ * kTwipsPerPoint))));
    font.setItalic(italic_);
    // Unhinted outlines keep the advances proportional to the size, so a
    // half-width character stays exactly half a full-width one.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    found = fonts_.emplace(key, MeasuredFont{font, QFontMetricsF(font), {}, {}}).first;
  }
  font_ = &found->second;
  painter_.setFont(font_->font);
}

double QtSurface::Width(const std::string& text) const {
  const auto known = font_->widths.find(text);
  if (known != font_->widths.end()) return known->second;
  const double width = font_->metrics.horizontalAdvance(QString::fromStdString(text));
  font_->widths.emplace(text, width);
  return width;
}

double QtSurface::TextWidth(const std::string& text) const {
  return Width(text);
}

double QtSurface::TextHeight(const std::string&) const {
  return font_->metrics.height();
}

void QtSurface::UsePaperPenUnit(double twips, double thinnestTwips) {
  paperPenUnit_ = twips;
  thinnestTwips_ = thinnestTwips;
  SetDrawWidth(drawWidth_);
}

void QtSurface::SetDrawWidth(int width) {
  drawWidth_ = width;
  QPen pen(Qt::black);
  if (paperPenUnit_ > 0.0) {
    // A pen in logical units scales with the page like everything else.
    pen.setWidthF(std::max(width * paperPenUnit_, thinnestTwips_));
  } else {
    pen.setCosmetic(true);
    pen.setWidth(width);
  }
  painter_.setPen(pen);
}

const QTextLayout& QtSurface::LayoutOf(const std::string& text) {
  std::unique_ptr<QTextLayout>& layout = font_->layouts[text];
  if (!layout) {
    layout =
        std::make_unique<QTextLayout>(QString::fromStdString(text), font_->font, painter_.device());
    layout->setCacheEnabled(true);
    layout->beginLayout();
    layout->createLine();
    layout->endLayout();
  }
  return *layout;
}

void QtSurface::Print(const std::string& text) {
  const double baseline = currentY_ + font_->metrics.ascent();
  if (drawsLayouts_) {
    DrawLaidOut(text, baseline);
  } else {
    painter_.drawText(QPointF(currentX_, baseline), QString::fromStdString(text));
  }
  currentX_ += Width(text);
}

// A PDF writes out every glyph of a text, a blank too, so the blanks that
// pad a value to its field are left out and the rest stands where it would.
// Its glyphs stand where drawing the string puts them, the baseline one
// ascent of the font below the current position even when a fallback face
// makes the laid-out line taller.
void QtSurface::DrawLaidOut(const std::string& text, double baseline) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return;
  const std::size_t last = text.find_last_not_of(' ');
  const double indent = first > 0 ? Width(text.substr(0, first)) : 0.0;
  const QTextLayout& layout = LayoutOf(text.substr(first, last - first + 1));
  const double lineAscent = layout.lineCount() > 0 ? layout.lineAt(0).ascent() : 0.0;
  layout.draw(&painter_, QPointF(currentX_ + indent, baseline - lineAscent));
}

void QtSurface::Line(double x1, double y1, double x2, double y2) {
  painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtSurface::PaintPicture(const std::string& path, double x, double y) {
  auto picture = pictures_.find(path);
  if (picture == pictures_.end()) picture = pictures_.emplace(path, LoadMetafile(path)).first;
  painter_.save();
  PaintMetafile(painter_, picture->second, x, y, painter_.pen());
  painter_.restore();
}

}  // namespace sekora
