// A paint device that hands every drawing on to another painter, except that
// text arrives there as filled glyph outlines. A file drawn through it shows
// its text the same on every machine, whatever fonts that machine has; the
// texts themselves are remembered so the file can still carry them as words.
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <memory>
#include <vector>

namespace sekora {

// One text as it was drawn: the left end of its baseline and its size, in
// the coordinates of the target device.
struct OutlinedText {
  QString text;
  QPointF baselineStart;
  double pixelSize = 0.0;
};

class OutlineTextDevice : public QPaintDevice {
 public:
  // `target` must be active on the real device and stay so while this
  // device is painted on; both share its size and resolution.
  explicit OutlineTextDevice(QPainter& target);
  ~OutlineTextDevice() override;

  QPaintEngine* paintEngine() const override;

  // Every text drawn so far, in drawing order.
  const std::vector<OutlinedText>& Texts() const;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  class Engine;
  QPaintDevice& targetDevice_;
  std::unique_ptr<Engine> engine_;
};

}  // namespace sekora
