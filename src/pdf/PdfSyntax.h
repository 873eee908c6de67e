// The pieces of PDF syntax a file must be taken apart into to be joined
// with others: values found and skipped whole, references renumbered, and
// text written as PDF strings. Values are kept as the bytes they were
// written as; nothing is interpreted beyond what joining needs.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sekora {

// A PDF that cannot be read as one: the message says what is wrong.
class PdfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// PDF's white-space characters (NUL, tab, LF, FF, CR and blank).
bool IsPdfWhitespace(char c);

// The position of the first byte at or after `pos` that is neither white
// space nor part of a comment.
std::size_t SkipPdfWhitespace(std::string_view bytes, std::size_t pos);

// The position right after the one value (number, name, string, array,
// dictionary, keyword or "n g R" reference) that starts at `pos`, white
// space before it skipped. Throws PdfError when no whole value is there.
std::size_t SkipPdfValue(std::string_view bytes, std::size_t pos);

// The value `key` (a name such as "/Parent") has in the dictionary
// `dictionary` ("<< ... >>"), as written, or nothing when it has none.
// Throws PdfError when `dictionary` is no dictionary.
std::optional<std::string_view> PdfDictionaryValue(std::string_view dictionary,
                                                   std::string_view key);

// The object number of a reference value ("12 0 R"); nothing when `value`
// is no reference.
std::optional<int> PdfReferenceNumber(std::string_view value);

// The whole number `value` is ("1234"); nothing when it is none.
std::optional<long long> PdfInteger(std::string_view value);

// `value` with the object number of every reference in it replaced by
// `renumber(number)`; strings, names and everything else are kept byte for
// byte, so a "1 0 R" inside a string stays as it is.
std::string RenumberPdfReferences(std::string_view value, const std::function<int(int)>& renumber);

// `text` (UTF-8) as a PDF text string: UTF-16BE with a byte-order mark,
// written in hexadecimal ("<FEFF...>"), which holds every character.
// Throws PdfError for text that is not UTF-8.
std::string PdfTextString(std::string_view text);

}  // namespace sekora
