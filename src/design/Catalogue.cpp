#include "Catalogue.h"

#include <cmath>

#include "DesignError.h"
#include "NumberText.h"
#include "Paths.h"
#include "TextLines.h"

namespace sekora {
namespace {

// A pipe must be wider than the first trial depth of the critical-depth
// search, 1 mm, for the search to be defined.
constexpr double kSmallestDiameter = 0.001;

// Box columns, counted from 0: B in columns 1-5, H in columns 7-11.
constexpr std::size_t kWidthColumn = 0;
constexpr std::size_t kHeightColumn = 6;
constexpr std::size_t kFieldLength = 5;

bool IsCommentOrBlank(std::string_view line) {
  if (!line.empty() && line.front() == '\'') return true;
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view Columns(std::string_view line, std::size_t first, std::size_t length) {
  if (first >= line.size()) return {};
  return line.substr(first, length);
}

std::string BadLineMessage(const std::string& fileName, std::size_t lineNo) {
  return fileName + " の " + std::to_string(lineNo) + " 行目の寸法が正しくありません";
}

// Adds one all-zero candidate, as the 16-bit candidate count allows.
KeisanRecord& AppendCandidate(const std::string& fileName, std::size_t lineNo,
                              DesignConditions& conditions, Candidates& candidates) {
  if (conditions.CandidateCount >= kMaxCandidates) {
    throw TooManyCandidatesError("候補断面が " + std::to_string(kMaxCandidates) +
                                 " を超えました（" + fileName + " の " + std::to_string(lineNo) +
                                 " 行目）");
  }
  ++conditions.CandidateCount;
  candidates.resize(static_cast<std::size_t>(conditions.CandidateCount));
  return candidates.back();
}

template <typename ReadLine>
void AppendSections(std::string_view text, const std::string& fileName,
                    DesignConditions& conditions, Candidates& candidates, ReadLine readLine) {
  const std::vector<std::string_view> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsCommentOrBlank(lines[i])) continue;
    readLine(lines[i], i + 1, AppendCandidate(fileName, i + 1, conditions, candidates));
  }
}

std::string ReadCatalogue(const std::string& folder, const char* name) {
  std::string content;
  const std::string path = JoinPath(folder, name);
  if (!ReadWholeFile(path, content)) {
    throw CatalogueError(std::string(name) + " が読み込めません: " + path);
  }
  return content;
}

}  // namespace

void AppendBoxSections(std::string_view text, const std::string& fileName,
                       DesignConditions& conditions, Candidates& candidates) {
  AppendSections(text, fileName, conditions, candidates,
                 [&](std::string_view line, std::size_t lineNo, KeisanRecord& rec) {
                   rec.Kind = KindBox;
                   rec.B = NumericValue(Columns(line, kWidthColumn, kFieldLength));
                   rec.H = NumericValue(Columns(line, kHeightColumn, kFieldLength));
                   if (!(rec.B > 0.0)) throw CatalogueError(BadLineMessage(fileName, lineNo));
                 });
}

void AppendPipeSections(std::string_view text, const std::string& fileName,
                        DesignConditions& conditions, Candidates& candidates) {
  AppendSections(text, fileName, conditions, candidates,
                 [&](std::string_view line, std::size_t lineNo, KeisanRecord& rec) {
                   rec.Kind = KindPipe;
                   rec.D = NumericValue(line);
                   if (!(rec.D > kSmallestDiameter) || !std::isfinite(rec.D)) {
                     throw CatalogueError(BadLineMessage(fileName, lineNo));
                   }
                 });
}

void LoadSections(const std::string& folder, DesignConditions& conditions, Candidates& candidates) {
  if (conditions.ShapeOption != ShapePipeOnly) {
    AppendBoxSections(ReadCatalogue(folder, kBoxCatalogueName), kBoxCatalogueName, conditions,
                      candidates);
  }
  if (conditions.ShapeOption != ShapeBoxOnly) {
    AppendPipeSections(ReadCatalogue(folder, kPipeCatalogueName), kPipeCatalogueName, conditions,
                       candidates);
  }
}

}  // namespace sekora
