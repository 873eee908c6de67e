// Reading a comma-separated table as spreadsheet programs save it: UTF-8 with
// or without a byte-order mark, or Shift-JIS (code page 932); fields quoted
// with '"' may hold commas, doubled quotes and line breaks; lines end in CR LF,
// LF or CR.
#pragma once

#include <cstddef>
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

// The records of the table held in `bytes`, every cell decoded to UTF-8. A
// text that is valid UTF-8 (after an optional byte-order mark) is taken as
// UTF-8, any other as Shift-JIS. Throws CsvError for an unclosed quote, a
// quote inside an unquoted field, text after a closing quote, or a cell that
// is neither encoding.
std::vector<CsvRecord> ParseCsv(std::string_view bytes);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace sekora
