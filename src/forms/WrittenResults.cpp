#include "WrittenResults.h"

#include <QCryptographicHash>
#include <filesystem>

#include "DesignError.h"
#include "KeisanFile.h"
#include "Paths.h"
#include "TextLines.h"

namespace sekora {
namespace {

const char* const kRewrittenMessage =
    "Keisan.txt が他の計算で書き換えられています。もう一度計算してください";

QByteArray Digest(std::string_view content) {
  return QCryptographicHash::hash(
      QByteArrayView(content.data(), static_cast<qsizetype>(content.size())),
      QCryptographicHash::Sha256);
}

}  // namespace

void WrittenResults::Remember(std::string_view content) {
  remembered_ = true;
  size_ = static_cast<qsizetype>(content.size());
  digest_ = Digest(content);
}

Candidates WrittenResults::Read(const std::string& folder) const {
  const std::string path = JoinPath(folder, kResultsFileName);
  // A file of another size is not read at all, however large it is.
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(PathFromUtf8(path), ec);
  if (!ec && (!remembered_ || size != static_cast<std::uintmax_t>(size_))) {
    throw ResultsFileError(kRewrittenMessage);
  }
  std::string content;
  if (!ReadWholeFile(path, content)) {
    throw ResultsFileError(std::string("計算結果ファイル ") + kResultsFileName +
                           " が読み込めません: " + path);
  }
  if (!remembered_ || static_cast<qsizetype>(content.size()) != size_ ||
      Digest(content) != digest_) {
    throw ResultsFileError(kRewrittenMessage);
  }
  return ParseResultsText(content, path);
}

KeisanRecord SelectedRecord(const Candidates& records, const DesignConditions& conditions,
                            std::int16_t selectedNo) {
  const std::size_t wanted = SelectedLineNo(conditions.CandidateCount, selectedNo);
  if (wanted == 0) return KeisanRecord{};
  if (records.size() < wanted) {
    throw ResultsFileError(std::string(kResultsFileName) + " に " + std::to_string(wanted) +
                           " 行目がありません");
  }
  return records[wanted - 1];
}

}  // namespace sekora
