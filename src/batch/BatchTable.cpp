#include "BatchTable.h"

#include <algorithm>
#include <map>
#include <optional>

#include "CsvReader.h"
#include "NumberText.h"

namespace sekora {
namespace {

enum class Column { Name, Q, L, Z1, Z2, G, Alpha, BoxRatio, CircleRatio, Shape };

struct ColumnInfo {
  const char* name;
  Column column;
  bool required;
};

constexpr ColumnInfo kColumns[] = {
    {"name", Column::Name, true},
    {"q", Column::Q, true},
    {"l", Column::L, true},
    {"z1", Column::Z1, false},
    {"z2", Column::Z2, false},
    {"g", Column::G, false},
    {"alpha", Column::Alpha, false},
    {"box_ratio", Column::BoxRatio, false},
    {"circle_ratio", Column::CircleRatio, false},
    {"shape", Column::Shape, false},
};

const char* ColumnName(Column column) {
  for (const ColumnInfo& info : kColumns) {
    if (info.column == column) return info.name;
  }
  return "";
}

// `text` without the blanks (spaces and tabs) around it.
std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lowercase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

[[noreturn]] void Refuse(std::size_t line, const std::string& column, const std::string& what) {
  throw BatchTableError(std::to_string(line) + " 行目 " + column + " 列: " + what);
}

// Which column each field of a row is, from the header row.
std::vector<Column> ReadHeader(const CsvRecord& header) {
  std::vector<Column> columns;
  for (std::size_t i = 0; i < header.cells.size(); ++i) {
    const std::string name = Lowercase(Trimmed(header.cells[i].text));
    const auto known = std::find_if(std::begin(kColumns), std::end(kColumns),
                                    [&](const ColumnInfo& c) { return name == c.name; });
    const std::string place = std::to_string(i + 1);
    if (known == std::end(kColumns)) {
      Refuse(header.line, place, "不明な列名です: " + std::string(header.cells[i].text));
    }
    if (std::find(columns.begin(), columns.end(), known->column) != columns.end()) {
      Refuse(header.line, place, "列名 " + name + " が二度あります");
    }
    columns.push_back(known->column);
  }
  for (const ColumnInfo& info : kColumns) {
    if (info.required && std::find(columns.begin(), columns.end(), info.column) == columns.end()) {
      throw BatchTableError(std::to_string(header.line) + " 行目: 必要な列 " + info.name +
                            " がありません");
    }
  }
  return columns;
}

bool IsBlankRow(const CsvRecord& row) {
  return std::all_of(row.cells.begin(), row.cells.end(),
                     [](const CsvCell& c) { return Trimmed(c.text).empty(); });
}

double NumberCell(std::string_view text, std::size_t line, Column column) {
  const std::optional<double> value = DecimalNumberValue(text);
  if (!value) Refuse(line, ColumnName(column), "数値ではありません: " + std::string(text));
  return *value;
}

std::int16_t ShapeCell(std::string_view cell, std::size_t line) {
  const std::string text = Lowercase(cell);
  if (text == "both") return ShapeBoth;
  if (text == "box") return ShapeBoxOnly;
  if (text == "pipe") return ShapePipeOnly;
  Refuse(line, ColumnName(Column::Shape),
         "both、box、pipe のいずれかにしてください: " + std::string(cell));
}

// Sets the condition of `column` from a cell that is not empty.
void SetCell(Culvert& culvert, Column column, std::string_view text) {
  DesignConditions& c = culvert.conditions;
  const std::size_t line = culvert.line;
  switch (column) {
    case Column::Name:
      culvert.name = text;
      return;
    case Column::Shape:
      c.ShapeOption = ShapeCell(text, line);
      return;
    default:
      break;
  }
  const double value = NumberCell(text, line, column);
  const std::map<Column, double*> numbers = {{Column::Q, &c.Q},
                                             {Column::L, &c.L},
                                             {Column::Z1, &c.Z1},
                                             {Column::Z2, &c.Z2},
                                             {Column::G, &c.g},
                                             {Column::Alpha, &c.Alpha},
                                             {Column::BoxRatio, &c.BoxRatio},
                                             {Column::CircleRatio, &c.CircleRatio}};
  *numbers.at(column) = value;
}

Culvert ReadRow(const CsvRecord& row, const std::vector<Column>& columns, std::size_t number) {
  Culvert culvert;
  culvert.number = number;
  culvert.line = row.line;
  if (row.cells.size() > columns.size()) {
    Refuse(row.line, std::to_string(columns.size() + 1), "見出しの列より多くの項目があります");
  }
  std::vector<Column> given;
  for (std::size_t i = 0; i < row.cells.size(); ++i) {
    const std::string_view text = Trimmed(row.cells[i].text);
    if (text.empty()) continue;
    SetCell(culvert, columns[i], text);
    given.push_back(columns[i]);
  }
  for (const ColumnInfo& info : kColumns) {
    if (info.required && std::find(given.begin(), given.end(), info.column) == given.end()) {
      Refuse(row.line, info.name, "値がありません");
    }
  }
  if (!(culvert.conditions.Q > 0.0)) Refuse(row.line, "q", "計画流量は 0 より大きくしてください");
  if (!(culvert.conditions.L > 0.0)) Refuse(row.line, "l", "延長は 0 より大きくしてください");
  return culvert;
}

}  // namespace

std::vector<Culvert> ReadBatchTable(std::string_view bytes) {
  const std::vector<CsvRecord> records = ParseCsv(bytes);
  const auto header = std::find_if_not(records.begin(), records.end(), IsBlankRow);
  if (header == records.end()) throw BatchTableError("見出しの行がありません");
  const std::vector<Column> columns = ReadHeader(*header);
  std::vector<Culvert> culverts;
  std::map<std::string, std::size_t> lineOfName;
  for (auto row = header + 1; row != records.end(); ++row) {
    if (IsBlankRow(*row)) continue;
    Culvert culvert = ReadRow(*row, columns, culverts.size() + 1);
    const auto [known, added] = lineOfName.emplace(culvert.name, culvert.line);
    if (!added) {
      Refuse(
          culvert.line, "name",
          "名前「" + culvert.name + "」は " + std::to_string(known->second) + " 行目にもあります");
    }
    culverts.push_back(std::move(culvert));
  }
  if (culverts.empty()) throw BatchTableError("計算する函渠の行がありません");
  return culverts;
}

}  // namespace sekora
