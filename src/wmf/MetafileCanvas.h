// What a metafile picture is replayed onto: a page measured in twips, with
// the y axis pointing down. ReplayMetafile has already mapped every
// coordinate and size from the picture's logical units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Metafile.h"

namespace sekora {

struct TwipPoint {
  double x = 0;
  double y = 0;
  bool operator==(const TwipPoint&) const = default;
};

// Normalised: left <= right, top <= bottom.
struct TwipRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool operator==(const TwipRect&) const = default;
};

struct CanvasPen {
  MetafilePenStyle style = MetafilePenStyle::kSolid;
  double width = 0;  // twips; 0 is the thinnest line the device draws
  MetafileColor color;
};

struct CanvasBrush {
  MetafileBrushStyle style = MetafileBrushStyle::kSolid;
  MetafileColor color{255, 255, 255};
  std::uint16_t hatch = 0;  // HS_* when the style is hatched
};

struct CanvasFont {
  std::string faceName;
  // The character (em) height in twips; 0 leaves the size to the canvas.
  double height = 0;
  double escapementDegrees = 0;  // counterclockwise on the page
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

enum class HorizontalAlign { kLeft, kCenter, kRight };
enum class VerticalAlign { kTop, kBaseline, kBottom };

// Which point of a text's box stands at the point it is drawn at.
struct TextAlign {
  HorizontalAlign horizontal = HorizontalAlign::kLeft;
  VerticalAlign vertical = VerticalAlign::kTop;
  bool operator==(const TextAlign&) const = default;
};

class MetafileCanvas {
 public:
  virtual ~MetafileCanvas() = default;

  virtual void SetPen(const CanvasPen& pen) = 0;
  virtual void SetBrush(const CanvasBrush& brush) = 0;
  virtual void SetFont(const CanvasFont& font) = 0;
  virtual void SetTextColor(MetafileColor color) = 0;
  virtual void SetTextAlign(TextAlign align) = 0;
  // Whether texts are drawn on a white box (GDI's OPAQUE background mode).
  virtual void SetBackgroundOpaque(bool opaque) = 0;

  // Outlines with the pen; closed shapes are filled with the brush.
  virtual void Line(TwipPoint from, TwipPoint to) = 0;
  virtual void Polyline(const std::vector<TwipPoint>& points) = 0;
  virtual void Polygon(const std::vector<TwipPoint>& points) = 0;
  virtual void Rectangle(const TwipRect& rect) = 0;
  virtual void Ellipse(const TwipRect& rect) = 0;
  // An arc of the ellipse in `rect`, from `startDegrees` counterclockwise on
  // the page through `spanDegrees` (0 < span <= 360). An angle a names the
  // point (centre x + rx cos a, centre y - ry sin a) of the ellipse.
  virtual void Arc(const TwipRect& rect, double startDegrees, double spanDegrees) = 0;
  // A UTF-8 text placed by the current alignment at `at`.
  virtual void Text(TwipPoint at, const std::string& text) = 0;
};

}  // namespace sekora
