#include "CsvReader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace sekora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string PositionText(std::size_t line, std::size_t column) {
  return std::to_string(line) + " 行目 " + std::to_string(column) + " 列目";
}

// Splits the table into records and cells without decoding them. Commas,
// quotes and line ends are single ASCII bytes in both encodings (no
// Shift-JIS trail byte is below 0x40), so the split is the same for both.
class RecordSplitter {
 public:
  explicit RecordSplitter(std::string_view bytes) : bytes_(bytes) {}

  std::vector<CsvRecord> Split() {
    std::vector<CsvRecord> records;
    while (pos_ < bytes_.size()) records.push_back(NextRecord());
    return records;
  }

 private:
  CsvRecord NextRecord() {
    CsvRecord record{line_, {}};
    for (;;) {
      record.cells.push_back(NextCell(record.cells.size() + 1));
      if (AtEnd()) return record;
      if (bytes_[pos_] == ',') {
        ++pos_;
        continue;
      }
      SkipLineEnd();
      return record;
    }
  }

  CsvCell NextCell(std::size_t column) {
    CsvCell cell{{}, line_};
    if (!AtEnd() && bytes_[pos_] == '"') {
      ReadQuoted(cell, column);
      if (!AtEnd() && !AtSeparator()) {
        throw CsvError(line_, column, "閉じた引用符の後に文字があります");
      }
      return cell;
    }
    while (!AtEnd() && !AtSeparator()) {
      if (bytes_[pos_] == '"') {
        throw CsvError(line_, column, "引用符で囲まれていない項目に引用符があります");
      }
      cell.text.push_back(bytes_[pos_++]);
    }
    return cell;
  }

  // A quoted field: "" stands for one quote; a line end inside is kept as LF.
  void ReadQuoted(CsvCell& cell, std::size_t column) {
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
  void SkipLineEnd() {
    if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
  }

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  bool AtSeparator() const {
    const char c = bytes_[pos_];
    return c == ',' || c == '\r' || c == '\n';
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

// Length of the UTF-8 sequence that starts at `bytes`[i], or 0 when none
// starts there.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// Converts Shift-JIS (code page 932, as Japanese spreadsheet programs write
// it) to UTF-8.
#ifdef _WIN32
class ShiftJisDecoder {
 public:
  // False when `text` is not Shift-JIS; `text` is then left as it was.
  bool Decode(std::string& text) {
    if (text.empty()) return true;
    constexpr unsigned kShiftJis = 932;
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

 private:
  iconv_t handle_;
};
#endif

void DecodeShiftJis(std::vector<CsvRecord>& records) {
  ShiftJisDecoder decoder;
  for (CsvRecord& record : records) {
    for (std::size_t c = 0; c < record.cells.size(); ++c) {
      CsvCell& cell = record.cells[c];
      if (!decoder.Decode(cell.text)) {
        throw CsvError(cell.line, c + 1, "文字コードが UTF-8 でも Shift-JIS でもありません");
      }
    }
  }
}

// A file that begins with a byte-order mark must be UTF-8 throughout.
void CheckUtf8(const std::vector<CsvRecord>& records) {
  for (const CsvRecord& record : records) {
    for (std::size_t c = 0; c < record.cells.size(); ++c) {
      if (!IsValidUtf8(record.cells[c].text)) {
        throw CsvError(record.cells[c].line, c + 1, "UTF-8 として正しくない文字があります");
      }
    }
  }
}

}  // namespace

CsvError::CsvError(std::size_t line, std::size_t column, const std::string& what)
    : std::runtime_error(PositionText(line, column) + ": " + what), line_(line), column_(column) {}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::vector<CsvRecord> ParseCsv(std::string_view bytes) {
  const bool marked = bytes.starts_with(kByteOrderMark);
  if (marked) bytes.remove_prefix(kByteOrderMark.size());
  std::vector<CsvRecord> records = RecordSplitter(bytes).Split();
  if (marked) {
    CheckUtf8(records);
  } else if (!IsValidUtf8(bytes)) {
    DecodeShiftJis(records);
  }
  return records;
}

}  // namespace sekora
