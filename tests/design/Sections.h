// Candidate records of one section, as the catalogue reader makes them.
#pragma once

#include "KeisanRecord.h"

namespace sekora::testing {

inline KeisanRecord Box(double B, double H) {
  KeisanRecord r;
  r.Kind = KindBox;
  r.B = B;
  r.H = H;
  return r;
}

inline KeisanRecord Pipe(double D) {
  KeisanRecord r;
  r.Kind = KindPipe;
  r.D = D;
  return r;
}

}  // namespace sekora::testing
