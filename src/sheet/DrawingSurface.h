// The drawing surface the calculation sheet is drawn on: the screen picture,
// the printer page, or an exported file. Coordinates are in the surface's own
// units (twips on every surface Sekora makes); text sizes are in points.
#pragma once

#include <string>

namespace sekora {

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Font state. The typeface is asked for by name; a surface may substitute a
  // metric-compatible face when the named one is not installed.
  virtual void SetFont(const std::string& typeface) = 0;
  virtual void SetFontSize(double points) = 0;
  virtual double FontSize() const = 0;
  virtual void SetFontItalic(bool italic) = 0;
  virtual bool FontItalic() const = 0;

  // Size of a UTF-8 text in the current font, in surface units.
  virtual double TextWidth(const std::string& text) const = 0;
  virtual double TextHeight(const std::string& text) const = 0;

  // Width of the pen for lines, in device pixels of the surface's pen unit.
  virtual void SetDrawWidth(int width) = 0;
  virtual int DrawWidth() const = 0;

  // The current position: where the next Print puts the top-left corner of
  // its text cell, and where the next picture goes.
  virtual void SetCurrentX(double x) = 0;
  virtual void SetCurrentY(double y) = 0;
  virtual double CurrentX() const = 0;
  virtual double CurrentY() const = 0;

  // Prints a UTF-8 text at the current position without a line break and
  // moves CurrentX to the end of the text.
  virtual void Print(const std::string& text) = 0;

  // A straight black line from (x1, y1) to (x2, y2) with the current pen.
  virtual void Line(double x1, double y1, double x2, double y2) = 0;

  // Draws the metafile picture `path` at its natural size with its top-left
  // corner at (x, y). Throws FigureError when it cannot be loaded.
  virtual void PaintPicture(const std::string& path, double x, double y) = 0;
};

}  // namespace sekora
