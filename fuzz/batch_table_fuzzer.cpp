// The batch table reader on any bytes: it refuses the table with a message
// that names the line, or gives culverts that a run can design, each with a
// name of its own in UTF-8.
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "BatchTable.h"
#include "CsvReader.h"
#include "FuzzCheck.h"

namespace {

using sekora::fuzz::Require;

bool IsFinite(const sekora::DesignConditions& c) {
  for (double v : {c.Q, c.L, c.g, c.Alpha, c.Z1, c.Z2, c.BoxRatio, c.CircleRatio}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

void CheckCulverts(const std::vector<sekora::Culvert>& culverts) {
  Require(!culverts.empty(), "a table that is not refused has a culvert");
  std::set<std::string> names;
  for (std::size_t i = 0; i < culverts.size(); ++i) {
    const sekora::Culvert& c = culverts[i];
    Require(c.number == i + 1, "culverts are numbered in table order");
    Require(c.line >= 2, "a culvert's row follows the header");
    Require(!c.name.empty() && sekora::IsValidUtf8(c.name), "a name is UTF-8 text", c.name);
    Require(names.insert(c.name).second, "names are unique", c.name);
    Require(c.conditions.Q > 0.0 && c.conditions.L > 0.0, "Q and L are above zero");
    Require(IsFinite(c.conditions), "every condition is finite");
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
  }
  return 0;
}
