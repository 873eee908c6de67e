// Number text: the fixed-decimal formatting used by the results file, the
// list rows, the input boxes and the sheet, the rounding built on it, and the
// numeric value of a text. Exact and independent of any locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sekora {

// A number pattern: "0", "0.00", "0.000", "0.00000" or "0.000000". The
// enumerator's value is the number of decimals the pattern prints.
enum class Pattern : int {
  Whole = 0,   // "0"
  Fixed2 = 2,  // "0.00"
  Fixed3 = 3,  // "0.000"
  Fixed5 = 5,  // "0.00000"
  Fixed6 = 6,  // "0.000000"
};

// Appends `value` formatted with `pattern` to `out`: at least one digit before
// the point, "." as the point, exactly the pattern's decimals, a leading "-"
// for a negative value that does not round to zero. The value is first taken
// to 15 significant decimal digits of its exact binary value, then rounded to
// the pattern's decimals; both roundings take halves away from zero.
// Non-finite values print as "NaN", "Infinity" or "-Infinity".
void AppendNumber(std::string& out, double value, Pattern pattern);

// The text AppendNumber would append.
std::string FormatNumber(double value, Pattern pattern);

// `value` formatted with `pattern` and the text read back as a number: the
// rounding that every stored quantity of the calculation goes through.
double FormatRound(double value, Pattern pattern);

// The value of the leading decimal number of `text`: an optional sign, digits,
// an optional "." and more digits. Blanks (spaces and tabs) are ignored
// wherever they stand; anything after the number is ignored; a text that does
// not begin with a number gives 0. A number too large for a double gives an
// infinity of its sign.
double NumericValue(std::string_view text);

// True when `text` begins with a number in the sense of NumericValue (at
// least one digit before anything that is not part of the number).
bool BeginsWithNumber(std::string_view text);

// True when `text` is nothing but a plain decimal number: digits with at most
// one point among or after them, at least one digit, no sign and no blanks
// ("5", ".5", "5.", "12.345"; not "", ".", "1.2.3", "-1", "2.5e3").
bool IsPlainDecimal(std::string_view text);

// The value of `text` when the whole text is one decimal number (an optional
// sign, digits, an optional "." and more digits, at least one digit, no
// blanks, no exponent) and that value is finite; nothing otherwise.
std::optional<double> DecimalNumberValue(std::string_view text);

// `value` rounded to the nearest integer, halves to the even neighbour, when
// that integer fits in 16 bits; nothing otherwise (and for NaN).
std::optional<std::int16_t> ToInt16(double value);

}  // namespace sekora
