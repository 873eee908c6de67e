// One FormatRound call of a recorded run, as stored in the recording file.
#pragma once

#include <cstdint>

namespace sekora::bench {

struct RoundedValue {
  double value;
  std::int32_t pattern;  // a Pattern's decimals
};

}  // namespace sekora::bench
