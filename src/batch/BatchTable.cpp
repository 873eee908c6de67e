#include "BatchTable.h"

#include <algorithm>
#include <map>
#include <new>
#include <optional>

#include "ConditionLimits.h"
#include "CsvReader.h"
#include "NumberText.h"
#include "TextLines.h"
#include "Utf8Text.h"

namespace sekora {
namespace {

enum class Column { Name, Q, L, Z1, Z2, G, Alpha, BoxRatio, CircleRatio, Shape, Ignored };

struct ColumnInfo {
  Column column;
  const char* key;       // the English heading
  const char* japanese;  // what the column holds
  bool required;
};

constexpr ColumnInfo kColumns[] = {
    {Column::Name, "name", "名前", true},
    {Column::Q, "q", "計画流量", true},
    {Column::L, "l", "延長", true},
    {Column::Z1, "z1", "呑口部敷高", false},
    {Column::Z2, "z2", "吐口部敷高", false},
    {Column::G, "g", "重力加速度", false},
    {Column::Alpha, "alpha", "エネルギー補正係数", false},
    {Column::BoxRatio, "box_ratio", "ボックス余裕率", false},
    {Column::CircleRatio, "circle_ratio", "円径余裕率", false},
    {Column::Shape, "shape", "形状", false},
};

// Every heading a column may have, in lower case: the English key, the
// Japanese names of the main window, the sheet and the help text, and the
// full-width spellings of the letters.
struct Heading {
  std::string_view text;
  Column column;
};

constexpr Heading kHeadings[] = {
    {"name", Column::Name},
    {"名前", Column::Name},
    {"名称", Column::Name},
    {"q", Column::Q},
    {"Ｑ", Column::Q},
    {"計画流量", Column::Q},
    {"計画流量q", Column::Q},
    {"l", Column::L},
    {"Ｌ", Column::L},
    {"延長", Column::L},
    {"延長l", Column::L},
    {"函渠長", Column::L},
    {"z1", Column::Z1},
    {"Ｚ１", Column::Z1},
    {"呑口部敷高", Column::Z1},
    {"z2", Column::Z2},
    {"Ｚ２", Column::Z2},
    {"吐口部敷高", Column::Z2},
    {"g", Column::G},
    {"重力加速度", Column::G},
    {"alpha", Column::Alpha},
    {"α", Column::Alpha},
    {"エネルギー補正係数", Column::Alpha},
    {"ｴﾈﾙｷﾞｰ補正係数", Column::Alpha},
    {"box_ratio", Column::BoxRatio},
    {"ボックス余裕率", Column::BoxRatio},
    {"circle_ratio", Column::CircleRatio},
    {"円径余裕率", Column::CircleRatio},
    {"管余裕率", Column::CircleRatio},
    {"shape", Column::Shape},
    {"形状", Column::Shape},
};

// Columns that real project tables carry beside the culverts' conditions.
constexpr std::string_view kIgnoredHeadings[] = {"備考", "メモ", "測点", "路線"};
constexpr std::string_view kCommentMarks[] = {"#", "＃"};

const ColumnInfo& InfoOf(Column column) {
  return *std::find_if(std::begin(kColumns), std::end(kColumns),
                       [&](const ColumnInfo& info) { return info.column == column; });
}

Condition ConditionOf(Column column) {
  switch (column) {
    case Column::Q:
      return Condition::Q;
    case Column::L:
      return Condition::L;
    case Column::Z1:
      return Condition::Z1;
    case Column::Z2:
      return Condition::Z2;
    case Column::G:
      return Condition::G;
    case Column::Alpha:
      return Condition::Alpha;
    case Column::BoxRatio:
      return Condition::BoxRatio;
    default:
      return Condition::CircleRatio;
  }
}

// A column of the table as its header row names it.
struct TableColumn {
  Column column;
  std::string heading;  // as written (PrintableText), for the messages
};

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

// The heading without a unit in brackets at its end ("延長(m)", "Q（m3/s）"),
// in lower case.
std::string HeadingKey(std::string_view heading) {
  for (const auto& [open, close] : {std::pair<std::string_view, std::string_view>{"(", ")"},
                                    std::pair<std::string_view, std::string_view>{"（", "）"}}) {
    const std::size_t start = heading.rfind(open);
    if (heading.ends_with(close) && start != std::string_view::npos && start > 0) {
      heading = Trimmed(heading.substr(0, start));
      break;
    }
  }
  return Lowercase(heading);
}

bool IsIgnoredHeading(std::string_view heading) {
  const auto marks = [&](std::string_view mark) { return heading.starts_with(mark); };
  return std::any_of(std::begin(kCommentMarks), std::end(kCommentMarks), marks) ||
         std::find(std::begin(kIgnoredHeadings), std::end(kIgnoredHeadings), heading) !=
             std::end(kIgnoredHeadings);
}

[[noreturn]] void Refuse(std::size_t line, const std::string& column, const std::string& what) {
  throw BatchTableError(std::to_string(line) + " 行目 " + column + " 列: " + what);
}

// The column a heading names; refuses an empty or unknown one.
Column ColumnOf(std::string_view heading, std::size_t line, const std::string& place) {
  if (heading.empty()) {
    Refuse(line, place, "見出しが空です（使わない列は見出しを # で始めてください）");
  }
  if (IsIgnoredHeading(heading)) return Column::Ignored;
  const std::string key = HeadingKey(heading);
  const auto known = std::find_if(std::begin(kHeadings), std::end(kHeadings),
                                  [&](const Heading& h) { return h.text == key; });
  if (known == std::end(kHeadings)) {
    Refuse(line, place, "不明な列名です: " + PrintableText(heading));
  }
  return known->column;
}

// Which column each field of a row is, from the header row.
std::vector<TableColumn> ReadHeader(const CsvRecord& header) {
  std::vector<TableColumn> columns;
  for (std::size_t i = 0; i < header.cells.size(); ++i) {
    const std::string_view heading = Trimmed(header.cells[i].text);
    const std::string place = std::to_string(i + 1);
    const Column column = ColumnOf(heading, header.line, place);
    const auto same = std::find_if(columns.begin(), columns.end(), [&](const TableColumn& c) {
      return c.column == column && column != Column::Ignored;
    });
    if (same != columns.end()) {
      Refuse(header.line, place,
             "列名 " + PrintableText(heading) + " は " +
                 std::to_string(static_cast<std::size_t>(same - columns.begin()) + 1) + " 列目の " +
                 same->heading + " と同じ列です");
    }
    columns.push_back({column, PrintableText(heading)});
  }
  for (const ColumnInfo& info : kColumns) {
    const auto has = [&](const TableColumn& c) { return c.column == info.column; };
    if (info.required && std::none_of(columns.begin(), columns.end(), has)) {
      throw BatchTableError(std::to_string(header.line) + " 行目: 必要な列 " + info.key + "（" +
                            info.japanese + "）がありません");
    }
  }
  return columns;
}

bool IsBlankRow(const CsvRecord& row) {
  return std::all_of(row.cells.begin(), row.cells.end(),
                     [](const CsvCell& c) { return Trimmed(c.text).empty(); });
}

double NumberCell(std::string_view text, std::size_t line, const TableColumn& column) {
  const std::optional<double> value = DecimalNumberValue(text);
  if (!value) Refuse(line, column.heading, "数値ではありません: " + PrintableText(text));
  const Condition condition = ConditionOf(column.column);
  if (!IsAllowedCondition(condition, *value)) {
    Refuse(line, column.heading,
           std::string(InfoOf(column.column).japanese) + "は " + AllowedRangeText(condition) +
               "にしてください: " + PrintableText(text));
  }
  return *value;
}

std::int16_t ShapeCell(std::string_view cell, std::size_t line, const TableColumn& column) {
  const std::string text = Lowercase(cell);
  if (text == "both") return ShapeBoth;
  if (text == "box") return ShapeBoxOnly;
  if (text == "pipe") return ShapePipeOnly;
  Refuse(line, column.heading, "both、box、pipe のいずれかにしてください: " + PrintableText(cell));
}

// A name is shown in files, on pages and on terminals: a character that is
// invisible there but changes what is shown (ESC, a right-to-left override)
// would make the outputs lie about it.
std::string NameCell(std::string_view text, std::size_t line, const TableColumn& column) {
  if (const std::optional<char32_t> hidden = FirstHiddenControl(text)) {
    Refuse(line, column.heading,
           "名前に表示されない制御文字 " + CharacterName(*hidden) +
               " があります: " + PrintableText(text));
  }
  return std::string(text);
}

double& ConditionField(DesignConditions& c, Column column) {
  switch (column) {
    case Column::Q:
      return c.Q;
    case Column::L:
      return c.L;
    case Column::Z1:
      return c.Z1;
    case Column::Z2:
      return c.Z2;
    case Column::G:
      return c.g;
    case Column::Alpha:
      return c.Alpha;
    case Column::BoxRatio:
      return c.BoxRatio;
    default:
      return c.CircleRatio;
  }
}

// Sets what `column` holds from a cell that is not empty.
void SetCell(Culvert& culvert, const TableColumn& column, std::string_view text) {
  switch (column.column) {
    case Column::Ignored:
      return;
    case Column::Name:
      culvert.name = NameCell(text, culvert.line, column);
      return;
    case Column::Shape:
      culvert.conditions.ShapeOption = ShapeCell(text, culvert.line, column);
      return;
    default:
      ConditionField(culvert.conditions, column.column) = NumberCell(text, culvert.line, column);
  }
}

Culvert ReadRow(const CsvRecord& row, const std::vector<TableColumn>& columns, std::size_t number) {
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
    given.push_back(columns[i].column);
  }
  for (const TableColumn& column : columns) {
    const ColumnInfo* info = column.column == Column::Ignored ? nullptr : &InfoOf(column.column);
    if (info && info->required &&
        std::find(given.begin(), given.end(), info->column) == given.end()) {
      Refuse(row.line, column.heading, "値がありません");
    }
  }
  return culvert;
}

// Reads the culverts, row by row, after the header row.
class CulvertRows {
 public:
  CulvertRows(CsvReader& reader, std::vector<TableColumn> columns)
      : reader_(reader), columns_(std::move(columns)) {}

  std::vector<Culvert> ReadAll() {
    std::vector<Culvert> culverts;
    CsvRecord row;
    while (reader_.Next(row)) {
      if (IsBlankRow(row)) continue;
      if (culverts.size() == kMaxCulverts) {
        throw BatchTableError(std::to_string(row.line) + " 行目: 函渠は " +
                              std::to_string(kMaxCulverts) + " までです");
      }
      culverts.push_back(ReadRow(row, columns_, culverts.size() + 1));
      CheckNameIsNew(culverts.back());
    }
    if (culverts.empty()) throw BatchTableError("計算する函渠の行がありません");
    return culverts;
  }

 private:
  void CheckNameIsNew(const Culvert& culvert) {
    const auto [known, added] = lineOfName_.emplace(culvert.name, culvert.line);
    if (added) return;
    const auto name = std::find_if(columns_.begin(), columns_.end(),
                                   [](const TableColumn& c) { return c.column == Column::Name; });
    Refuse(culvert.line, name->heading,
           "名前「" + PrintableText(culvert.name) + "」は " + std::to_string(known->second) +
               " 行目にもあります");
  }

  CsvReader& reader_;
  std::vector<TableColumn> columns_;
  std::map<std::string, std::size_t> lineOfName_;
};

}  // namespace

std::vector<Culvert> ReadBatchTable(std::string_view bytes) {
  CsvReader reader(bytes);
  CsvRecord header;
  do {
    if (!reader.Next(header)) throw BatchTableError("見出しの行がありません");
  } while (IsBlankRow(header));
  return CulvertRows(reader, ReadHeader(header)).ReadAll();
}

std::vector<Culvert> ReadBatchTableFile(const std::string& path) {
  std::string bytes;
  switch (ReadDataFile(path, kLargestTableBytes, bytes)) {
    case FileRead::Read:
      break;
    case FileRead::NotRegular:
      throw BatchTableError(path + ": 一覧表が通常のファイルではありません");
    case FileRead::TooLarge:
      throw BatchTableError(path + ": 一覧表が大きすぎます（16 MiB まで）");
    case FileRead::OutOfMemory:
      throw BatchTableError(path + ": 一覧表を読み込むためのメモリが足りません");
    case FileRead::Unreadable:
      throw BatchTableError(path + ": 一覧表が読み込めません");
  }
  try {
    return ReadBatchTable(bytes);
  } catch (const CsvError& e) {
    throw BatchTableError(path + ": " + e.what());
  } catch (const BatchTableError& e) {
    throw BatchTableError(path + ": " + e.what());
  } catch (const std::bad_alloc&) {
    throw BatchTableError(path + ": 一覧表を読み込むためのメモリが足りません");
  }
}

}  // namespace sekora
