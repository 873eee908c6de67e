#include "KeisanFile.h"

#include <atomic>
#include <cmath>
#include <string_view>

#include "AtomicFile.h"
#include "DesignError.h"
#include "NumberText.h"
#include "ParallelFor.h"
#include "Paths.h"
#include "TextLines.h"

namespace sekora {
namespace {

constexpr int kFieldCount = 25;

// Lines handed to a thread at a time when a large run's results are written
// or read back on several threads.
constexpr std::size_t kLinesPerChunk = 256;

// Fric1 and Fric2 carry five decimals; every other real carries three.
Pattern QuantityPattern(const double* field, const KeisanRecord& rec) {
  return field == &rec.Fric1 || field == &rec.Fric2 ? Pattern::Fixed5 : Pattern::Fixed3;
}

std::string LineError(const std::string& path, std::size_t lineNo, const std::string& what) {
  return std::string(kResultsFileName) + " の " + std::to_string(lineNo) +
         " 行目が正しくありません（" + what + "）: " + path;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

std::int16_t ReadCode(std::string_view field, const std::string& path, std::size_t lineNo) {
  const std::optional<std::int16_t> code = ToInt16(NumericValue(field));
  if (!code) throw ResultsFileError(LineError(path, lineNo, "整数の項目が範囲外です"));
  return *code;
}

// One line of the file as a record; throws ResultsFileError for a line that
// does not hold 25 finite numbers.
KeisanRecord ParseLine(std::string_view line, const std::string& path, std::size_t lineNo) {
  const std::vector<std::string_view> fields = SplitFields(line);
  if (fields.size() != kFieldCount) {
    throw ResultsFileError(LineError(
        path, lineNo, "項目の数が " + std::to_string(fields.size()) + " です。25 項目が必要です"));
  }
  KeisanRecord rec;
  rec.Status = ReadCode(fields[0], path, lineNo);
  rec.Kind = ReadCode(fields[1], path, lineNo);
  int i = 2;
  for (double* q : Quantities(rec)) {
    *q = NumericValue(fields[i++]);
    if (!std::isfinite(*q)) throw ResultsFileError(LineError(path, lineNo, "数値が大きすぎます"));
  }
  return rec;
}

std::string CannotReadMessage(const std::string& path) {
  return std::string("計算結果ファイル ") + kResultsFileName + " が読み込めません: " + path;
}

std::string CannotWriteMessage(const std::string& path, const std::string& error) {
  return std::string("計算結果ファイル ") + kResultsFileName + " を書き込めません: " + path + "（" +
         error + "）";
}

// The lines of results text; throws ResultsFileError when it holds more
// lines than a 16-bit count.
std::vector<std::string> SplitResultLines(std::string_view content, const std::string& path) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(content)) lines.emplace_back(line);
  if (lines.size() > static_cast<std::size_t>(kMaxCandidates)) {
    throw ResultsFileError(std::string(kResultsFileName) + " の行数が " +
                           std::to_string(kMaxCandidates) + " を超えています: " + path);
  }
  return lines;
}

// The lines of the results file; throws ResultsFileError when it is missing
// or unreadable, or holds more lines than a 16-bit count.
std::vector<std::string> ReadResultLines(const std::string& path) {
  std::string content;
  if (!ReadWholeFile(path, content)) throw ResultsFileError(CannotReadMessage(path));
  return SplitResultLines(content, path);
}

void ReadResults(Candidates& records, DesignConditions& conditions, const std::string& path) {
  conditions.CandidateCount = 0;
  std::string content;
  if (!ReadWholeFile(path, content)) throw ResultsFileError(CannotReadMessage(path));
  Candidates read = ParseResultsText(content, path);
  if (read.empty()) return;  // an empty file leaves the array as it was
  records = std::move(read);
  conditions.CandidateCount = static_cast<std::int16_t>(records.size());
}

}  // namespace

std::string ResultsLine(const KeisanRecord& rec) {
  std::string line;
  AppendNumber(line, rec.Status, Pattern::Whole);
  line.push_back(',');
  AppendNumber(line, rec.Kind, Pattern::Whole);
  for (const double* q : Quantities(rec)) {
    line.push_back(',');
    AppendNumber(line, *q, QuantityPattern(q, rec));
  }
  return line;
}

std::string ResultsText(const Candidates& records, const DesignConditions& conditions,
                        unsigned threads) {
  const std::size_t count = std::min(
      records.size(), static_cast<std::size_t>(std::max<int>(conditions.CandidateCount, 0)));
  std::vector<std::string> lines(count);
  ParallelFor(count, threads, kLinesPerChunk, [&](std::size_t i) {
    const KeisanRecord& rec = records[i];
    const bool written =
        conditions.ExcludeNg == 0 || (conditions.ExcludeNg == 1 && rec.Status == StatusOk);
    if (written) lines[i] = ResultsLine(rec) + "\r\n";
  });
  std::string content;
  for (const std::string& line : lines) content += line;
  return content;
}

KeisanRecord RecordAsWritten(const KeisanRecord& rec) {
  return ParseLine(ResultsLine(rec), kResultsFileName, 1);
}

Candidates ParseResultsText(std::string_view content, const std::string& path, unsigned threads) {
  const std::vector<std::string> lines = SplitResultLines(content, path);
  Candidates read(lines.size());
  std::atomic<std::size_t> firstBad{lines.size()};
  ParallelFor(lines.size(), threads, kLinesPerChunk, [&](std::size_t i) {
    try {
      read[i] = ParseLine(lines[i], path, i + 1);
    } catch (const ResultsFileError&) {
      std::size_t bad = firstBad;
      while (i < bad && !firstBad.compare_exchange_weak(bad, i)) {
      }
    }
  });
  // Reading the bad line again gives the error of the first one, as reading
  // line by line would.
  if (firstBad < lines.size()) ParseLine(lines[firstBad], path, firstBad + 1);
  return read;
}

void StageResultsFile(StagedFile& staged, const std::string& folder, std::string_view content) {
  const std::string path = JoinPath(folder, kResultsFileName);
  std::string error;
  if (!staged.Stage(path, content, error)) throw ResultsFileError(CannotWriteMessage(path, error));
}

void CommitResultsFile(StagedFile& staged, const std::string& folder) {
  std::string error;
  if (!staged.Commit(error)) {
    throw ResultsFileError(CannotWriteMessage(JoinPath(folder, kResultsFileName), error));
  }
}

void KeisanFile(std::int16_t fileMode, Candidates& records, DesignConditions& conditions,
                const std::string& folder) {
  const std::string path = JoinPath(folder, kResultsFileName);
  if (fileMode == kFileModeWrite) {
    StagedFile staged;
    StageResultsFile(staged, folder, ResultsText(records, conditions));
    CommitResultsFile(staged, folder);
  } else if (fileMode == kFileModeRead) {
    ReadResults(records, conditions, path);
  }
}

std::size_t SelectedLineNo(std::int16_t candidateCount, std::int16_t selectedNo) {
  if (candidateCount <= 0) return 0;
  return selectedNo >= 1 && selectedNo <= candidateCount ? static_cast<std::size_t>(selectedNo)
                                                         : static_cast<std::size_t>(candidateCount);
}

void ReadSelectedRecord(const std::string& folder, const DesignConditions& conditions,
                        std::int16_t selectedNo, KeisanRecord& rec) {
  if (conditions.CandidateCount <= 0) return;
  const std::string path = JoinPath(folder, kResultsFileName);
  const std::vector<std::string> lines = ReadResultLines(path);
  const std::size_t wanted = SelectedLineNo(conditions.CandidateCount, selectedNo);
  if (lines.size() < wanted) {
    throw ResultsFileError(std::string(kResultsFileName) + " に " + std::to_string(wanted) +
                           " 行目がありません: " + path);
  }
  for (std::size_t i = 0; i + 1 < wanted; ++i) ParseLine(lines[i], path, i + 1);
  rec = ParseLine(lines[wanted - 1], path, wanted);
}

std::int16_t LookupStatus(const std::string& folder, std::int16_t lineNo) {
  const std::string path = JoinPath(folder, kResultsFileName);
  const std::vector<std::string> lines = ReadResultLines(path);
  if (lineNo < 1 || static_cast<std::size_t>(lineNo) > lines.size()) return StatusOk;
  const std::string_view line = lines[static_cast<std::size_t>(lineNo) - 1];
  return ToInt16(NumericValue(line.substr(0, 1))).value_or(StatusOk);
}

}  // namespace sekora
