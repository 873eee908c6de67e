// The metafile reader on any bytes: it reads a picture or fails with
// FigureError naming the file, and a picture it reads replays onto a canvas
// with finite coordinates and sizes only.
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "FigureError.h"
#include "FuzzCheck.h"
#include "Metafile.h"
#include "MetafileCanvas.h"
#include "MetafileReplay.h"

namespace {

using sekora::fuzz::Require;

// A canvas that draws nothing and checks every value it is given.
class CheckingCanvas : public sekora::MetafileCanvas {
 public:
  void SetPen(const sekora::CanvasPen& pen) override {
    Require(std::isfinite(pen.width) && pen.width >= 0, "pen width is finite and not negative");
  }
  void SetBrush(const sekora::CanvasBrush&) override {}
  void SetFont(const sekora::CanvasFont& font) override {
    Require(std::isfinite(font.height) && font.height >= 0, "font height is finite");
    Require(std::isfinite(font.escapementDegrees), "font escapement is finite");
  }
  void SetTextColor(sekora::MetafileColor) override {}
  void SetTextAlign(sekora::TextAlign) override {}
  void SetBackgroundOpaque(bool) override {}
  void Line(sekora::TwipPoint from, sekora::TwipPoint to) override {
    CheckPoint(from);
    CheckPoint(to);
  }
  void Polyline(const std::vector<sekora::TwipPoint>& points) override { CheckPoints(points); }
  void Polygon(const std::vector<sekora::TwipPoint>& points) override { CheckPoints(points); }
  void Rectangle(const sekora::TwipRect& rect) override { CheckRect(rect); }
  void Ellipse(const sekora::TwipRect& rect) override { CheckRect(rect); }
  void Arc(const sekora::TwipRect& rect, double startDegrees, double spanDegrees) override {
    CheckRect(rect);
    Require(std::isfinite(startDegrees), "arc start is finite");
    Require(spanDegrees > 0 && spanDegrees <= 360, "arc span lies in (0, 360]");
  }
  void Text(sekora::TwipPoint at, const std::string&) override { CheckPoint(at); }

 private:
  static void CheckPoint(sekora::TwipPoint p) {
    Require(std::isfinite(p.x) && std::isfinite(p.y), "point is finite");
  }
  static void CheckPoints(const std::vector<sekora::TwipPoint>& points) {
    for (const sekora::TwipPoint& p : points) CheckPoint(p);
  }
  static void CheckRect(const sekora::TwipRect& r) {
    CheckPoint({r.left, r.top});
    CheckPoint({r.right, r.bottom});
    Require(r.left <= r.right && r.top <= r.bottom, "rectangle is normalised");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name = "fuzz.wmf";
  try {
    const sekora::Metafile picture = sekora::ParseMetafile(std::span(data, size), name);
    Require(picture.WidthTwips() > 0 && std::isfinite(picture.WidthTwips()),
            "picture width is positive");
    Require(picture.HeightTwips() > 0 && std::isfinite(picture.HeightTwips()),
            "picture height is positive");
    CheckingCanvas canvas;
    sekora::ReplayMetafile(picture, canvas, 1440, 720);
  } catch (const sekora::FigureError& e) {
    sekora::fuzz::RequireMessageNames(e.what(), name);
  }
  return 0;
}
