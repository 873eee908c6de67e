#include "TextLines.h"

#include <fstream>
#include <ios>
#include <iterator>

#include "Paths.h"

namespace sekora {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) return false;
  // A read that fails part way (a folder opened as a file, a failing disk)
  // throws from the stream buffer: the file is unreadable like any other.
  try {
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return false;
  }
  return !in.bad();
}

}  // namespace sekora
