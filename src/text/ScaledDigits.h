// The integer a pattern prints: |value| * 10^d with the value first taken to
// 15 significant digits, then rounded to d decimals, halves away from zero.
// Two ways to it: one double multiply when the product is provably far from
// a rounding boundary, and the exact 128-bit scaling for everything else.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace sekora::scaled {

// Doubles 10^0 .. 10^6: exact, so M / 10^d is the correctly rounded value of
// the decimal text M * 10^-d.
inline constexpr std::array<double, 7> kPow10Double = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// Values below this (for d decimals) print as zero whatever the 15-digit step
// does: they are far below half a unit of the last decimal.
inline constexpr std::array<double, 7> kBelowHalfUnit = {0.4, 0.04, 0.004, 4e-4, 4e-5, 4e-6, 4e-7};

// The scaled digits of magnitudes below this fit in 53 bits for every
// pattern, and the 15 significant digits reach at least the d-th decimal.
inline constexpr double kScaledLimit = 1e9;

// The margin of the multiply, relative to the product: 2^-47.
inline constexpr double kMultiplyMargin = 0x1p-47;

// Exact for kBelowHalfUnit[d] <= magnitude < kScaledLimit: the binary value
// m * 2^-k is scaled by 10^(14 - e) in 128-bit integers.
std::uint64_t ScaledDigitsExact(double magnitude, int decimals);

// ScaledDigitsByMultiply's answer when the product lies too near a rounding
// boundary to decide.
inline constexpr std::int64_t kUndecided = -1;

// The same integer from one multiply, or kUndecided; same range as
// ScaledDigitsExact.
//
// Why the margin holds. Let t = magnitude * 10^d (a real number), and let
// 10^e <= magnitude < 10^(e+1).
// - The 15-digit step moves the magnitude by at most half a unit of its 15th
//   digit, 0.5 * 10^(e-14) <= 5e-15 * magnitude, so the value the pattern
//   rounds lies within 5e-15 * t of t. (Below kScaledLimit, e + d <= 14, so
//   that step never rounds coarser than the pattern.)
// - y = fl(magnitude * 10^d) with 10^d exact: |y - t| <= 2^-53 * t.
// - y < 2^53, so `whole` = trunc(y) and fraction = y - whole are exact (the
//   subtraction is exact by Sterbenz's lemma for y >= 1 and trivial below),
//   and so is fraction - 0.5 (both lie on the grid of y's last bit, or
//   0.25 <= y < 1). |fraction - 0.5| is the distance from y to the nearest
//   rounding boundary whole + 0.5; every other boundary is at least 0.5 away.
// - Both moves together shift the rounded value by at most
//   (5e-15 + 2^-53) * t < 5.12e-15 * y, which is less than 2^-47 * y
//   (about 7.1e-15 * y). So when |fraction - 0.5| > 2^-47 * y no boundary
//   lies between y and the value the pattern rounds, nor on it, and both
//   round to the same integer. 2^-47 * y is exact (a power of two).
// Exact ties and everything within the margin go to ScaledDigitsExact.
inline std::int64_t ScaledDigitsByMultiply(double magnitude, int decimals) {
  const double y = magnitude * kPow10Double[static_cast<std::size_t>(decimals)];
  const auto whole = static_cast<std::int64_t>(y);
  const double fromHalf = (y - static_cast<double>(whole)) - 0.5;
  if (!(std::fabs(fromHalf) > kMultiplyMargin * y)) return kUndecided;
  return whole + (fromHalf > 0.0 ? 1 : 0);
}

// The printed integer for 0 <= magnitude < kScaledLimit.
inline std::uint64_t ScaledDigits(double magnitude, int decimals) {
  if (magnitude < kBelowHalfUnit[static_cast<std::size_t>(decimals)]) return 0;
  const std::int64_t quick = ScaledDigitsByMultiply(magnitude, decimals);
  return quick != kUndecided ? static_cast<std::uint64_t>(quick)
                             : ScaledDigitsExact(magnitude, decimals);
}

}  // namespace sekora::scaled
