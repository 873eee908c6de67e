// The batch table reader on any bytes: it refuses the table with a message
// that names the line, or gives at most 32 767 culverts that a run can
// design, every condition within its limits, each with a name of its own in
// UTF-8 that hides nothing. Inputs beyond 4 KiB (run with -max_len) reach
// the encoding decided over the whole table and rows far from the header.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "BatchTable.h"
#include "ConditionLimits.h"
#include "CsvReader.h"
#include "FuzzCheck.h"
#include "Utf8Text.h"

namespace {

using sekora::fuzz::Require;

bool IsWithinLimits(const sekora::DesignConditions& c) {
  using sekora::Condition;
  const std::pair<Condition, double> values[] = {{Condition::Q, c.Q},
                                                 {Condition::L, c.L},
                                                 {Condition::Z1, c.Z1},
                                                 {Condition::Z2, c.Z2},
                                                 {Condition::G, c.g},
                                                 {Condition::Alpha, c.Alpha},
                                                 {Condition::BoxRatio, c.BoxRatio},
                                                 {Condition::CircleRatio, c.CircleRatio}};
  for (const auto& [condition, value] : values) {
    if (!sekora::IsAllowedCondition(condition, value)) return false;
  }
  return true;
}

void CheckCulverts(const std::vector<sekora::Culvert>& culverts) {
  Require(!culverts.empty(), "a table that is not refused has a culvert");
  Require(culverts.size() <= sekora::kMaxCulverts, "a table holds at most 32 767 culverts");
  std::set<std::string> names;
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    const sekora::Culvert& c = culverts[i];
    Require(c.number == i + 1, "culverts are numbered in table order");
    Require(c.line >= 2, "a culvert's row follows the header");
    Require(!c.name.empty() && sekora::IsValidUtf8(c.name), "a name is UTF-8 text", c.name);
    Require(!sekora::FirstHiddenControl(c.name), "a name hides nothing", c.name);
    Require(names.insert(c.name).second, "names are unique", c.name);
    Require(IsWithinLimits(c.conditions), "every condition is within its limits");
    Require(c.conditions.ShapeOption >= sekora::ShapeBoth &&
                c.conditions.ShapeOption <= sekora::ShapePipeOnly,
            "the shape is one of the three");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    CheckCulverts(sekora::ReadBatchTable(bytes));
  } catch (const sekora::CsvError& e) {
    Require(std::string_view(e.what()).starts_with(std::to_string(e.line()) + " 行目 "),
            "a reading error names its line", e.what());
  } catch (const sekora::BatchTableError& e) {
    Require(std::string_view(e.what()).find("行") != std::string_view::npos,
            "a table error names a line", e.what());
    Require(std::string_view(e.what()).find('\0') == std::string_view::npos &&
                std::string_view(e.what()).find('\x1b') == std::string_view::npos,
            "a message shows no NUL or ESC of the table", e.what());
  }
  return 0;
}
