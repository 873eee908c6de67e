// The design conditions of one calculation run, as the main window sets them.
#pragma once

#include <cstdint>

namespace sekora {

// Which catalogues a run reads.
enum ShapeOptionValue : std::int16_t {
  ShapeBoth = 0,      // BOX.TXT, then KAN.TXT
  ShapeBoxOnly = 1,   // BOX.TXT only
  ShapePipeOnly = 2,  // KAN.TXT only
};

struct DesignConditions {
  double Q = 0.0;             // design discharge, m3/s
  double L = 0.0;             // culvert length, m
  double g = 9.8;             // gravitational acceleration, m/s2
  double Alpha = 1.0;         // energy correction coefficient
  double Z1 = 0.0;            // inlet invert level, m
  double Z2 = 0.0;            // outlet invert level, m
  double BoxRatio = 0.9;      // usable-height ratio of boxes
  double CircleRatio = 0.81;  // usable-height ratio of pipes
  std::int16_t ShapeOption = ShapeBoth;
  std::int16_t ExcludeNg = 0;       // 1: write only candidates with Status 0
  std::int16_t CandidateCount = 0;  // candidates of the run / lines of Keisan.txt
};

}  // namespace sekora
