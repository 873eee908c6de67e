// Reading a comma-separated table as spreadsheet programs save it: UTF-8 with
// or without a byte-order mark, or Shift-JIS (code page 932); fields quoted
// with '"' may hold commas, doubled quotes and line breaks; lines end in CR LF,
// LF or CR.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sekora {

// A table that cannot be read. The message names the line of the file and the
// column (the field's place in its record), both counted from 1.
class CsvError : public std::runtime_error {
 public:
  CsvError(std::size_t line, std::size_t column, const std::string& what);
  std::size_t line() const { return line_; }
  std::size_t column() const { return column_; }

 private:
  std::size_t line_;
  std::size_t column_;
};

struct CsvCell {
  std::string text;  // UTF-8, without the enclosing quotes
  std::size_t line;  // line of the file on which the cell begins
};

struct CsvRecord {
  std::size_t line;  // line of the file on which the record begins
  std::vector<CsvCell> cells;
};

// The encoding of a whole table. One table is one encoding: UTF-8 when it
// begins with a byte-order mark or is valid UTF-8 throughout, else Shift-JIS
// throughout. A table that is valid both ways and whose non-ASCII characters
// are all below U+0800 (no kana, no kanji) as UTF-8 is Shift-JIS: its bytes
// are then half-width katakana, far likelier in a Japanese table than
// accented Latin letters.
enum class TableEncoding { Utf8, ShiftJis };
TableEncoding EncodingOf(std::string_view bytes);

class ShiftJisDecoder;

// Reads the records of the table held in `bytes` one at a time, so that only
// one record is held besides the table itself. Every cell is decoded to
// UTF-8 from the table's encoding (EncodingOf). `bytes` must outlive the
// reader.
class CsvReader {
 public:
  explicit CsvReader(std::string_view bytes);
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // Reads the next record into `record`; false at the end of the table.
  // Throws CsvError for an unclosed quote, a quote inside an unquoted field,
  // text after a closing quote, a cell that does not fit the table's
  // encoding, or a cell of UTF-8 kana or kanji in a Shift-JIS table.
  bool Next(CsvRecord& record);

 private:
  CsvCell NextCell(std::size_t column);
  void ReadQuoted(CsvCell& cell, std::size_t column);
  void SkipLineEnd();
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  bool AtSeparator() const;
  void Decode(CsvCell& cell, std::size_t column);

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  TableEncoding encoding_;
  std::unique_ptr<ShiftJisDecoder> decoder_;
};

}  // namespace sekora
