#include "BatchCommand.h"

#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "AtomicFile.h"
#include "BatchOutput.h"
#include "BatchRun.h"
#include "BatchTable.h"
#include "FreeboardCheck.h"
#include "JsonNumber.h"
#include "KeisanFile.h"
#include "Messages.h"
#include "OutputChecks.h"
#include "Paths.h"
#include "ResultRow.h"

namespace sekora::cli {
namespace {

constexpr std::size_t kNumberWidth = 5;
constexpr const char* kNone = "なし";
// The outputs of a batch as its messages name them.
constexpr const char* kSummaryRole = TrLater("結果一覧");
constexpr const char* kReportRole = TrLater("報告書");

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

Json CulvertJson(const Culvert& culvert, const CulvertResult& result, bool withResultsFiles) {
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
          {"friction_note", result.frictionRoundingNote},
          {"results_file", withResultsFiles ? Json(ResultsFileNameOf(culvert)) : Json(nullptr)}};
}

std::string SectionText(const std::optional<RecommendedSection>& s) {
  return s ? SectionSizeText(s->record) : kNone;
}

// The name as one field of a "|"-separated line: "\" and "|" escaped with
// "\", a line break turned into a blank, so that each culvert keeps one
// line of as many fields as any other.
std::string LineField(const std::string& name) {
  std::string field;
  for (char c : name) {
    if (c == '\\' || c == '|') field += '\\';
    field += (c == '\n' || c == '\r') ? ' ' : c;
  }
  return field;
}

// "No|name|ＯＫ passing/candidates|box|pipe", the number right-aligned.
std::string CulvertLine(const Culvert& culvert, const CulvertResult& result) {
  std::string number = std::to_string(culvert.number);
  if (number.size() < kNumberWidth) number.insert(0, kNumberWidth - number.size(), ' ');
  return number + "|" + LineField(culvert.name) + "|ＯＫ " + std::to_string(result.okCount) + "/" +
         std::to_string(result.candidateCount) + "|" + SectionText(result.box) + "|" +
         SectionText(result.pipe);
}

std::string StandardOutput(const std::vector<Culvert>& culverts,
                           const std::vector<CulvertResult>& results, const CliOptions& options) {
  const bool withResultsFiles = options.keisanDir.has_value();
  std::string text = options.json ? "[\n" : "";
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    if (options.json) {
      text += "  " + CulvertJson(culverts[i], results[i], withResultsFiles).dump();
      text += i + 1 < culverts.size() ? ",\n" : "\n";
    } else {
      text += CulvertLine(culverts[i], results[i]) + "\n";
    }
  }
  return options.json ? text + "]\n" : text;
}

// The report is a PDF, drawn by a tool built with Qt.
void CheckReportName(const std::string& path, const BatchReportDrawer& drawReport) {
  if (!drawReport) {
    throw std::runtime_error(
        Tr("この版は報告書を出力できません（Qt なしで作られています）: {1}", path));
  }
  std::string extension = PathFromUtf8(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".pdf") throw std::runtime_error(Tr("--report は PDF ファイルです: {1}", path));
}

// What the batch reads: the folder's Keisan.txt counts among them, for the
// batch promises to leave it alone.
std::vector<NamedPath> BatchInputs(const CliOptions& options, const DataFolders& folders) {
  std::vector<NamedPath> inputs = RunInputs(folders, options.report.has_value());
  inputs.push_back({TrLater("一覧表"), *options.batch});
  inputs.push_back({kResultsFileName, JoinPath(folders.work, kResultsFileName)});
  return inputs;
}

std::vector<NamedPath> BatchOutputs(const CliOptions& options) {
  std::vector<NamedPath> outputs;
  if (options.out) outputs.push_back({"--out", *options.out});
  if (options.report) outputs.push_back({"--report", *options.report});
  return outputs;
}

// The outputs of the batch, each made beside its place before the run and
// put in place only once all of them are complete.
class BatchTargets {
 public:
  explicit BatchTargets(const CliOptions& options) : options_(options) {
    if (options.out) Open(out_, *options.out, kSummaryRole);
    if (options.report) Open(report_, *options.report, kReportRole);
    if (options.keisanDir) OpenResultsFolder(*options.keisanDir);
  }

  void WriteReport(const std::string& content) {
    Write(report_, *options_.report, kReportRole, content);
  }
  void WriteSummary(const std::string& content) {
    Write(out_, *options_.out, kSummaryRole, content);
  }
  // Writes the culvert's results file as soon as it is designed, and lets go
  // of its text: the files are written while the other culverts are designed.
  CulvertDone ResultsFileWriter(const std::vector<Culvert>& culverts) const {
    if (!options_.keisanDir) return {};
    return [&](std::size_t i, CulvertResult& result) {
      WriteResultsFile(results_, *options_.keisanDir, culverts[i], result.resultsText);
      std::string().swap(result.resultsText);  // lets go of its memory too
    };
  }

  void CommitAll() {
    std::string error;
    if (options_.keisanDir && !results_.Commit(error)) {
      throw std::runtime_error(
          Tr("計算結果のフォルダを置き換えられません: {1}（{2}）", *options_.keisanDir, error));
    }
    if (options_.out) Commit(out_, *options_.out, kSummaryRole);
    if (options_.report) Commit(report_, *options_.report, kReportRole);
  }

 private:
  static void Open(StagedFile& staged, const std::string& path, const char* what) {
    CheckOutputFolder(path);
    std::string error;
    if (!staged.Open(path, error)) Fail(what, path, error);
  }

  void OpenResultsFolder(const std::string& folder) {
    CheckOutputFolder(folder);
    CheckResultsFolder(folder);
    std::string error;
    if (!results_.Open(folder, error)) {
      throw std::runtime_error(Tr("計算結果のフォルダを作れません: {1}（{2}）", folder, error));
    }
  }

  static void Write(StagedFile& staged, const std::string& path, const char* what,
                    const std::string& content) {
    std::string error;
    if (!staged.Write(content, error)) Fail(what, path, error);
  }

  static void Commit(StagedFile& staged, const std::string& path, const char* what) {
    std::string error;
    if (!staged.Commit(error)) Fail(what, path, error);
  }

  [[noreturn]] static void Fail(const char* what, const std::string& path,
                                const std::string& error) {
    throw std::runtime_error(Tr("{1}を書き込めません: {2}（{3}）", Tr(what), path, error));
  }

  const CliOptions& options_;
  StagedFile out_;
  StagedFile report_;
  StagedFolder results_;
};

}  // namespace

int RunBatchCommand(const CliOptions& options, const DataFolders& folders,
                    const BatchReportDrawer& drawReport) {
  if (options.report) CheckReportName(*options.report, drawReport);
  const std::vector<Culvert> culverts = ReadBatchTableFile(*options.batch);
  std::optional<NamedPath> resultsFolder;
  if (options.keisanDir) resultsFolder = NamedPath{"--keisan-dir", *options.keisanDir};
  CheckOutputsApart(BatchInputs(options, folders), BatchOutputs(options), resultsFolder);
  BatchTargets targets(options);

  const BatchSections sections = LoadBatchSections(folders.work, culverts);
  const BatchKeep keep{.resultsText = options.keisanDir.has_value(),
                       .records = options.report.has_value()};
  const std::vector<CulvertResult> results =
      RunBatch(sections, culverts, keep, options.jobs, targets.ResultsFileWriter(culverts));

  if (options.report) {
    const std::string tableName = PathToUtf8(PathFromUtf8(*options.batch).filename());
    targets.WriteReport(
        drawReport({*options.report, folders.figures, tableName, options.jobs}, culverts, results));
  }
  if (options.out) {
    targets.WriteSummary(SummaryCsv(culverts, results, options.keisanDir.has_value()));
  }
  const std::string standardOutput = StandardOutput(culverts, results, options);
  targets.CommitAll();
  std::cout << standardOutput << std::flush;
  if (!std::cout) throw std::runtime_error(Tr("標準出力に書き込めません"));
  return 0;
}

}  // namespace sekora::cli
