// A MetafileCanvas that keeps what it is asked to draw, for the tests.
#pragma once

#include <string>
#include <vector>

#include "MetafileCanvas.h"

namespace sekora::test {

struct RecordedText {
  TwipPoint at;
  std::string text;
  TextAlign align;
  CanvasFont font;
};

struct RecordedArc {
  TwipRect rect;
  double startDegrees;
  double spanDegrees;
};

class RecordingCanvas : public MetafileCanvas {
 public:
  void SetPen(const CanvasPen& pen) override { pens.push_back(pen); }
  void SetBrush(const CanvasBrush& brush) override { brushes.push_back(brush); }
  void SetFont(const CanvasFont& font) override { font_ = font; }
  void SetTextColor(MetafileColor) override {}
  void SetTextAlign(TextAlign align) override { align_ = align; }
  void SetBackgroundOpaque(bool opaque) override { backgroundOpaque = opaque; }

  void Line(TwipPoint from, TwipPoint to) override { lines.push_back({from, to}); }
  void Polyline(const std::vector<TwipPoint>& points) override { polylines.push_back(points); }
  void Polygon(const std::vector<TwipPoint>& points) override { polygons.push_back(points); }
  void Rectangle(const TwipRect& rect) override { rectangles.push_back(rect); }
  void Ellipse(const TwipRect& rect) override { ellipses.push_back(rect); }
  void Arc(const TwipRect& rect, double start, double span) override {
    arcs.push_back({rect, start, span});
  }
  void Text(TwipPoint at, const std::string& text) override {
    texts.push_back({at, text, align_, font_});
  }

  // Every point the drawing touches: line and polygon vertices, the
  // corners of rectangles and the boxes of ellipses and arcs.
  std::vector<TwipPoint> AllPoints() const {
    std::vector<TwipPoint> points;
    for (const auto& line : lines) points.insert(points.end(), line.begin(), line.end());
    for (const auto& list : polylines) points.insert(points.end(), list.begin(), list.end());
    for (const auto& list : polygons) points.insert(points.end(), list.begin(), list.end());
    auto addRect = [&points](const TwipRect& r) {
      points.push_back({r.left, r.top});
      points.push_back({r.right, r.bottom});
    };
    for (const auto& rect : rectangles) addRect(rect);
    for (const auto& rect : ellipses) addRect(rect);
    for (const auto& arc : arcs) addRect(arc.rect);
    for (const auto& text : texts) points.push_back(text.at);
    return points;
  }

  std::vector<CanvasPen> pens;
  std::vector<CanvasBrush> brushes;
  bool backgroundOpaque = false;
  std::vector<std::vector<TwipPoint>> lines;  // each {from, to}
  std::vector<std::vector<TwipPoint>> polylines;
  std::vector<std::vector<TwipPoint>> polygons;
  std::vector<TwipRect> rectangles;
  std::vector<TwipRect> ellipses;
  std::vector<RecordedArc> arcs;
  std::vector<RecordedText> texts;

 private:
  CanvasFont font_;
  TextAlign align_;
};

}  // namespace sekora::test
