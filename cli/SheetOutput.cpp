#include "SheetOutput.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include "DrawSheet.h"
#include "Metafile.h"
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
  if (!sheets->everyOk) return sheets->rows;
  std::vector<int> rows;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Status == StatusOk) rows.push_back(static_cast<int>(i) + 1);
  }
  return rows;
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
  // Every figure must load before anything is drawn, so that no half-drawn
  // sheet is ever written.
  for (int row : rows) {
    for (const std::string& path : SheetFigurePaths(records[row - 1], folders.figures))
      LoadMetafile(path);
  }

  const RunSummary run = SummaryOfRun(records, conditions);
  const int summaryPages = summary ? SummaryPageCount(records.size()) : 0;
  const auto drawPage = [&](DrawingSurface& surface, int page) {
    if (page < summaryPages) {
      DrawSummaryPage(surface, kPrinterMode, run, page);
    } else {
      const KeisanRecord& rec = records[rows[page - summaryPages] - 1];
      DrawSheet(surface, kPrinterMode, rec, conditions, folders.figures);
    }
  };
  const int pageCount = summaryPages + static_cast<int>(rows.size());
  DrawWithoutDisplay([&] {
    if (IsPdf(outPath)) {
      ExportPdfPages(outPath, pageCount, drawPage);
    } else {
      ExportSheet(outPath, dpi, [&](DrawingSurface& surface) { drawPage(surface, 0); });
    }
  });
  return 0;
}

}  // namespace sekora::cli
