#include "SheetOutput.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include "DrawSheet.h"
#include "Metafile.h"
#include "ReportExport.h"
#include "SheetExport.h"
#include "SummarySheet.h"

namespace sekora::cli {
namespace {

constexpr int kExitFailure = 2;
constexpr const char* kErrorRowMessage = "計算結果がエラーの為表示できません";
// A file stands in for the printed sheet, so it is drawn as the printer draws it.
constexpr std::int16_t kPrinterMode = 1;

// The sheet is drawn off screen: the tool never needs a display.
void DrawWithoutDisplay(const std::function<void()>& draw) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int argc = 1;
  char name[] = "sekora-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  draw();
}

int Fail(const std::string& message) {
  std::cerr << "sekora-cli: " << message << '\n';
  return kExitFailure;
}

// The row numbers `sheets` names; "ok" stands for every passing row.
std::vector<int> RowsAskedFor(const std::optional<SheetRows>& sheets, const Candidates& records) {
  if (!sheets) return {};
  return sheets->everyOk ? OkRows(records) : sheets->rows;
}

// The rows that cannot be shown, as the results list refuses them: the
// calculation stopped before the freeboard check.
std::vector<int> RefusedRows(const std::vector<int>& rows, const Candidates& records) {
  std::vector<int> refused;
  for (int row : rows) {
    const std::int16_t status = records[static_cast<std::size_t>(row - 1)].Status;
    if (status != StatusOk && status != StatusFreeboardOver) refused.push_back(row);
  }
  return refused;
}

std::string RowList(const std::vector<int>& rows) {
  std::string list;
  for (int row : rows) list += (list.empty() ? "" : ", ") + std::to_string(row);
  return list;
}

bool IsPdf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".pdf";
}

}  // namespace

int WriteReport(const DataFolders& folders, const DesignConditions& conditions,
                const Candidates& records, const std::optional<SheetRows>& sheets, bool summary,
                const std::string& outPath, int dpi) {
  const std::vector<int> rows = RowsAskedFor(sheets, records);
  for (int row : rows) {
    if (row > static_cast<int>(records.size())) {
      return Fail("--sheet " + std::to_string(row) + ": Keisan.txt には " +
                  std::to_string(records.size()) + " 行しかありません");
    }
  }
  if (const std::vector<int> refused = RefusedRows(rows, records); !refused.empty()) {
    return Fail(std::string(kErrorRowMessage) + "（行 " + RowList(refused) + "）");
  }
  if (rows.empty() && !summary) return Fail("ＯＫの行がありません");
  if (!IsPdf(outPath) && (summary || rows.size() != 1)) {
    return Fail("複数の計算書と一覧表は PDF にのみ出力できます: " + outPath);
  }
  if (IsPdf(outPath)) {
    const ReportContent report{records, conditions, rows, summary};
    DrawWithoutDisplay([&] { ExportReportPdf(outPath, report, folders.figures); });
    return 0;
  }
  // Every figure must load before anything is drawn, so that no half-drawn
  // sheet is ever written.
  const KeisanRecord& rec = records[static_cast<std::size_t>(rows.front() - 1)];
  for (const std::string& path : SheetFigurePaths(rec, folders.figures)) LoadMetafile(path);
  DrawWithoutDisplay([&] {
    ExportSheet(outPath, dpi, [&](DrawingSurface& surface) {
      DrawSheet(surface, kPrinterMode, rec, conditions, folders.figures);
    });
  });
  return 0;
}

}  // namespace sekora::cli
