#include "Catalogue.h"

#include <algorithm>
#include <cctype>
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

// Where the fields go, for a line that does not fit them.
constexpr const char* kBoxLayout =
    "（1〜5 桁目に内幅 B、6 桁目は空白、7〜11 桁目に内高 H をメートルで書きます。例：1.500 1.200）";
constexpr const char* kPipeLayout =
    "（行に内径 D をメートルで書きます。cm や mm は使えません。例：0.600）";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A blank between digits shows a field that holds two numbers, or a number
// shifted out of its columns ("1.5 1.2" read from columns 1-5 is "1.5 1").
bool HasBlankBetweenDigits(std::string_view field) {
  const std::size_t firstDigit = std::find_if(field.begin(), field.end(), IsDigit) - field.begin();
  const std::size_t blank = field.find_first_of(" \t", firstDigit);
  if (blank == std::string_view::npos) return false;
  return std::any_of(field.begin() + static_cast<std::ptrdiff_t>(blank), field.end(), IsDigit);
}

// A box line fits the columns when each field holds one number, the height
// is positive and the separator is blank: a line in another layout
// ("1.50 1.20", whose height columns hold ".20") would be read wrongly.
bool FitsBoxColumns(std::string_view line, const KeisanRecord& rec) {
  const std::string_view width = Columns(line, kWidthColumn, kFieldLength);
  const std::string_view height = Columns(line, kHeightColumn, kFieldLength);
  const std::string_view separator = Columns(line, kWidthColumn + kFieldLength, 1);
  return !HasBlankBetweenDigits(width) && !HasBlankBetweenDigits(height) &&
         (separator.empty() || IsBlank(separator.front())) && rec.H > 0.0;
}

// The unit after a pipe's diameter, lower case: "0.6 m" is metres, as the
// file means; "60cm" or "600 mm" would be read as 60 m or 600 m.
bool HasForeignUnit(std::string_view line) {
  const std::size_t end = line.find_first_not_of(" \t+-.0123456789");
  if (end == std::string_view::npos) return false;
  std::string unit(line.substr(end, 2));
  for (char& c : unit) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return unit == "cm" || unit == "mm";
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
                   if (!(rec.B > 0.0) || !FitsBoxColumns(line, rec)) {
                     throw CatalogueError(BadLineMessage(fileName, lineNo) + kBoxLayout);
                   }
                   CheckNotOversized(rec.B, fileName, lineNo);
                   CheckNotOversized(rec.H, fileName, lineNo);
                 });
}

void AppendPipeSections(std::string_view text, const std::string& fileName,
                        DesignConditions& conditions, Candidates& candidates) {
  AppendSections(
      text, fileName, conditions, candidates,
      [&](std::string_view line, std::size_t lineNo, KeisanRecord& rec) {
        rec.Kind = KindPipe;
        rec.D = NumericValue(line);
        if (!(rec.D > kSmallestDiameter) || !std::isfinite(rec.D) || HasForeignUnit(line)) {
          throw CatalogueError(BadLineMessage(fileName, lineNo) + kPipeLayout);
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
