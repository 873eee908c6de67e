#include "Catalogue.h"

#include <cmath>
#include <new>

#include "DesignError.h"
#include "NumberText.h"
#include "Paths.h"
#include "TextLines.h"

namespace sekora {
namespace {

// A pipe must be wider than the first trial depth of the critical-depth
// search, 1 mm, for the search to be defined.
constexpr double kSmallestDiameter = 0.001;

// No culvert is 100 m wide or high: a larger size is a typing slip, most
// often millimetres ("600") typed for metres (0.600).
constexpr double kLargestSize = 100.0;

// A catalogue of 32 767 lines fits many times over.
constexpr std::size_t kLargestCatalogueBytes = 16u * 1024u * 1024u;

// Notepad begins a UTF-8 file with a byte-order mark.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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

void CheckNotOversized(double size, const std::string& fileName, std::size_t lineNo) {
  if (size > kLargestSize) {
    throw CatalogueError(fileName + " の " + std::to_string(lineNo) +
                         " 行目の寸法が 100 m を超えています（メートルで書いてください）");
  }
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
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  const std::vector<std::string_view> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsCommentOrBlank(lines[i])) continue;
    readLine(lines[i], i + 1, AppendCandidate(fileName, i + 1, conditions, candidates));
  }
}

std::string ReadCatalogue(const std::string& folder, const std::string& name) {
  std::string content;
  const std::string path = JoinPath(folder, name);
  switch (ReadDataFile(path, kLargestCatalogueBytes, content)) {
    case FileRead::Read:
      return content;
    case FileRead::NotRegular:
      throw CatalogueError(name + " は通常のファイルではありません: " + path);
    case FileRead::TooLarge:
      throw CatalogueError(name + " が大きすぎます（16 MiB まで）: " + path);
    case FileRead::OutOfMemory:
      throw CatalogueError(name + " を読み込むためのメモリが足りません: " + path);
    case FileRead::Unreadable:
      break;
  }
  throw CatalogueError(name + " が読み込めません: " + path);
}

// Reads and appends one catalogue; running out of memory names the file.
template <typename Append>
void LoadCatalogue(const std::string& folder, const std::string& name, Append append) {
  const std::string content = ReadCatalogue(folder, name);
  try {
    append(content, name);
  } catch (const std::bad_alloc&) {
    throw CatalogueError(name + " を読み込むためのメモリが足りません: " + JoinPath(folder, name));
  }
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
                   CheckNotOversized(rec.B, fileName, lineNo);
                   CheckNotOversized(rec.H, fileName, lineNo);
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
                   CheckNotOversized(rec.D, fileName, lineNo);
                 });
}

void LoadSections(const std::string& folder, DesignConditions& conditions, Candidates& candidates) {
  if (conditions.ShapeOption != ShapePipeOnly) {
    LoadCatalogue(folder, kBoxCatalogueName, [&](std::string_view text, const std::string& name) {
      AppendBoxSections(text, name, conditions, candidates);
    });
  }
  if (conditions.ShapeOption != ShapeBoxOnly) {
    LoadCatalogue(folder, kPipeCatalogueName, [&](std::string_view text, const std::string& name) {
      AppendPipeSections(text, name, conditions, candidates);
    });
  }
}

}  // namespace sekora
