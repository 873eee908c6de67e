// Composes a placeable Windows Metafile whose logical unit is one twip, with
// the handful of GDI records the figures are drawn with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sekora::wmfgen {

struct Point {
  int x = 0;
  int y = 0;
};

// GDI constants the figures use.
inline constexpr std::uint16_t kPenSolid = 0;
inline constexpr std::uint16_t kPenDash = 1;
inline constexpr std::uint16_t kPenDashDot = 3;
inline constexpr std::uint16_t kBrushSolid = 0;
inline constexpr std::uint16_t kBrushNull = 1;
inline constexpr std::uint16_t kAlignLeft = 0x0000;
inline constexpr std::uint16_t kAlignRight = 0x0002;
inline constexpr std::uint16_t kAlignCenter = 0x0006;
inline constexpr std::uint16_t kAlignBaseline = 0x0018;

class MetafileWriter {
 public:
  // A picture `width` by `height` twips; the window covers it from (0, 0).
  MetafileWriter(int width, int height);

  // Each Create returns the object's index for Select. Objects are never
  // deleted: a figure needs only a few.
  int CreatePen(std::uint16_t style, int width);
  int CreateBrush(std::uint16_t style);
  // A Shift-JIS font of `typeface` whose characters are `height` twips tall.
  int CreateFont(const std::string& typeface, int height);
  void Select(int object);

  void SetTextAlign(std::uint16_t align);
  void SetTransparentBackground();

  void Line(Point from, Point to);
  void Polyline(const std::vector<Point>& points);
  void Polygon(const std::vector<Point>& points);
  // Circles are drawn with the current brush: the null brush keeps them open.
  void Ellipse(Point centre, int radius);
  void Arc(Point centre, int radius, Point start, Point end);
  // A UTF-8 text, written in Shift-JIS, placed at `at` by the text alignment.
  void Text(Point at, const std::string& text);

  // The whole file: placeable header, metafile header, records, end record.
  std::vector<std::uint8_t> Finish() const;

 private:
  void Record(std::uint16_t function, const std::vector<std::int16_t>& params);
  void Record(std::uint16_t function, const std::vector<std::uint8_t>& params);

  int width_;
  int height_;
  int objectCount_ = 0;
  std::uint32_t largestRecordWords_ = 0;
  std::vector<std::uint8_t> records_;
};

}  // namespace sekora::wmfgen
