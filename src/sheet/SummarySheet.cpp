// The summary pages of a run, on the sheet's grid and in its fonts: the
// title, section 1 with the run's conditions in the cells the sheet uses,
// then the table of candidates, one line per candidate.
#include "SummarySheet.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "DrawSheet.h"
#include "FreeboardCheck.h"
#include "ResultRow.h"
#include "SheetLayout.h"
#include "SheetSections.h"
#include "SignOffBlock.h"

namespace sekora {

namespace {

// Rows of the first page: the conditions' heading and the rows that the
// sheet leaves to the candidate (roughness) or that a run adds (freeboard).
constexpr double kConditionsHeadingRow = 3.0;
constexpr double kRoughnessRow = 9.0;
constexpr double kFreeboardRow = 11.0;
// The table's section heading, a line saying what the run left out, and the
// sign-off block to their right; the column headings stand below the block.
constexpr double kFirstPageTableRow = 13.0;
constexpr double kLeftOutRow = 15.0;
constexpr double kSignOffTop = 12.5;
constexpr double kFirstPageColumnHeadingRow = kSignOffTop + kSignOffHeight + 1.0;
constexpr double kLaterPageTableRow = 1.0;

// The table's columns, their places in CharW from BaseX when every value
// fits, and how far in from its column each heading stands.
enum Column { kNumber, kSize, kOutletDepth, kInletDepth, kRequired, kHeight, kResult, kMark };
constexpr std::size_t kColumnCount = 8;
const std::vector<double> kPlaces = {2.0, 5.5, 12.0, 15.5, 19.0, 26.0, 30.0, 45.5};
constexpr std::array<double, kColumnCount> kHeadingIndents = {1.0, 0.0, 1.0, 1.0,
                                                              1.0, 0.0, 0.0, -0.5};
constexpr std::array<const char*, kColumnCount> kHeadings = {
    "No", "Box・管", "h2", "h1", "必要高", "断面高", "計算結果", "推奨"};
constexpr double kColumnGap = 0.5;
constexpr double kTableRight = 47.0;

// Depths and heights are right-aligned in fields of six half-width characters.
constexpr int kDepthField = 6;
constexpr int kNumberField = 5;

constexpr char kRecommendedMark[] = "◎";
// Marks after a required height: checked on the critical depth h2, and an hf
// the rounded friction factors can move by half a centimetre or more. They
// stand half a character after the height's field.
constexpr char kCriticalDepthMark[] = "＊";
constexpr char kFrictionRoundingMark[] = "※";
constexpr double kMarksAfterRequired = 3.5;
// A quantity the calculation never reached.
constexpr char kNotReached[] = "    －";

// A row's text in each column, and the marks after its required height.
struct RowTexts {
  std::array<std::string, kColumnCount> columns;
  std::string requiredMarks;
};

std::size_t FirstRowOf(int page) {
  if (page == 0) return 0;
  return kSummaryRowsOnFirstPage + static_cast<std::size_t>(page - 1) * kSummaryRowsOnLaterPages;
}

std::size_t RowsOn(int page, std::size_t rowCount) {
  const std::size_t first = FirstRowOf(page);
  const std::size_t capacity = page == 0 ? kSummaryRowsOnFirstPage : kSummaryRowsOnLaterPages;
  return first >= rowCount ? 0 : std::min(capacity, rowCount - first);
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

RowTexts TextsOfRow(const RunSummary& summary, std::size_t index) {
  const KeisanRecord& rec = summary.records[index];
  const Recommendation& marked = summary.recommended;
  const bool recommended = marked.box == index || marked.pipe == index;
  return {{RightAligned(std::to_string(index + 1), kNumberField), SectionSizeText(rec),
           ValueField(rec.h2, kDepthField), InletDepthText(rec), RequiredHeightText(rec),
           ValueField(SectionHeight(rec), kDepthField), StatusText(rec.Status),
           recommended ? kRecommendedMark : ""},
          RequiredHeightMarks(rec)};
}

// Every page of a summary lays its table out alike, each column as wide as
// the widest value it holds on any page.
TableColumns ColumnsOf(const SheetLayout& sheet, const RunSummary& summary) {
  std::vector<double> widest(kColumnCount);
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    widest[c] = kHeadingIndents[c] + sheet.WidthInChars(kHeadings[c]);
  }
  for (std::size_t i = 0; i < summary.records.size(); ++i) {
    const RowTexts texts = TextsOfRow(summary, i);
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      widest[c] = std::max(widest[c], sheet.WidthInChars(texts.columns[c]));
    }
    if (!texts.requiredMarks.empty()) {
      widest[kRequired] = std::max(widest[kRequired],
                                   kMarksAfterRequired + sheet.WidthInChars(texts.requiredMarks));
    }
  }
  TableColumns columns{ColumnLefts(kPlaces, widest, kColumnGap), kTableRight};
  columns.right = std::max(kTableRight, columns.lefts[kMark] + widest[kMark]);
  return columns;
}

bool RunHasBoxes(const DesignConditions& c) {
  return c.ShapeOption != ShapePipeOnly;
}

bool RunHasPipes(const DesignConditions& c) {
  return c.ShapeOption != ShapeBoxOnly;
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
// window's notice states it; only the shapes the run calculated have one.
void DrawFreeboardRow(SheetLayout& sheet, const DesignConditions& c) {
  if (RunHasBoxes(c)) {
    sheet.PutText(3.0, kFreeboardRow, "余裕高(ボックス) ");
    sheet.PutText(13.0, kFreeboardRow, "H×" + FormatNumber(1.0 - c.BoxRatio, Pattern::Fixed3));
  }
  if (RunHasPipes(c)) {
    sheet.PutText(17.5, kFreeboardRow, "余裕高(円形管) ");
    sheet.PutText(27.5, kFreeboardRow, "φ×" + FormatNumber(1.0 - c.CircleRatio, Pattern::Fixed3));
  }
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

// A run that wrote only its passing sections says so, and how many it left out.
void DrawLeftOut(SheetLayout& sheet, const RunSummary& summary) {
  if (summary.conditions.ExcludeNg != 1) return;
  std::string text = "ＮＧの断面";
  if (summary.leftOutNg) text.append(" ").append(std::to_string(*summary.leftOutNg)).append(" 件");
  text += "は一覧から除いています（ＮＧ結果は除く）";
  sheet.PutText(3.0, kLeftOutRow, text);
}

void DrawCandidateRow(SheetLayout& sheet, const TableColumns& columns, const RowTexts& texts,
                      double b) {
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (!texts.columns[c].empty()) sheet.PutText(columns.lefts[c], b, texts.columns[c]);
    if (c == kRequired && !texts.requiredMarks.empty()) {
      sheet.PutText(columns.lefts[c] + kMarksAfterRequired, b, texts.requiredMarks);
    }
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
        kPlaces[kNumber], b,
        std::string(kCriticalDepthMark) + "：h1 ＜ h2（射流）のため、必要高は限界水深 h2 で求めた");
  }
  // FricQL is Q²L/2 for every candidate of the run, so any noted one gives the bound.
  if (const KeisanRecord* noted = FirstMarked(records, HasFrictionRoundingNote)) {
    b += 1.0;
    sheet.PutText(
        kPlaces[kNumber], b,
        std::string(kFrictionRoundingMark) + "：hf は係数を小数5桁に丸めて求めたため、最大 " +
            FormatNumber(FrictionRoundingBound(*noted), Pattern::Fixed3) + "m の誤差を含む");
  }
}

// The mark explained, for the shapes the run calculated, then the footnotes.
void DrawLegend(SheetLayout& sheet, const RunSummary& summary, double b) {
  const DesignConditions& c = summary.conditions;
  if (!summary.recommended.box && !summary.recommended.pipe) {
    sheet.PutText(kPlaces[kNumber], b, "ＯＫの断面はありません");
  } else {
    const std::string shapes = RunHasBoxes(c) && RunHasPipes(c) ? "ボックスと円形管"
                               : RunHasBoxes(c)                 ? "ボックス"
                                                                : "円形管";
    sheet.PutText(
        kPlaces[kNumber], b,
        std::string(kRecommendedMark) + "：推奨断面（ＯＫのうち内空断面積が最小の" + shapes + "）");
  }
  DrawMarkNotes(sheet, summary.records, b);
}

void DrawTable(SheetLayout& sheet, const RunSummary& summary, int page) {
  const TableColumns columns = ColumnsOf(sheet, summary);
  const double headingRow = page == 0 ? kFirstPageTableRow : kLaterPageTableRow;
  sheet.PutText(2.0, headingRow,
                page == 0 ? "２．計算結果一覧（単位：m）" : "２．計算結果一覧（続き）");
  const double columnHeadingRow = page == 0 ? kFirstPageColumnHeadingRow : headingRow + 2.0;
  DrawTableHeadings(sheet, columns, kHeadings, kHeadingIndents, columnHeadingRow);

  const std::size_t first = FirstRowOf(page);
  const std::size_t count = RowsOn(page, summary.records.size());
  double b = columnHeadingRow + 1.0;
  for (std::size_t i = first; i < first + count; ++i, b += 1.0) {
    DrawCandidateRow(sheet, columns, TextsOfRow(summary, i), b);
  }
  DrawTableRule(sheet, columns, b);
  if (page + 1 == SummaryPageCount(summary.records.size())) DrawLegend(sheet, summary, b + 1.0);
  if (page == 0) DrawSignOffBlock(sheet, columns.right, kSignOffTop);
}

}  // namespace

RunSummary SummaryOfRun(Candidates records, const DesignConditions& conditions,
                        std::optional<std::size_t> leftOutNg) {
  const Recommendation recommended = RecommendSections(records);
  return {std::move(records), conditions, recommended, leftOutNg};
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
  if (page == 0) {
    DrawConditions(sheet, summary);
    DrawLeftOut(sheet, summary);
  }
  DrawTable(sheet, summary, page);
}

}  // namespace sekora
