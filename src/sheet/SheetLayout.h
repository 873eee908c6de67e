// The grid, the font states and the drawing primitives every section of the
// calculation sheet is built from. The whole layout is measured in character
// sizes taken from the surface itself, so one code path serves the screen
// picture and the printer page alike.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "DrawingSurface.h"
#include "NumberText.h"

namespace sekora {

// The sheet's typeface: fixed-pitch, a half-width character is half as wide
// as a full-width one, so leading blanks align the numbers.
inline constexpr char kSheetTypeface[] = "ＭＳ 明朝";

// Font sizes in points.
inline constexpr double kBodySize = 10.5;      // body text, headings, values
inline constexpr double kFormulaSize = 12.0;   // built-up formulas
inline constexpr double kExponentSize = 6.0;   // exponents, indices, m² in body text
inline constexpr double kUnitDigitSize = 5.0;  // unit powers of the condition tables

// `value` formatted with `pattern` and preceded by blanks up to `width`
// characters, so that numbers stand right-aligned in their field. A text
// longer than the field is kept whole: a cut number would show a wrong value.
std::string ValueField(double value, int width, Pattern pattern = Pattern::Fixed3);

// `text` preceded by blanks up to `width` characters; a longer text is kept whole.
std::string RightAligned(const std::string& text, int width);

// `text` as it fits in `width` surface units in the current font of
// `target`: whole, or cut after the last whole character that leaves room
// for "…".
std::string FittedText(const DrawingSurface& target, const std::string& text, double width);

// The left edges of a table's columns, in CharW: each at its place in
// `places`, or further right when the column before it needs the room for
// its widest text (`widest`, in CharW) and `gap` after it, so that no value
// runs into the next column.
std::vector<double> ColumnLefts(const std::vector<double>& places,
                                const std::vector<double>& widest, double gap);

// A position on the sheet's grid: `a` in character widths from BaseX, `b` in
// line heights from BaseY.
struct GridPoint {
  double a = 0.0;
  double b = 0.0;
};

enum class BracketSide { Opening, Closing };

class SheetLayout {
 public:
  // Sets the typeface and upright body size on `target` and measures the units:
  // CharW is the width of one full-width character, LineH the height of a
  // line. The sheet's origin is two characters in and two lines down.
  explicit SheetLayout(DrawingSurface& target);

  DrawingSurface& Target() const { return target_; }
  double CharW() const { return charW_; }
  double LineH() const { return lineH_; }
  double BaseX() const { return baseX_; }
  double BaseY() const { return baseY_; }

  // Moves the origin down one line: the blank line between two sections.
  void MoveBaseDown() { baseY_ += lineH_; }

  // Surface coordinates of grid column `a` and grid row `b`.
  double X(double a) const { return baseX_ + a * charW_; }
  double Y(double b) const { return baseY_ + b * lineH_; }

  // Width of `text` in the current font, counted in CharW.
  double WidthInChars(const std::string& text) const;
  // Width of `text` at `size` points, counted in CharW; the size is restored.
  double WidthInCharsAt(const std::string& text, double size);

  // Upright 10.5 pt, the state of body text and values.
  void UseBodyFont();
  // Italic 12 pt, the state of built-up formulas.
  void UseFormulaFont();

  // Prints `text` with the top-left corner of its cell at grid point (a, b).
  void PutText(double a, double b, const std::string& text);

  // Prints `text` at (a, b) in the small `size`, which stands raised against
  // the surrounding line because it shares its top; the size of the
  // surrounding text is restored. Returns the width at the small size in CharW.
  double PutRaised(double a, double b, const std::string& text, double size);

  // Raises the power `digit` of a unit already printed at (a, b): it goes
  // right after `textBeforeDigit`, which is measured in the current font.
  void UnitSuperscript(double a, double b, const std::string& textBeforeDigit,
                       const std::string& digit, double size);

  // A line from the surface point (x, y) to (x + dx, y + dy) with the current pen.
  void StepLine(double x, double y, double dx, double dy);

  // A horizontal bar from grid point (a, b), `length` CharW long.
  void FractionBar(double a, double b, double length);

  // The root sign whose foot starts half a line below (a, b): a short up
  // stroke, the long down stroke, the rise, and the vinculum of `w` CharW at
  // row b − 0.5 from column a + 0.5.
  void RadicalSign(double a, double b, double w);

  // A square bracket `h` lines tall whose stroke starts at grid point (a, b),
  // with serifs a quarter character long turned inwards.
  void DrawnBracket(double a, double b, double h, BracketSide side);

  // A fractional exponent p/q: `upper` and `lower` in the exponent size with
  // the slash between them, from `strokeFrom` half a character left and half
  // a line down.
  void SlantExponent(const std::string& upper, GridPoint upperAt, const std::string& lower,
                     GridPoint lowerAt, GridPoint strokeFrom);

  // Draws the picture `path` at its natural size, top-left at grid point (a, b).
  void PaintFigure(const std::string& path, double a, double b);

  // Running pens of a formula, counted in CharW from the formula's column.
  double PenX = 0.0;
  double PenX2 = 0.0;
  // Row of the section 3 heading and base of every row of sections 3 and 4.
  std::int16_t RowBase = 0;

 private:
  DrawingSurface& target_;
  double charW_;
  double lineH_;
  double baseX_;
  double baseY_;
};

// The columns of a summary table: each column's left edge and the right end
// of its rules, in CharW.
struct TableColumns {
  std::vector<double> lefts;
  double right = 0.0;
};

// A rule across the whole table at grid row `b`.
void DrawTableRule(SheetLayout& sheet, const TableColumns& columns, double b);

// The column headings at grid row `b`, each `indents[c]` CharW in from its
// column's left edge, between a rule above and a rule below.
void DrawTableHeadings(SheetLayout& sheet, const TableColumns& columns,
                       std::span<const char* const> headings, std::span<const double> indents,
                       double b);

}  // namespace sekora
