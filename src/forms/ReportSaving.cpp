#include "ReportSaving.h"

#include <QDir>
#include <QPointer>
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
const char* const kReportFileName = "計算書.pdf";
const char* const kSavingLabel = "PDFに保存中です（%1 / %2 ページ）";
const char* const kSavedMessage = "PDFに保存しました（%1 ページ）\n%2";

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

// Draws and writes the report on a worker thread; the windows repaint
// meanwhile and a long save shows its pages and can be cancelled.
void WriteReport(QWidget* parent, Session& session, const QString& path,
                 const ReportContent& report) {
  // Found here, on the windows' thread: the first use may set up the folders.
  const std::string figures = FigureFolder();
  session.saving.Run(parent, QString::fromUtf8(kSavingLabel), [&](const TaskCounters& counters) {
    const PageProgress progress{
        .pagesDone = counters.done, .pagesTotal = counters.total, .cancel = counters.cancel};
    ExportReportPdf(path.toStdString(), report, figures, progress);
  });
}

bool SaveAs(QWidget* parent, Session& session, const RowChoice& chooseRows, bool summary) {
  if (session.saving.Running()) return false;  // the menu was used again meanwhile
  const std::optional<QString> path =
      SaveFileDialog::AskPdf(parent, QString::fromUtf8(kReportFileName));
  if (!path) return false;  // cancelled: nothing to write, nothing to say
  // The window may be closed while the pages are drawn.
  const QPointer<QWidget> window(parent);
  try {
    ReportContent report{ReadResults(session), session.conditions, {}, summary, std::nullopt};
    report.rows = chooseRows(report.records);
    CheckRowsCanBeShown(report.rows, report.records);
    WriteReport(parent, session, *path, report);
  } catch (const ReportCancelledError&) {
    return false;  // stopped by the user: the previous file stays, nothing to say
  } catch (const std::exception& error) {
    MessageBoxes::ShowMessage(window, QString::fromUtf8(error.what()), MessageBoxes::Buttons::Ok);
    return false;
  }
  const QString saved =
      QString::fromUtf8(kSavedMessage)
          .arg(QString::number(session.saving.Total()), QDir::toNativeSeparators(*path));
  MessageBoxes::ShowMessage(window, saved, MessageBoxes::Buttons::Ok);
  return true;
}

}  // namespace

bool SaveReportAs(QWidget* parent, Session& session, const std::vector<int>& rows, bool summary) {
  return SaveAs(
      parent, session, [&rows](const Candidates&) { return rows; }, summary);
}

bool SaveOkReportAs(QWidget* parent, Session& session) {
  return SaveAs(parent, session, OkRows, true);
}

}  // namespace sekora
