// Text of a metafile in a Windows character set, converted to and from UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sekora {

// Windows code pages of the texts of a figure.
inline constexpr unsigned kShiftJisCodePage = 932;
inline constexpr unsigned kWesternCodePage = 1252;

// The code page of a font charset: Shift-JIS for Shift-JIS fonts, Western
// (ANSI) for every other charset.
unsigned CharsetCodePage(std::uint8_t charset);

// `text` in the code page `codePage` converted to UTF-8, and UTF-8 converted
// to `codePage`; nullopt when the text is not valid in the encoding it is in
// or has no form in the other. The system's converters do the work: the code
// page functions on Windows, iconv elsewhere.
std::optional<std::string> DecodeText(std::string_view text, unsigned codePage);
std::optional<std::string> EncodeText(std::string_view utf8, unsigned codePage);

}  // namespace sekora
