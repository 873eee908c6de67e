#include "PdfSyntax.h"

#include <cstdint>
#include <vector>

namespace sekora {
namespace {

enum class TokenKind {
  Regular,  // a number or a keyword (R, obj, true, null ...)
  Name,
  String,
  DictionaryOpen,
  DictionaryClose,
  ArrayOpen,
  ArrayClose,
  End,
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::size_t begin = 0;
  std::size_t end = 0;
};

bool IsDelimiter(char c) {
  return std::string_view("()<>[]{}/%").find(c) != std::string_view::npos;
}

bool IsRegular(char c) {
  return !IsPdfWhitespace(c) && !IsDelimiter(c);
}

std::size_t EndOfRegular(std::string_view bytes, std::size_t pos) {
  while (pos < bytes.size() && IsRegular(bytes[pos])) ++pos;
  return pos;
}

// A literal string runs to the parenthesis that balances its first one; a
// backslash takes the character after it literally.
std::size_t EndOfLiteralString(std::string_view bytes, std::size_t pos) {
  int depth = 0;
  for (; pos < bytes.size(); ++pos) {
    const char c = bytes[pos];
    if (c == '\\') {
      ++pos;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return pos + 1;
    }
  }
  throw PdfError("PDF の文字列が閉じていません");
}

Token NextToken(std::string_view bytes, std::size_t pos) {
  pos = SkipPdfWhitespace(bytes, pos);
  if (pos >= bytes.size()) return {TokenKind::End, pos, pos};
  const char c = bytes[pos];
  const auto two = bytes.substr(pos, 2);
  if (two == "<<") return {TokenKind::DictionaryOpen, pos, pos + 2};
  if (two == ">>") return {TokenKind::DictionaryClose, pos, pos + 2};
  switch (c) {
    case '[':
      return {TokenKind::ArrayOpen, pos, pos + 1};
    case ']':
      return {TokenKind::ArrayClose, pos, pos + 1};
    case '/':
      return {TokenKind::Name, pos, EndOfRegular(bytes, pos + 1)};
    case '(':
      return {TokenKind::String, pos, EndOfLiteralString(bytes, pos)};
    case '<': {
      const std::size_t close = bytes.find('>', pos);
      if (close == std::string_view::npos) throw PdfError("PDF の文字列が閉じていません");
      return {TokenKind::String, pos, close + 1};
    }
    default:
      break;
  }
  if (!IsRegular(c)) throw PdfError("PDF に読めない文字があります");
  return {TokenKind::Regular, pos, EndOfRegular(bytes, pos)};
}

std::string_view TextOf(std::string_view bytes, const Token& token) {
  return bytes.substr(token.begin, token.end - token.begin);
}

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The "R" of a reference whose object number is the token at `number`, or
// nothing when the tokens after it make no reference.
std::optional<Token> ReferenceEnd(std::string_view bytes, const Token& number) {
  if (number.kind != TokenKind::Regular || !IsDigits(TextOf(bytes, number))) return std::nullopt;
  const Token generation = NextToken(bytes, number.end);
  if (generation.kind != TokenKind::Regular || !IsDigits(TextOf(bytes, generation))) {
    return std::nullopt;
  }
  const Token keyword = NextToken(bytes, generation.end);
  if (keyword.kind != TokenKind::Regular || TextOf(bytes, keyword) != "R") return std::nullopt;
  return keyword;
}

// Skips the values inside a dictionary or an array up to its `close`.
std::size_t SkipUntil(std::string_view bytes, std::size_t pos, TokenKind close) {
  while (true) {
    const Token next = NextToken(bytes, pos);
    if (next.kind == close) return next.end;
    if (next.kind == TokenKind::End) throw PdfError("PDF の辞書か配列が閉じていません");
    pos = SkipPdfValue(bytes, next.begin);
  }
}

struct DictionaryEntry {
  std::size_t valueBegin = 0;
  std::size_t valueEnd = 0;
};

std::optional<DictionaryEntry> FindEntry(std::string_view dictionary, std::string_view key) {
  const Token open = NextToken(dictionary, 0);
  if (open.kind != TokenKind::DictionaryOpen) throw PdfError("PDF の辞書ではありません");
  std::size_t pos = open.end;
  while (true) {
    const Token name = NextToken(dictionary, pos);
    if (name.kind == TokenKind::DictionaryClose) return std::nullopt;
    if (name.kind != TokenKind::Name) throw PdfError("PDF の辞書のキーが名前ではありません");
    const std::size_t valueBegin = SkipPdfWhitespace(dictionary, name.end);
    pos = SkipPdfValue(dictionary, valueBegin);
    if (TextOf(dictionary, name) == key) return DictionaryEntry{valueBegin, pos};
  }
}

// The code points of UTF-8 `text`.
std::vector<std::uint32_t> CodePoints(std::string_view text) {
  std::vector<std::uint32_t> points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) throw PdfError("UTF-8 ではない文字列です");
    std::uint32_t point = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) throw PdfError("UTF-8 ではない文字列です");
      point = point << 6 | (next & 0x3Fu);
    }
    points.push_back(point);
    i += length;
  }
  return points;
}

void AppendHex16(std::string& out, std::uint32_t unit) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(unit >> shift) & 0xFu];
}

}  // namespace

bool IsPdfWhitespace(char c) {
  return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

std::size_t SkipPdfWhitespace(std::string_view bytes, std::size_t pos) {
  while (pos < bytes.size()) {
    if (IsPdfWhitespace(bytes[pos])) {
      ++pos;
    } else if (bytes[pos] == '%') {
      while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r') ++pos;
    } else {
      break;
    }
  }
  return pos;
}

std::size_t SkipPdfValue(std::string_view bytes, std::size_t pos) {
  const Token first = NextToken(bytes, pos);
  switch (first.kind) {
    case TokenKind::DictionaryOpen:
      return SkipUntil(bytes, first.end, TokenKind::DictionaryClose);
    case TokenKind::ArrayOpen:
      return SkipUntil(bytes, first.end, TokenKind::ArrayClose);
    case TokenKind::Regular: {
      const std::optional<Token> reference = ReferenceEnd(bytes, first);
      return reference ? reference->end : first.end;
    }
    case TokenKind::Name:
    case TokenKind::String:
      return first.end;
    default:
      throw PdfError("PDF の値がありません");
  }
}

std::optional<std::string_view> PdfDictionaryValue(std::string_view dictionary,
                                                   std::string_view key) {
  const std::optional<DictionaryEntry> entry = FindEntry(dictionary, key);
  if (!entry) return std::nullopt;
  return dictionary.substr(entry->valueBegin, entry->valueEnd - entry->valueBegin);
}

std::optional<int> PdfReferenceNumber(std::string_view value) {
  const Token first = NextToken(value, 0);
  const std::optional<Token> reference = ReferenceEnd(value, first);
  if (!reference || NextToken(value, reference->end).kind != TokenKind::End) return std::nullopt;
  const std::optional<long long> number = PdfInteger(TextOf(value, first));
  if (!number || *number > 0x7FFFFFFF) return std::nullopt;
  return static_cast<int>(*number);
}

std::optional<long long> PdfInteger(std::string_view value) {
  const std::size_t begin = SkipPdfWhitespace(value, 0);
  std::size_t end = value.size();
  while (end > begin && IsPdfWhitespace(value[end - 1])) --end;
  const std::string_view digits = value.substr(begin, end - begin);
  if (!IsDigits(digits) || digits.size() > 15) return std::nullopt;
  long long number = 0;
  for (char c : digits) number = number * 10 + (c - '0');
  return number;
}

std::string RenumberPdfReferences(std::string_view value, const std::function<int(int)>& renumber) {
  std::string result;
  result.reserve(value.size() + 16);
  std::size_t copied = 0;
  for (Token token = NextToken(value, 0); token.kind != TokenKind::End;
       token = NextToken(value, token.end)) {
    const std::optional<Token> reference = ReferenceEnd(value, token);
    if (!reference) continue;
    const auto number = PdfInteger(TextOf(value, token));
    if (!number || *number > 0x7FFFFFFF) throw PdfError("PDF の参照の番号が大きすぎます");
    result.append(value.substr(copied, token.begin - copied));
    result.append(std::to_string(renumber(static_cast<int>(*number))));
    copied = token.end;
    token = *reference;
  }
  result.append(value.substr(copied));
  return result;
}

std::string PdfTextString(std::string_view text) {
  std::string hex = "<FEFF";
  for (std::uint32_t point : CodePoints(text)) {
    if (point >= 0x10000) {
      point -= 0x10000;
      AppendHex16(hex, 0xD800 | (point >> 10));
      AppendHex16(hex, 0xDC00 | (point & 0x3FF));
    } else {
      AppendHex16(hex, point);
    }
  }
  return hex + ">";
}

}  // namespace sekora
