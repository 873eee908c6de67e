#include "SheetOutput.h"

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "AtomicFile.h"
#include "DrawSheet.h"
#include "KeisanFile.h"
#include "Metafile.h"
#include "Paths.h"
#include "RunDesign.h"
#include "SheetExport.h"

namespace sekora::cli {
namespace {

constexpr const char* kErrorRowMessage = "計算結果がエラーの為表示できません";

// A file stands in for the printed sheet, so it is drawn as the printer
// draws it.
constexpr std::int16_t kPrinterMode = 1;

// Qt's own notices (a runtime folder that is not set, a stand-in font) are
// no errors of the tool, and its failures come back as failed calls that
// the tool reports once, in its own words.
void IgnoreQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// The sheet is drawn off screen: the tool never needs a display.
void DrawWithoutDisplay(const std::function<void()>& draw) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(IgnoreQtMessage);
  int argc = 1;
  char name[] = "sekora-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  draw();
}

// The record of row `row` of the run, if its sheet may be drawn.
const KeisanRecord& RecordToDraw(const DesignRun& run, int row) {
  const int lines = run.conditions.CandidateCount;
  if (row > lines) {
    throw std::runtime_error("--sheet " + std::to_string(row) + ": Keisan.txt には " +
                             std::to_string(lines) + " 行しかありません");
  }
  const KeisanRecord& rec = run.records[static_cast<std::size_t>(row - 1)];
  if (rec.Status != StatusOk && rec.Status != StatusFreeboardOver) {
    throw std::runtime_error(kErrorRowMessage);
  }
  return rec;
}

}  // namespace

void CheckSheetTarget(const std::string& outPath) {
  CheckSheetFileName(outPath);
  const std::filesystem::path folder = PathFromUtf8(outPath).parent_path();
  std::error_code ec;
  if (!std::filesystem::is_directory(folder.empty() ? "." : folder, ec)) {
    throw std::runtime_error("出力先のフォルダがありません: " + PathToUtf8(folder));
  }
}

void WriteSheetOfRun(const DataFolders& folders, const DesignConditions& conditions, int row,
                     const std::string& outPath, int dpi) {
  const DesignRun run = CalculateRun(folders.work, conditions);
  const KeisanRecord& rec = RecordToDraw(run, row);
  // Every figure must load before anything is drawn.
  for (const std::string& path : SheetFigurePaths(rec, folders.figures)) LoadMetafile(path);
  std::string content;
  DrawWithoutDisplay([&] {
    content = SheetFileContent(outPath, dpi, [&](DrawingSurface& surface) {
      DrawSheet(surface, kPrinterMode, rec, run.conditions, folders.figures);
    });
  });
  // Both files are complete on disk before either is put in place.
  StagedFile sheet;
  StagedFile results;
  StageSheetFile(sheet, outPath, content);
  StageResultsFile(results, folders.work, run.resultsText);
  CommitResultsFile(results, folders.work);
  CommitSheetFile(sheet, outPath);
}

}  // namespace sekora::cli
