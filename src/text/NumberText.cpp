#include "NumberText.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "ScaledDigits.h"

namespace sekora {
namespace {

// Significant decimal digits a value is taken to before it is rounded to a
// pattern's decimals.
constexpr int kSignificantDigits = 15;

using u128 = unsigned __int128;

// 10^0 .. 10^(N-1) in T; every one of them is exact in T.
template <typename T, std::size_t N>
constexpr std::array<T, N> PowersOfTen() {
  std::array<T, N> p{};
  T v = 1;
  for (auto& e : p) {
    e = v;
    v *= 10;
  }
  return p;
}

constexpr auto kPow10 = PowersOfTen<std::uint64_t, 20>();
constexpr auto kPow10Wide = PowersOfTen<u128, 23>();

int Decimals(Pattern pattern) {
  return static_cast<int>(pattern);
}

}  // namespace

std::uint64_t scaled::ScaledDigitsExact(double magnitude, int decimals) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t m = biased == 0 ? fraction : (fraction | (std::uint64_t{1} << 52));
  const int shift = 1075 - (biased == 0 ? 1 : biased);  // magnitude = m / 2^shift

  // Decimal exponent e of the leading digit, first estimated from the binary
  // exponent (off by at most one), then corrected on the truncated digits.
  int e = static_cast<int>(std::floor((biased - 1023) * 0.30102999566398120));
  u128 truncated = 0;
  for (;;) {
    const int s = kSignificantDigits - 1 - e;
    truncated = (u128{m} * kPow10Wide[s]) >> shift;
    if (truncated >= kPow10[kSignificantDigits]) {
      ++e;
    } else if (truncated < kPow10[kSignificantDigits - 1]) {
      --e;
    } else {
      break;
    }
  }
  const int s = kSignificantDigits - 1 - e;
  const u128 scaled = u128{m} * kPow10Wide[s];
  const u128 remainder = scaled & ((u128{1} << shift) - 1);
  std::uint64_t digits15 = static_cast<std::uint64_t>(truncated);
  if (remainder >= (u128{1} << (shift - 1))) ++digits15;

  const int dropped = s - decimals;  // always >= 0 on this path
  const std::uint64_t unit = kPow10[dropped];
  std::uint64_t result = digits15 / unit;
  if (digits15 % unit * 2 >= unit) ++result;
  return result;
}

namespace {

// Increments the decimal digit string `digits` at position `last` (carrying
// to the left); returns true when a new leading digit had to be added.
bool IncrementDigits(std::vector<char>& digits, std::size_t last) {
  for (std::size_t i = last + 1; i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

// Exact formatting for any finite magnitude: the exact decimal expansion of
// the binary value, rounded to 15 significant digits and then to the
// pattern's decimals. Used where the fast path does not reach.
std::string FormatMagnitudeExact(double magnitude, int decimals) {
  // Every double's exact expansion has at most 1074 decimals.
  std::vector<char> buffer(1500);
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                 std::chars_format::fixed, 1074);
  (void)ec;
  std::vector<char> digits;
  std::size_t pointPos = 0;  // number of integer digits
  for (char* p = buffer.data(); p != end; ++p) {
    if (*p == '.') {
      pointPos = digits.size();
    } else {
      digits.push_back(*p);
    }
  }
  std::size_t first = 0;
  while (first < digits.size() && digits[first] == '0') ++first;
  if (first < digits.size()) {
    // Round half away to 15 significant digits.
    const std::size_t keep = first + kSignificantDigits;
    if (keep < digits.size()) {
      const bool up = digits[keep] >= '5';
      std::fill(digits.begin() + static_cast<std::ptrdiff_t>(keep), digits.end(), '0');
      if (up && IncrementDigits(digits, keep - 1)) ++pointPos;
    }
    // Round half away to the pattern's decimals.
    const std::size_t cut = pointPos + static_cast<std::size_t>(decimals);
    if (cut < digits.size()) {
      const bool up = digits[cut] >= '5';
      digits.resize(cut);
      if (up) {
        if (cut == 0) {
          digits.insert(digits.begin(), '1');
          ++pointPos;
        } else if (IncrementDigits(digits, cut - 1)) {
          ++pointPos;
        }
      }
    }
  }
  digits.resize(pointPos + static_cast<std::size_t>(decimals), '0');

  std::string text;
  std::size_t lead = 0;
  while (lead + 1 < pointPos && digits[lead] == '0') ++lead;
  if (pointPos == 0) text.push_back('0');
  text.append(digits.begin() + static_cast<std::ptrdiff_t>(lead),
              digits.begin() + static_cast<std::ptrdiff_t>(pointPos));
  if (decimals > 0) {
    text.push_back('.');
    text.append(digits.begin() + static_cast<std::ptrdiff_t>(pointPos), digits.end());
  }
  return text;
}

// Appends the text of the integer `scaled` * 10^-decimals, built right to
// left in a buffer and appended at once: the results file of a large run
// holds close to a million numbers.
void AppendScaled(std::string& out, bool negative, std::uint64_t scaled, int decimals) {
  const bool minus = negative && scaled != 0;
  char buffer[32];
  char* first = buffer + sizeof buffer;
  // Digits from the right; at least decimals + 1 of them.
  int digits = 0;
  do {
    if (digits == decimals && decimals > 0) *--first = '.';
    *--first = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
    ++digits;
  } while (scaled != 0 || digits <= decimals);
  if (minus) *--first = '-';
  out.append(first, buffer + sizeof buffer);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The characters of the leading number of `text` (sign, digits, point) with
// blanks removed; `digitCount` counts its digits.
std::string LeadingNumber(std::string_view text, int& digitCount) {
  std::string number;
  digitCount = 0;
  bool signSeen = false;
  bool pointSeen = false;
  for (char c : text) {
    if (IsBlank(c)) continue;
    if ((c == '-' || c == '+') && !signSeen && number.empty()) {
      signSeen = true;
      if (c == '-') number.push_back(c);
    } else if (c >= '0' && c <= '9') {
      signSeen = true;
      number.push_back(c);
      ++digitCount;
    } else if (c == '.' && !pointSeen) {
      signSeen = true;
      pointSeen = true;
      number.push_back(c);
    } else {
      break;
    }
  }
  return number;
}

}  // namespace

void AppendNumber(std::string& out, double value, Pattern pattern) {
  if (std::isnan(value)) {
    out += "NaN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-Infinity" : "Infinity";
    return;
  }
  const int decimals = Decimals(pattern);
  const double magnitude = std::fabs(value);
  const bool negative = value < 0;
  if (magnitude < scaled::kScaledLimit) {
    AppendScaled(out, negative, scaled::ScaledDigits(magnitude, decimals), decimals);
    return;
  }
  if (negative) out.push_back('-');
  out += FormatMagnitudeExact(magnitude, decimals);
}

std::string FormatNumber(double value, Pattern pattern) {
  std::string text;
  AppendNumber(text, value, pattern);
  return text;
}

namespace {

// The value of the text `n` * 10^-d with the sign of `value`; zero is
// always +0, as "0.000" reads back.
double SignedDecimal(double value, std::int64_t n, int decimals) {
  // |n| < 2^53 and 10^d are exact, so the quotient is the correctly rounded
  // value of the text, as reading the text back would give.
  return static_cast<double>(value < 0 ? -n : n) / scaled::kPow10Double[decimals];
}

// FormatRound for everything the multiply does not decide: values that
// print as zero, values near a rounding boundary, large and non-finite ones.
[[gnu::noinline]] double FormatRoundOtherwise(double value, int decimals) {
  const double magnitude = std::fabs(value);
  if (magnitude < scaled::kScaledLimit) {
    const auto digits = static_cast<std::int64_t>(scaled::ScaledDigits(magnitude, decimals));
    return SignedDecimal(value, digits, decimals);
  }
  if (!std::isfinite(value)) return value;
  return NumericValue(FormatNumber(value, static_cast<Pattern>(decimals)));
}

}  // namespace

// The calculation rounds a few hundred thousand values per run, so the
// common case is kept to the multiply and a division.
double FormatRound(double value, Pattern pattern) {
  const int decimals = Decimals(pattern);
  const double magnitude = std::fabs(value);
  if (magnitude >= scaled::kBelowHalfUnit[decimals] && magnitude < scaled::kScaledLimit) {
    const std::int64_t digits = scaled::ScaledDigitsByMultiply(magnitude, decimals);
    if (digits != scaled::kUndecided) return SignedDecimal(value, digits, decimals);
  }
  return FormatRoundOtherwise(value, decimals);
}

namespace {

// Doubles 10^0 .. 10^15, all exact.
constexpr auto kPow10Exact = PowersOfTen<double, 16>();

// The most digits of a plain decimal text read by PlainDecimalValue: their
// integer stays below 2^53.
constexpr int kPlainDigits = 15;

// The value of a text that is nothing but a plain decimal number of at most
// 15 digits ("0.673", "-12", "5."), as results files and catalogues hold
// them; nothing for any other text. The digits form an exact integer and
// 10^decimals is exact, so their quotient is the correctly rounded value of
// the text, as the general reading gives it.
std::optional<double> PlainDecimalValue(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  std::uint64_t mantissa = 0;
  int digits = 0;
  int decimals = 0;
  bool point = false;
  for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      ++digits;
      if (point) ++decimals;
    } else if (c == '.' && !point && digits > 0) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || digits > kPlainDigits) return std::nullopt;
  const double magnitude = static_cast<double>(mantissa) / kPow10Exact[decimals];
  return negative ? -magnitude : magnitude;
}

}  // namespace

double NumericValue(std::string_view text) {
  if (const std::optional<double> plain = PlainDecimalValue(text)) return *plain;
  int digitCount = 0;
  const std::string number = LeadingNumber(text, digitCount);
  if (digitCount == 0) return 0.0;
  double value = 0.0;
  const char* first = number.data();
  const char* last = number.data() + number.size();
  if (number.back() == '.') --last;  // "5." reads as 5
  const auto [ptr, ec] = std::from_chars(first, last, value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Too large for a double, or below its smallest magnitude.
    const bool negative = number.front() == '-';
    const std::size_t integerEnd = number.find('.');
    const std::string_view integerPart = std::string_view(number).substr(
        negative ? 1 : 0,
        integerEnd == std::string::npos ? std::string::npos : integerEnd - (negative ? 1 : 0));
    const bool large = integerPart.find_first_not_of('0') != std::string_view::npos;
    const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
  }
  return value;
}

bool BeginsWithNumber(std::string_view text) {
  int digitCount = 0;
  LeadingNumber(text, digitCount);
  return digitCount > 0;
}

bool IsPlainDecimal(std::string_view text) {
  int digits = 0;
  int points = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && points <= 1;
}

std::optional<double> DecimalNumberValue(std::string_view text) {
  const std::string_view digits =
      !text.empty() && (text[0] == '+' || text[0] == '-') ? text.substr(1) : text;
  if (!IsPlainDecimal(digits)) return std::nullopt;
  const double value = NumericValue(text);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int16_t> ToInt16(double value) {
  if (!(value >= -32768.5 && value <= 32767.5)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // default mode: halves to even
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

}  // namespace sekora
