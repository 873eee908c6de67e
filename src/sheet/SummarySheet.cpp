// The summary pages of a run, on the sheet's grid and in its fonts: the
// title, section 1 with the run's conditions in the cells the sheet uses,
// then the table of candidates, one line per candidate.
#include "SummarySheet.h"

#include <algorithm>
#include <string>
#include <utility>

#include "DrawSheet.h"
#include "FreeboardCheck.h"
#include "ResultRow.h"
#include "SheetLayout.h"
#include "SheetSections.h"

namespace sekora {

namespace {

// Rows of the first page: the conditions' heading and the rows that the
// sheet leaves to the candidate (roughness) or that a run adds (freeboard).
constexpr double kConditionsHeadingRow = 3.0;
constexpr double kRoughnessRow = 9.0;
constexpr double kFreeboardRow = 11.0;
// The table's section heading; its column headings stand two rows lower.
constexpr double kFirstPageTableRow = 13.0;
constexpr double kLaterPageTableRow = 1.0;

// Left edges of the table's columns, in CharW. Depths and heights are
// right-aligned in fields of six half-width characters.
constexpr double kNumberColumn = 2.0;
constexpr double kSizeColumn = 5.5;
constexpr double kOutletDepthColumn = 12.0;
constexpr double kInletDepthColumn = 15.5;
constexpr double kRequiredColumn = 19.0;
constexpr double kRequiredMarksColumn = 22.5;
constexpr double kSectionHeightColumn = 26.0;
constexpr double kResultColumn = 30.0;
constexpr double kMarkColumn = 45.5;
constexpr double kTableRight = 47.0;
constexpr int kDepthField = 6;
constexpr int kNumberField = 5;

constexpr char kRecommendedMark[] = "◎";
// Marks after a required height: checked on the critical depth h2, and an hf
// the rounded friction factors can move by half a centimetre or more.
constexpr char kCriticalDepthMark[] = "＊";
constexpr char kFrictionRoundingMark[] = "※";
// A quantity the calculation never reached.
constexpr char kNotReached[] = "    －";

std::size_t FirstRowOf(int page) {
  if (page == 0) return 0;
  return kSummaryRowsOnFirstPage + static_cast<std::size_t>(page - 1) * kSummaryRowsOnLaterPages;
}

std::size_t RowsOn(int page, std::size_t rowCount) {
  const std::size_t first = FirstRowOf(page);
  const std::size_t capacity = page == 0 ? kSummaryRowsOnFirstPage : kSummaryRowsOnLaterPages;
  return first >= rowCount ? 0 : std::min(capacity, rowCount - first);
}

std::string RightAligned(const std::string& text, int width) {
  const auto length = static_cast<int>(text.size());
  return length < width ? std::string(static_cast<std::size_t>(width - length), ' ') + text : text;
}

std::string SizeText(const KeisanRecord& rec) {
  if (rec.Kind == KindBox) {
    return FormatNumber(rec.B, Pattern::Fixed3) + "×" + FormatNumber(rec.H, Pattern::Fixed3);
  }
  return "φ" + FormatNumber(rec.D, Pattern::Fixed3);
}

// The inlet depth is only a result once the search has started: a section
// whose critical depth did not fit never had one.
std::string InletDepthText(const KeisanRecord& rec) {
  return rec.Status == StatusOutletOver ? kNotReached : ValueField(rec.h1, kDepthField);
}

// The required height exists only for a balanced candidate; the others say
// why the calculation stopped before it.
std::string RequiredHeightText(const KeisanRecord& rec) {
  switch (rec.Status) {
    case StatusOk:
    case StatusFreeboardOver:
      return ValueField(rec.hReq, kDepthField);
    case StatusOutletOver:
      return " h2が断面超過";
    case StatusInletOver:
      return " h1が断面超過";
    case StatusInletNotFound:
      return " h1が求まらず";
    default:
      return kNotReached;
  }
}

double SectionHeight(const KeisanRecord& rec) {
  return rec.Kind == KindBox ? rec.H : rec.D;
}

bool HasRequiredHeight(const KeisanRecord& rec) {
  return rec.Status == StatusOk || rec.Status == StatusFreeboardOver;
}

// The marks a required height carries; empty for a row without one.
std::string RequiredHeightMarks(const KeisanRecord& rec) {
  if (!HasRequiredHeight(rec)) return "";
  std::string marks = ChecksOnCriticalDepth(rec) ? kCriticalDepthMark : "";
  if (HasFrictionRoundingNote(rec)) marks += kFrictionRoundingMark;
  return marks;
}

// The roughness of the first candidate of `kind`, as the sheet of that
// candidate shows it; nothing is drawn when the run has none of that kind.
void DrawRoughnessCell(SheetLayout& sheet, const Candidates& records, std::int16_t kind,
                       double labelColumn, double valueColumn, const char* label) {
  const auto found = std::find_if(records.begin(), records.end(),
                                  [kind](const KeisanRecord& rec) { return rec.Kind == kind; });
  if (found == records.end()) return;
  sheet.PutText(labelColumn, kRoughnessRow, label);
  sheet.PutText(valueColumn, kRoughnessRow, ValueField(found->n1, 5));
}

// The freeboard is (1 − ratio) times the section height, as the main
// window's notice states it.
void DrawFreeboardRow(SheetLayout& sheet, const DesignConditions& c) {
  sheet.PutText(3.0, kFreeboardRow, "余裕高(ボックス) ");
  sheet.PutText(13.0, kFreeboardRow, "H×" + FormatNumber(1.0 - c.BoxRatio, Pattern::Fixed3));
  sheet.PutText(17.5, kFreeboardRow, "余裕高(円形管) ");
  sheet.PutText(27.5, kFreeboardRow, "φ×" + FormatNumber(1.0 - c.CircleRatio, Pattern::Fixed3));
}

void DrawConditions(SheetLayout& sheet, const RunSummary& summary) {
  sheet.PutText(2.0, kConditionsHeadingRow, "１．設計条件");
  DrawDischargeCell(sheet, summary.conditions);
  DrawLengthCell(sheet, summary.conditions);
  DrawLevelsAndGravityRow(sheet, summary.conditions);
  DrawRoughnessCell(sheet, summary.records, KindBox, 3.0, 13.0, "粗度係数(ボックス) ");
  DrawRoughnessCell(sheet, summary.records, KindPipe, 17.5, 27.5, "粗度係数(円形管) ");
  DrawAlphaCell(sheet, summary.conditions);
  DrawFreeboardRow(sheet, summary.conditions);
}

void DrawRule(SheetLayout& sheet, double b) {
  sheet.StepLine(sheet.X(kNumberColumn), sheet.Y(b), (kTableRight - kNumberColumn) * sheet.CharW(),
                 0.0);
}

void DrawColumnHeadings(SheetLayout& sheet, double b) {
  DrawRule(sheet, b);
  sheet.PutText(kNumberColumn + 1.0, b, "No");
  sheet.PutText(kSizeColumn, b, "Box・管");
  sheet.PutText(kOutletDepthColumn + 1.0, b, "h2");
  sheet.PutText(kInletDepthColumn + 1.0, b, "h1");
  sheet.PutText(kRequiredColumn + 1.0, b, "hReq");
  sheet.PutText(kSectionHeightColumn, b, "断面高");
  sheet.PutText(kResultColumn, b, "計算結果");
  sheet.PutText(kMarkColumn - 0.5, b, "推奨");
  DrawRule(sheet, b + 1.0);
}

void DrawCandidateRow(SheetLayout& sheet, const RunSummary& summary, std::size_t index, double b) {
  const KeisanRecord& rec = summary.records[index];
  sheet.PutText(kNumberColumn, b, RightAligned(std::to_string(index + 1), kNumberField));
  sheet.PutText(kSizeColumn, b, SizeText(rec));
  sheet.PutText(kOutletDepthColumn, b, ValueField(rec.h2, kDepthField));
  sheet.PutText(kInletDepthColumn, b, InletDepthText(rec));
  sheet.PutText(kRequiredColumn, b, RequiredHeightText(rec));
  const std::string marks = RequiredHeightMarks(rec);
  if (!marks.empty()) sheet.PutText(kRequiredMarksColumn, b, marks);
  sheet.PutText(kSectionHeightColumn, b, ValueField(SectionHeight(rec), kDepthField));
  sheet.PutText(kResultColumn, b, StatusText(rec.Status));
  const Recommendation& marked = summary.recommended;
  if (marked.box == index || marked.pipe == index) {
    sheet.PutText(kMarkColumn, b, kRecommendedMark);
  }
}

// The first candidate whose required height `test` marks; none when there is none.
const KeisanRecord* FirstMarked(const Candidates& records, bool (*test)(const KeisanRecord&)) {
  for (const KeisanRecord& rec : records) {
    if (HasRequiredHeight(rec) && test(rec)) return &rec;
  }
  return nullptr;
}

// The footnotes of the marks the table carries, each once, on the rows below `b`.
void DrawMarkNotes(SheetLayout& sheet, const Candidates& records, double b) {
  if (FirstMarked(records, ChecksOnCriticalDepth) != nullptr) {
    b += 1.0;
    sheet.PutText(
        kNumberColumn, b,
        std::string(kCriticalDepthMark) + "：h1 ＜ h2（射流）のため、hReq は限界水深 h2 で求めた");
  }
  // FricQL is Q²L/2 for every candidate of the run, so any noted one gives the bound.
  if (const KeisanRecord* noted = FirstMarked(records, HasFrictionRoundingNote)) {
    b += 1.0;
    sheet.PutText(
        kNumberColumn, b,
        std::string(kFrictionRoundingMark) + "：hf は係数を小数5桁に丸めて求めたため、最大 " +
            FormatNumber(FrictionRoundingBound(*noted), Pattern::Fixed3) + "m の誤差を含む");
  }
}

void DrawLegend(SheetLayout& sheet, const RunSummary& summary, double b) {
  if (!summary.recommended.box && !summary.recommended.pipe) {
    sheet.PutText(kNumberColumn, b, "ＯＫの断面はありません");
  } else {
    sheet.PutText(kNumberColumn, b,
                  std::string(kRecommendedMark) +
                      "：推奨断面（ＯＫのうち内空断面積が最小のボックスと円形管）");
  }
  DrawMarkNotes(sheet, summary.records, b);
}

void DrawTable(SheetLayout& sheet, const RunSummary& summary, int page) {
  const double headingRow = page == 0 ? kFirstPageTableRow : kLaterPageTableRow;
  sheet.PutText(2.0, headingRow,
                page == 0 ? "２．計算結果一覧（単位：m）" : "２．計算結果一覧（続き）");
  const double columnHeadingRow = headingRow + 2.0;
  DrawColumnHeadings(sheet, columnHeadingRow);

  const std::size_t first = FirstRowOf(page);
  const std::size_t count = RowsOn(page, summary.records.size());
  double b = columnHeadingRow + 1.0;
  for (std::size_t i = first; i < first + count; ++i, b += 1.0) {
    DrawCandidateRow(sheet, summary, i, b);
  }
  DrawRule(sheet, b);
  if (page + 1 == SummaryPageCount(summary.records.size())) DrawLegend(sheet, summary, b + 1.0);
}

}  // namespace

RunSummary SummaryOfRun(Candidates records, const DesignConditions& conditions) {
  const Recommendation recommended = RecommendSections(records);
  return {std::move(records), conditions, recommended};
}

std::vector<int> OkRows(const Candidates& records) {
  std::vector<int> rows;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Status == StatusOk) rows.push_back(static_cast<int>(i) + 1);
  }
  return rows;
}

int SummaryPageCount(std::size_t rowCount) {
  if (rowCount <= kSummaryRowsOnFirstPage) return 1;
  const std::size_t later = rowCount - kSummaryRowsOnFirstPage;
  return 1 + static_cast<int>((later + kSummaryRowsOnLaterPages - 1) / kSummaryRowsOnLaterPages);
}

void DrawSummaryPage(DrawingSurface& target, std::int16_t mode, const RunSummary& summary,
                     int page) {
  SheetLayout sheet(target);
  target.SetDrawWidth(SheetPenWidth(mode));
  sheet.PutText(1.0, 0.0, "函渠断面の決定");
  if (page == 0) DrawConditions(sheet, summary);
  DrawTable(sheet, summary, page);
}

}  // namespace sekora
