// The title and section 1: the design conditions in three rows of three,
// a label followed by its value and unit.
#include "SheetSections.h"

namespace sekora {

namespace {

// Label columns and the rows, two lines apart.
constexpr double kLeftLabel = 3.0;
constexpr double kMiddleLabel = 17.5;
constexpr double kRightLabel = 33.0;
constexpr double kFirstRow = 5.0;
constexpr double kSecondRow = 7.0;
constexpr double kThirdRow = 9.0;

void DrawSectionSize(SheetLayout& sheet, const KeisanRecord& rec) {
  if (rec.Kind == KindBox) {
    sheet.PutText(kMiddleLabel, kFirstRow, "函渠断面(B×H) ");
    sheet.PutText(25.0, kFirstRow, ValueField(rec.B, 5) + "m×" + ValueField(rec.H, 5) + "m");
  } else {
    sheet.PutText(kMiddleLabel, kFirstRow, "函渠断面(φ) ");
    sheet.PutText(27.5, kFirstRow, ValueField(rec.D, 5) + "m");
  }
}

void DrawFirstRow(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c) {
  DrawDischargeCell(sheet, c);
  DrawSectionSize(sheet, rec);
  DrawLengthCell(sheet, c);
}

// Roughness and α are pure numbers: no unit follows them.
void DrawThirdRow(SheetLayout& sheet, const KeisanRecord& rec, const DesignConditions& c) {
  sheet.PutText(kLeftLabel, kThirdRow, "呑口部粗度係数(n1) ");
  sheet.PutText(13.0, kThirdRow, ValueField(rec.n1, 5));
  sheet.PutText(kMiddleLabel, kThirdRow, "吐口部粗度係数(n2) ");
  sheet.PutText(27.5, kThirdRow, ValueField(rec.n2, 5));
  DrawAlphaCell(sheet, c);
}

}  // namespace

void DrawDischargeCell(SheetLayout& sheet, const DesignConditions& c) {
  sheet.PutText(kLeftLabel, kFirstRow, "計画流量(Q) ");
  const std::string discharge = ValueField(c.Q, 6);
  sheet.PutText(11.5, kFirstRow, discharge + "m /s");
  sheet.UnitSuperscript(11.5, kFirstRow, discharge + "m", "3", kUnitDigitSize);
}

void DrawLengthCell(SheetLayout& sheet, const DesignConditions& c) {
  sheet.PutText(kRightLabel, kFirstRow, "函渠長(L) ");
  sheet.PutText(42.5, kFirstRow, ValueField(c.L, 6) + "m");
}

void DrawLevelsAndGravityRow(SheetLayout& sheet, const DesignConditions& c) {
  sheet.PutText(kLeftLabel, kSecondRow, "呑口部敷高(Z1) ");
  sheet.PutText(13.0, kSecondRow, ValueField(c.Z1, 5) + "m");
  sheet.PutText(kMiddleLabel, kSecondRow, "吐口部敷高(Z2) ");
  sheet.PutText(27.5, kSecondRow, ValueField(c.Z2, 5) + "m");

  sheet.PutText(kRightLabel, kSecondRow, "重力加速度(g) ");
  const std::string gravity = ValueField(c.g, 5) + "m/s";
  sheet.PutText(43.0, kSecondRow, gravity);
  sheet.UnitSuperscript(43.0, kSecondRow, gravity, "2", kUnitDigitSize);
}

void DrawAlphaCell(SheetLayout& sheet, const DesignConditions& c) {
  sheet.PutText(kRightLabel, kThirdRow, "ｴﾈﾙｷﾞｰ補正係数(α) ");
  sheet.PutText(43.0, kThirdRow, ValueField(c.Alpha, 5));
}

void DrawTitleAndConditions(SheetLayout& sheet, const KeisanRecord& rec,
                            const DesignConditions& conditions) {
  sheet.PutText(1.0, 0.0, "函渠断面の決定");
  sheet.PutText(2.0, 3.0, "１．設計条件");
  DrawFirstRow(sheet, rec, conditions);
  DrawLevelsAndGravityRow(sheet, conditions);
  DrawThirdRow(sheet, rec, conditions);
}

}  // namespace sekora
