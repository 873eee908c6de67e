#include "SignOffBlock.h"

namespace sekora {
namespace {

// Left to right as Japanese drawings have them: who approves, who checks,
// who made the report.
constexpr const char* kRoles[] = {"承認", "照査", "作成"};
constexpr double kColumnWidth = kSignOffWidth / 3;
// A row for the role, the stamp box, a row for the date.
constexpr double kRoleHeight = 1.0;
constexpr double kStampHeight = 3.5;
constexpr double kDateHeight = 1.0;
static_assert(kRoleHeight + kStampHeight + kDateHeight == kSignOffHeight);
constexpr char kDateGuide[] = "／　／";

void HorizontalRule(SheetLayout& sheet, double left, double b) {
  sheet.StepLine(sheet.X(left), sheet.Y(b), kSignOffWidth * sheet.CharW(), 0.0);
}

}  // namespace

void DrawSignOffBlock(SheetLayout& sheet, double right, double top) {
  const double left = right - kSignOffWidth;
  for (double b :
       {top, top + kRoleHeight, top + kRoleHeight + kStampHeight, top + kSignOffHeight}) {
    HorizontalRule(sheet, left, b);
  }
  for (int column = 0; column <= 3; ++column) {
    sheet.StepLine(sheet.X(left + column * kColumnWidth), sheet.Y(top), 0.0,
                   kSignOffHeight * sheet.LineH());
  }
  const double dateRow = top + kRoleHeight + kStampHeight;
  for (int column = 0; column < 3; ++column) {
    const double cellLeft = left + column * kColumnWidth;
    const double roleWidth = sheet.WidthInChars(kRoles[column]);
    sheet.PutText(cellLeft + (kColumnWidth - roleWidth) / 2, top, kRoles[column]);
    const double guideWidth = sheet.WidthInChars(kDateGuide);
    sheet.PutText(cellLeft + (kColumnWidth - guideWidth) / 2, dateRow, kDateGuide);
  }
}

}  // namespace sekora
