#include "SheetOutput.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

#include "AtomicFile.h"
#include "DrawSheet.h"
#include "KeisanFile.h"
#include "Messages.h"
#include "Metafile.h"
#include "OutputChecks.h"
#include "Paths.h"
#include "ReportExport.h"
#include "RunDesign.h"
#include "SheetExport.h"
#include "SummarySheet.h"

namespace sekora::cli {
namespace {

constexpr int kExitFailure = 2;

// A file stands in for the printed sheet, so it is drawn as the printer
// draws it.
constexpr std::int16_t kPrinterMode = 1;

// Qt's own notices (a runtime folder that is not set, a stand-in font) are
// no errors of the tool, and its failures come back as failed calls that
// the tool reports once, in its own words. A fatal message would abort the
// tool without a word: it ends as every error does, on one line of stderr
// with exit status 2.
void HandleQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) return;
  std::string text = message.trimmed().toStdString();
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::fprintf(stderr, "sekora-cli: %s\n", Tr("計算書を描けません（Qt: {1}）", text).c_str());
  std::fflush(stderr);
  std::_Exit(kExitFailure);
}

// The row numbers `sheets` names; "ok" stands for every passing row.
std::vector<int> RowsAskedFor(const std::optional<SheetRows>& sheets, const Candidates& records) {
  if (!sheets) return {};
  return sheets->everyOk ? OkRows(records) : sheets->rows;
}

std::string RowList(const std::vector<int>& rows) {
  std::string list;
  for (int row : rows) list += (list.empty() ? "" : ", ") + std::to_string(row);
  return list;
}

// Every row must exist and have a sheet, as the results list would show it:
// a calculation that stopped before the freeboard check has none.
void CheckRowsCanBeDrawn(const std::vector<int>& rows, const Candidates& records) {
  std::vector<int> refused;
  for (int row : rows) {
    if (row > static_cast<int>(records.size())) {
      throw std::runtime_error(Tr("--sheet {1}: Keisan.txt には {2} 行しかありません",
                                  std::to_string(row), std::to_string(records.size())));
    }
    const std::int16_t status = records[static_cast<std::size_t>(row - 1)].Status;
    if (status != StatusOk && status != StatusFreeboardOver) refused.push_back(row);
  }
  if (!refused.empty()) {
    // The results list's message for such a row.
    throw std::runtime_error(Tr("計算結果がエラーの為表示できません（行 {1}）", RowList(refused)));
  }
}

bool IsPdf(const std::string& outPath) {
  std::string extension = PathFromUtf8(outPath).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".pdf";
}

// The file of one row's sheet in any format, or of a whole report in a PDF.
std::string ReportFileContent(const DataFolders& folders, const DesignRun& run,
                              const std::vector<int>& rows, bool summary,
                              const std::string& outPath, int dpi) {
  if (IsPdf(outPath)) {
    const std::size_t leftOut = run.designedCount - run.records.size();
    return ReportPdfContent(outPath, {run.records, run.conditions, rows, summary, leftOut},
                            folders.figures);
  }
  if (summary || rows.size() != 1) {
    throw std::runtime_error(Tr("複数の計算書と一覧表は PDF にのみ出力できます: {1}", outPath));
  }
  const KeisanRecord& rec = run.records[static_cast<std::size_t>(rows.front() - 1)];
  // Every figure must load before anything is drawn.
  for (const std::string& path : SheetFigurePaths(rec, folders.figures)) LoadMetafile(path);
  return SheetFileContent(outPath, dpi, [&](DrawingSurface& surface) {
    DrawSheet(surface, kPrinterMode, rec, run.conditions, folders.figures);
  });
}

}  // namespace

// The application and the arguments it keeps referring to.
struct OffscreenQt::Application {
  int argc = 1;
  char name[sizeof "sekora-cli"] = "sekora-cli";
  char* argv[2] = {name, nullptr};
  QGuiApplication app{argc, argv};
};

OffscreenQt::OffscreenQt() {
#ifdef _WIN32
  // Qt's offscreen platform knows none of Windows' fonts; the Windows
  // platform draws into files without a window.
  qputenv("QT_QPA_PLATFORM", "windows");
#else
  qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  qInstallMessageHandler(HandleQtMessage);
  application_ = std::make_unique<Application>();
  // The application has set the process's locale from the environment.
  KeepMessageLanguage();
  // Reports name the program that made them.
  QGuiApplication::setApplicationVersion(QStringLiteral(SEKORA_VERSION));
}

OffscreenQt::~OffscreenQt() = default;

void CheckSheetTarget(const std::string& outPath) {
  CheckSheetFileName(outPath);
  CheckOutputFolder(outPath);
}

void WriteReportOfRun(const DataFolders& folders, const DesignConditions& conditions,
                      const std::optional<SheetRows>& sheets, bool summary,
                      const std::string& outPath, int dpi) {
  const DesignRun run = CalculateRun(folders.work, conditions);
  const std::vector<int> rows = RowsAskedFor(sheets, run.records);
  CheckRowsCanBeDrawn(rows, run.records);
  if (rows.empty() && !summary) throw std::runtime_error(Tr("ＯＫの行がありません"));
  const std::string content = ReportFileContent(folders, run, rows, summary, outPath, dpi);
  // Both files are complete on disk before either is put in place.
  StagedFile sheet;
  StagedFile results;
  StageSheetFile(sheet, outPath, content);
  StageResultsFile(results, folders.work, run.resultsText);
  CommitResultsFile(results, folders.work);
  CommitSheetFile(sheet, outPath);
}

}  // namespace sekora::cli
