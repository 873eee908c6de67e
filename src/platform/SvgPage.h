// One page of an SVG 1.1 document as a paint device, so that the sheet goes
// into SVG through the same QPainter calls that put it on paper, in a PDF and
// in a PNG, with the same bytes on every platform.
//
// Text becomes filled glyph outlines, which look the same wherever the file
// is opened, whatever fonts are installed there; the words are kept as
// invisible text at the same places, so that they can still be found and
// selected. The device writes what the sheet draws: paths, polygons and lines
// with solid pens (any width, cap, join and dash pattern) and solid brushes,
// under any transform, and text. Anything else would be lost on the way
// (pictures, pattern brushes, clipping, opacity), so a page that draws any of
// it fails to end rather than leaving out part of the drawing.
#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>
#include <memory>

namespace sekora {

class SvgPage : public QPaintDevice {
 public:
  // A page `pixels` large at `dpi`: the document's viewBox is the page in
  // those pixels, its width and height are the page's size on paper.
  SvgPage(QSize pixels, int dpi, const QString& title);
  ~SvgPage() override;

  QPaintEngine* paintEngine() const override;

  // The whole document, once a painter has ended on the page successfully.
  const QByteArray& Document() const;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  class Engine;
  QSize pixels_;
  int dpi_;
  std::unique_ptr<Engine> engine_;
};

}  // namespace sekora
