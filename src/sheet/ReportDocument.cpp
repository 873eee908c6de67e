#include "ReportDocument.h"

#include "ResultRow.h"
#include "SheetLayout.h"

namespace sekora {
namespace {

// The header is one line of small text 9 pt below the top of the page, in
// the margin above the title, which every page has two lines down. The foot
// of the page is no place for it: a pipe sheet with its notes reaches within
// a few millimetres of the bottom edge.
constexpr double kHeaderSize = 8.0;
constexpr double kHeaderTop = 180.0;
// Space kept between the header's left and right texts, in header characters.
constexpr double kHeaderGap = 2.0;

constexpr char kBlank[] = "\u3000";

std::string Joined(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) {
    if (piece.empty()) continue;
    if (!text.empty()) text += kBlank;
    text += piece;
  }
  return text;
}

std::string LeftHeader(const ReportDocument& report, const ReportPage& page) {
  return Joined({report.source, page.owner,
                 page.listRow > 0 ? "計算結果一覧 No." + std::to_string(page.listRow) : ""});
}

std::string RightHeader(const ReportDocument& report, int page, const ReportStamp& stamp) {
  return Joined({stamp.date, stamp.program,
                 std::to_string(page + 1) + " / " + std::to_string(report.pages.size())});
}

void DrawHeader(DrawingSurface& target, const ReportDocument& report, int page,
                const ReportStamp& stamp) {
  // The sheet's own left edge, BaseX, is the header's margin on both sides.
  const double margin = SheetLayout(target).BaseX();
  target.SetFontSize(kHeaderSize);
  const std::string right = RightHeader(report, page, stamp);
  const double rightStart = kA4WidthTwips - margin - target.TextWidth(right);
  const double room = rightStart - margin - kHeaderGap * target.TextWidth(kBlank);
  const std::string left =
      FittedText(target, LeftHeader(report, report.pages.at(static_cast<std::size_t>(page))), room);
  target.SetCurrentY(kHeaderTop);
  target.SetCurrentX(margin);
  target.Print(left);
  target.SetCurrentX(rightStart);
  target.Print(right);
}

}  // namespace

void DrawReportPage(DrawingSurface& target, const ReportDocument& report, int page,
                    const ReportStamp& stamp) {
  report.pages.at(static_cast<std::size_t>(page)).draw(target);
  DrawHeader(target, report, page, stamp);
}

std::string SheetBookmarkTitle(int row, const KeisanRecord& rec) {
  return "No." + std::to_string(row) + " " + SectionSizeText(rec) + " " +
         (rec.Status == StatusOk ? "ＯＫ" : "ＮＧ");
}

std::string ReportDateText(int year, int month, int day) {
  return std::to_string(year) + "年" + std::to_string(month) + "月" + std::to_string(day) + "日";
}

}  // namespace sekora
