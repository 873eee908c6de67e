// The project summary pages, on the sheet's grid and in its fonts: the title,
// then a table of the culverts, one line each.
#include "ProjectSummarySheet.h"

#include <algorithm>
#include <array>

#include "DrawSheet.h"
#include "FreeboardCheck.h"
#include "ResultRow.h"
#include "SheetLayout.h"
#include "SignOffBlock.h"

namespace sekora {
namespace {

constexpr double kHeadingRow = 2.0;
constexpr double kSignOffTop = 0.5;
constexpr double kFirstPageColumnHeadingRow = kSignOffTop + kSignOffHeight + 1.0;
constexpr double kLaterPageColumnHeadingRow = 4.0;

// The table's columns, their places in CharW from BaseX when every value
// fits, and how far in from its column each heading stands. Numbers are
// right-aligned in fields of half-width characters.
enum Column {
  kNumber,
  kName,
  kDischarge,
  kLength,
  kInletLevel,
  kOutletLevel,
  kShape,
  kPassing,
  kBox,
  kBoxMargin,
  kPipe,
  kPipeMargin,
  kMarks
};
constexpr std::size_t kColumnCount = 13;
const std::vector<double> kPlaces = {2.0,  4.5,  11.5, 15.5, 19.5, 23.0, 26.5,
                                     29.0, 33.0, 39.5, 43.0, 47.0, 50.5};
constexpr std::array<double, kColumnCount> kHeadingIndents = {0.5, 0.0, 1.5, 1.5, 1.0, 1.0, 0.0,
                                                              0.5, 0.0, 0.5, 0.0, 0.5, 0.0};
constexpr std::array<const char*, kColumnCount> kHeadings = {
    "No",     "名前",    "Q",     "L",      "Z1",    "Z2", "形状",
    "ＯＫ数", "推奨Box", "余裕%", "推奨管", "余裕%", "注"};
constexpr double kColumnGap = 0.5;
constexpr double kTableRight = 52.5;
constexpr double kNameWidth = 6.5;  // in CharW; a longer name is cut
constexpr int kNumberField = 4;
constexpr int kValueField = 7;
constexpr int kLevelField = 6;
constexpr int kPassingField = 7;
constexpr int kMarginField = 6;

constexpr char kNone[] = "なし";
constexpr char kNotCalculated[] = "対象外";
// The marks of the run summary: a recommended section checked on the critical
// depth h2, and an hf the rounded friction factors can move by 5 mm or more.
constexpr char kCriticalDepthMark[] = "＊";
constexpr char kFrictionRoundingMark[] = "※";

using RowTexts = std::array<std::string, kColumnCount>;

std::string ShapeText(std::int16_t shapeOption) {
  switch (shapeOption) {
    case ShapeBoxOnly:
      return "Box";
    case ShapePipeOnly:
      return "管";
    default:
      return "両方";
  }
}

// The size of a recommended section and its margin; "なし" when none of
// the shape passes, "対象外" when the culvert's run did not calculate it.
std::pair<std::string, std::string> SectionTexts(const std::optional<ProjectSection>& section,
                                                 bool calculated) {
  if (!calculated) return {kNotCalculated, ""};
  if (!section) return {kNone, ""};
  return {SectionSizeText(section->record),
          ValueField(section->marginPercent, kMarginField, Pattern::Fixed2)};
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

RowTexts TextsOfRow(const SheetLayout& sheet, const ProjectSummaryRow& row, std::size_t index) {
  const auto [box, boxMargin] = SectionTexts(row.box, row.shapeOption != ShapePipeOnly);
  const auto [pipe, pipeMargin] = SectionTexts(row.pipe, row.shapeOption != ShapeBoxOnly);
  return {RightAligned(std::to_string(index + 1), kNumberField),
          FittedText(sheet.Target(), row.name, kNameWidth * sheet.CharW()),
          ValueField(row.Q, kValueField),
          ValueField(row.L, kValueField),
          ValueField(row.Z1, kLevelField),
          ValueField(row.Z2, kLevelField),
          ShapeText(row.shapeOption),
          RightAligned(std::to_string(row.okCount) + "/" + std::to_string(row.candidateCount),
                       kPassingField),
          box,
          boxMargin,
          pipe,
          pipeMargin,
          MarksOf(row)};
}

// Every page lays the table out alike, each column as wide as the widest
// value it holds on any page.
TableColumns ColumnsOf(const SheetLayout& sheet, const std::vector<ProjectSummaryRow>& rows) {
  std::vector<double> widest(kColumnCount);
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    widest[c] = kHeadingIndents[c] + sheet.WidthInChars(kHeadings[c]);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RowTexts texts = TextsOfRow(sheet, rows[i], i);
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      widest[c] = std::max(widest[c], sheet.WidthInChars(texts[c]));
    }
  }
  TableColumns columns{ColumnLefts(kPlaces, widest, kColumnGap), kTableRight};
  columns.right = std::max(kTableRight, columns.lefts[kMarks] + widest[kMarks]);
  return columns;
}

std::size_t FirstRowOf(int page) {
  if (page == 0) return 0;
  return kProjectRowsOnFirstPage + static_cast<std::size_t>(page - 1) * kProjectRowsOnLaterPages;
}

void DrawCulvertRow(SheetLayout& sheet, const TableColumns& columns, const RowTexts& texts,
                    double b) {
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (!texts[c].empty()) sheet.PutText(columns.lefts[c], b, texts[c]);
  }
}

// The legend, then the footnote of each mark the table carries.
void DrawLegend(SheetLayout& sheet, const std::vector<ProjectSummaryRow>& rows, double b) {
  sheet.PutText(kPlaces[kNumber], b, "推奨：ＯＫのうち内空断面積が最小のボックスと円形管");
  sheet.PutText(kPlaces[kNumber], b + 1.0,
                "余裕%：断面高から必要高を引いた高さの断面高に対する割合");
  sheet.PutText(kPlaces[kNumber], b + 2.0, "ＯＫ数：ＯＫの断面の数／計算した断面の数");
  sheet.PutText(kPlaces[kNumber], b + 3.0,
                "なし：ＯＫの断面がない　対象外：その形状は計算していない");
  b += 3.0;
  const auto any = [&rows](bool (*marked)(const ProjectSummaryRow&)) {
    return std::any_of(rows.begin(), rows.end(), marked);
  };
  if (any(RecommendsOnCriticalDepth)) {
    b += 1.0;
    sheet.PutText(kPlaces[kNumber], b,
                  std::string(kCriticalDepthMark) +
                      "：推奨断面の必要高を限界水深 h2 で求めた（h1 ＜ h2、射流）");
  }
  if (any(CarriesFrictionRoundingNote)) {
    b += 1.0;
    sheet.PutText(kPlaces[kNumber], b,
                  std::string(kFrictionRoundingMark) +
                      "：hf は係数を小数5桁に丸めて求めたため、5mm 以上の誤差を含み得る");
  }
}

}  // namespace

int ProjectSummaryPageCount(std::size_t rowCount) {
  if (rowCount <= kProjectRowsOnFirstPage) return 1;
  const std::size_t later = rowCount - kProjectRowsOnFirstPage;
  return 1 + static_cast<int>((later + kProjectRowsOnLaterPages - 1) / kProjectRowsOnLaterPages);
}

void DrawProjectSummaryPage(DrawingSurface& target, std::int16_t mode,
                            const std::vector<ProjectSummaryRow>& rows, int page) {
  SheetLayout sheet(target);
  target.SetDrawWidth(SheetPenWidth(mode));
  const TableColumns columns = ColumnsOf(sheet, rows);
  sheet.PutText(1.0, 0.0, "函渠断面の決定");
  sheet.PutText(
      kPlaces[kNumber], kHeadingRow,
      page == 0 ? "一括計算の結果一覧（Q：m3/s、L・Z1・Z2：m）" : "一括計算の結果一覧（続き）");
  const double headingRow = page == 0 ? kFirstPageColumnHeadingRow : kLaterPageColumnHeadingRow;
  DrawTableHeadings(sheet, columns, kHeadings, kHeadingIndents, headingRow);
  const std::size_t first = FirstRowOf(page);
  const std::size_t capacity = page == 0 ? kProjectRowsOnFirstPage : kProjectRowsOnLaterPages;
  const std::size_t last = std::min(rows.size(), first + capacity);
  double b = headingRow + 1.0;
  for (std::size_t i = first; i < last; ++i, b += 1.0) {
    DrawCulvertRow(sheet, columns, TextsOfRow(sheet, rows[i], i), b);
  }
  DrawTableRule(sheet, columns, b);
  if (page + 1 == ProjectSummaryPageCount(rows.size())) DrawLegend(sheet, rows, b + 1.0);
  if (page == 0) DrawSignOffBlock(sheet, columns.right, kSignOffTop);
}

}  // namespace sekora
