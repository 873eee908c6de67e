#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace sekora {
namespace {

// Writes all of `content` to `fd`, resuming after partial writes.
bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error) {
  std::string pattern = path + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
  const int writeErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    error = std::strerror(written ? errno : writeErrno);
    ::unlink(name.data());
    return false;
  }
  // mkstemp creates the file readable by its owner only; give it the usual
  // permissions of a data file.
  ::chmod(name.data(), 0644);
  if (::rename(name.data(), path.c_str()) != 0) {
    error = std::strerror(errno);
    ::unlink(name.data());
    return false;
  }
  return true;
}

}  // namespace sekora
