#include "BatchCommand.h"

#include <cctype>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "AtomicFile.h"
#include "BatchOutput.h"
#include "BatchRun.h"
#include "BatchTable.h"
#include "CsvReader.h"
#include "FreeboardCheck.h"
#include "JsonNumber.h"
#include "Messages.h"
#include "Paths.h"
#include "ResultRow.h"
#include "TextLines.h"

namespace sekora::cli {
namespace {

constexpr std::size_t kNumberWidth = 5;
constexpr const char* kNone = "なし";

std::vector<Culvert> ReadTable(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes))
    throw std::runtime_error(Tr("一覧表が読み込めません: {1}", path));
  try {
    return ReadBatchTable(bytes);
  } catch (const CsvError& e) {
    throw std::runtime_error(path + ": " + e.what());
  } catch (const BatchTableError& e) {
    throw std::runtime_error(path + ": " + e.what());
  }
}

void WriteSummaryCsv(const std::string& path, const std::vector<Culvert>& culverts,
                     const std::vector<CulvertResult>& results) {
  std::string error;
  if (!WriteFileAtomically(path, SummaryCsv(culverts, results), error)) {
    throw std::runtime_error(Tr("結果一覧を書き込めません: {1}（{2}）", path, error));
  }
}

Json SectionJson(const std::optional<RecommendedSection>& s) {
  if (!s) return nullptr;
  const KeisanRecord& r = s->record;
  Json json = {{"size", SectionSizeText(r)}, {"row", s->row}};
  if (r.Kind == KindBox) {
    json["B"] = JsonNumber(r.B);
    json["H"] = JsonNumber(r.H);
  } else {
    json["D"] = JsonNumber(r.D);
  }
  json["h2"] = JsonNumber(r.h2);
  json["h1"] = JsonNumber(r.h1);
  json["hReq"] = JsonNumber(r.hReq);
  json["hReqFrom"] = ChecksOnCriticalDepth(r) ? "h2" : "h1";
  json["margin_m"] = JsonNumber(s->margin);
  json["margin_pct"] = JsonNumber(s->marginPercent);
  return json;
}

Json CulvertJson(const Culvert& culvert, const CulvertResult& result) {
  const DesignConditions& c = culvert.conditions;
  return {{"No", culvert.number},
          {"name", culvert.name},
          {"q", JsonNumber(c.Q)},
          {"l", JsonNumber(c.L)},
          {"z1", JsonNumber(c.Z1)},
          {"z2", JsonNumber(c.Z2)},
          {"g", JsonNumber(c.g)},
          {"alpha", JsonNumber(c.Alpha)},
          {"box_ratio", JsonNumber(c.BoxRatio)},
          {"circle_ratio", JsonNumber(c.CircleRatio)},
          {"shape", ShapeName(c.ShapeOption)},
          {"candidates", result.candidateCount},
          {"ok_count", result.okCount},
          {"box", SectionJson(result.box)},
          {"pipe", SectionJson(result.pipe)},
          {"friction_note", result.frictionRoundingNote}};
}

std::string SectionText(const std::optional<RecommendedSection>& s) {
  return s ? SectionSizeText(s->record) : kNone;
}

// "No|name|ＯＫ passing/candidates|box|pipe", the number right-aligned; a
// line break in the name becomes a blank, so that each culvert keeps one line.
std::string CulvertLine(const Culvert& culvert, const CulvertResult& result) {
  std::string number = std::to_string(culvert.number);
  if (number.size() < kNumberWidth) number.insert(0, kNumberWidth - number.size(), ' ');
  std::string name = culvert.name;
  for (char& c : name) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return number + "|" + name + "|ＯＫ " + std::to_string(result.okCount) + "/" +
         std::to_string(result.candidateCount) + "|" + SectionText(result.box) + "|" +
         SectionText(result.pipe);
}

std::string StandardOutput(const std::vector<Culvert>& culverts,
                           const std::vector<CulvertResult>& results, bool json) {
  std::string text = json ? "[\n" : "";
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    if (json) {
      text += "  " + CulvertJson(culverts[i], results[i]).dump();
      text += i + 1 < culverts.size() ? ",\n" : "\n";
    } else {
      text += CulvertLine(culverts[i], results[i]) + "\n";
    }
  }
  return json ? text + "]\n" : text;
}

// The summary must not replace the table it was made from.
void CheckOutNotTable(const CliOptions& options) {
  std::error_code ec;
  if (options.out &&
      std::filesystem::equivalent(PathFromUtf8(*options.out), PathFromUtf8(*options.batch), ec)) {
    throw std::runtime_error(Tr("--out が一覧表と同じファイルです: {1}", *options.out));
  }
}

// The report is a PDF in a folder that exists: checked before the run.
void CheckReportTarget(const std::string& path, const BatchReportWriter& writeReport) {
  if (!writeReport) {
    throw std::runtime_error(
        Tr("この版は報告書を出力できません（Qt なしで作られています）: {1}", path));
  }
  std::string extension = PathFromUtf8(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".pdf") throw std::runtime_error(Tr("--report は PDF ファイルです: {1}", path));
  const std::filesystem::path folder = PathFromUtf8(path).parent_path();
  std::error_code ec;
  if (!std::filesystem::is_directory(folder.empty() ? "." : folder, ec)) {
    throw std::runtime_error(Tr("出力先のフォルダがありません: {1}", PathToUtf8(folder)));
  }
}

}  // namespace

int RunBatchCommand(const CliOptions& options, const DataFolders& folders,
                    const BatchReportWriter& writeReport) {
  CheckOutNotTable(options);
  if (options.report) CheckReportTarget(*options.report, writeReport);
  const std::vector<Culvert> culverts = ReadTable(*options.batch);
  const BatchSections sections = LoadBatchSections(folders.work, culverts);
  const BatchKeep keep{.resultsText = options.keisanDir.has_value(),
                       .records = options.report.has_value()};
  const std::vector<CulvertResult> results = RunBatch(sections, culverts, keep, options.jobs);
  if (options.report) writeReport(*options.report, culverts, results, folders.figures);
  if (options.out) WriteSummaryCsv(*options.out, culverts, results);
  if (options.keisanDir) WriteResultsFiles(*options.keisanDir, culverts, results);
  std::cout << StandardOutput(culverts, results, options.json) << std::flush;
  if (!std::cout) throw std::runtime_error(Tr("標準出力に書き込めません"));
  return 0;
}

}  // namespace sekora::cli
