#include "PdfReader.h"

#include <string>

namespace sekora {
namespace {

// A page tree deeper than this is taken to loop back on itself.
constexpr int kMaxPageTreeDepth = 64;

// The run of characters up to the next white space at `pos` (white space
// before it skipped); `pos` moves past it.
std::string_view Word(std::string_view pdf, std::size_t& pos) {
  pos = SkipPdfWhitespace(pdf, pos);
  const std::size_t begin = pos;
  while (pos < pdf.size() && !IsPdfWhitespace(pdf[pos])) ++pos;
  return pdf.substr(begin, pos - begin);
}

long long NumberOf(std::string_view word, const char* what) {
  const std::optional<long long> number = PdfInteger(word);
  if (!number) throw PdfError(std::string("PDF の") + what + "が読めません");
  return *number;
}

// All references in `value`, in the order they are written.
std::vector<int> References(std::string_view value) {
  std::vector<int> numbers;
  RenumberPdfReferences(value, [&numbers](int number) {
    numbers.push_back(number);
    return number;
  });
  return numbers;
}

int ReferenceIn(std::string_view dictionary, std::string_view key, const char* what) {
  const std::optional<std::string_view> value = PdfDictionaryValue(dictionary, key);
  const std::optional<int> number = value ? PdfReferenceNumber(*value) : std::nullopt;
  if (!number) throw PdfError(std::string("PDF に") + what + "がありません");
  return *number;
}

// A stream's data starts after "stream" and its end of line, CR LF or LF.
std::size_t StreamDataStart(std::string_view pdf, std::size_t afterKeyword) {
  if (pdf.substr(afterKeyword, 2) == "\r\n") return afterKeyword + 2;
  if (pdf.substr(afterKeyword, 1) == "\n") return afterKeyword + 1;
  throw PdfError("PDF のストリームの始まりが読めません");
}

}  // namespace

PdfReader::PdfReader(std::string_view pdf) : pdf_(pdf) {
  if (pdf.substr(0, 5) != "%PDF-") throw PdfError("PDF ではありません");
  const std::size_t startxref = pdf.rfind("startxref");
  if (startxref == std::string_view::npos) throw PdfError("PDF の相互参照表がありません");
  std::size_t pos = startxref + 9;
  const long long tablePos = NumberOf(Word(pdf, pos), "相互参照表の位置");
  if (tablePos < 0 || static_cast<std::size_t>(tablePos) >= pdf.size()) {
    throw PdfError("PDF の相互参照表の位置が正しくありません");
  }
  ReadCrossReferences(static_cast<std::size_t>(tablePos));
}

void PdfReader::ReadCrossReferences(std::size_t tablePos) {
  std::size_t pos = tablePos;
  if (Word(pdf_, pos) != "xref") throw PdfError("PDF の相互参照表が表の形ではありません");
  while (true) {
    std::size_t peek = pos;
    const std::string_view word = Word(pdf_, peek);
    if (word == "trailer") {
      pos = peek;
      break;
    }
    const long long first = NumberOf(Word(pdf_, pos), "相互参照表");
    const long long count = NumberOf(Word(pdf_, pos), "相互参照表");
    if (first + count > 8388607) throw PdfError("PDF のオブジェクトが多すぎます");
    if (offsets_.size() < static_cast<std::size_t>(first + count)) {
      offsets_.resize(static_cast<std::size_t>(first + count), -1);
    }
    for (long long n = first; n < first + count; ++n) {
      const long long offset = NumberOf(Word(pdf_, pos), "相互参照表");
      NumberOf(Word(pdf_, pos), "相互参照表");
      const std::string_view use = Word(pdf_, pos);
      if (use != "n" && use != "f") throw PdfError("PDF の相互参照表が読めません");
      offsets_[static_cast<std::size_t>(n)] = use == "n" ? offset : -1;
    }
  }
  const std::size_t trailerBegin = SkipPdfWhitespace(pdf_, pos);
  const std::string_view trailer =
      pdf_.substr(trailerBegin, SkipPdfValue(pdf_, trailerBegin) - trailerBegin);
  if (PdfDictionaryValue(trailer, "/Prev")) {
    throw PdfError("追記された PDF は読めません");
  }
  root_ = ReferenceIn(trailer, "/Root", "文書カタログ");
  if (PdfDictionaryValue(trailer, "/Info")) info_ = ReferenceIn(trailer, "/Info", "文書情報");
  for (std::size_t n = 0; n < offsets_.size(); ++n) {
    if (offsets_[n] >= 0) inUse_.push_back(static_cast<int>(n));
  }
}

PdfObject PdfReader::Object(int number) const {
  const auto index = static_cast<std::size_t>(number);
  if (number < 0 || index >= offsets_.size() || offsets_[index] < 0 ||
      static_cast<std::size_t>(offsets_[index]) >= pdf_.size()) {
    throw PdfError("PDF にオブジェクト " + std::to_string(number) + " がありません");
  }
  std::size_t pos = static_cast<std::size_t>(offsets_[index]);
  const std::string_view header = Word(pdf_, pos);
  Word(pdf_, pos);
  if (PdfInteger(header) != number || Word(pdf_, pos) != "obj") {
    throw PdfError("PDF のオブジェクト " + std::to_string(number) + " の位置が正しくありません");
  }
  const std::size_t valueBegin = SkipPdfWhitespace(pdf_, pos);
  const std::size_t valueEnd = SkipPdfValue(pdf_, valueBegin);
  PdfObject object{pdf_.substr(valueBegin, valueEnd - valueBegin), std::nullopt};
  pos = valueEnd;
  const std::string_view keyword = Word(pdf_, pos);
  if (keyword == "endobj") return object;
  if (keyword != "stream") {
    throw PdfError("PDF のオブジェクト " + std::to_string(number) + " が閉じていません");
  }
  const std::optional<std::string_view> lengthValue = PdfDictionaryValue(object.value, "/Length");
  if (!lengthValue) throw PdfError("PDF のストリームに長さがありません");
  const std::optional<int> lengthObject = PdfReferenceNumber(*lengthValue);
  const long long length =
      NumberOf(lengthObject ? Object(*lengthObject).value : *lengthValue, "ストリームの長さ");
  const std::size_t dataBegin = StreamDataStart(pdf_, pos);
  if (length < 0 || static_cast<std::size_t>(length) > pdf_.size() - dataBegin) {
    throw PdfError("PDF のストリームが途中で切れています");
  }
  object.stream = pdf_.substr(dataBegin, static_cast<std::size_t>(length));
  pos = dataBegin + static_cast<std::size_t>(length);
  if (Word(pdf_, pos) != "endstream") throw PdfError("PDF のストリームの長さが正しくありません");
  return object;
}

PdfReader::PageTree PdfReader::Pages() const {
  PageTree tree;
  CollectPages(ReferenceIn(Object(root_).value, "/Pages", "ページ"), 0, tree);
  return tree;
}

void PdfReader::CollectPages(int node, int depth, PageTree& tree) const {
  if (depth > kMaxPageTreeDepth) throw PdfError("PDF のページの木が循環しています");
  const std::string_view value = Object(node).value;
  const std::optional<std::string_view> type = PdfDictionaryValue(value, "/Type");
  if (type == "/Page") {
    tree.pages.push_back(node);
    return;
  }
  if (type != "/Pages") throw PdfError("PDF のページの木が正しくありません");
  tree.nodes.push_back(node);
  const std::optional<std::string_view> kids = PdfDictionaryValue(value, "/Kids");
  if (!kids) throw PdfError("PDF のページの木が正しくありません");
  for (int kid : References(*kids)) CollectPages(kid, depth + 1, tree);
}

}  // namespace sekora
