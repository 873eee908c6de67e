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

// The largest table file, as for the catalogues, and the most culverts a
// table may hold (counted, like the candidates, in 16 bits).
inline constexpr std::size_t kLargestTableBytes = 16u * 1024u * 1024u;
inline constexpr std::size_t kMaxCulverts = 32767;

struct Culvert {
  std::size_t number = 0;  // place in the table, from 1
  std::size_t line = 0;    // line of the file on which its row begins
  std::string name;
  DesignConditions conditions;  // the main window's defaults where a cell is empty
};

// The culverts of the table held in `bytes` (see CsvReader for the encodings
// and quoting). The header row names the columns in any order, in English or
// Japanese: name (名前, 名称), q (計画流量), l (延長, 函渠長) are required;
// z1 (呑口部敷高), z2 (吐口部敷高), g (重力加速度), alpha (α, エネルギー補正係数),
// box_ratio (ボックス余裕率), circle_ratio (円径余裕率, 管余裕率) and shape (形状:
// both, box or pipe) are optional. A unit in brackets after a heading
// ("延長(m)") is allowed. Columns headed with "#" or 備考, メモ, 測点 or 路線
// are ignored; any other heading is refused by name. Rows whose cells are
// all empty are skipped. Every condition must lie within its limits
// (IsAllowedCondition), and a name must be unique and hold no hidden control
// character. The table is read one row at a time, so that its memory is
// that of its culverts. Throws CsvError or BatchTableError for the first
// fault, before any culvert is designed.
std::vector<Culvert> ReadBatchTable(std::string_view bytes);

// Reads the table file at `path` (UTF-8) as ReadBatchTable does. A path that
// is not a regular file (a folder, a device, a pipe) or holds more than
// kLargestTableBytes is refused by name before it is read. Throws
// BatchTableError, whose message begins with `path`.
std::vector<Culvert> ReadBatchTableFile(const std::string& path);

}  // namespace sekora
