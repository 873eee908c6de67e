// Section 2: the outlet critical depth h2, the flow area A2 and the velocity
// V2 of the candidate. The formula is drawn with its numbers; the values are
// the record's, nothing is recomputed.
#include "Paths.h"
#include "SheetSections.h"

namespace sekora {

namespace {

// Rows of section 3's heading, two rows below the last text row of each variant.
constexpr std::int16_t kRowBaseAfterBox = 22;
constexpr std::int16_t kRowBaseAfterPipe = 28;

std::string Plain(double value) {
  return FormatNumber(value, Pattern::Fixed3);
}

// "Q = A2・V2より、V2 =" with the quotient that gives the velocity.
std::string VelocityLine(const KeisanRecord& rec, const DesignConditions& c) {
  return "Q = A2・V2より、V2 =" + Plain(c.Q) + "/" + Plain(rec.A2) + "= " + Plain(rec.V2) +
         "m/sとなる";
}

// A body-text line that ends in an area: the "2" of m² is raised right after
// the "m" that closes `beforeDigit`.
void PutAreaLine(SheetLayout& sheet, double row, const std::string& beforeDigit,
                 const std::string& rest) {
  sheet.PutText(3.0, row, beforeDigit + " " + rest);
  sheet.UnitSuperscript(3.0, row, beforeDigit, "2", kExponentSize);
}

// The fraction bars under the radicals begin half a line height, not half a
// character, right of the root sign's foot.
void RootFractionBar(SheetLayout& sheet, double a, double length) {
  sheet.StepLine(sheet.X(a) + 0.5 * sheet.LineH(), sheet.Y(16.55), length * sheet.CharW(), 0.0);
}

// h2 = ∛(Q² / gB²), the letters only.
void DrawBoxFormula(SheetLayout& sheet) {
  double& p = sheet.PenX;
  double& q = sheet.PenX2;
  sheet.PutText(4.0, 16.0, "h2= ");
  p = sheet.WidthInChars("h2= ");
  sheet.PutRaised(4.0 + p, 15.3, "3", kExponentSize);
  sheet.RadicalSign(4.0 + p, 16.0, 2.0);
  RootFractionBar(sheet, 4.5 + p, 1.5);
  sheet.PutText(5.25 + p, 15.5, "Q");
  q = p;
  p += sheet.WidthInChars("Q");
  sheet.PutRaised(5.55 + p, 15.5, "2", kExponentSize);
  sheet.PutText(5.0 + q, 16.5, "gB");
  sheet.UseBodyFont();
  q += sheet.WidthInChars("gB");
  q += sheet.PutRaised(5.5 + q, 16.5, "2", kExponentSize);
}

// "よって、" and the same root with Q, g and B put in, equal to h2.
void DrawBoxFormulaWithValues(SheetLayout& sheet, const KeisanRecord& rec,
                              const DesignConditions& c) {
  double& p = sheet.PenX;
  double& q = sheet.PenX2;
  sheet.PutText(6.0 + q, 16.0, "よって、");
  q += sheet.WidthInChars("よって、");
  sheet.UseFormulaFont();
  sheet.PutText(6.0 + q, 16.0, "= ");
  p = q + sheet.WidthInChars("= ");
  sheet.PutRaised(6.0 + p, 15.3, "3", kExponentSize);
  sheet.RadicalSign(6.0 + p, 16.0, 7.0);
  RootFractionBar(sheet, 6.5 + p, 6.5);

  const std::string discharge = ValueField(c.Q, 6);
  sheet.PutText(8.5 + p, 15.5, discharge);
  q = p;
  p += sheet.WidthInChars(discharge);
  sheet.PutRaised(8.8 + p, 15.5, "2", kExponentSize);

  const std::string denominator = ValueField(c.g, 5) + "×" + ValueField(rec.B, 5);
  sheet.PutText(7.0 + q, 16.5, denominator);
  q += sheet.WidthInChars(denominator);
  q += sheet.PutRaised(7.5 + q, 16.5, "2", kExponentSize);

  const std::string result = "= " + ValueField(rec.h2, 6) + "m";
  sheet.PutText(8.5 + q, 16.0, result);
  q += sheet.WidthInChars(result);
  sheet.Target().SetFontItalic(false);
  sheet.PutText(8.5 + q, 16.0, "となる");
  sheet.UseBodyFont();
}

void DrawBoxVariant(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c,
                    const std::string& figureFolder) {
  sheet.PutText(3.0, 13.0, "以下の式より吐口部限界水深(h2)を求める");
  sheet.UseFormulaFont();
  DrawBoxFormula(sheet);
  DrawBoxFormulaWithValues(sheet, rec, c);
  PutAreaLine(sheet, 19.0, "このときの吐口部流積(A2)は、A2 = B・h2 =" + Plain(rec.A2) + "m",
              "であるので函内流速は");
  sheet.PutText(3.0, 20.0, VelocityLine(rec, c));
  sheet.PaintFigure(JoinPath(figureFolder, kBoxFigure), 38.0, 12.0);
  sheet.RowBase = kRowBaseAfterBox;
}

// The ratio hc/D stacked on two rows from `top`, with a bar between them.
void PutDepthRatio(SheetLayout& sheet, double a, double top) {
  sheet.PutText(a, top, "hc");
  sheet.PutText(a, top + 1.0, "D");
  sheet.FractionBar(a, top + 1.05, 1.2);
}

// A bracket of the pipe formula, its stroke a quarter character right of the pen.
void PenBracket(SheetLayout& sheet, double top, double height, BracketSide side) {
  sheet.DrawnBracket(4.25 + sheet.PenX, top, height, side);
  sheet.PenX += side == BracketSide::Opening ? 1.0 : 0.5;
}

// Q / D^(5/2) = [ g/128 · ( ... )³ / √(...) ]^(1/2), left of the long bar.
void DrawPipeFormulaLeft(SheetLayout& sheet) {
  double& p = sheet.PenX;
  sheet.PutText(4.4, 15.5, "Q");
  sheet.PutText(4.0, 16.5, "D");
  p = sheet.WidthInChars("D");
  sheet.SlantExponent("5", {4.1 + p, 16.5}, "2", {4.4 + p, 16.8}, {4.65 + p, 16.7});
  sheet.FractionBar(4.0, 16.55, 1.5);
  p = 1.5;
  sheet.PutText(4.0 + p, 16.0, " = ");
  p += sheet.WidthInChars(" = ");
  PenBracket(sheet, 14.5, 4.0, BracketSide::Opening);
  sheet.PutText(4.7 + p, 15.4, "g");
  sheet.FractionBar(4.0 + p, 16.55, 2.0);
  sheet.PutText(4.0 + p, 16.5, "128");
  p += 1.5 * sheet.WidthInChars("128");
  sheet.FractionBar(4.0 + p, 16.55, 23.5);
}

// 1-2 hc/D inside brackets 1.8 lines tall.
void DrawOneMinusTwoRatio(SheetLayout& sheet) {
  double& p = sheet.PenX;
  PenBracket(sheet, 14.5, 1.8, BracketSide::Opening);
  sheet.PutText(4.0 + p, 15.0, "1-2 ");
  p += sheet.WidthInChars("1-2 ");
  PutDepthRatio(sheet, 4.0 + p, 14.5);
  p += 1.5;
  PenBracket(sheet, 14.5, 1.8, BracketSide::Closing);
}

// √(hc/D - (hc/D)²) with its root at `row`; the inner brackets start at `bracketTop`.
void DrawRootOfRatio(SheetLayout& sheet, double row, double bracketTop) {
  double& p = sheet.PenX;
  sheet.RadicalSign(4.0 + p, row, 6.0);
  p += 1.0;
  PutDepthRatio(sheet, 4.0 + p, row - 0.5);
  p += 1.5;
  sheet.PutText(4.0 + p, row, "- ");
  p += sheet.WidthInChars("- ");
  PenBracket(sheet, bracketTop, 1.5, BracketSide::Opening);
  PutDepthRatio(sheet, 4.0 + p, row - 0.5);
  p += 1.5;
  PenBracket(sheet, bracketTop, 1.5, BracketSide::Closing);
}

// The cubed bracket above the long bar, the root below it, and the outer
// bracket with its exponent 1/2.
void DrawPipeFormulaRight(SheetLayout& sheet) {
  double& p = sheet.PenX;
  PenBracket(sheet, 14.5, 1.8, BracketSide::Opening);
  sheet.PutText(4.0 + p, 15.0, "Arccos");
  p += sheet.WidthInChars("Arccos");
  DrawOneMinusTwoRatio(sheet);
  sheet.PutText(4.0 + p, 15.0, "-2");
  p += sheet.WidthInChars("-2");
  DrawOneMinusTwoRatio(sheet);
  DrawRootOfRatio(sheet, 15.0, 14.8);
  p += sheet.PutRaised(4.0 + p, 14.8, "2", kExponentSize);
  PenBracket(sheet, 14.5, 1.8, BracketSide::Closing);
  p += sheet.PutRaised(4.0 + p, 14.5, "3", kExponentSize);
  PenBracket(sheet, 14.5, 4.0, BracketSide::Closing);
  sheet.SlantExponent("1", {3.8 + p, 14.3}, "2", {4.3 + p, 14.5}, {4.45 + p, 14.4});

  p = 13.0;
  DrawRootOfRatio(sheet, 17.5, 17.3);
  sheet.PutRaised(4.0 + p, 17.3, "2", kExponentSize);
}

// The area of the circular segment, to the right of the results: y = r·cosθ
// with θ = Arccos(y/r), and A = (r/2)²(Φ − sinΦ). Italic body size.
void DrawSegmentArea(SheetLayout& sheet) {
  double& p = sheet.PenX;
  sheet.Target().SetFontItalic(true);
  sheet.PutText(32.0, 22.0, "y = r・cosθ , θ=Arccos ");
  p = sheet.WidthInChars("y = r・cosθ , θ=Arccos ");
  sheet.PutText(32.0 + p, 21.5, "y");
  sheet.PutText(32.0 + p, 22.5, "r");
  sheet.FractionBar(32.0 + p, 22.55, 0.6);

  sheet.PutText(32.0, 24.0, "A = ");
  p = sheet.WidthInChars("A = ");
  sheet.PutText(32.0 + p, 23.5, "r");
  sheet.PutText(32.0 + p, 24.5, "2");
  sheet.FractionBar(32.0 + p, 24.55, 0.6);
  p += sheet.WidthInChars("2");
  sheet.PutRaised(32.0 + p, 23.5, "2", kExponentSize);
  sheet.PutText(32.0 + p, 24.0, "(Φ-sinΦ)");
  sheet.Target().SetFontItalic(false);
}

void DrawPipeVariant(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c,
                     const std::string& figureFolder) {
  sheet.PutText(3.0, 13.0, "以下の式から試行計算より吐口部限界水深(h2)を求める");
  sheet.UseFormulaFont();
  DrawPipeFormulaLeft(sheet);
  DrawPipeFormulaRight(sheet);
  sheet.PaintFigure(JoinPath(figureFolder, kPipeFigure), 36.0, 12.0);
  sheet.UseBodyFont();

  sheet.PutText(3.0, 20.0,
                "上記の式より計画流量(Q)に対応する水深は" + ValueField(rec.h2, 6) + "mとなった");
  sheet.PutText(3.0, 22.0, "このときの吐口部流積(A2)は、右式より");
  PutAreaLine(sheet, 24.0, "A2 =" + Plain(rec.A2) + "m", "となるので函内流速は");
  sheet.PutText(3.0, 26.0, VelocityLine(rec, c));
  DrawSegmentArea(sheet);
  sheet.RowBase = kRowBaseAfterPipe;
}

}  // namespace

void DrawCriticalDepthSection(SheetLayout& sheet, const KeisanRecord& rec,
                              const DesignConditions& conditions, const std::string& figureFolder) {
  sheet.PutText(2.0, 11.0, "２．吐口部限界水深の算出");
  if (rec.Kind == KindBox) {
    DrawBoxVariant(sheet, rec, conditions, figureFolder);
  } else {
    DrawPipeVariant(sheet, rec, conditions, figureFolder);
  }
}

}  // namespace sekora
