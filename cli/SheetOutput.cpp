#include "SheetOutput.h"

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "DrawSheet.h"
#include "KeisanFile.h"
#include "Metafile.h"
#include "SheetExport.h"

namespace sekora::cli {
namespace {

constexpr int kExitFailure = 2;
constexpr const char* kErrorRowMessage = "計算結果がエラーの為表示できません";

// The sheet is drawn off screen: the tool never needs a display.
int DrawWithoutDisplay(const std::function<void()>& draw) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int argc = 1;
  char name[] = "sekora-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  draw();
  return 0;
}

}  // namespace

int WriteSheet(const DataFolders& folders, const DesignConditions& conditions, std::int16_t row,
               const std::string& outPath, int dpi) {
  if (row > conditions.CandidateCount) {
    std::cerr << "sekora-cli: --sheet " << row << ": Keisan.txt には " << conditions.CandidateCount
              << " 行しかありません\n";
    return kExitFailure;
  }
  const std::int16_t status = LookupStatus(folders.work, row);
  if (status != StatusOk && status != StatusFreeboardOver) {
    std::cerr << "sekora-cli: " << kErrorRowMessage << '\n';
    return kExitFailure;
  }
  KeisanRecord rec{};
  ReadSelectedRecord(folders.work, conditions, row, rec);
  // Every figure must load before anything is drawn, so that no half-drawn
  // sheet is ever written.
  for (const std::string& path : SheetFigurePaths(rec, folders.figures)) LoadMetafile(path);
  // A file stands in for the printed sheet, so it is drawn as the printer
  // draws it.
  constexpr std::int16_t kPrinterMode = 1;
  return DrawWithoutDisplay([&] {
    ExportSheet(outPath, dpi, [&](DrawingSurface& surface) {
      DrawSheet(surface, kPrinterMode, rec, conditions, folders.figures);
    });
  });
}

}  // namespace sekora::cli
