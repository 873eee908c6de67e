// The project summary pages, on the sheet's grid and in its fonts: the title,
// then a table of the culverts, one line each.
#include "ProjectSummarySheet.h"

#include <algorithm>

#include "DrawSheet.h"
#include "FreeboardCheck.h"
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
constexpr double kMarksColumn = 43.0;
constexpr double kTableRight = 45.0;
constexpr int kNumberField = 4;
constexpr int kValueField = 7;
constexpr int kPassingField = 7;
constexpr int kMarginField = 6;

constexpr char kNone[] = "なし";
constexpr char kCut[] = "…";
// The marks of the run summary: a recommended section checked on the critical
// depth h2, and an hf the rounded friction factors can move by 5 mm or more.
constexpr char kCriticalDepthMark[] = "＊";
constexpr char kFrictionRoundingMark[] = "※";

std::string RightAligned(const std::string& text, int width) {
  const auto length = static_cast<int>(text.size());
  return length < width ? std::string(static_cast<std::size_t>(width - length), ' ') + text : text;
}

// `name` as it fits the name column: cut after the last whole character that
// leaves room for "…".
std::string FittedName(const SheetLayout& sheet, const std::string& name) {
  if (sheet.WidthInChars(name) <= kNameWidth) return name;
  std::string cut = name;
  while (!cut.empty() && sheet.WidthInChars(cut + kCut) > kNameWidth) {
    std::size_t end = cut.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(cut[end]) & 0xC0) == 0x80) --end;
    cut.resize(end);
  }
  return cut + kCut;
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
  sheet.PutText(kMarksColumn, b, "注");
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

bool OnCriticalDepth(const std::optional<ProjectSection>& section) {
  return section && ChecksOnCriticalDepth(section->record);
}

bool RecommendsOnCriticalDepth(const ProjectSummaryRow& row) {
  return OnCriticalDepth(row.box) || OnCriticalDepth(row.pipe);
}

bool CarriesFrictionRoundingNote(const ProjectSummaryRow& row) {
  return row.frictionRoundingNote;
}

std::string MarksOf(const ProjectSummaryRow& row) {
  std::string marks = RecommendsOnCriticalDepth(row) ? kCriticalDepthMark : "";
  if (CarriesFrictionRoundingNote(row)) marks += kFrictionRoundingMark;
  return marks;
}

void DrawCulvertRow(SheetLayout& sheet, const ProjectSummaryRow& row, std::size_t index, double b) {
  sheet.PutText(kNumberColumn, b, RightAligned(std::to_string(index + 1), kNumberField));
  sheet.PutText(kNameColumn, b, FittedName(sheet, row.name));
  sheet.PutText(kDischargeColumn, b, ValueField(row.Q, kValueField));
  sheet.PutText(kLengthColumn, b, ValueField(row.L, kValueField));
  sheet.PutText(kPassingColumn, b,
                RightAligned(std::to_string(row.okCount) + "/" + std::to_string(row.candidateCount),
                             kPassingField));
  DrawSection(sheet, row.box, kBoxColumn, kBoxMarginColumn, b);
  DrawSection(sheet, row.pipe, kPipeColumn, kPipeMarginColumn, b);
  const std::string marks = MarksOf(row);
  if (!marks.empty()) sheet.PutText(kMarksColumn, b, marks);
}

// The legend, then the footnote of each mark the table carries.
void DrawLegend(SheetLayout& sheet, const std::vector<ProjectSummaryRow>& rows, double b) {
  sheet.PutText(kNumberColumn, b, "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
  sheet.PutText(kNumberColumn, b + 1.0, "余裕%：断面高から hReq を引いた高さの断面高に対する割合");
  sheet.PutText(kNumberColumn, b + 2.0, "ＯＫ数：ＯＫの断面の数／計算した断面の数");
  b += 2.0;
  const auto any = [&rows](bool (*marked)(const ProjectSummaryRow&)) {
    return std::any_of(rows.begin(), rows.end(), marked);
  };
  if (any(RecommendsOnCriticalDepth)) {
    b += 1.0;
    sheet.PutText(kNumberColumn, b,
                  std::string(kCriticalDepthMark) +
                      "：推奨断面の hReq を限界水深 h2 で求めた（h1 ＜ h2、射流）");
  }
  if (any(CarriesFrictionRoundingNote)) {
    b += 1.0;
    sheet.PutText(kNumberColumn, b,
                  std::string(kFrictionRoundingMark) +
                      "：hf は係数を小数5桁に丸めて求めたため、5mm 以上の誤差を含み得る");
  }
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
  if (page + 1 == ProjectSummaryPageCount(rows.size())) DrawLegend(sheet, rows, b + 1.0);
}

void DrawCulvertCaption(DrawingSurface& target, std::size_t number, const std::string& name) {
  SheetLayout sheet(target);
  sheet.PutText(1.0, 1.0, "No." + std::to_string(number) + "\u3000" + name);
}

}  // namespace sekora
