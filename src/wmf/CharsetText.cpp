#include "CharsetText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <climits>
#include <vector>

#include "Metafile.h"

namespace sekora {

unsigned CharsetCodePage(std::uint8_t charset) {
  return charset == kShiftJisCharset ? kShiftJisCodePage : kWesternCodePage;
}

#ifdef _WIN32
namespace {

// Both conversions pass through UTF-16, the form the code page functions
// share. Failures of either step, invalid bytes included, give nullopt.
std::optional<std::wstring> ToWide(std::string_view text, unsigned codePage) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int length =
      ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

std::optional<std::string> FromWide(const std::wstring& wide, unsigned codePage) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  // Only UTF-8 reports characters that cannot be converted by a flag; the
  // other code pages report a default character used in their place.
  const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
  BOOL defaultUsed = FALSE;
  BOOL* const usedDefault = codePage == CP_UTF8 ? nullptr : &defaultUsed;
  const int length =
      ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
  if (length <= 0 || defaultUsed) return std::nullopt;
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

std::optional<std::string> DecodeText(std::string_view text, unsigned codePage) {
  const std::optional<std::wstring> wide = ToWide(text, codePage);
  return wide ? FromWide(*wide, CP_UTF8) : std::nullopt;
}

std::optional<std::string> EncodeText(std::string_view utf8, unsigned codePage) {
  const std::optional<std::wstring> wide = ToWide(utf8, CP_UTF8);
  return wide ? FromWide(*wide, codePage) : std::nullopt;
}
#else
namespace {

// No character of the encodings used grows beyond four bytes, whichever way
// it is converted: a single byte of CP932 or CP1252 becomes at most three
// bytes of UTF-8.
constexpr std::size_t kMaxGrowth = 4;

class IconvHandle {
 public:
  IconvHandle(const char* from, const char* to) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (IsOpen()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return handle_; }

 private:
  iconv_t handle_;
};

const char* IconvName(unsigned codePage) {
  return codePage == kShiftJisCodePage ? "CP932" : "CP1252";
}

std::optional<std::string> Convert(std::string_view text, const char* from, const char* to) {
  IconvHandle converter(from, to);
  if (!converter.IsOpen()) return std::nullopt;
  std::vector<char> input(text.begin(), text.end());
  std::vector<char> output(text.size() * kMaxGrowth);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  if (iconv(converter.Get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  return std::string(output.data(), out);
}

}  // namespace

std::optional<std::string> DecodeText(std::string_view text, unsigned codePage) {
  return Convert(text, IconvName(codePage), "UTF-8");
}

std::optional<std::string> EncodeText(std::string_view utf8, unsigned codePage) {
  return Convert(utf8, "UTF-8", IconvName(codePage));
}
#endif

}  // namespace sekora
