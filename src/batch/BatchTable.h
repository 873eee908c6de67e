// The table of a batch design: one culvert per row, with its name and design
// conditions.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DesignConditions.h"

namespace sekora {

// A table whose content cannot be designed. The message names the line of
// the file and the column.
class BatchTableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Culvert {
  std::size_t number = 0;  // place in the table, from 1
  std::size_t line = 0;    // line of the file on which its row begins
  std::string name;
  DesignConditions conditions;  // the main window's defaults where a cell is empty
};

// The culverts of the table held in `bytes` (see ParseCsv for the encodings
// and quoting). The header row names the columns in any order: name, q and l
// are required; z1, z2, g, alpha, box_ratio, circle_ratio and shape (both,
// box or pipe) are optional. Rows whose cells are all empty are skipped.
// Throws CsvError or BatchTableError for the first fault, before any culvert
// is designed.
std::vector<Culvert> ReadBatchTable(std::string_view bytes);

}  // namespace sekora
