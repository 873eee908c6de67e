#include "CharsetText.h"

#include <iconv.h>

#include <vector>

#include "Metafile.h"

namespace sekora {

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

}  // namespace

const char* CharsetEncoding(std::uint8_t charset) {
  return charset == kShiftJisCharset ? "CP932" : "CP1252";
}

std::optional<std::string> ConvertText(std::string_view text, const char* from, const char* to) {
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

}  // namespace sekora
