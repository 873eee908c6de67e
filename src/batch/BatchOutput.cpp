#include "BatchOutput.h"

#include <charconv>
#include <filesystem>

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

std::vector<std::string> SectionHeader(const std::string& kind) {
  return {kind,           kind + "_row",      kind + "_h2",        kind + "_h1",
          kind + "_hreq", kind + "_margin_m", kind + "_margin_pct"};
}

std::vector<std::string> SectionFields(const std::optional<RecommendedSection>& s) {
  if (!s) return {kNone, "", "", "", "", "", ""};
  const KeisanRecord& r = s->record;
  return {SectionSizeText(r),
          std::to_string(s->row),
          FormatNumber(r.h2, Pattern::Fixed3),
          FormatNumber(r.h1, Pattern::Fixed3),
          FormatNumber(r.hReq, Pattern::Fixed3),
          FormatNumber(s->margin, Pattern::Fixed3),
          FormatNumber(s->marginPercent, Pattern::Fixed2)};
}

// The depth a recommended section's hReq stands on: "h2" for an inlet that
// balanced below the critical depth, else "h1"; empty where none passes.
std::string CheckedDepthField(const std::optional<RecommendedSection>& s) {
  if (!s) return "";
  return ChecksOnCriticalDepth(s->record) ? "h2" : "h1";
}

std::vector<std::string> ConditionFields(const Culvert& culvert) {
  const DesignConditions& c = culvert.conditions;
  return {SpreadsheetText(culvert.name), ConditionText(c.Q),        ConditionText(c.L),
          ConditionText(c.Z1),           ConditionText(c.Z2),       ConditionText(c.g),
          ConditionText(c.Alpha),        ConditionText(c.BoxRatio), ConditionText(c.CircleRatio),
          ShapeName(c.ShapeOption)};
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
  std::string csv = kByteOrderMark;
  std::vector<std::string> header = {"name",         "q",     "l",          "z1",
                                     "z2",           "g",     "alpha",      "box_ratio",
                                     "circle_ratio", "shape", "candidates", "ok_count"};
  for (const char* kind : {"box", "pipe"}) {
    for (std::string& field : SectionHeader(kind)) header.push_back(std::move(field));
  }
  header.insert(header.end(), {"box_hreq_from", "pipe_hreq_from", "friction_note"});
  header.push_back("results_file");
  AppendRow(csv, header);
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    std::vector<std::string> row = ConditionFields(culverts[i]);
    row.push_back(std::to_string(results[i].candidateCount));
    row.push_back(std::to_string(results[i].okCount));
    for (const auto* section : {&results[i].box, &results[i].pipe}) {
      for (std::string& field : SectionFields(*section)) row.push_back(std::move(field));
    }
    row.push_back(CheckedDepthField(results[i].box));
    row.push_back(CheckedDepthField(results[i].pipe));
    row.push_back(results[i].frictionRoundingNote ? "1" : "0");
    row.push_back(withResultsFiles ? ResultsFileNameOf(culverts[i]) : "");
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
