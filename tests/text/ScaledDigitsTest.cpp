// The quick multiply must give the exact 128-bit result whenever it gives one.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "ScaledDigits.h"

namespace sekora::scaled {
namespace {

constexpr int kDecimalsOfPatterns[] = {0, 2, 3, 5, 6};

// Counts how often the multiply decided, checking each decision.
struct Agreement {
  long decided = 0;
  long checked = 0;

  void Check(double magnitude, int decimals) {
    if (magnitude < kBelowHalfUnit[decimals] || !(magnitude < kScaledLimit)) return;
    ++checked;
    const std::int64_t quick = ScaledDigitsByMultiply(magnitude, decimals);
    if (quick == kUndecided) return;
    ++decided;
    ASSERT_EQ(static_cast<std::uint64_t>(quick), ScaledDigitsExact(magnitude, decimals))
        << std::hexfloat << magnitude << " with " << decimals << " decimals";
  }
};

double ParseDecimal(const std::string& text) {
  double v = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

// The double nearest to (k + 0.5) * 10^-d: where the pattern's rounding flips.
double Boundary(std::uint64_t k, int decimals) {
  return ParseDecimal(std::to_string(k) + "5e-" + std::to_string(decimals + 1));
}

TEST(ScaledDigits, MultiplyAgreesOnTheValuesOfTheCalculationExamples) {
  const double values[] = {0.467,
                           0.6730000000000002,
                           0.5740000000000004,
                           0.3000000000000002,
                           1.0005,
                           0.19 * 0.25 + 0.123,
                           2.0005,
                           0.9995,
                           9.9995,
                           999.9995,
                           0.000125,
                           0.01223,
                           1.255,
                           2.5,
                           0.785385 - 0.467,
                           3.14154 / 8,
                           0.0005,
                           123456789.0004,
                           999999999.9995,
                           0.0000005};
  Agreement agreement;
  for (const double v : values) {
    for (const int d : kDecimalsOfPatterns) agreement.Check(v, d);
  }
  EXPECT_GT(agreement.decided, agreement.checked / 2);
}

// Around every kind of boundary (the pattern's half unit, and the ties of the
// 15th digit just inside it) the multiply either agrees or declines.
TEST(ScaledDigits, MultiplyAgreesWithinAFewUlpsOfEveryBoundary) {
  constexpr int kUlps = 80;  // past the margin (about 32 to 64 ulps) on both sides
  std::mt19937_64 random(20261207);
  Agreement agreement;
  for (const int d : kDecimalsOfPatterns) {
    // Bands of the scaled value t = magnitude * 10^d, from t < 1 to t < 10^(9+d).
    for (int band = 0; band <= 9 + d; ++band) {
      const std::uint64_t low =
          band == 0 ? 0 : static_cast<std::uint64_t>(std::pow(10.0, band - 1));
      const std::uint64_t high = static_cast<std::uint64_t>(std::pow(10.0, band)) - 1;
      std::uniform_int_distribution<std::uint64_t> pick(low, high);
      const std::uint64_t ks[] = {low, high, pick(random), pick(random), pick(random)};
      for (const std::uint64_t k : ks) {
        const double b = Boundary(k, d);
        double below = b;
        double above = b;
        for (int i = 0; i <= kUlps; ++i) {
          agreement.Check(below, d);
          agreement.Check(above, d);
          below = std::nextafter(below, 0.0);
          above = std::nextafter(above, kScaledLimit);
        }
      }
    }
  }
  // The sweep reaches out of the margin, so the multiply decides some of it.
  EXPECT_GT(agreement.decided, 0);
  EXPECT_LT(agreement.decided, agreement.checked);
}

TEST(ScaledDigits, MultiplyAgreesOnMillionsOfRandomDoublesAndDecidesAlmostAll) {
  std::mt19937_64 random(7);
  // Every bit pattern of magnitudes from 2^-24 (below 1e-7) up to 2^30.
  std::uniform_int_distribution<std::uint64_t> bits(std::bit_cast<std::uint64_t>(0x1p-24),
                                                    std::bit_cast<std::uint64_t>(0x1p30));
  Agreement all;
  Agreement ofTheCalculation;  // magnitudes below 1000, as depths, areas and energies are
  for (int i = 0; i < 4'000'000; ++i) {
    const double magnitude = std::bit_cast<double>(bits(random));
    const int d = kDecimalsOfPatterns[i % 5];
    all.Check(magnitude, d);
    if (magnitude < 1000.0) ofTheCalculation.Check(magnitude, d);
  }
  EXPECT_GT(all.checked, 3'000'000);
  EXPECT_GT(ofTheCalculation.decided, ofTheCalculation.checked - ofTheCalculation.checked / 10000);
}

}  // namespace
}  // namespace sekora::scaled
