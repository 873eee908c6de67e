// Numbers in the JSON that sekora-cli prints.
#pragma once

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>

namespace sekora::cli {

using Json = nlohmann::ordered_json;

// A quantity as JSON: whole values without a fraction ("0", not "0.0"), the
// rest in the shortest text that reads back as the same double.
inline Json JsonNumber(double v) {
  constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53
  if (v == std::trunc(v) && std::fabs(v) < kExactIntegerLimit) {
    return static_cast<std::int64_t>(v);
  }
  return v;
}

}  // namespace sekora::cli
