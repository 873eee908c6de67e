// UTF-8 text from outside the program (table cells, option values): whether
// it is well formed, which characters it holds, and how a message shows it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sekora {

// Length of the well-formed UTF-8 sequence that starts at `text`[i] (no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0 when none
// starts there.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// True when `text` is well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view text);

// The character of the well-formed sequence at `text`[i] of `length` bytes.
char32_t Utf8Character(std::string_view text, std::size_t i, std::size_t length);

// True for a character that a name may not hold because it is invisible and
// changes what a screen or a terminal shows: the control characters other
// than tab and line feed (NUL, ESC, DEL, U+0080-U+009F) and the
// bidirectional formatting characters (U+202E and its kin).
bool IsHiddenControl(char32_t c);

// The first hidden control character of the well-formed UTF-8 `text`, if it
// holds one.
std::optional<char32_t> FirstHiddenControl(std::string_view text);

// "U+202E": how a message names the character `c`.
std::string CharacterName(char32_t c);

// `text` as a one-line message shows it: line ends, tabs, hidden control
// characters and bytes that are not UTF-8 written as "\x1b" or "\u202e", so
// that the whole text is seen as it is (a NUL no longer cuts the message).
std::string PrintableText(std::string_view text);

}  // namespace sekora
