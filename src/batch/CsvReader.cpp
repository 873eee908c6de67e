#include "CsvReader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <cerrno>

#include "Utf8Text.h"

namespace sekora {

// Converts Shift-JIS (code page 932, as Japanese spreadsheet programs write
// it) to UTF-8.
#ifdef _WIN32
class ShiftJisDecoder {
 public:
  static constexpr unsigned kShiftJis = 932;

  // False when `text` is not Shift-JIS; `text` is then left as it was.
  bool Decode(std::string& text) {
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    const int wideSize =
        ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (wideSize == 0) return false;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                          wideSize);
    const int outSize =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(outSize), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, out.data(), outSize, nullptr, nullptr);
    text = std::move(out);
    return true;
  }

  // True when all of `text` is Shift-JIS; nothing is kept of the conversion.
  bool Fits(std::string_view text) {
    return text.empty() || ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(),
                                                 static_cast<int>(text.size()), nullptr, 0) != 0;
  }
};
#else
class ShiftJisDecoder {
 public:
  ShiftJisDecoder() : handle_(::iconv_open("UTF-8", "CP932")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("Shift-JIS の変換が使えません（iconv に CP932 がありません）");
    }
  }
  ~ShiftJisDecoder() { ::iconv_close(handle_); }
  ShiftJisDecoder(const ShiftJisDecoder&) = delete;
  ShiftJisDecoder& operator=(const ShiftJisDecoder&) = delete;

  // False when `text` is not Shift-JIS; `text` is then left as it was.
  bool Decode(std::string& text) {
    ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    // Each Shift-JIS byte becomes at most three UTF-8 bytes.
    std::string out(text.size() * 3, '\0');
    char* in = text.data();
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (::iconv(handle_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      return false;
    }
    out.resize(out.size() - outLeft);
    text = std::move(out);
    return true;
  }

  // True when all of `text` is Shift-JIS. Converts through a small buffer,
  // so that a large table is not held twice.
  bool Fits(std::string_view text) {
    ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    // iconv takes its input as char** but only reads it.
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      if (::iconv(handle_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) &&
          errno != E2BIG) {
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t handle_;
};
#endif

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string PositionText(std::size_t line, std::size_t column) {
  return std::to_string(line) + " 行目 " + std::to_string(column) + " 列目";
}

// The longest UTF-8 sequence of a well-formed `text`: 1 for ASCII, 2 up to
// U+07FF, 3 or 4 for kana, kanji and beyond.
std::size_t LongestSequence(std::string_view text) {
  std::size_t longest = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return 0;
    longest = std::max(longest, length);
    i += length;
  }
  return longest;
}

}  // namespace

CsvError::CsvError(std::size_t line, std::size_t column, const std::string& what)
    : std::runtime_error(PositionText(line, column) + ": " + what), line_(line), column_(column) {}

TableEncoding EncodingOf(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) return TableEncoding::Utf8;
  if (!IsValidUtf8(bytes)) return TableEncoding::ShiftJis;
  if (LongestSequence(bytes) == 2 && ShiftJisDecoder().Fits(bytes)) return TableEncoding::ShiftJis;
  return TableEncoding::Utf8;
}

CsvReader::CsvReader(std::string_view bytes) : bytes_(bytes), encoding_(EncodingOf(bytes)) {
  if (bytes_.starts_with(kByteOrderMark)) bytes_.remove_prefix(kByteOrderMark.size());
  if (encoding_ == TableEncoding::ShiftJis) decoder_ = std::make_unique<ShiftJisDecoder>();
}

CsvReader::~CsvReader() = default;

// Records and cells are split before they are decoded: commas, quotes and
// line ends are single ASCII bytes in both encodings (no Shift-JIS trail
// byte is below 0x40), so the split is the same for both.
bool CsvReader::Next(CsvRecord& record) {
  if (AtEnd()) return false;
  record.line = line_;
  record.cells.clear();
  for (;;) {
    record.cells.push_back(NextCell(record.cells.size() + 1));
    if (AtEnd()) return true;
    if (bytes_[pos_] == ',') {
      ++pos_;
      continue;
    }
    SkipLineEnd();
    return true;
  }
}

CsvCell CsvReader::NextCell(std::size_t column) {
  CsvCell cell{{}, line_};
  if (!AtEnd() && bytes_[pos_] == '"') {
    ReadQuoted(cell, column);
    if (!AtEnd() && !AtSeparator()) {
      throw CsvError(line_, column, "閉じた引用符の後に文字があります");
    }
  } else {
    const std::size_t start = pos_;
    while (!AtEnd() && !AtSeparator()) {
      if (bytes_[pos_] == '"') {
        throw CsvError(line_, column, "引用符で囲まれていない項目に引用符があります");
      }
      ++pos_;
    }
    cell.text.assign(bytes_.substr(start, pos_ - start));
  }
  Decode(cell, column);
  return cell;
}

// A quoted field: "" stands for one quote; a line end inside is kept as LF.
void CsvReader::ReadQuoted(CsvCell& cell, std::size_t column) {
  const std::size_t openLine = line_;
  ++pos_;
  for (;;) {
    if (AtEnd()) throw CsvError(openLine, column, "引用符が閉じていません");
    const char c = bytes_[pos_];
    if (c == '"') {
      ++pos_;
      if (AtEnd() || bytes_[pos_] != '"') return;
      cell.text.push_back('"');
      ++pos_;
    } else if (c == '\r' || c == '\n') {
      SkipLineEnd();
      cell.text.push_back('\n');
    } else {
      cell.text.push_back(c);
      ++pos_;
    }
  }
}

// Consumes CR LF, LF or CR at the current position.
void CsvReader::SkipLineEnd() {
  if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++line_;
}

bool CsvReader::AtSeparator() const {
  const char c = bytes_[pos_];
  return c == ',' || c == '\r' || c == '\n';
}

void CsvReader::Decode(CsvCell& cell, std::size_t column) {
  if (encoding_ == TableEncoding::Utf8) {
    if (!IsValidUtf8(cell.text)) {
      throw CsvError(cell.line, column, "UTF-8 として正しくない文字があります");
    }
    return;
  }
  // Kana or kanji in UTF-8 within a Shift-JIS table: rows saved by two
  // programs, which would be read as garbled names.
  if (LongestSequence(cell.text) >= 3) {
    throw CsvError(
        cell.line, column,
        "UTF-8 の文字と Shift-JIS の文字が混ざっています（一つの文字コードで保存してください）");
  }
  if (!decoder_->Decode(cell.text)) {
    throw CsvError(cell.line, column, "文字コードが UTF-8 でも Shift-JIS でもありません");
  }
}

}  // namespace sekora
