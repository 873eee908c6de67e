// Flow-section geometry: area, wetted perimeter, hydraulic radius, velocity.
#pragma once

#include <cstdint>

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

inline constexpr std::int16_t kSideOutlet = 0;
inline constexpr std::int16_t kSideInlet = 1;

// Side 0 (outlet): A2, P2, R2, V2 from h2. Any other side (inlet): A1, P1,
// R1, V1 from h1. Lengths in m, areas in m2, velocity in m/s, Q in m3/s.
void CalcFlowSection(std::int16_t side, KeisanRecord& rec, const DesignConditions& conditions);

}  // namespace sekora
