// Candidate records of one section, as the catalogue reader makes them, the
// conditions of a run, and one candidate designed under them.
#pragma once

#include "DesignConditions.h"
#include "KeisanRecord.h"
#include "RunDesign.h"

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

inline DesignConditions Conditions(double Q, double L = 10.0, double Z1 = 0.0, double Z2 = 0.0) {
  DesignConditions c;
  c.Q = Q;
  c.L = L;
  c.Z1 = Z1;
  c.Z2 = Z2;
  return c;
}

inline KeisanRecord Design(KeisanRecord r, const DesignConditions& c) {
  Candidates candidates{r};
  DesignCandidates(candidates, c);
  return candidates[0];
}

}  // namespace sekora::testing
