// One candidate section and every quantity of its hydraulic check.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sekora {

enum KindValue : std::int16_t { KindBox = 0, KindPipe = 1 };

enum StatusValue : std::int16_t {
  StatusOk = 0,             // the section passes
  StatusOutletOver = 1,     // the outlet critical depth does not fit
  StatusInletOver = 2,      // the inlet depth search went above the section
  StatusInletNotFound = 3,  // the inlet depth search did not balance
  StatusFreeboardOver = 4,  // inlet depth plus freeboard does not fit
};

// Field order is the order of the 25 fields of a Keisan.txt line.
struct KeisanRecord {
  std::int16_t Status = StatusOk;
  std::int16_t Kind = KindBox;
  double B = 0.0;       // inner width of a box, m
  double H = 0.0;       // inner height of a box, m
  double D = 0.0;       // inner diameter of a pipe, m
  double n1 = 0.0;      // Manning roughness at the inlet
  double n2 = 0.0;      // Manning roughness at the outlet
  double h1 = 0.0;      // inlet depth, m
  double A1 = 0.0;      // inlet flow area, m2
  double P1 = 0.0;      // inlet wetted perimeter, m
  double R1 = 0.0;      // inlet hydraulic radius, m
  double V1 = 0.0;      // inlet velocity, m/s
  double h2 = 0.0;      // outlet critical depth, m
  double A2 = 0.0;      // outlet flow area, m2
  double P2 = 0.0;      // outlet wetted perimeter, m
  double R2 = 0.0;      // outlet hydraulic radius, m
  double V2 = 0.0;      // outlet velocity, m/s
  double FricQL = 0.0;  // Q2 L / 2, m7/s2
  double Fric1 = 0.0;   // n1^2 / (R1^(4/3) A1^2), s2/m6
  double Fric2 = 0.0;   // n2^2 / (R2^(4/3) A2^2), s2/m6
  double hf = 0.0;      // friction loss, m
  double E1 = 0.0;      // inlet energy, m
  double E2 = 0.0;      // outlet energy plus friction loss, m
  double dE = 0.0;      // energy error of the balanced state, m
  double hReq = 0.0;    // inlet depth plus freeboard, m

  friend bool operator==(const KeisanRecord&, const KeisanRecord&) = default;
};

inline constexpr int kQuantityCount = 23;

// The 23 real quantities of a record, B to hReq, in field order, as
// pointers into `r` (const when `r` is const).
template <typename Record>
auto Quantities(Record& r) -> std::array<decltype(&r.B), kQuantityCount> {
  return {&r.B,     &r.H,     &r.D,  &r.n1, &r.n2, &r.h1, &r.A1,  &r.P1,
          &r.R1,    &r.V1,    &r.h2, &r.A2, &r.P2, &r.R2, &r.V2,  &r.FricQL,
          &r.Fric1, &r.Fric2, &r.hf, &r.E1, &r.E2, &r.dE, &r.hReq};
}

// The candidates of one run in catalogue order. Element 0 is candidate 1.
using Candidates = std::vector<KeisanRecord>;

// The most candidates a run can hold: the count is a 16-bit signed number.
inline constexpr int kMaxCandidates = 32767;

}  // namespace sekora
