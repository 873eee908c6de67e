// Section 3: the inlet depth found by the non-uniform-flow energy balance.
// The energy equation and the Manning friction loss as built-up formulas,
// the dimension figure, the table of both ends, then the friction loss and
// the two energies with the record's stored numbers put in.
#include "Paths.h"
#include "SheetSections.h"

namespace sekora {

namespace {

// Rows of this section and of section 4 count from RowBase.
double Row(const SheetLayout& sheet, double k) {
  return sheet.RowBase + k;
}

// Prints an exponent of the formula font at the exponent size.
double PutExponent(SheetLayout& sheet, double a, double k, const std::string& digit) {
  return sheet.PutRaised(a, Row(sheet, k), digit, kExponentSize);
}

// α·Q² over 2g·A², the velocity head of one end; `areaExponentOffset` is
// where that end's exponent of A stands after its denominator text.
void DrawVelocityHead(SheetLayout& sheet, const std::string& denominator,
                      double areaExponentOffset) {
  const double p = sheet.PenX;
  sheet.PutText(4.0 + p, Row(sheet, 3.5), "α・Q");
  PutExponent(sheet, 4.5 + p + sheet.WidthInChars("α・Q"), 3.5, "2");
  sheet.PutText(4.0 + p, Row(sheet, 4.5), denominator);
  PutExponent(sheet, areaExponentOffset + p + sheet.WidthInChars(denominator), 4.5, "2");
  sheet.FractionBar(4.0 + p, Row(sheet, 4.55), 4.0);
  sheet.PenX += 4.0;
}

// h1 + αQ²/(2g·A1²) + Z1 = h2 + αQ²/(2g·A2²) + Z2 + hf on row 4.
void DrawEnergyEquation(SheetLayout& sheet) {
  double& p = sheet.PenX;
  sheet.PutText(4.0, Row(sheet, 4.0), "h1 + ");
  p = sheet.WidthInChars("h1 + ");
  DrawVelocityHead(sheet, "2g・A1", 4.0);
  sheet.PutText(4.0 + p, Row(sheet, 4.0), " + Z1 = h2 + ");
  p += sheet.WidthInChars(" + Z1 = h2 + ");
  DrawVelocityHead(sheet, "2g・A2", 4.2);
  sheet.PutText(4.0 + p, Row(sheet, 4.0), " + Z2 + hf");
}

// hf = Q²L/2 · [n1²/(R1^(4/3)·A1²) + n2²/(R2^(4/3)·A2²)] on row 7.
void DrawFrictionFormula(SheetLayout& sheet) {
  double& p = sheet.PenX;
  sheet.PutText(4.0, Row(sheet, 7.0), "hf = ");
  p = sheet.WidthInChars("hf = ");
  sheet.PutText(4.0 + p, Row(sheet, 6.5), "Q L");
  PutExponent(sheet, 4.2 + p + sheet.WidthInChars("Q"), 6.5, "2");
  sheet.PutText(4.5 + p, Row(sheet, 7.5), "2");
  sheet.FractionBar(4.0 + p, Row(sheet, 7.55), 2.0);
  p += 2.0;
  sheet.DrawnBracket(4.25 + p, Row(sheet, 6.5), 2.0, BracketSide::Opening);
  p += 0.25;

  sheet.PutText(5.5 + p, Row(sheet, 6.5), "n1");
  PutExponent(sheet, 5.5 + p + sheet.WidthInChars("n1"), 6.5, "2");
  sheet.FractionBar(4.5 + p, Row(sheet, 7.55), 3.0);
  sheet.PutText(4.5 + p, Row(sheet, 7.5), "R1 A1");
  const double afterR1 = p + sheet.WidthInChars("R1");
  sheet.SlantExponent("4", {4.5 + afterR1, Row(sheet, 7.5)}, "3", {4.8 + afterR1, Row(sheet, 7.8)},
                      {5.05 + afterR1, Row(sheet, 7.75)});
  const double inletDenominator = sheet.WidthInChars("R1 A1");
  p += inletDenominator + PutExponent(sheet, 4.5 + p + inletDenominator, 7.5, "2");

  sheet.PutText(4.5 + p, Row(sheet, 7.0), " + ");
  p += sheet.WidthInChars(" + ") + 0.5;

  sheet.PutText(5.5 + p, Row(sheet, 6.5), "n2");
  PutExponent(sheet, 5.8 + p + sheet.WidthInChars("n2"), 6.5, "2");
  sheet.FractionBar(4.5 + p, Row(sheet, 7.55), 4.0);
  sheet.PutText(4.5 + p, Row(sheet, 7.5), "R2  A2");
  const double afterR2 = p + sheet.WidthInChars("R2");
  sheet.SlantExponent("4", {4.8 + afterR2, Row(sheet, 7.5)}, "3", {5.1 + afterR2, Row(sheet, 7.8)},
                      {5.35 + afterR2, Row(sheet, 7.75)});
  const double outletDenominator = sheet.WidthInChars("R2  A2");
  p += outletDenominator + PutExponent(sheet, 4.8 + p + outletDenominator, 7.5, "2");

  sheet.DrawnBracket(5.0 + p, Row(sheet, 6.5), 2.0, BracketSide::Closing);
}

// A label and its value with unit, then the raised power of the unit when it has one.
void PutQuantity(SheetLayout& sheet, double labelColumn, double k, const std::string& label,
                 double valueColumn, const std::string& value, const std::string& unit,
                 const std::string& power = "") {
  sheet.PutText(labelColumn, Row(sheet, k), label);
  sheet.PutText(valueColumn, Row(sheet, k), value + unit);
  if (!power.empty()) {
    sheet.UnitSuperscript(valueColumn, Row(sheet, k), value + unit, power, kUnitDigitSize);
  }
}

void DrawSizeAndFlow(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c) {
  if (rec.Kind == KindBox) {
    sheet.PutText(3.0, Row(sheet, 10.0),
                  "管渠口径(B×H) " + ValueField(rec.B, 6) + "m×" + ValueField(rec.H, 6) + "m");
  } else {
    sheet.PutText(3.0, Row(sheet, 10.0), "管渠口径(φ) " + ValueField(rec.D, 6) + "m");
  }
  // The "3" of m³/s goes into the blank after the "m".
  const std::string flowUpToM = "流量(Q) " + ValueField(c.Q, 6) + "m";
  sheet.PutText(3.0, Row(sheet, 11.0), flowUpToM + " /s");
  sheet.UnitSuperscript(3.0, Row(sheet, 11.0), flowUpToM, "3", kUnitDigitSize);
  sheet.PutText(3.0, Row(sheet, 12.0), "区間距離(L) " + ValueField(c.L, 6) + "m");
}

// The quantities of the inlet (left) and the outlet (right), one per row.
// The five-character fields stand half a column further right than the six-
// character ones, so the right ends of all values of a column line up.
void DrawEndsTable(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c) {
  sheet.PutText(6.0, Row(sheet, 14.0), "＜呑口部＞");
  sheet.PutText(21.0, Row(sheet, 14.0), "＜吐口部＞");
  struct EndRow {
    double k;
    const char* inletLabel;
    double inletValue;
    const char* outletLabel;
    double outletValue;
    int width;
    const char* unit;
    const char* power;
  };
  const EndRow rows[] = {
      {15, "限界水深(h1)", rec.h1, "限界水深(h2)", rec.h2, 6, "m", ""},
      {16, "通水断面積(A1)", rec.A1, "通水断面積(A2)", rec.A2, 6, "m", "2"},
      {17, "潤辺(P1)", rec.P1, "潤辺(P2)", rec.P2, 6, "m", ""},
      {18, "径深(R1)", rec.R1, "径深(R2)", rec.R2, 6, "m", ""},
      {19, "流速(V1)", rec.V1, "流速(V2)", rec.V2, 6, "m/s", ""},
      {20, "粗度係数(n1)", rec.n1, "粗度係数(n2)", rec.n2, 5, "", ""},
      {21, "敷高(Z1)", c.Z1, "敷高(Z2)", c.Z2, 5, "m", ""},
  };
  for (const EndRow& row : rows) {
    const double shift = row.width == 5 ? 0.5 : 0.0;
    PutQuantity(sheet, 3.0, row.k, row.inletLabel, 11.0 + shift,
                ValueField(row.inletValue, row.width), row.unit, row.power);
    PutQuantity(sheet, 18.0, row.k, row.outletLabel, 26.0 + shift,
                ValueField(row.outletValue, row.width), row.unit, row.power);
  }
}

// n²/(R^(4/3)·A²) of one end with its numbers, from the pen PenX2.
void DrawFrictionTerm(SheetLayout& sheet, double roughness, double radius, double area) {
  double& q = sheet.PenX2;
  sheet.FractionBar(4.0 + q, Row(sheet, 23.55), 9.5);
  const std::string n = ValueField(roughness, 5);
  sheet.PutText(6.7 + q, Row(sheet, 22.5), n);
  PutExponent(sheet, 6.8 + q + sheet.WidthInChars(n), 22.5, "2");

  const std::string r = ValueField(radius, 6);
  sheet.PutText(4.0 + q, Row(sheet, 23.5), r);
  q += sheet.WidthInChars(r);
  const double three = sheet.WidthInCharsAt("3", kExponentSize);
  sheet.SlantExponent("4", {4.2 + q, Row(sheet, 23.5)}, "3", {4.7 + q, Row(sheet, 23.8)},
                      {4.55 + q + three, Row(sheet, 23.75)});
  q += three;

  sheet.PutText(4.5 + q, Row(sheet, 23.5), "×");
  q += sheet.WidthInChars("×");
  const std::string a = ValueField(area, 6);
  sheet.PutText(4.5 + q, Row(sheet, 23.5), a);
  q += sheet.WidthInChars(a);
  q += PutExponent(sheet, 4.8 + q, 23.5, "2") + 0.3;
}

// The friction loss with Q, L, n, R and A put in (rows 22.5 to 24.5).
void DrawFrictionWithValues(SheetLayout& sheet, const KeisanRecord& rec,
                            const DesignConditions& c) {
  double& q = sheet.PenX2;
  sheet.PutText(4.0, Row(sheet, 23.0), "hf =");
  q = sheet.WidthInChars("hf =");
  sheet.FractionBar(4.5 + q, Row(sheet, 23.55), 8.5);
  const std::string discharge = ValueField(c.Q, 6);
  sheet.PutText(5.0 + q, Row(sheet, 22.5), discharge);
  q += sheet.WidthInChars(discharge) + 1.0;
  q += PutExponent(sheet, 4.25 + q, 22.5, "2") + 0.25;
  sheet.PutText(4.0 + q, Row(sheet, 22.5), "×");
  q += sheet.WidthInChars("×");
  const std::string length = ValueField(c.L, 5, Pattern::Fixed2);
  sheet.PutText(4.0 + q, Row(sheet, 22.5), length);
  q += sheet.WidthInChars(length);
  // The denominator of Q²L/2 keeps its column whatever the numbers above it.
  sheet.PutText(11.0, Row(sheet, 23.5), "2");

  sheet.PutText(4.5 + q, Row(sheet, 23.0), "×");
  q += sheet.WidthInChars("×") + 0.5;
  sheet.DrawnBracket(4.25 + q, Row(sheet, 22.5), 2.0, BracketSide::Opening);
  q += sheet.WidthInChars("×") + 0.5;
  DrawFrictionTerm(sheet, rec.n1, rec.R1, rec.A1);
  sheet.PutText(4.5 + q, Row(sheet, 23.0), " + ");
  q += sheet.WidthInChars(" + ") + 0.5;
  DrawFrictionTerm(sheet, rec.n2, rec.R2, rec.A2);
  sheet.DrawnBracket(5.0 + q, Row(sheet, 22.5), 2.0, BracketSide::Closing);
}

// "=", FricQL, "×(", Fric1, " + ", Fric2, " ) = " and hf on row 25: the
// stored factors of the friction loss, shown and not recomputed.
void DrawFrictionResult(SheetLayout& sheet, const KeisanRecord& rec) {
  double& q = sheet.PenX2;
  const double row = Row(sheet, 25.0);
  sheet.PutText(5.5, row, "=");
  q = sheet.WidthInChars("=");
  const std::string common = ValueField(rec.FricQL, 6);
  sheet.PutText(6.0 + q, row, common);
  q = sheet.WidthInChars(common) + 1.0;
  sheet.PutText(6.0 + q, row, "×(");
  q += sheet.WidthInChars("×(") + 1.0;
  for (const std::string& piece :
       {ValueField(rec.Fric1, 8, Pattern::Fixed5), std::string(" + "),
        ValueField(rec.Fric2, 8, Pattern::Fixed5), std::string(" ) = ")}) {
    sheet.PutText(5.5 + q, row, piece);
    q += sheet.WidthInChars(piece);
  }
  sheet.PutText(5.5 + q, row, ValueField(rec.hf, 6) + "m");
}

// Puts `text` at (4 + `offset` + PenX2, k) and moves PenX2 past it and `gap`.
void PutAtPen(SheetLayout& sheet, double offset, double k, const std::string& text,
              double gap = 0.0) {
  sheet.PutText(4.0 + offset + sheet.PenX2, Row(sheet, k), text);
  sheet.PenX2 += sheet.WidthInChars(text) + gap;
}

struct EndEnergy {
  const char* name;
  double depth;
  double area;
  double invert;
};

// name, h + αQ²/(2g×A²) + Z on baseline row k, up to the final " + Z".
void DrawEnergyHead(SheetLayout& sheet, const EndEnergy& end, const DesignConditions& c, double k) {
  double& p = sheet.PenX;
  double& q = sheet.PenX2;
  sheet.Target().SetFontItalic(false);
  sheet.PutText(4.0, Row(sheet, k), end.name);
  sheet.Target().SetFontItalic(true);
  q = sheet.WidthInChars(end.name) + 1.0;
  PutAtPen(sheet, 0.0, k, ValueField(end.depth, 6));
  PutAtPen(sheet, 0.0, k, " + ");
  sheet.FractionBar(4.0 + q, Row(sheet, k + 0.55), 9.5);

  p = q + 1.0;
  for (const std::string& piece : {ValueField(c.Alpha, 5), std::string("×"), ValueField(c.Q, 6)}) {
    sheet.PutText(4.0 + p, Row(sheet, k - 0.5), piece);
    p += sheet.WidthInChars(piece);
  }
  PutExponent(sheet, 4.5 + p, k - 0.5, "2");
  q += 2.0;
  PutAtPen(sheet, 0.0, k + 0.5, "2g×");
  PutAtPen(sheet, 0.0, k + 0.5, ValueField(end.area, 6));
  q += PutExponent(sheet, 4.5 + q, k + 0.5, "2") + 0.5;
  PutAtPen(sheet, 1.0, k, " + ", 1.0);
  PutAtPen(sheet, 0.0, k, ValueField(end.invert, 5, Pattern::Fixed2));
}

// The energy of each end with the numbers put in; the outlet adds the friction loss.
void DrawEnergies(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c) {
  DrawEnergyHead(sheet, {"呑口部", rec.h1, rec.A1, c.Z1}, c, 28.0);
  PutAtPen(sheet, 1.0, 28.0, "=", 1.0);
  PutAtPen(sheet, 0.0, 28.0, ValueField(rec.E1, 6));

  DrawEnergyHead(sheet, {"吐口部", rec.h2, rec.A2, c.Z2}, c, 30.0);
  PutAtPen(sheet, 1.0, 30.0, "+", 1.0);
  PutAtPen(sheet, 0.0, 30.0, ValueField(rec.hf, 6));
  PutAtPen(sheet, 1.0, 30.0, "=", 1.0);
  PutAtPen(sheet, 0.0, 30.0, ValueField(rec.E2, 6));
}

void DrawEnergyError(SheetLayout& sheet, const KeisanRecord& rec) {
  double& q = sheet.PenX2;
  sheet.Target().SetFontItalic(false);
  sheet.PutText(4.0, Row(sheet, 32.0), "エネルギー誤差 ");
  q = sheet.WidthInChars("エネルギー誤差 ") + 1.0;
  sheet.Target().SetFontItalic(true);
  sheet.PutText(4.0 + q, Row(sheet, 32.0), ValueField(rec.dE, 6));
}

}  // namespace

void DrawInletDepthSection(SheetLayout& sheet, const KeisanRecord& rec,
                           const DesignConditions& conditions, const std::string& figureFolder) {
  sheet.PutText(2.0, Row(sheet, 0.0), "３．呑口部での水深算出");
  sheet.PutText(3.0, Row(sheet, 2.0), "以下の式より呑口部限界水深(h1)を不等流計算で求める");
  sheet.UseFormulaFont();
  DrawEnergyEquation(sheet);
  DrawFrictionFormula(sheet);
  sheet.PaintFigure(JoinPath(figureFolder, kInletFigure), 32.0, Row(sheet, 0.0));

  sheet.UseBodyFont();
  DrawSizeAndFlow(sheet, rec, conditions);
  DrawEndsTable(sheet, rec, conditions);

  sheet.UseFormulaFont();
  DrawFrictionWithValues(sheet, rec, conditions);
  DrawFrictionResult(sheet, rec);
  DrawEnergies(sheet, rec, conditions);
  DrawEnergyError(sheet, rec);
  sheet.UseBodyFont();
}

}  // namespace sekora
