#include "ReportSaving.h"

#include <functional>
#include <stdexcept>

#include "AppFolder.h"
#include "MessageBoxes.h"
#include "ReportExport.h"
#include "SaveFileDialog.h"
#include "SummarySheet.h"

namespace sekora {

namespace {

const char* const kRefuseFailed = "計算結果がエラーの為表示できません";

using RowChoice = std::function<std::vector<int>(const Candidates&)>;

// The results as the list shows them, read once so that the report belongs
// to one run from its summary to its last sheet; a file another run has
// rewritten since is refused.
Candidates ReadResults(const Session& session) {
  return session.written.Read(AppFolder());
}

// A row whose calculation stopped before the freeboard check has no sheet,
// as the list refuses to show it.
void CheckRowsCanBeShown(const std::vector<int>& rows, const Candidates& records) {
  for (int row : rows) {
    const bool inFile = row >= 1 && row <= static_cast<int>(records.size());
    const std::int16_t status = inFile ? records[static_cast<std::size_t>(row - 1)].Status : -1;
    if (status != StatusOk && status != StatusFreeboardOver)
      throw std::runtime_error(kRefuseFailed);
  }
}

bool SaveAs(QWidget* parent, const Session& session, const RowChoice& chooseRows, bool summary) {
  const std::optional<QString> path = SaveFileDialog::AskPdf(parent, DefaultReportPath());
  if (!path) return false;  // cancelled: nothing to write, nothing to say
  try {
    ReportContent report{ReadResults(session), session.conditions, {}, summary, std::nullopt};
    report.rows = chooseRows(report.records);
    CheckRowsCanBeShown(report.rows, report.records);
    ExportReportPdf(path->toStdString(), report, FigureFolder());
    return true;
  } catch (const std::exception& error) {
    MessageBoxes::ShowMessage(parent, QString::fromUtf8(error.what()), MessageBoxes::Buttons::Ok);
    return false;
  }
}

}  // namespace

bool SaveReportAs(QWidget* parent, const Session& session, const std::vector<int>& rows,
                  bool summary) {
  return SaveAs(
      parent, session, [&rows](const Candidates&) { return rows; }, summary);
}

bool SaveOkReportAs(QWidget* parent, const Session& session) {
  return SaveAs(parent, session, OkRows, true);
}

}  // namespace sekora
