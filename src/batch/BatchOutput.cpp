#include "BatchOutput.h"

#include <charconv>
#include <filesystem>
#include <functional>

#include "AtomicFile.h"
#include "DesignError.h"
#include "FreeboardCheck.h"
#include "NumberText.h"
#include "Paths.h"
#include "ResultRow.h"

namespace sekora {
namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kNone = "なし";
constexpr const char* kNotCalculated = "対象外";
constexpr std::size_t kMaxNameBytes = 100;

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

void AppendRow(std::string& csv, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) csv += ',';
    csv += CsvField(fields[i]);
  }
  csv += "\r\n";
}

// One column of the summary: its heading and its cell for a culvert.
struct SummaryColumn {
  std::string heading;
  std::function<std::string(const Culvert&, const CulvertResult&)> cell;
};

using SectionOfResult = const std::optional<RecommendedSection>& (*)(const CulvertResult&);

const std::optional<RecommendedSection>& BoxOf(const CulvertResult& result) {
  return result.box;
}

const std::optional<RecommendedSection>& PipeOf(const CulvertResult& result) {
  return result.pipe;
}

// A cell of the recommended section `sectionOf` picks: "対象外" in its first
// cell and nothing in the others when the culvert's run left the shape out,
// "なし" when none of the shape passes.
SummaryColumn SectionColumn(const std::string& heading, SectionOfResult sectionOf,
                            std::int16_t leftOutBy, bool first,
                            std::string (*cell)(const RecommendedSection&)) {
  return {heading, [=](const Culvert& culvert, const CulvertResult& result) -> std::string {
            if (culvert.conditions.ShapeOption == leftOutBy) return first ? kNotCalculated : "";
            const std::optional<RecommendedSection>& section = sectionOf(result);
            if (!section) return first ? kNone : "";
            return cell(*section);
          }};
}

void AddSectionColumns(std::vector<SummaryColumn>& columns, const std::string& kind,
                       SectionOfResult sectionOf, std::int16_t leftOutBy) {
  using S = const RecommendedSection&;
  columns.push_back(SectionColumn("推奨" + kind, sectionOf, leftOutBy, true,
                                  [](S s) { return SectionSizeText(s.record); }));
  const auto add = [&](const std::string& heading, std::string (*cell)(S)) {
    columns.push_back(SectionColumn(heading, sectionOf, leftOutBy, false, cell));
  };
  add("行番号", [](S s) { return std::to_string(s.row); });
  add("h2", [](S s) { return FormatNumber(s.record.h2, Pattern::Fixed3); });
  add("h1", [](S s) { return FormatNumber(s.record.h1, Pattern::Fixed3); });
  add("必要高", [](S s) { return FormatNumber(s.record.hReq, Pattern::Fixed3); });
  add("余裕(m)", [](S s) { return FormatNumber(s.margin, Pattern::Fixed3); });
  add("余裕(%)", [](S s) { return FormatNumber(s.marginPercent, Pattern::Fixed2); });
}

// The depth a recommended section's hReq stands on: "h2" for an inlet that
// balanced below the critical depth, else "h1"; empty where none passes.
std::string CheckedDepthField(const std::optional<RecommendedSection>& s) {
  if (!s) return "";
  return ChecksOnCriticalDepth(s->record) ? "h2" : "h1";
}

// The columns of the summary, in order: the culvert's conditions as its table
// gives them, its counts, its recommended box and pipe, then the depth each
// one's required height stands on, whether rounded friction factors can move
// some hf by half a centimetre or more, and the name of its results file
// when `withResultsFiles`.
std::vector<SummaryColumn> SummaryColumns(bool withResultsFiles) {
  using C = const Culvert&;
  using R = const CulvertResult&;
  std::vector<SummaryColumn> columns = {
      {"名前", [](C c, R) { return SpreadsheetText(c.name); }},
      {"計画流量Q", [](C c, R) { return ConditionText(c.conditions.Q); }},
      {"延長L", [](C c, R) { return ConditionText(c.conditions.L); }},
      {"呑口部敷高Z1", [](C c, R) { return ConditionText(c.conditions.Z1); }},
      {"吐口部敷高Z2", [](C c, R) { return ConditionText(c.conditions.Z2); }},
      {"重力加速度g", [](C c, R) { return ConditionText(c.conditions.g); }},
      {"エネルギー補正係数α", [](C c, R) { return ConditionText(c.conditions.Alpha); }},
      {"ボックス余裕率", [](C c, R) { return ConditionText(c.conditions.BoxRatio); }},
      {"円形管余裕率", [](C c, R) { return ConditionText(c.conditions.CircleRatio); }},
      {"形状", [](C c, R) { return ShapeName(c.conditions.ShapeOption); }},
      {"計算した断面数", [](C, R r) { return std::to_string(r.candidateCount); }},
      {"ＯＫ数", [](C, R r) { return std::to_string(r.okCount); }},
  };
  AddSectionColumns(columns, "ボックス", BoxOf, ShapePipeOnly);
  AddSectionColumns(columns, "円形管", PipeOf, ShapeBoxOnly);
  columns.push_back({"ボックス必要高の水深", [](C, R r) { return CheckedDepthField(r.box); }});
  columns.push_back({"円形管必要高の水深", [](C, R r) { return CheckedDepthField(r.pipe); }});
  columns.push_back({"hf丸め注意", [](C, R r) { return r.frictionRoundingNote ? "1" : "0"; }});
  columns.push_back({"計算結果ファイル", [withResultsFiles](C c, R) {
                       return withResultsFiles ? ResultsFileNameOf(c) : std::string();
                     }});
  return columns;
}

bool IsRefusedInFileNames(unsigned char c) {
  return c < 0x20 || c == 0x7F ||
         std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

// `text` cut to at most `limit` bytes without splitting a UTF-8 character.
std::string CutUtf8(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// "<number>.txt" or "<number>_<name>.txt", as ResultsFileNameOf makes them.
bool IsResultsFileName(std::string_view name) {
  if (!name.ends_with(".txt")) return false;
  name.remove_suffix(4);
  const std::size_t digits = name.find_first_not_of("0123456789");
  if (name.empty() || digits == 0) return false;
  return digits == std::string_view::npos || (name[digits] == '_' && digits + 1 < name.size());
}

std::string SafeName(const std::string& name) {
  std::string safe;
  for (char c : name) safe += IsRefusedInFileNames(static_cast<unsigned char>(c)) ? '_' : c;
  safe = CutUtf8(safe, kMaxNameBytes);
  const std::size_t first = safe.find_first_not_of(" .");
  if (first == std::string::npos) return "";
  return safe.substr(first, safe.find_last_not_of(" .") - first + 1);
}

}  // namespace

std::string ShapeName(std::int16_t shapeOption) {
  switch (shapeOption) {
    case ShapeBoxOnly:
      return "box";
    case ShapePipeOnly:
      return "pipe";
    default:
      return "both";
  }
}

std::string ConditionText(double value) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string SpreadsheetText(const std::string& text) {
  constexpr std::string_view kFormulaStarts = "=+-@\t\r";
  if (text.empty() || kFormulaStarts.find(text.front()) == std::string_view::npos) return text;
  return "'" + text;
}

std::string SummaryCsv(const std::vector<Culvert>& culverts,
                       const std::vector<CulvertResult>& results, bool withResultsFiles) {
  const std::vector<SummaryColumn> columns = SummaryColumns(withResultsFiles);
  std::string csv = kByteOrderMark;
  std::vector<std::string> row;
  for (const SummaryColumn& column : columns) row.push_back(column.heading);
  AppendRow(csv, row);
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    row.clear();
    for (const SummaryColumn& column : columns) row.push_back(column.cell(culverts[i], results[i]));
    AppendRow(csv, row);
  }
  return csv;
}

std::string ResultsFileNameOf(const Culvert& culvert) {
  const std::string name = SafeName(culvert.name);
  return std::to_string(culvert.number) + (name.empty() ? "" : "_" + name) + ".txt";
}

void CheckResultsFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path path = PathFromUtf8(folder);
  if (!fs::is_directory(fs::symlink_status(path, ec))) return;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = PathToUtf8(it->path().filename());
    if (!it->is_regular_file(ec) || it->is_symlink(ec) || !IsResultsFileName(name)) {
      throw ResultsFileError(
          "計算結果のフォルダに計算結果ファイルでないものがあります: " + PathToUtf8(it->path()) +
          "（フォルダを中身ごと置き換えるため、空のフォルダか前回の計算結果の"
          "フォルダを指定してください）");
    }
  }
  if (ec) {
    throw ResultsFileError("計算結果のフォルダを読めません: " + folder + "（" + ec.message() +
                           "）");
  }
}

void WriteResultsFile(const StagedFolder& staged, const std::string& folder, const Culvert& culvert,
                      const std::string& resultsText) {
  const std::string name = ResultsFileNameOf(culvert);
  std::string error;
  if (!staged.Add(name, resultsText, error)) {
    throw ResultsFileError("計算結果ファイルを書き込めません: " + JoinPath(folder, name) + "（" +
                           error + "）");
  }
}

}  // namespace sekora
