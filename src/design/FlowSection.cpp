#include "FlowSection.h"

#include <cmath>

#include "NumberText.h"

namespace sekora {
namespace {

// The circle constant of the pipe geometry, as the design tables use it.
constexpr double kPi = 3.14154;

struct Section {
  double A = 0.0;  // flow area, m2
  double P = 0.0;  // wetted perimeter, m
  double R = 0.0;  // hydraulic radius, m
  double V = 0.0;  // mean velocity, m/s
};

double Round3(double v) {
  return FormatRound(v, Pattern::Fixed3);
}
double Round6(double v) {
  return FormatRound(v, Pattern::Fixed6);
}

// a / b, or 0 where b is 0: a section with no area or no wetted perimeter
// carries no velocity and has no hydraulic radius.
double QuotientOrZero(double a, double b) {
  return b == 0.0 ? 0.0 : a / b;
}

// Box of width B (m), open rectangular flow at depth h (m).
Section BoxSection(double h, double B, double Q) {
  Section s;
  s.A = Round3(h * B);
  s.V = Round3(QuotientOrZero(Q, s.A));
  s.P = Round3(2.0 * h + B);
  s.R = Round3(QuotientOrZero(s.A, s.P));
  return s;
}

// Pipe of diameter D (m) flowing exactly half full.
Section HalfFullPipe(double r, double Q) {
  Section s;
  s.A = r * r * kPi / 2.0;
  s.V = Round3(QuotientOrZero(Q, s.A));
  s.P = Round3(kPi * r);
  s.R = Round3(QuotientOrZero(s.A, s.P));
  return s;
}

// Central angle, degrees, of the segment beyond the water surface on the
// centre's far side, from y = cos(half angle): 2 arccos(y).
double SegmentAngleDegrees(double y) {
  if (y == 1.0) return 0.0;
  return Round3(2.0 * (2.0 * std::atan(1.0) + std::atan(-y / std::sqrt(1.0 - std::pow(y, 2.0)))) /
                (kPi / 180.0));
}

// Pipe of radius r (m) at a depth h (m) other than 0 and r: a circular
// segment. Phi (radians) is the dry angle below the centre line and the
// wetted angle above it.
Section PartFullPipe(double h, double r, double Q) {
  const double c = Round6(std::fabs(h - r));
  const double y = Round6(c / r);
  const double theta = SegmentAngleDegrees(y);
  const double phi = Round3((360.0 - theta) * (kPi / 180.0));
  Section s;
  s.A = Round3(std::pow(r, 2.0) / 2.0 * (phi - std::sin(phi)));
  if (h < r) s.A = r * r * kPi - s.A;
  s.V = Round3(QuotientOrZero(Q, s.A));
  s.P = h > r ? Round3(phi * r) : Round3(2.0 * kPi * r - phi * r);
  s.R = Round3(QuotientOrZero(s.A, s.P));
  return s;
}

Section PipeSection(double h, double D, double Q) {
  const double r = D / 2.0;
  if (h == 0.0) return Section{};
  if (h == r) return HalfFullPipe(r, Q);
  return PartFullPipe(h, r, Q);
}

}  // namespace

void CalcFlowSection(std::int16_t side, KeisanRecord& rec, const DesignConditions& conditions) {
  const double h = side == kSideOutlet ? rec.h2 : rec.h1;
  const Section s = rec.Kind == KindBox ? BoxSection(h, rec.B, conditions.Q)
                                        : PipeSection(h, rec.D, conditions.Q);
  if (side == kSideOutlet) {
    rec.A2 = s.A;
    rec.P2 = s.P;
    rec.R2 = s.R;
    rec.V2 = s.V;
  } else {
    rec.A1 = s.A;
    rec.P1 = s.P;
    rec.R1 = s.R;
    rec.V1 = s.V;
  }
}

}  // namespace sekora
