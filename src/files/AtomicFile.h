// Replacing a file, or a folder of files, so that readers only ever see the
// old or the new content.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace sekora {

// Every temporary file or folder is made beside its target under a short
// name of its own that begins with this prefix, whatever the target's name
// (so a name as long as the system allows still leaves room for it).
//
// A writer holds its temporary (Linux: an advisory lock on it; Windows: it
// keeps it open and undeletable) from the moment it is made until it is put
// in place or removed. A temporary that nobody holds was left by a writer
// that was killed, wherever that writer ran (another PID namespace, a
// container, another machine sharing the folder): the next write in the
// folder, whatever its target, removes it.
inline constexpr std::string_view kTemporaryPrefix = ".sekora-tmp-";

// Writes `content` to a temporary file beside `path`, flushes it to disk and
// moves it over `path` in one step (rename, or MoveFileExW on Windows). On
// any failure the temporary is removed (on Linux even when the folder has
// been moved meanwhile), `path` is left as it was, and false is returned with
// the reason in `error`. `path` is UTF-8. A symbolic link at `path` is itself
// replaced: the file it names is never written. A path that is no regular
// file or link (a folder, a device, a pipe) is never replaced.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error);

// A new content complete on disk beside its file, not yet in its place:
// several files are staged first and put in place only once all of them
// could be written. The temporary goes with the object unless it was
// committed.
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Makes the empty temporary beside `path`, which shows before any work is
  // done that the file can be written there; false with the reason in
  // `error`. Refuses a `path` that WriteFileAtomically would not replace.
  bool Open(const std::string& path, std::string& error);
  // Writes `content` to the open temporary and flushes it to disk.
  bool Write(std::string_view content, std::string& error);
  // Open and Write at once.
  bool Stage(const std::string& path, std::string_view content, std::string& error);
  // Moves the staged file over its path; false with the reason in `error`.
  bool Commit(std::string& error);

 private:
  void Discard();

  int fd_ = -1;     // the open temporary, held until it is committed
  int dirFd_ = -1;  // the open folder (Linux only)
  std::string folder_;
  std::string path_;
  std::string temporaryName_;
};

// A new folder of files made beside the folder it replaces, put in its place
// whole: readers see the previous set of files or the new one, never a mix.
// The temporary folder goes with the object unless it was committed.
class StagedFolder {
 public:
  StagedFolder() = default;
  ~StagedFolder();
  StagedFolder(const StagedFolder&) = delete;
  StagedFolder& operator=(const StagedFolder&) = delete;

  // Makes the empty temporary folder beside `path`, whose parent must exist;
  // false with the reason in `error`. Refuses a `path` that is neither
  // missing, a folder nor a symbolic link.
  bool Open(const std::string& path, std::string& error);
  // Writes the file `name` with `content` into the temporary folder. May be
  // called from several threads at once.
  bool Add(const std::string& name, std::string_view content, std::string& error) const;
  // Flushes every file to disk and puts the folder in place of its path,
  // replacing whatever folder or link was there, with everything in it.
  bool Commit(std::string& error);

 private:
  void Discard();

  int fd_ = -1;     // the open temporary folder, held until it is committed
  int dirFd_ = -1;  // the open parent folder (Linux only)
  std::string parent_;
  std::string path_;
  std::string temporaryName_;
};

// Writes up to `size` bytes of `data` to the open file `fd` as ::write (_write
// on Windows) does: returns the number of bytes written, or -1 with errno set.
using FileWriter = std::function<long(int fd, const char* data, std::size_t size)>;

// While it lives, staged files are written through `writer` instead of
// ::write; the writer before it comes back afterwards. Lets a test fail or
// slow a write part way through.
class ScopedFileWriter {
 public:
  explicit ScopedFileWriter(FileWriter writer);
  ~ScopedFileWriter();
  ScopedFileWriter(const ScopedFileWriter&) = delete;
  ScopedFileWriter& operator=(const ScopedFileWriter&) = delete;

 private:
  FileWriter previous_;
};

}  // namespace sekora
