#include "ReportDocument.h"

#include "ResultRow.h"
#include "SheetLayout.h"

namespace sekora {
namespace {

// The footer is one line of small text whose top stands 27 pt above the
// foot of the page: below the decision line of a pipe sheet, the lowest
// thing any page draws, and clear of the edge a printer cannot reach.
constexpr double kFooterSize = 9.0;
constexpr double kFooterTop = kA4HeightTwips - 540.0;
// Space kept between the footer's left and right texts, in footer characters.
constexpr double kFooterGap = 2.0;

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

std::string LeftFooter(const ReportDocument& report, const ReportPage& page) {
  return Joined({report.source, page.owner,
                 page.listRow > 0 ? "計算結果一覧 No." + std::to_string(page.listRow) : ""});
}

std::string RightFooter(const ReportDocument& report, int page, const ReportStamp& stamp) {
  return Joined({stamp.date, stamp.program,
                 std::to_string(page + 1) + " / " + std::to_string(report.pages.size())});
}

void DrawFooter(DrawingSurface& target, const ReportDocument& report, int page,
                const ReportStamp& stamp) {
  // The sheet's own left edge, BaseX, is the footer's margin on both sides.
  const double margin = SheetLayout(target).BaseX();
  target.SetFontSize(kFooterSize);
  const std::string right = RightFooter(report, page, stamp);
  const double rightStart = kA4WidthTwips - margin - target.TextWidth(right);
  const double room = rightStart - margin - kFooterGap * target.TextWidth(kBlank);
  const std::string left =
      FittedText(target, LeftFooter(report, report.pages.at(static_cast<std::size_t>(page))), room);
  target.SetCurrentY(kFooterTop);
  target.SetCurrentX(margin);
  target.Print(left);
  target.SetCurrentX(rightStart);
  target.Print(right);
}

}  // namespace

void DrawReportPage(DrawingSurface& target, const ReportDocument& report, int page,
                    const ReportStamp& stamp) {
  report.pages.at(static_cast<std::size_t>(page)).draw(target);
  DrawFooter(target, report, page, stamp);
}

std::string SheetBookmarkTitle(int row, const KeisanRecord& rec) {
  return "No." + std::to_string(row) + " " + SectionSizeText(rec) + " " +
         (rec.Status == StatusOk ? "ＯＫ" : "ＮＧ");
}

std::string ReportDateText(int year, int month, int day) {
  return std::to_string(year) + "年" + std::to_string(month) + "月" + std::to_string(day) + "日";
}

}  // namespace sekora
