#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "NumberText.h"

namespace sekora {
namespace {

struct FormatCase {
  double value;
  Pattern pattern;
  const char* text;
};

TEST(FormatNumber, PrintsThePatternsDecimalsRoundingHalvesAwayFromZero) {
  const FormatCase cases[] = {
      {1.5, Pattern::Fixed3, "1.500"},
      {0.02, Pattern::Fixed3, "0.020"},
      {0.0004, Pattern::Fixed3, "0.000"},
      {0.0005, Pattern::Fixed3, "0.001"},
      {12.34567, Pattern::Fixed3, "12.346"},
      {1.0005, Pattern::Fixed3, "1.001"},               // stored just below 1.0005
      {0.19 * 0.25 + 0.123, Pattern::Fixed3, "0.171"},  // stored just below 0.1705
      {2.0005, Pattern::Fixed3, "2.001"},
      {2.0004999999, Pattern::Fixed3, "2.000"},
      {0.9995, Pattern::Fixed3, "1.000"},
      {9.9995, Pattern::Fixed3, "10.000"},
      {999.9995, Pattern::Fixed3, "1000.000"},
      {-1.5, Pattern::Fixed3, "-1.500"},
      {-0.0005, Pattern::Fixed3, "-0.001"},
      {-0.0004, Pattern::Fixed3, "0.000"},
      {-0.0, Pattern::Fixed3, "0.000"},
      {0.0, Pattern::Fixed3, "0.000"},
      {0.6730000000000002, Pattern::Fixed3, "0.673"},
      {0.000123456, Pattern::Fixed5, "0.00012"},
      {0.000123456, Pattern::Fixed3, "0.000"},
      {0.000125, Pattern::Fixed5, "0.00013"},
      {0.01223, Pattern::Fixed5, "0.01223"},
      {3.14159265, Pattern::Fixed6, "3.141593"},
      {0.0000005, Pattern::Fixed6, "0.000001"},
      {0.0000004, Pattern::Fixed6, "0.000000"},
      {1.25, Pattern::Fixed2, "1.25"},
      {1.255, Pattern::Fixed2, "1.26"},  // 1.25499999999999989... at 15 digits is 1.255
      {10.0, Pattern::Fixed2, "10.00"},
      {0.0, Pattern::Whole, "0"},
      {4.0, Pattern::Whole, "4"},
      {2.5, Pattern::Whole, "3"},
      {-2.5, Pattern::Whole, "-3"},
      {32767.0, Pattern::Whole, "32767"},
      {123456789.0004, Pattern::Fixed3, "123456789.000"},
      {999999999.9995, Pattern::Fixed3, "1000000000.000"},
      {1e9, Pattern::Fixed3, "1000000000.000"},
      {1234567890.123456, Pattern::Fixed3, "1234567890.123"},
      {123456789012.3456, Pattern::Fixed3, "123456789012.346"},
      {1e20, Pattern::Fixed3, "100000000000000000000.000"},
      {-1e20, Pattern::Fixed2, "-100000000000000000000.00"},
      {5e-324, Pattern::Fixed6, "0.000000"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.pattern), c.text) << c.value;
  }
}

TEST(FormatNumber, PrintsTheLargestDoubleWithFifteenSignificantDigits) {
  EXPECT_EQ(FormatNumber(1.7976931348623157e308, Pattern::Whole),
            "179769313486232" + std::string(294, '0'));
}

TEST(FormatNumber, TakesAnExactTieAtTheFifteenthDigitAwayFromZero) {
  // 22700806053.15625 is exact in binary: its 16th significant digit is a
  // final 5.
  EXPECT_EQ(FormatNumber(22700806053.15625, Pattern::Fixed6), "22700806053.156300");
  EXPECT_EQ(FormatNumber(-22700806053.15625, Pattern::Fixed6), "-22700806053.156300");
}

TEST(FormatNumber, NamesNonFiniteValues) {
  EXPECT_EQ(FormatNumber(std::nan(""), Pattern::Fixed3), "NaN");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), Pattern::Fixed3), "Infinity");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), Pattern::Whole), "-Infinity");
}

TEST(FormatNumber, AppendKeepsWhatIsThere) {
  std::string line = "0,";
  AppendNumber(line, 1.5, Pattern::Fixed3);
  EXPECT_EQ(line, "0,1.500");
}

TEST(FormatRound, GivesTheValueOfTheFormattedText) {
  EXPECT_EQ(FormatRound(0.6730000000000002, Pattern::Fixed3), 0.673);
  EXPECT_EQ(FormatRound(1.0005, Pattern::Fixed3), 1.001);
  EXPECT_EQ(FormatRound(0.19 * 0.25 + 0.123, Pattern::Fixed3), 0.171);
  EXPECT_EQ(FormatRound(0.000123456, Pattern::Fixed5), 0.00012);
  EXPECT_EQ(FormatRound(-2.0005, Pattern::Fixed3), -2.001);
  EXPECT_EQ(FormatRound(1234567890.1236, Pattern::Fixed3), 1234567890.124);
  EXPECT_FALSE(std::signbit(FormatRound(-0.0001, Pattern::Fixed3)));
  EXPECT_TRUE(std::isnan(FormatRound(std::nan(""), Pattern::Fixed3)));
}

// Rounds the decimal digit string `digits` to its first `keep` digits, halves
// away from zero; returns true when a carry added a leading digit.
bool RoundDigits(std::string& digits, std::size_t keep) {
  if (digits.size() < keep + 1) digits.resize(keep + 1, '0');
  const bool up = digits[keep] >= '5';
  digits.resize(keep);
  if (!up) return false;
  std::size_t i = keep;
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i > 0) {
    ++digits[i - 1];
    return false;
  }
  digits.insert(digits.begin(), '1');
  return true;
}

// An independent reading of the rule: C's %.80e gives the digits of the
// exact binary value; they are rounded to 15 significant digits and then to
// the pattern's decimals, halves away from zero, by decimal string arithmetic.
std::string ReferenceFormat(double value, int decimals) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%.80e", std::fabs(value));
  std::string digits(1, buffer[0]);
  digits.append(buffer + 2, buffer + 82);
  int exponent = std::atoi(buffer + 83);
  if (RoundDigits(digits, 15)) ++exponent;
  // digits holds d.dddddddddddddd x 10^exponent; place the point.
  int pointPos = exponent + 1;
  if (pointPos <= 0) {
    digits.insert(digits.begin(), static_cast<std::size_t>(1 - pointPos), '0');
    pointPos = 1;
  }
  if (RoundDigits(digits, static_cast<std::size_t>(pointPos + decimals))) ++pointPos;
  std::string integer = digits.substr(0, static_cast<std::size_t>(pointPos));
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
  std::string text = integer;
  if (decimals > 0) {
    text.push_back('.');
    text.append(digits, static_cast<std::size_t>(pointPos));
  }
  const bool zero = text.find_first_not_of("0.") == std::string::npos;
  std::string result;
  if (value < 0 && !zero) result.push_back('-');
  result += text;
  return result;
}

TEST(FormatNumber, AgreesWithAnIndependentReadingOverManyMagnitudes) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> exponent(-8.0, 12.0);
  const Pattern patterns[] = {Pattern::Whole, Pattern::Fixed2, Pattern::Fixed3, Pattern::Fixed5,
                              Pattern::Fixed6};
  for (int i = 0; i < 200000; ++i) {
    const double magnitude = std::pow(10.0, exponent(random));
    const double value = (i % 2 == 0) ? magnitude : -magnitude;
    const Pattern p = patterns[i % 5];
    ASSERT_EQ(FormatNumber(value, p), ReferenceFormat(value, static_cast<int>(p))) << value;
    ASSERT_EQ(FormatRound(value, p), NumericValue(FormatNumber(value, p))) << value;
  }
}

TEST(FormatNumber, AgreesAtEveryMillimetreStepOfAnAccumulatedDepth) {
  // Depths carried by repeated addition of 0.001, as the searches carry them.
  double h = 0.0;
  for (int i = 0; i < 5000; ++i) {
    h = h + 0.001;
    ASSERT_EQ(FormatNumber(h, Pattern::Fixed3), ReferenceFormat(h, 3)) << h;
    ASSERT_EQ(FormatNumber(h * 1.7, Pattern::Fixed6), ReferenceFormat(h * 1.7, 6)) << h;
  }
}

TEST(NumericValue, ReadsTheLeadingDecimalNumber) {
  const std::pair<const char*, double> cases[] = {
      {"1.50", 1.5},      {" 1.5 ", 1.5},
      {"2,0", 2.0},       {"1.2.3", 1.2},
      {".5", 0.5},        {"5.", 5.0},
      {"-0.25", -0.25},   {"+3", 3.0},
      {"- 1 2.5", -12.5}, {"0.6 m", 0.6},
      {"", 0.0},          {".", 0.0},
      {"-", 0.0},         {"abc", 0.0},
      {"'1.5", 0.0},      {" '1.5", 0.0},
      {"1e5", 1.0},       {"0.000", 0.0},
      {"\t7", 7.0},       {"12.345678901234567", 12.345678901234567},
      {".000", 0.0},      {"--1", 0.0},
      {"1-", 1.0},        {"0.1", 0.1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(NumericValue(text), value) << text;
}

TEST(NumericValue, ReadsPlainDecimalsAsCorrectlyRoundedAsTheCLibrary) {
  std::mt19937_64 random(13);
  std::uniform_int_distribution<int> length(1, 17);
  std::uniform_int_distribution<int> digit(0, 9);
  for (int i = 0; i < 300000; ++i) {
    std::string text = (i % 3 == 0) ? "-" : "";
    const int digits = length(random);
    const int point = std::uniform_int_distribution<int>(0, digits)(random);
    for (int d = 0; d < digits; ++d) {
      if (d == point && d > 0) text.push_back('.');
      text.push_back(static_cast<char>('0' + digit(random)));
    }
    if (i % 7 == 0) text.push_back('.');  // a point with no decimals after it
    const double expected = std::strtod(text.c_str(), nullptr);
    const double value = NumericValue(text);
    ASSERT_EQ(value, expected) << text;
    ASSERT_EQ(std::signbit(value), std::signbit(expected)) << text;
  }
}

TEST(NumericValue, OverflowGivesAnInfinityAndUnderflowZero) {
  const std::string huge(400, '9');
  EXPECT_EQ(NumericValue(huge), std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("-" + huge), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(BeginsWithNumber, NeedsADigit) {
  EXPECT_TRUE(BeginsWithNumber("5"));
  EXPECT_TRUE(BeginsWithNumber(".5"));
  EXPECT_TRUE(BeginsWithNumber("1.2.3"));
  EXPECT_FALSE(BeginsWithNumber(""));
  EXPECT_FALSE(BeginsWithNumber("."));
  EXPECT_FALSE(BeginsWithNumber("-"));
  EXPECT_FALSE(BeginsWithNumber("x1"));
}

TEST(IsPlainDecimal, DigitsWithAtMostOnePoint) {
  for (const char* plain : {"5", ".5", "5.", "0.000", "12.3456", "1234567890"}) {
    EXPECT_TRUE(IsPlainDecimal(plain)) << plain;
  }
  for (const char* other :
       {"", ".", "1.2.3", "..5", "-1", "+1", "2.5e3", "1,500", " 5", "5 ", "１"}) {
    EXPECT_FALSE(IsPlainDecimal(other)) << other;
  }
}

TEST(DecimalNumberValue, TakesOnlyAWholeFiniteDecimalNumber) {
  EXPECT_EQ(DecimalNumberValue("1.5"), 1.5);
  EXPECT_EQ(DecimalNumberValue(".5"), 0.5);
  EXPECT_EQ(DecimalNumberValue("5."), 5.0);
  EXPECT_EQ(DecimalNumberValue("-0.25"), -0.25);
  EXPECT_EQ(DecimalNumberValue("+2"), 2.0);
  for (const char* bad : {"", ".", "-", "1.2.3", "1e3", " 1", "1 ", "1,5", "0x1", "inf"}) {
    EXPECT_EQ(DecimalNumberValue(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(DecimalNumberValue("1" + std::string(400, '0')), std::nullopt);
}

TEST(ToInt16, RoundsHalvesToEvenWithinSixteenBits) {
  EXPECT_EQ(ToInt16(0.5), 0);
  EXPECT_EQ(ToInt16(1.5), 2);
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(3.49), 3);
  EXPECT_EQ(ToInt16(32767.0), 32767);
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);  // even neighbour 32768 does not fit
  EXPECT_EQ(ToInt16(-32768.5), -32768);
  EXPECT_EQ(ToInt16(-32769.0), std::nullopt);
  EXPECT_EQ(ToInt16(std::nan("")), std::nullopt);
}

}  // namespace
}  // namespace sekora
