#include "AtomicFile.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <utility>

#include "Paths.h"

namespace sekora {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
long SystemWrite(int fd, const char* data, std::size_t size) {
  const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
  return static_cast<long>(::_write(fd, data, chunk));
}

long ProcessId() {
  return static_cast<long>(::_getpid());
}

// True when no process `pid` runs any more.
bool ProcessIsGone(long pid) {
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD exitCode = 0;
  const bool ended = ::GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE;
  ::CloseHandle(process);
  return ended;
}

// The system's text for the error `code`, in UTF-8.
std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0) return "error " + std::to_string(code);
  std::wstring message(text, length);
  ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
    message.pop_back();
  }
  return PathToUtf8(fs::path(message));
}
#else
long SystemWrite(int fd, const char* data, std::size_t size) {
  return static_cast<long>(::write(fd, data, size));
}

long ProcessId() {
  return static_cast<long>(::getpid());
}

bool ProcessIsGone(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}
#endif

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
  return TemporaryPrefix(leaf) + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
}

// True for a temporary name of `leaf` whose process no longer runs.
bool IsAbandoned(const std::string& name, const std::string& leaf) {
  const std::string prefix = TemporaryPrefix(leaf);
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::size_t dash = name.find('-', prefix.size());
  if (dash == std::string::npos || dash == prefix.size()) return false;
  const std::string pid = name.substr(prefix.size(), dash - prefix.size());
  if (pid.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9) return false;
  return ProcessIsGone(std::stol(pid));
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

// The file a symbolic link names (even one that does not exist yet), so that
// the link itself stays in place; any other path as it is.
fs::path ResolveLink(const fs::path& path) {
  constexpr int kMostLinks = 40;  // a loop of links ends somewhere
  fs::path resolved = path;
  std::error_code ec;
  for (int i = 0; i < kMostLinks; ++i) {
    if (!fs::is_symlink(fs::symlink_status(resolved, ec))) break;
    const fs::path target = fs::read_symlink(resolved, ec);
    if (ec) break;
    resolved = target.is_absolute() ? target : resolved.parent_path() / target;
  }
  return resolved;
}

// Only a regular file is replaced: a device, a pipe or a folder at `path`
// (perhaps reached through a link) would be destroyed by the move.
bool IsReplaceable(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  return !fs::exists(status) || fs::is_regular_file(status);
}

constexpr const char* kNotRegularFile = "通常のファイルではありません";

fs::path FolderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

#ifdef _WIN32
// Windows cannot hold a folder open to work relative to it, and `rename`
// there refuses to replace an existing file: the temporary file is reached by
// its path, and MoveFileExW replaces the results file in one step.

void RemoveAbandoned(const fs::path& folder, const std::string& leaf) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (IsAbandoned(PathToUtf8(it->path().filename()), leaf)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

int CreateTemporary(const fs::path& folder, const std::string& leaf, fs::path& temporary) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    temporary = folder / PathFromUtf8(TemporaryName(leaf, attempt));
    const int fd =
        ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Replaces `target` by `temporary` in one step. Another process may hold the
// target open for a moment, to read it or to replace it itself, and Windows
// then refuses; the move is tried again for about a second before the
// refusal counts. Returns the system's error code, 0 on success.
DWORD ReplaceByTemporary(const fs::path& temporary, const fs::path& target) {
  constexpr int kAttempts = 50;
  constexpr DWORD kPauseMs = 20;
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(temporary.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    const DWORD error = ::GetLastError();
    const bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    if (!busy || attempt == kAttempts) return error;
    ::Sleep(kPauseMs);
  }
}

bool FillTemporary(int fd, std::string_view content, std::string& error) {
  const bool written = WriteAll(fd, content) && ::_commit(fd) == 0;
  const int writeErrno = errno;
  const bool closed = ::_close(fd) == 0;
  if (!written || !closed) {
    error = std::strerror(written ? errno : writeErrno);
    return false;
  }
  return true;
}

}  // namespace

StagedFile::~StagedFile() {
  Discard();
}

void StagedFile::Discard() {
  if (!temporaryName_.empty()) {
    ::_wremove((PathFromUtf8(folder_) / PathFromUtf8(temporaryName_)).c_str());
  }
  temporaryName_.clear();
}

bool StagedFile::Stage(const std::string& path, std::string_view content, std::string& error) {
  Discard();
  const fs::path target = ResolveLink(PathFromUtf8(path));
  if (!IsReplaceable(target)) {
    error = kNotRegularFile;
    return false;
  }
  const fs::path folder = FolderOf(target);
  path_ = PathToUtf8(target);
  folder_ = PathToUtf8(folder);
  const std::string leaf = PathToUtf8(target.filename());
  RemoveAbandoned(folder, leaf);
  fs::path temporary;
  const int fd = CreateTemporary(folder, leaf, temporary);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  temporaryName_ = PathToUtf8(temporary.filename());
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
  const fs::path temporary = PathFromUtf8(folder_) / PathFromUtf8(temporaryName_);
  const DWORD moveError = ReplaceByTemporary(temporary, PathFromUtf8(path_));
  if (moveError != 0) {
    error = SystemMessage(moveError);
    Discard();
    return false;
  }
  temporaryName_.clear();
  return true;
}
#else
// Removes the temporary files a killed writer left in `folder`. A folder that
// cannot be listed is left as it is: the write itself will tell.
void RemoveAbandoned(const std::string& folder, int dirFd, const std::string& leaf) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsAbandoned(name, leaf)) ::unlinkat(dirFd, name.c_str(), 0);
  }
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
  const fs::path target = ResolveLink(fs::path(path));
  if (!IsReplaceable(target)) {
    error = kNotRegularFile;
    return false;
  }
  path_ = target.string();
  folder_ = FolderOf(target).string();
  dirFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd_ < 0) {
    error = std::strerror(errno);
    return false;
  }
  const std::string leaf = target.filename().string();
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
  const std::string temporaryPath = (fs::path(folder_) / temporaryName_).string();
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
#endif

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
