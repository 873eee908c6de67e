#include "AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace sekora {
namespace {

long SystemWrite(int fd, const char* data, std::size_t size) {
  return static_cast<long>(::write(fd, data, size));
}

FileWriter& CurrentWriter() {
  static FileWriter writer = SystemWrite;
  return writer;
}

// A temporary name is "<name>.tmp-<process id>-<attempt>": unique among
// running processes, and it tells whether its writer is still alive.
std::string TemporaryPrefix(const std::string& leaf) {
  return leaf + ".tmp-";
}

std::string TemporaryName(const std::string& leaf, int attempt) {
  return TemporaryPrefix(leaf) + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

// True for a temporary name of `leaf` whose process no longer runs.
bool IsAbandoned(const std::string& name, const std::string& leaf) {
  const std::string prefix = TemporaryPrefix(leaf);
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::size_t dash = name.find('-', prefix.size());
  if (dash == std::string::npos || dash == prefix.size()) return false;
  const std::string pid = name.substr(prefix.size(), dash - prefix.size());
  if (pid.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9) return false;
  return ::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files a killed writer left in `folder`. A folder that
// cannot be listed is left as it is: the write itself will tell.
void RemoveAbandoned(const std::string& folder, int dirFd, const std::string& leaf) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsAbandoned(name, leaf)) ::unlinkat(dirFd, name.c_str(), 0);
  }
}

// Writes all of `content` to `fd`, resuming after partial writes.
bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const long written = CurrentWriter()(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    // A write that takes nothing would be retried for ever.
    if (written == 0) {
      errno = EIO;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates a new temporary file in the folder open as `dirFd`; sets `name`.
int CreateTemporary(int dirFd, const std::string& leaf, std::string& name) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = TemporaryName(leaf, attempt);
    const int fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Writes `content` to the new temporary file `fd`, flushes it to disk and
// closes it.
bool FillTemporary(int fd, std::string_view content, std::string& error) {
  const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
  const int writeErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    error = std::strerror(written ? errno : writeErrno);
    return false;
  }
  return true;
}

// Every step after the folder is open. The temporary file is reached through
// `dirFd`, so it is found and removed on failure even when the folder has
// been moved; the rename goes by path, so a moved folder keeps its old file.
bool ReplaceInFolder(int dirFd, const std::string& folder, const std::string& path,
                     std::string_view content, std::string& error) {
  const std::string leaf = std::filesystem::path(path).filename().string();
  RemoveAbandoned(folder, dirFd, leaf);
  std::string name;
  const int fd = CreateTemporary(dirFd, leaf, name);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const std::string temporaryPath = (std::filesystem::path(folder) / name).string();
  if (!FillTemporary(fd, content, error)) {
    ::unlinkat(dirFd, name.c_str(), 0);
    return false;
  }
  if (::rename(temporaryPath.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    ::unlinkat(dirFd, name.c_str(), 0);
    return false;
  }
  // The rename itself reaches the disk with the folder.
  ::fsync(dirFd);
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const std::string folder = parent.empty() ? std::string(".") : parent.string();
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const bool replaced = ReplaceInFolder(dirFd, folder, path, content, error);
  ::close(dirFd);
  return replaced;
}

ScopedFileWriter::ScopedFileWriter(FileWriter writer)
    : previous_(std::exchange(CurrentWriter(), std::move(writer))) {}

ScopedFileWriter::~ScopedFileWriter() {
  CurrentWriter() = std::move(previous_);
}

}  // namespace sekora
