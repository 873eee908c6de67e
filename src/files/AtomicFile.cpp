#include "AtomicFile.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "Paths.h"

namespace sekora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNotRegularFile = "通常のファイルではありません";
constexpr const char* kNotFolder = "フォルダではありません";

#ifdef _WIN32
long SystemWrite(int fd, const char* data, std::size_t size) {
  const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
  return static_cast<long>(::_write(fd, data, chunk));
}

long ProcessId() {
  return static_cast<long>(::_getpid());
}
#else
long SystemWrite(int fd, const char* data, std::size_t size) {
  return static_cast<long>(::write(fd, data, size));
}

long ProcessId() {
  return static_cast<long>(::getpid());
}
#endif

FileWriter& CurrentWriter() {
  static FileWriter writer = SystemWrite;
  return writer;
}

// "<prefix><process id>-<count>": unique within the process, and O_EXCL (or
// CREATE_NEW) settles a clash with a process of another namespace.
std::string NewTemporaryName() {
  static std::atomic<unsigned long> count{0};
  return std::string(kTemporaryPrefix) + std::to_string(ProcessId()) + "-" +
         std::to_string(count.fetch_add(1));
}

bool IsTemporaryName(std::string_view name) {
  return name.starts_with(kTemporaryPrefix);
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

fs::path FolderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// A file is replaced only when it is missing, a regular file or a link (the
// link itself is replaced): a folder, a device or a pipe would be destroyed.
bool IsReplaceableFile(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  return !fs::exists(status) || fs::is_regular_file(status) || fs::is_symlink(status);
}

// "DIR/" names the folder DIR.
fs::path FolderPath(fs::path path) {
  while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
  return path;
}

bool IsReplaceableFolder(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  return !fs::exists(status) || fs::is_directory(status) || fs::is_symlink(status);
}

// Removes the folder `path` with everything in it, or the link at `path`.
// Its files are removed from several threads at once: removing a file that
// has reached the disk mostly waits for the disk, and the waits overlap.
void RemoveFolder(const fs::path& path) {
  constexpr std::size_t kRemovingThreads = 8;
  constexpr std::size_t kFilesPerThread = 32;
  std::error_code ec;
  std::vector<fs::path> entries;
  if (fs::is_directory(fs::symlink_status(path, ec))) {
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      entries.push_back(it->path());
    }
  }
  std::atomic<std::size_t> next{0};
  const auto removeEntries = [&] {
    std::error_code ignored;
    for (std::size_t i; (i = next.fetch_add(1)) < entries.size();)
      fs::remove_all(entries[i], ignored);
  };
  std::vector<std::thread> helpers;
  const std::size_t extra = std::min(kRemovingThreads, entries.size() / kFilesPerThread);
  for (std::size_t k = 1; k < extra; ++k) helpers.emplace_back(removeEntries);
  removeEntries();
  for (std::thread& helper : helpers) helper.join();
  fs::remove(path, ec);
}

#ifdef _WIN32
// Windows cannot hold a folder open to work relative to it, and `rename`
// there refuses to replace an existing file: temporaries are reached by their
// path, and MoveFileExW replaces a file in one step. A writer keeps its
// temporary open without sharing deletion, so that no other process can
// remove or rename it while it works.

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

// A temporary nobody holds can be moved away under a fresh temporary name;
// what is moved is removed with everything in it.
void RemoveAbandoned(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> abandoned;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsTemporaryName(PathToUtf8(it->path().filename()))) continue;
    const fs::path taken = folder / PathFromUtf8(NewTemporaryName());
    if (::MoveFileExW(it->path().c_str(), taken.c_str(), 0)) abandoned.push_back(taken);
  }
  for (const fs::path& path : abandoned) RemoveFolder(path);
}

// A file descriptor that owns `handle`, or -1 (the handle then closed).
int DescriptorOf(HANDLE handle, int flags) {
  if (handle == INVALID_HANDLE_VALUE) return -1;
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) ::CloseHandle(handle);
  return fd;
}

int CreateTemporaryFile(const fs::path& folder, std::string& name, std::string& error) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = NewTemporaryName();
    const fs::path path = folder / PathFromUtf8(name);
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
    if (handle == INVALID_HANDLE_VALUE) {
      error = SystemMessage(::GetLastError());
      return -1;
    }
    const int fd = DescriptorOf(handle, _O_WRONLY | _O_BINARY);
    if (fd < 0) error = std::strerror(errno);
    return fd;
  }
  error = std::strerror(EEXIST);
  return -1;
}

bool CloseDescriptor(int& fd) {
  const bool closed = fd < 0 || ::_close(fd) == 0;
  fd = -1;
  return closed;
}

bool FlushDescriptor(int fd) {
  return ::_commit(fd) == 0;
}

}  // namespace

StagedFile::~StagedFile() {
  Discard();
}

void StagedFile::Discard() {
  CloseDescriptor(fd_);
  if (!temporaryName_.empty()) {
    ::_wremove((PathFromUtf8(folder_) / PathFromUtf8(temporaryName_)).c_str());
  }
  temporaryName_.clear();
}

bool StagedFile::Open(const std::string& path, std::string& error) {
  Discard();
  const fs::path target = PathFromUtf8(path);
  if (!IsReplaceableFile(target)) {
    error = kNotRegularFile;
    return false;
  }
  const fs::path folder = FolderOf(target);
  path_ = path;
  folder_ = PathToUtf8(folder);
  RemoveAbandoned(folder);
  std::string name;
  fd_ = CreateTemporaryFile(folder, name, error);
  if (fd_ < 0) return false;
  temporaryName_ = name;
  return true;
}

bool StagedFile::Write(std::string_view content, std::string& error) {
  if (WriteAll(fd_, content) && FlushDescriptor(fd_)) return true;
  error = std::strerror(errno);
  Discard();
  return false;
}

bool StagedFile::Commit(std::string& error) {
  if (temporaryName_.empty()) {
    error = std::strerror(ENOENT);
    return false;
  }
  if (!CloseDescriptor(fd_)) {
    error = std::strerror(errno);
    Discard();
    return false;
  }
  const fs::path temporary = PathFromUtf8(folder_) / PathFromUtf8(temporaryName_);
  if (!::MoveFileExW(temporary.c_str(), PathFromUtf8(path_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = SystemMessage(::GetLastError());
    Discard();
    return false;
  }
  temporaryName_.clear();
  return true;
}

StagedFolder::~StagedFolder() {
  Discard();
}

void StagedFolder::Discard() {
  CloseDescriptor(fd_);
  if (!temporaryName_.empty()) RemoveFolder(PathFromUtf8(parent_) / PathFromUtf8(temporaryName_));
  temporaryName_.clear();
}

bool StagedFolder::Open(const std::string& path, std::string& error) {
  Discard();
  const fs::path target = FolderPath(PathFromUtf8(path));
  if (!IsReplaceableFolder(target)) {
    error = kNotFolder;
    return false;
  }
  const fs::path parent = FolderOf(target);
  path_ = PathToUtf8(target);
  parent_ = PathToUtf8(parent);
  RemoveAbandoned(parent);
  const std::string name = NewTemporaryName();
  const fs::path temporary = parent / PathFromUtf8(name);
  if (!::CreateDirectoryW(temporary.c_str(), nullptr)) {
    error = SystemMessage(::GetLastError());
    return false;
  }
  temporaryName_ = name;
  // Held open without sharing deletion, the folder cannot be moved away.
  fd_ = DescriptorOf(
      ::CreateFileW(temporary.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr),
      _O_RDONLY);
  if (fd_ < 0) {
    error = SystemMessage(::GetLastError());
    Discard();
    return false;
  }
  return true;
}

bool StagedFolder::Add(const std::string& name, std::string_view content,
                       std::string& error) const {
  const fs::path file = PathFromUtf8(parent_) / PathFromUtf8(temporaryName_) / PathFromUtf8(name);
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = SystemMessage(::GetLastError());
    return false;
  }
  int fd = DescriptorOf(handle, _O_WRONLY | _O_BINARY);
  const bool written = fd >= 0 && WriteAll(fd, content) && FlushDescriptor(fd);
  const int writeErrno = errno;
  const bool closed = CloseDescriptor(fd);
  if (!written || !closed) {
    error = std::strerror(written ? errno : writeErrno);
    return false;
  }
  return true;
}

// Windows cannot exchange two folders: the previous one is moved aside under
// a temporary name, the new one put in its place, and the previous removed.
bool StagedFolder::Commit(std::string& error) {
  if (temporaryName_.empty()) {
    error = std::strerror(ENOENT);
    return false;
  }
  CloseDescriptor(fd_);
  const fs::path parent = PathFromUtf8(parent_);
  const fs::path temporary = parent / PathFromUtf8(temporaryName_);
  const fs::path target = PathFromUtf8(path_);
  const fs::path aside = parent / PathFromUtf8(NewTemporaryName());
  std::error_code ec;
  const bool previous = fs::exists(fs::symlink_status(target, ec));
  if (previous && !::MoveFileExW(target.c_str(), aside.c_str(), 0)) {
    error = SystemMessage(::GetLastError());
    Discard();
    return false;
  }
  if (!::MoveFileExW(temporary.c_str(), target.c_str(), 0)) {
    error = SystemMessage(::GetLastError());
    if (previous) ::MoveFileExW(aside.c_str(), target.c_str(), 0);
    Discard();
    return false;
  }
  temporaryName_.clear();
  if (previous) RemoveFolder(aside);
  return true;
}
#else
// On Linux a writer holds an exclusive flock(2) on its temporary. Such a
// lock belongs to the open file, so it is seen by every process on the
// machine whatever its PID namespace, and goes when the writer dies. While
// a writer makes its temporary and locks it, it holds a shared lock on the
// folder; a writer clearing temporaries holds an exclusive one, so that it
// never takes a temporary in the instant between its making and its lock.

// Where the folder itself cannot be locked (some network file systems), a
// temporary nobody holds is taken for abandoned only once it is this old.
constexpr std::time_t kUnlockedFolderAge = 60;

class FolderLock {
 public:
  FolderLock(int dirFd, int operation) : dirFd_(dirFd) {
    do {
      locked_ = ::flock(dirFd, operation) == 0;
    } while (!locked_ && errno == EINTR);
    error_ = locked_ ? 0 : errno;
  }
  ~FolderLock() {
    if (locked_) ::flock(dirFd_, LOCK_UN);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool locked() const { return locked_; }
  bool busy() const { return error_ == EWOULDBLOCK; }

 private:
  int dirFd_;
  bool locked_ = false;
  int error_ = 0;
};

// True when `fd` can be locked at once: no writer holds it.
bool NobodyHolds(int fd) {
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

void RemoveTemporary(int dirFd, const std::string& folder, const std::string& name, bool isFolder) {
  if (isFolder) {
    RemoveFolder(fs::path(folder) / name);
  } else {
    ::unlinkat(dirFd, name.c_str(), 0);
  }
}

// Removes the temporary `name` of the folder `dirFd` when no writer holds it.
void RemoveIfAbandoned(int dirFd, const std::string& folder, const std::string& name,
                       bool folderLocked) {
  struct stat info {};
  if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
  const bool isFolder = S_ISDIR(info.st_mode);
  if (!isFolder && !S_ISREG(info.st_mode)) return;
  if (!folderLocked && std::time(nullptr) - info.st_mtime < kUnlockedFolderAge) return;
  // A file is opened for writing, as a network file system needs for the lock.
  const int flags = (isFolder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_NOFOLLOW | O_NONBLOCK;
  const int fd = ::openat(dirFd, name.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return;
  if (NobodyHolds(fd)) RemoveTemporary(dirFd, folder, name, isFolder);
  ::close(fd);
}

// Removes the temporaries of `folder` (open as `dirFd`) whose writer is
// gone. A folder that cannot be listed is left as it is: the write itself
// will tell.
void RemoveAbandoned(int dirFd, const std::string& folder) {
  const FolderLock lock(dirFd, LOCK_EX | LOCK_NB);
  if (lock.busy()) return;  // a writer is making its temporary: next time
  const int listFd = ::dup(dirFd);
  if (listFd < 0) return;
  DIR* dir = ::fdopendir(listFd);
  if (dir == nullptr) {
    ::close(listFd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    if (IsTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  for (const std::string& name : names) RemoveIfAbandoned(dirFd, folder, name, lock.locked());
}

// Makes a new temporary in the folder `dirFd` with `make` (which returns a
// descriptor or -1 with errno) and locks it before any other writer can
// take it for abandoned; sets `name`.
template <typename Make>
int CreateHeldTemporary(int dirFd, std::string& name, Make make) {
  constexpr int kAttempts = 100;
  const FolderLock making(dirFd, LOCK_SH);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = NewTemporaryName();
    const int fd = make(name);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX) != 0) {
      const int lockErrno = errno;
      ::close(fd);
      errno = lockErrno;
      return -1;
    }
    return fd;
  }
  errno = EEXIST;
  return -1;
}

int OpenFolder(const std::string& folder) {
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

void CloseDescriptor(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Writes and closes a new file of the temporary folder `dirFd`.
bool WriteNewFile(int dirFd, const std::string& name, std::string_view content,
                  std::string& error) {
  const int fd =
      ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const bool written = WriteAll(fd, content);
  const int writeErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    error = std::strerror(written ? errno : writeErrno);
    return false;
  }
  return true;
}

bool MoveNew(const std::string& temporary, const std::string& target, std::string& error) {
  if (::rename(temporary.c_str(), target.c_str()) == 0) return true;
  error = std::strerror(errno);
  return false;
}

// Puts the folder `temporary` in place of `target`, which exists: the two are
// exchanged in one step where the file system can, so that readers never
// find the folder missing; the previous folder (or link) is then removed.
bool ReplaceFolder(const std::string& temporary, const std::string& target, std::string& error) {
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
    RemoveFolder(temporary);
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    error = std::strerror(errno);
    return false;
  }
  const std::string aside = (FolderOf(target) / NewTemporaryName()).string();
  if (::rename(target.c_str(), aside.c_str()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    error = std::strerror(errno);
    ::rename(aside.c_str(), target.c_str());
    return false;
  }
  RemoveFolder(aside);
  return true;
}

}  // namespace

StagedFile::~StagedFile() {
  Discard();
}

void StagedFile::Discard() {
  if (!temporaryName_.empty()) ::unlinkat(dirFd_, temporaryName_.c_str(), 0);
  CloseDescriptor(fd_);
  CloseDescriptor(dirFd_);
  temporaryName_.clear();
}

// The temporary file is reached through the open folder, so it is found and
// removed on failure even when the folder has been moved; the rename goes by
// path, so a moved folder keeps its old file.
bool StagedFile::Open(const std::string& path, std::string& error) {
  Discard();
  const fs::path target(path);
  if (!IsReplaceableFile(target)) {
    error = kNotRegularFile;
    return false;
  }
  path_ = path;
  folder_ = FolderOf(target).string();
  dirFd_ = OpenFolder(folder_);
  if (dirFd_ < 0) {
    error = std::strerror(errno);
    return false;
  }
  RemoveAbandoned(dirFd_, folder_);
  std::string name;
  fd_ = CreateHeldTemporary(dirFd_, name, [&](const std::string& n) {
    return ::openat(dirFd_, n.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  });
  if (fd_ < 0) {
    error = std::strerror(errno);
    Discard();
    return false;
  }
  temporaryName_ = name;
  return true;
}

bool StagedFile::Write(std::string_view content, std::string& error) {
  if (WriteAll(fd_, content) && ::fsync(fd_) == 0) return true;
  error = std::strerror(errno);
  Discard();
  return false;
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

StagedFolder::~StagedFolder() {
  Discard();
}

void StagedFolder::Discard() {
  if (!temporaryName_.empty()) RemoveFolder(fs::path(parent_) / temporaryName_);
  CloseDescriptor(fd_);
  CloseDescriptor(dirFd_);
  temporaryName_.clear();
}

bool StagedFolder::Open(const std::string& path, std::string& error) {
  Discard();
  const fs::path target = FolderPath(path);
  if (!IsReplaceableFolder(target)) {
    error = kNotFolder;
    return false;
  }
  path_ = target.string();
  parent_ = FolderOf(target).string();
  dirFd_ = OpenFolder(parent_);
  if (dirFd_ < 0) {
    error = std::strerror(errno);
    return false;
  }
  RemoveAbandoned(dirFd_, parent_);
  std::string name;
  fd_ = CreateHeldTemporary(dirFd_, name, [&](const std::string& n) {
    if (::mkdirat(dirFd_, n.c_str(), 0755) != 0) return -1;
    const int fd = ::openat(dirFd_, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) ::unlinkat(dirFd_, n.c_str(), AT_REMOVEDIR);
    return fd;
  });
  if (fd_ < 0) {
    error = std::strerror(errno);
    Discard();
    return false;
  }
  temporaryName_ = name;
  return true;
}

bool StagedFolder::Add(const std::string& name, std::string_view content,
                       std::string& error) const {
  return WriteNewFile(fd_, name, content, error);
}

bool StagedFolder::Commit(std::string& error) {
  if (temporaryName_.empty()) {
    error = std::strerror(ENOENT);
    return false;
  }
  // One flush of the file system instead of one per file.
  if (::syncfs(fd_) != 0 || ::fsync(fd_) != 0) {
    error = std::strerror(errno);
    Discard();
    return false;
  }
  const std::string temporary = (fs::path(parent_) / temporaryName_).string();
  struct stat info {};
  const bool previous = ::lstat(path_.c_str(), &info) == 0;
  if (previous ? !ReplaceFolder(temporary, path_, error) : !MoveNew(temporary, path_, error)) {
    Discard();
    return false;
  }
  temporaryName_.clear();
  ::fsync(dirFd_);
  Discard();
  return true;
}
#endif

bool StagedFile::Stage(const std::string& path, std::string_view content, std::string& error) {
  return Open(path, error) && Write(content, error);
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
