#include "QtSurface.h"

#include <QFontMetricsF>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "FontSubstitution.h"
#include "Metafile.h"
#include "QtMetafilePainter.h"
#include "Twips.h"

namespace sekora {

namespace {

constexpr double kTwipsPerPoint = 20.0;

}  // namespace

QtSurface::QtSurface(QPainter& painter, double dpi) : painter_(painter) {
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
  font_ = QFont(FontSubstitution(QString::fromStdString(typeface_)));
  font_.setPixelSize(std::max(1, static_cast<int>(std::lround(points_ * kTwipsPerPoint))));
  font_.setItalic(italic_);
  // Unhinted outlines keep the advances proportional to the size, so a
  // half-width character stays exactly half a full-width one.
  font_.setHintingPreference(QFont::PreferNoHinting);
  font_.setKerning(false);
  painter_.setFont(font_);
}

double QtSurface::TextWidth(const std::string& text) const {
  return QFontMetricsF(font_).horizontalAdvance(QString::fromStdString(text));
}

double QtSurface::TextHeight(const std::string&) const {
  return QFontMetricsF(font_).height();
}

void QtSurface::UsePaperPenUnit(double twips) {
  paperPenUnit_ = twips;
  SetDrawWidth(drawWidth_);
}

void QtSurface::SetDrawWidth(int width) {
  drawWidth_ = width;
  QPen pen(Qt::black);
  if (paperPenUnit_ > 0.0) {
    // A pen in logical units scales with the page like everything else.
    pen.setWidthF(width * paperPenUnit_);
  } else {
    pen.setCosmetic(true);
    pen.setWidth(width);
  }
  painter_.setPen(pen);
}

void QtSurface::Print(const std::string& text) {
  const QString line = QString::fromStdString(text);
  const QFontMetricsF metrics(font_);
  painter_.drawText(QPointF(currentX_, currentY_ + metrics.ascent()), line);
  currentX_ += metrics.horizontalAdvance(line);
}

void QtSurface::Line(double x1, double y1, double x2, double y2) {
  painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtSurface::PaintPicture(const std::string& path, double x, double y) {
  const Metafile picture = LoadMetafile(path);
  painter_.save();
  PaintMetafile(painter_, picture, x, y);
  painter_.restore();
}

}  // namespace sekora
