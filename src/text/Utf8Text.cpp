#include "Utf8Text.h"

#include <cstdio>

namespace sekora {
namespace {

std::string Escape(const char* format, unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

char32_t Utf8Character(std::string_view text, std::size_t i, std::size_t length) {
  const auto byte = [&](std::size_t k) { return static_cast<char32_t>(text[i + k]) & 0xFF; };
  if (length == 1) return byte(0);
  constexpr char32_t kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t c = byte(0) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (byte(k) & 0x3F);
  return c;
}

bool IsHiddenControl(char32_t c) {
  if (c == U'\t' || c == U'\n') return false;
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

std::optional<char32_t> FirstHiddenControl(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return std::nullopt;
    const char32_t c = Utf8Character(text, i, length);
    if (IsHiddenControl(c)) return c;
    i += length;
  }
  return std::nullopt;
}

std::string CharacterName(char32_t c) {
  return Escape("U+%04X", static_cast<unsigned>(c));
}

std::string PrintableText(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
      shown += Escape("\\x%02x", static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    const char32_t c = Utf8Character(text, i, length);
    if (c == U'\t' || c == U'\n' || IsHiddenControl(c)) {
      shown += c < 0x100 ? Escape("\\x%02x", static_cast<unsigned>(c))
                         : Escape("\\u%04x", static_cast<unsigned>(c));
    } else {
      shown.append(text.substr(i, length));
    }
    i += length;
  }
  return shown;
}

}  // namespace sekora
