// The project summary pages, on the sheet's grid and in its fonts: the title,
// then a table of the culverts, one line each.
#include "ProjectSummarySheet.h"

#include <algorithm>

#include "DrawSheet.h"
#include "ResultRow.h"
#include "SheetLayout.h"

namespace sekora {
namespace {

constexpr double kHeadingRow = 2.0;
constexpr double kColumnHeadingRow = 4.0;

// Left edges of the table's columns, in CharW; numbers are right-aligned in
// fields of half-width characters.
constexpr double kNumberColumn = 2.0;
constexpr double kNameColumn = 4.5;
constexpr double kNameWidth = 9.5;  // in CharW; a longer name is cut
constexpr double kDischargeColumn = 14.0;
constexpr double kLengthColumn = 17.5;
constexpr double kPassingColumn = 21.5;
constexpr double kBoxColumn = 25.5;
constexpr double kBoxMarginColumn = 31.5;
constexpr double kPipeColumn = 35.5;
constexpr double kPipeMarginColumn = 39.0;
constexpr double kTableRight = 42.5;
constexpr int kNumberField = 4;
constexpr int kValueField = 7;
constexpr int kPassingField = 7;
constexpr int kMarginField = 6;

constexpr char kNone[] = "なし";

std::string RightAligned(const std::string& text, int width) {
  const auto length = static_cast<int>(text.size());
  return length < width ? std::string(static_cast<std::size_t>(width - length), ' ') + text : text;
}

void DrawRule(SheetLayout& sheet, double b) {
  sheet.StepLine(sheet.X(kNumberColumn), sheet.Y(b), (kTableRight - kNumberColumn) * sheet.CharW(),
                 0.0);
}

void DrawColumnHeadings(SheetLayout& sheet, double b) {
  DrawRule(sheet, b);
  sheet.PutText(kNumberColumn + 0.5, b, "No");
  sheet.PutText(kNameColumn, b, "名前");
  sheet.PutText(kDischargeColumn + 1.5, b, "Q");
  sheet.PutText(kLengthColumn + 1.5, b, "L");
  sheet.PutText(kPassingColumn + 0.5, b, "ＯＫ数");
  sheet.PutText(kBoxColumn, b, "推奨Box");
  sheet.PutText(kBoxMarginColumn + 0.5, b, "余裕%");
  sheet.PutText(kPipeColumn, b, "推奨管");
  sheet.PutText(kPipeMarginColumn + 0.5, b, "余裕%");
  DrawRule(sheet, b + 1.0);
}

void DrawSection(SheetLayout& sheet, const std::optional<ProjectSection>& section, double column,
                 double marginColumn, double b) {
  if (!section) {
    sheet.PutText(column, b, kNone);
    return;
  }
  sheet.PutText(column, b, SectionSizeText(section->record));
  sheet.PutText(marginColumn, b, ValueField(section->marginPercent, kMarginField, Pattern::Fixed2));
}

void DrawCulvertRow(SheetLayout& sheet, const ProjectSummaryRow& row, std::size_t index, double b) {
  sheet.PutText(kNumberColumn, b, RightAligned(std::to_string(index + 1), kNumberField));
  sheet.PutText(kNameColumn, b, FittedText(sheet.Target(), row.name, kNameWidth * sheet.CharW()));
  sheet.PutText(kDischargeColumn, b, ValueField(row.Q, kValueField));
  sheet.PutText(kLengthColumn, b, ValueField(row.L, kValueField));
  sheet.PutText(kPassingColumn, b,
                RightAligned(std::to_string(row.okCount) + "/" + std::to_string(row.candidateCount),
                             kPassingField));
  DrawSection(sheet, row.box, kBoxColumn, kBoxMarginColumn, b);
  DrawSection(sheet, row.pipe, kPipeColumn, kPipeMarginColumn, b);
}

void DrawLegend(SheetLayout& sheet, double b) {
  sheet.PutText(kNumberColumn, b, "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
  sheet.PutText(kNumberColumn, b + 1.0, "余裕%：断面高から hReq を引いた高さの断面高に対する割合");
  sheet.PutText(kNumberColumn, b + 2.0, "ＯＫ数：ＯＫの断面の数／計算した断面の数");
}

}  // namespace

int ProjectSummaryPageCount(std::size_t rowCount) {
  if (rowCount == 0) return 1;
  return static_cast<int>((rowCount + kProjectRowsPerPage - 1) / kProjectRowsPerPage);
}

void DrawProjectSummaryPage(DrawingSurface& target, std::int16_t mode,
                            const std::vector<ProjectSummaryRow>& rows, int page) {
  SheetLayout sheet(target);
  target.SetDrawWidth(SheetPenWidth(mode));
  sheet.PutText(1.0, 0.0, "函渠断面の決定");
  sheet.PutText(kNumberColumn, kHeadingRow,
                page == 0 ? "一括計算の結果一覧（Q：m3/s、L：m）" : "一括計算の結果一覧（続き）");
  DrawColumnHeadings(sheet, kColumnHeadingRow);
  const std::size_t first = static_cast<std::size_t>(page) * kProjectRowsPerPage;
  const std::size_t last = std::min(rows.size(), first + kProjectRowsPerPage);
  double b = kColumnHeadingRow + 1.0;
  for (std::size_t i = first; i < last; ++i, b += 1.0) DrawCulvertRow(sheet, rows[i], i, b);
  DrawRule(sheet, b);
  if (page + 1 == ProjectSummaryPageCount(rows.size())) DrawLegend(sheet, b + 1.0);
}

}  // namespace sekora
