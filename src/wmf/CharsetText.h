// Text of a metafile in a Windows character set, converted to and from UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sekora {

// The iconv name of the encoding of a font charset: "CP932" for Shift-JIS
// fonts, "CP1252" for ANSI and every other charset.
const char* CharsetEncoding(std::uint8_t charset);

// `text` converted from the encoding `from` to the encoding `to` (iconv
// names); nullopt when `text` is not valid in `from` or has no form in `to`.
std::optional<std::string> ConvertText(std::string_view text, const char* from, const char* to);

}  // namespace sekora
