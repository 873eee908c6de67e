// Number text: any double formats with exactly its pattern's decimals, reads
// back to a value that formats to the same text, and FormatRound agrees with
// that reading; NumericValue and ToInt16 accept any bytes.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "NumberText.h"

namespace {

using sekora::Pattern;
using sekora::fuzz::Require;

constexpr Pattern kPatterns[] = {Pattern::Whole, Pattern::Fixed2, Pattern::Fixed3, Pattern::Fixed5,
                                 Pattern::Fixed6};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// An optional "-", digits, and when the pattern has decimals a "." and
// exactly that many digits.
bool HasPatternShape(std::string_view text, int decimals) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  if (whole.empty()) return false;
  for (char c : whole) {
    if (!IsDigit(c)) return false;
  }
  if (decimals == 0) return point == std::string_view::npos;
  if (point == std::string_view::npos) return false;
  const std::string_view fraction = text.substr(point + 1);
  if (fraction.size() != static_cast<std::size_t>(decimals)) return false;
  for (char c : fraction) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

void CheckNonFinite(double value, Pattern pattern) {
  const std::string text = sekora::FormatNumber(value, pattern);
  if (std::isnan(value)) {
    Require(text == "NaN", "NaN formats as NaN", text);
    Require(std::isnan(sekora::FormatRound(value, pattern)), "FormatRound keeps NaN");
  } else {
    Require(text == (value < 0 ? "-Infinity" : "Infinity"), "an infinity formats by name", text);
    Require(sekora::FormatRound(value, pattern) == value, "FormatRound keeps an infinity");
  }
}

void CheckFinite(double value, Pattern pattern) {
  const int decimals = static_cast<int>(pattern);
  const std::string text = sekora::FormatNumber(value, pattern);
  Require(HasPatternShape(text, decimals), "text has the pattern's shape", text);
  const double back = sekora::NumericValue(text);
  const double rounded = sekora::FormatRound(value, pattern);
  Require(rounded == back, "FormatRound equals the text read back", text);
  if (std::isinf(back)) {
    // Only a value within 15 significant digits of the largest double can
    // round past it.
    Require(std::fabs(value) > 1.797693134862e308, "only the top of the range reads back infinite",
            text);
    return;
  }
  Require(sekora::FormatNumber(back, pattern) == text, "text read back formats to itself", text);
  // 15 significant digits then the pattern's decimals: the error is at most
  // half a unit of each (5e-15 relative for the first), plus half a unit in
  // the last place of the double read back (1.1e-16 relative).
  const double allowed = 0.5 * std::pow(10.0, -decimals) * (1 + 1e-12) + 5.2e-15 * std::fabs(value);
  Require(std::fabs(back - value) <= allowed, "text is within rounding of the value", text);
}

void CheckNumericValue(std::string_view text) {
  const double value = sekora::NumericValue(text);
  Require(!std::isnan(value), "NumericValue never gives NaN");
  if (!sekora::BeginsWithNumber(text)) Require(value == 0.0, "a text without a number reads as 0");
  if (const auto whole = sekora::ToInt16(value)) {
    Require(std::fabs(*whole - value) <= 0.5, "ToInt16 rounds to the nearest integer");
  } else {
    Require(!(std::fabs(value) < 32767.0), "ToInt16 refuses only values outside 16 bits");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckNumericValue(bytes);
  if (size < 1 + sizeof(double)) return 0;
  const Pattern pattern = kPatterns[data[0] % std::size(kPatterns)];
  double value = 0;
  std::memcpy(&value, data + 1, sizeof value);
  if (std::isfinite(value)) {
    CheckFinite(value, pattern);
  } else {
    CheckNonFinite(value, pattern);
  }
  return 0;
}
