#include "TextLines.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <new>

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

#ifdef _WIN32
// Windows has no pipes or devices among ordinary file names; the checks go
// by the file's status before it is read.
FileRead ReadDataFile(const std::string& path, std::size_t maxBytes, std::string& content) {
  const std::filesystem::path file = PathFromUtf8(path);
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) return FileRead::Unreadable;
  if (!std::filesystem::is_regular_file(status)) return FileRead::NotRegular;
  if (std::filesystem::file_size(file, ec) > maxBytes) return FileRead::TooLarge;
  try {
    if (!ReadWholeFile(path, content)) return FileRead::Unreadable;
  } catch (const std::bad_alloc&) {
    content = std::string();
    return FileRead::OutOfMemory;
  }
  return content.size() > maxBytes ? FileRead::TooLarge : FileRead::Read;
}
#else
namespace {

// Reads `fd` to its end into `content`, at most `maxBytes` + 1 bytes.
FileRead ReadDescriptor(int fd, std::size_t maxBytes, std::string& content) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return FileRead::Unreadable;
  if (!S_ISREG(info.st_mode)) return FileRead::NotRegular;
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return FileRead::TooLarge;
  content.clear();
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileRead::Unreadable;
    if (got == 0) return FileRead::Read;
    content.append(buffer, static_cast<std::size_t>(got));
    // The file may grow while it is read.
    if (content.size() > maxBytes) return FileRead::TooLarge;
  }
}

}  // namespace

FileRead ReadDataFile(const std::string& path, std::size_t maxBytes, std::string& content) {
  // Opening without waiting: a pipe with no writer would block for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FileRead::Unreadable;
  FileRead result = FileRead::OutOfMemory;
  try {
    result = ReadDescriptor(fd, maxBytes, content);
  } catch (const std::bad_alloc&) {
    content = std::string();
  }
  ::close(fd);
  return result;
}
#endif

}  // namespace sekora
