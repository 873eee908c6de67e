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

// The file a symbolic link names (even one that does not exist yet), so that
// the link itself stays in place; any other path as it is.
std::string ResolveLink(const std::string& path) {
  constexpr int kMostLinks = 40;  // a loop of links ends somewhere
  std::filesystem::path resolved = path;
  std::error_code ec;
  for (int i = 0; i < kMostLinks; ++i) {
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(resolved, ec))) break;
    const std::filesystem::path target = std::filesystem::read_symlink(resolved, ec);
    if (ec) break;
    resolved = target.is_absolute() ? target : resolved.parent_path() / target;
  }
  return resolved.string();
}

// Only a regular file is replaced: a device, a pipe or a folder at `path`
// (perhaps reached through a link) would be destroyed by the rename.
bool IsReplaceable(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  return !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace

StagedFile::~StagedFile() {
  Discard();
}

void StagedFile::Discard() {
  if (!temporaryName_.empty()) ::unlinkat(dirFd_, temporaryName_.c_str(), 0);
  if (dirFd_ >= 0) ::close(dirFd_);
  dirFd_ = -1;
  temporaryName_.clear();
}

// The temporary file is reached through the open folder, so it is found and
// removed on failure even when the folder has been moved; the rename goes by
// path, so a moved folder keeps its old file.
bool StagedFile::Stage(const std::string& path, std::string_view content, std::string& error) {
  Discard();
  path_ = ResolveLink(path);
  if (!IsReplaceable(path_)) {
    error = "通常のファイルではありません";
    return false;
  }
  folder_ = FolderOf(path_);
  dirFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd_ < 0) {
    error = std::strerror(errno);
    return false;
  }
  const std::string leaf = std::filesystem::path(path_).filename().string();
  RemoveAbandoned(folder_, dirFd_, leaf);
  std::string name;
  const int fd = CreateTemporary(dirFd_, leaf, name);
  if (fd < 0) {
    error = std::strerror(errno);
    Discard();
    return false;
  }
  temporaryName_ = name;
  if (!FillTemporary(fd, content, error)) {
    Discard();
    return false;
  }
  return true;
}

bool StagedFile::Commit(std::string& error) {
  if (temporaryName_.empty()) {
    error = std::strerror(ENOENT);
    return false;
  }
  const std::string temporaryPath = (std::filesystem::path(folder_) / temporaryName_).string();
  if (::rename(temporaryPath.c_str(), path_.c_str()) != 0) {
    error = std::strerror(errno);
    Discard();
    return false;
  }
  temporaryName_.clear();
  // The rename itself reaches the disk with the folder.
  ::fsync(dirFd_);
  Discard();
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error) {
  StagedFile staged;
  return staged.Stage(path, content, error) && staged.Commit(error);
}

ScopedFileWriter::ScopedFileWriter(FileWriter writer)
    : previous_(std::exchange(CurrentWriter(), std::move(writer))) {}

ScopedFileWriter::~ScopedFileWriter() {
  CurrentWriter() = std::move(previous_);
}

}  // namespace sekora
